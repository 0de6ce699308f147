#ifndef BOLETIM_CSV_TABLE_H
#define BOLETIM_CSV_TABLE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/output.h"
#include "tables/table_writer.h"

// How the table is written: by default for spreadsheets in Portuguese, with a byte-order
// mark and every text cell that a spreadsheet would take for a formula kept text; the
// other way for programs and spreadsheets in English, with every text as typed.
struct TableStyle {
    char separator;
    char decimalMark;
    bool forSpreadsheets;
};
constexpr TableStyle forPortugueseSpreadsheets{';', ',', true};
constexpr TableStyle forPrograms{',', '.', false};

// The texts of the numbers written last, by their bits: a class writes the same grades
// again and again, and making a float's shortest text is the costliest step of a row.
struct NumberTexts {
    static constexpr std::size_t longest = 15; // as -1.17549435e-38
    struct Text {
        std::uint32_t bits = 0;
        std::uint8_t length = 0; // 0 where nothing is kept
        std::array<char, longest> characters{};
    };
    std::vector<Text> kept = std::vector<Text>(4096);
};

// The table as CSV, to output.
class CsvTable final : public TableWriter {
  public:
    CsvTable(Output& output, TableStyle style) : output_(output), style_(style) {}

    void addTitle(std::string_view /*title*/) override {
    } // said on standard error, not in the table
    bool beginTable(const Layout& layout, const std::vector<std::string>& names,
                    const SchoolRule& rule, const RowSource& source, std::string& problem) override;
    bool addRow(const StudentRow& student) override;
    void addOtherRow(const Row& row) override;
    bool finish(const ClassCounts& counts, std::string& problem) override;

  private:
    char* putCell(char* out, const Row& row, const Cell& cell);
    char* putNotes(char* out, const Row& row, std::vector<Cell>::const_iterator notes);
    [[nodiscard]] std::size_t mostForRow(const Row& row) const;
    void flushBlock();
    [[nodiscard]] bool isNumberColumn(std::size_t column) const
    {
        return column < numberColumn_.size() && numberColumn_[column] != 0;
    }

    Output& output_;
    TableStyle style_;
    Layout layout_;
    std::vector<char> numberColumn_; // layout_.numberColumns, read a cell at a time
    NumberTexts numbers_;
    bool asBoletim_ = false;
    bool failed_ = false;
};

#endif
