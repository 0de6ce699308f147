#include "text/text_source.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "text/fields.h"
#include "text/records.h"
#include "text/separator.h"

namespace {

// How many lines, and bytes of them, are read to choose the separator.
constexpr std::size_t linesForSeparator = 100;
constexpr std::size_t bytesForSeparator = std::size_t{256} << 10U;

std::vector<Line> readAhead(LineReader& input)
{
    std::vector<Line> lines;
    std::size_t bytes = 0;
    Line line;
    while (lines.size() < linesForSeparator && bytes < bytesForSeparator && readLine(input, line)) {
        bytes += line.text.size();
        lines.push_back(std::move(line));
    }
    return lines;
}

RowProblem problemOf(RecordProblem problem)
{
    switch (problem) {
    case RecordProblem::tooLong:
        return RowProblem::tooLong;
    case RecordProblem::nullByte:
        return RowProblem::nullByte;
    case RecordProblem::openQuote:
        return RowProblem::openQuote;
    default:
        return RowProblem::none;
    }
}

class TextSource final : public RowSource {
  public:
    TextSource(LineReader& input, std::string_view source, std::size_t fewestFields)
        : input_(input), source_(source)
    {
        std::vector<Line> lookAhead = readAhead(input);
        const SeparatorChoice choice = chooseSeparator(lookAhead, fewestFields);
        skipFirstLine_ = choice.saidByFirstLine;
        records_.lines = &input;
        records_.pending.assign(std::make_move_iterator(lookAhead.begin()),
                                std::make_move_iterator(lookAhead.end()));
        records_.separator = choice.separator;
        records_.gradeWords = fewestFields - 1;
    }

    bool next(Row& row) override
    {
        if (!readRecord(records_, record_)) {
            return false;
        }
        if (skipFirstLine_ && record_.line == 1) {
            skipFirstLine_ = false;
            expansion().read(record_.text.size() + 1);
            return next(row);
        }
        makeRow(row);
        return true;
    }

    [[nodiscard]] std::string where(const Row& row,
                                    std::optional<std::size_t> /*column*/) const override
    {
        return source_ + ':' + std::to_string(row.number);
    }

    [[nodiscard]] std::string problem() const override
    {
        if (input_.file == nullptr || std::ferror(input_.file) == 0) {
            return {};
        }
        return "erro ao ler '" + source_ + "'" +
               (errno == 0 ? "" : ": " + std::string(std::strerror(errno)));
    }

    [[nodiscard]] RowShape shape() const override
    {
        return {records_.separator == whitespaceSeparated, false};
    }

  private:
    // The record's fields as the row's cells, their texts where the record has them: its
    // line, then the fields whose quotes were taken out.
    void makeRow(Row& row)
    {
        startRow(row, position_++, record_.line);
        expansion().read(record_.text.size() + 1);
        if (record_.problem != RecordProblem::none) {
            keepAsProblem(row, problemOf(record_.problem), record_.text);
            return;
        }
        if (record_.fields.size() > mostColumns) {
            keepAsProblem(row, RowProblem::tooWide, record_.text);
            return;
        }
        const auto textStart = reinterpret_cast<std::uintptr_t>(record_.text.data());
        const auto textEnd = textStart + record_.text.size();
        const auto unquotedStart = reinterpret_cast<std::uintptr_t>(record_.unquoted.data());
        row.cells.resize(record_.fields.size());
        Cell* cell = row.cells.data();
        std::uint32_t column = 0;
        for (const std::string_view field : record_.fields) {
            // A field is a view into the line, or into the fields unquoted after it.
            const auto start = reinterpret_cast<std::uintptr_t>(field.data());
            const bool inText = start >= textStart && start <= textEnd;
            const auto offset =
                inText ? start - textStart : textEnd - textStart + (start - unquotedStart);
            // Most fields start with what they hold; only one that starts blank is looked at.
            const bool blank = field.empty() || (isBlankCharacter(field.front()) && isBlank(field));
            cell->column = column++;
            cell->textStart = static_cast<std::uint32_t>(offset);
            cell->textSize = static_cast<std::uint32_t>(field.size());
            cell->kind = blank ? CellKind::empty : CellKind::text;
            ++cell;
        }
        row.text.swap(record_.text);
        row.text += record_.unquoted;
        expansion().made(row.text.size() + row.cells.size());
    }

    LineReader& input_;
    std::string source_;
    RecordReader records_;
    Record record_;
    bool skipFirstLine_ = false;
    std::uint64_t position_ = 0;
};

} // namespace

std::unique_ptr<RowSource> textSource(LineReader& reader, std::string_view source,
                                      std::size_t fewestFields)
{
    return std::make_unique<TextSource>(reader, source, fewestFields);
}
