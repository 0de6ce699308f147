#ifndef BOLETIM_ROW_SOURCE_H
#define BOLETIM_ROW_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cells/cell.h"

// What reading a class may cost, the same whatever reads it: the text and cells its
// rows carry, each repeat counted, and the empty cells a table adds to them, at most this
// many times the bytes the file took to say them, and a few MiB more. A spreadsheet
// says a row a million times in a few bytes, or one text twelve thousand times, and a
// table of them would be gigabytes.
class Expansion {
  public:
    static constexpr std::uint64_t perByteRead = 16;
    static constexpr std::uint64_t anyway = std::uint64_t{1} << 20U;

    void read(std::size_t bytes)
    {
        allowed_ += perByteRead * bytes;
    }
    // False once what was made is past what was read allows.
    bool made(std::size_t bytes)
    {
        made_ += bytes;
        return made_ <= allowed_;
    }
    [[nodiscard]] bool exceeded() const
    {
        return made_ > allowed_;
    }

  private:
    std::uint64_t allowed_ = anyway;
    std::uint64_t made_ = 0;
};

// The text of the refusal of a file past its expansion.
constexpr std::string_view tooLargeForItsFile =
    "a tabela seria muitas vezes maior que o arquivo (c\u00e9lulas repetidas, ou linhas com "
    "muito menos campos que o cabe\u00e7alho)";

// What a source's rows are like: words separated by blanks, whose last three are the
// grades, rather than fields in columns; and rows that end at their last filled cell, as
// a sheet's do, rather than with as many fields as the others, as a text's do.
struct RowShape {
    bool wordsOnly = false;
    bool endAtLastCell = false;
};

// Where the rows of a class come from: a text file, its lines split into fields, or a
// spreadsheet's sheet. Each yields its rows one at a time, in the order read.
class RowSource {
  public:
    RowSource() = default;
    RowSource(const RowSource&) = delete;
    RowSource(RowSource&&) = delete;
    RowSource& operator=(const RowSource&) = delete;
    RowSource& operator=(RowSource&&) = delete;
    virtual ~RowSource() = default;

    // The next row into row; false at the end, or where reading failed, which problem says.
    virtual bool next(Row& row) = 0;
    // Where a row, or a cell of it, is, for a message: "turma.csv:7" or "turma.xlsx:Turma!D7".
    [[nodiscard]] virtual std::string where(const Row& row,
                                            std::optional<std::size_t> column) const = 0;
    // Why reading stopped before the end (a read error, a broken file, an expansion past
    // its limit), or nothing. UTF-8 but for the system's own words.
    [[nodiscard]] virtual std::string problem() const = 0;
    // What a summary says of where it read, as "folha "Turma"", or nothing.
    [[nodiscard]] virtual std::string description() const
    {
        return {};
    }
    [[nodiscard]] virtual RowShape shape() const
    {
        return {};
    }
    // The code of a number format a cell names (0,0; dd/mm/yyyy), or nothing.
    [[nodiscard]] virtual std::string_view formatCode(std::uint16_t /*format*/) const
    {
        return {};
    }

    Expansion& expansion()
    {
        return expansion_;
    }

  private:
    Expansion expansion_;
};

#endif
