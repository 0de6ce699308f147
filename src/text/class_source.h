#ifndef BOLETIM_CLASS_SOURCE_H
#define BOLETIM_CLASS_SOURCE_H

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/lines.h"
#include "text/records.h"
#include "text/separator.h"

// Where the rows of a class come from: a text file, its lines split into fields, or a
// spreadsheet's sheet, its cells the fields. The class pass reads either alike.
class ClassSource {
  public:
    ClassSource() = default;
    ClassSource(const ClassSource&) = delete;
    ClassSource(ClassSource&&) = delete;
    ClassSource& operator=(const ClassSource&) = delete;
    ClassSource& operator=(ClassSource&&) = delete;
    virtual ~ClassSource() = default;

    // How fields are separated, for the rows that are read as text.
    [[nodiscard]] virtual SeparatorChoice separator() const = 0;
    // The next row; false at the end, or where reading failed, which problem says.
    virtual bool next(Record& record) = 0;
    // Where a row, or a cell of it, is, for a message: "turma.csv:7" or "turma.xlsx:Turma!D7".
    [[nodiscard]] virtual std::string where(long line, std::optional<std::size_t> column) const = 0;
    // Why reading stopped before the end (a read error, a broken file), or nothing. UTF-8
    // but for the system's own words.
    [[nodiscard]] virtual std::string problem() const = 0;
    // What a summary says of where it read, as "folha "Turma"", or nothing.
    [[nodiscard]] virtual std::string description() const
    {
        return {};
    }
};

// A class file of text, reader started, named source in messages.
std::unique_ptr<ClassSource> textSource(LineReader& reader, std::string_view source);

#endif
