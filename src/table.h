#ifndef BOLETIM_TABLE_H
#define BOLETIM_TABLE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "layout.h"
#include "records.h"

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

// What the table says of a student besides the fields: computed, or why it could not be.
struct StudentRow {
    std::array<float, 3> grades{};
    float weightedAverage = 0.0f;
    std::string conceptLetter; // empty when not computed
    std::string error;
    std::vector<std::string> warnings;
};

// Computes a student from a record with boletim's own code, the grades read by its rules
// with a decimal comma accepted too. A record that is not a row of the layout's width,
// or has no identification, keeps all its text: its fields become the layout's width of
// them, as typed, or, where they cannot be placed, its text in the first.
StudentRow gradeStudent(Record& record, const Layout& layout, GradeFields& grades);

// The columns the table adds to the class's.
constexpr std::array<std::string_view, 3> resultColumns{"M\u00e9dia ponderada", "Conceito",
                                                        "Defini\u00e7\u00e3o"};

// What "Definição" says of a row: APROVADO, REPROVADO, or "erro: " and why.
std::string definition(const StudentRow& row);

// The table's column names: the header's, or made up where fields is empty.
std::vector<std::string> headerNames(std::vector<std::string> fields, const Layout& layout);

void appendHeader(std::string& table, const std::vector<std::string>& names, TableStyle style);
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

void appendRow(std::string& table, const Fields& fields, const StudentRow& row,
               const Layout& layout, TableStyle style, NumberTexts& numbers);

// What the user typed, in a message: in quotes, on one line, the start of it if it is long.
std::string quotedForMessage(std::string_view text);

// A float in the shortest form that reads back as the same float, with a decimal point.
void appendShortestNumber(std::string& text, float value);

// "cabeçalho na linha 1; notas nas colunas 3 "Nota 1", 4 "Nota 2" e 5 "Nota 3"".
std::string describeLayout(const Layout& layout, const std::vector<std::string>& names);

struct ClassCounts {
    long students = 0;
    long approved = 0;
    long failed = 0;
    long withErrors = 0;
    std::array<long, 5> perConcept{}; // A to E
};

void countStudent(ClassCounts& counts, const StudentRow& row);

// How many students, approved, failed and with errors, then a bar chart of the concepts;
// each line after the first starts with two spaces.
std::string summary(const ClassCounts& counts);

#endif
