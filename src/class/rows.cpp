#include "class/rows.h"

#include <algorithm>

#include "class/names.h"

namespace {

std::size_t filledCount(const Fields& fields)
{
    return static_cast<std::size_t>(std::count_if(
        fields.begin(), fields.end(), [](std::string_view field) { return !isBlank(field); }));
}

std::string_view identificationOf(const Fields& fields)
{
    const std::size_t first = firstFilled(fields);
    return first < fields.size() ? trimmed(fields[first]) : std::string_view();
}

// A header names the columns of numbers below it, up to its last name: at least three of
// them, or all there are. Numbers name them only after a column's name (Aluno;1;2;3); a
// blank or a dash under its names is a student's missing grade, not a name.
bool qualifiesAsHeader(const Fields& fields, const std::vector<std::size_t>& numericColumns)
{
    const std::string_view identification = identificationOf(fields);
    if (!hasLetterOrDigit(identification) || isWholeNumber(identification)) {
        return false;
    }
    const bool numbersMayName = startsAsColumnName(identification);
    const std::size_t width = filledWidth(fields);
    std::size_t named = 0;
    for (const std::size_t column : numericColumns) {
        if (column >= width) {
            continue;
        }
        const std::string_view name = fields[column];
        if (!hasLetterOrDigit(name) || (isGrade(name) && !numbersMayName)) {
            return false;
        }
        ++named;
    }
    return named > 0 && named >= std::min<std::size_t>(3, numericColumns.size());
}

// Without a header, a row above the first student that may be one, whose grades are
// missing or not numbers: four fields at least, something under two of the columns of
// numbers. A row of fewer words, in the form separated by spaces, is a title. A number
// identifying the row has made it the first student already.
bool couldBeStudent(const Fields& fields, const std::vector<std::size_t>& numericColumns)
{
    const std::string_view identification = identificationOf(fields);
    if (fields.size() < 4 || filledCount(fields) < 2 || startsAsColumnName(identification) ||
        startsAsTitle(identification)) {
        return false;
    }
    const auto underNumbers =
        std::count_if(numericColumns.begin(), numericColumns.end(), [&fields](std::size_t column) {
            return column < fields.size() && !isBlank(fields[column]);
        });
    return underNumbers >= 2;
}

// Between a header and the first student, a row of one text alone is a title of a part of
// the class; anything else there is a row of the table.
bool isSectionTitle(const Fields& fields)
{
    return filledCount(fields) == 1 && !isWholeNumber(identificationOf(fields));
}

std::vector<std::size_t> upTo(std::size_t end)
{
    std::vector<std::size_t> indexes(end);
    for (std::size_t index = 0; index < end; ++index) {
        indexes[index] = index;
    }
    return indexes;
}

std::optional<std::size_t> nearestHeaderAbove(const std::vector<const Record*>& rows,
                                              std::size_t student,
                                              const std::vector<std::size_t>& numericColumns)
{
    for (std::size_t row = student; row-- > 0;) {
        if (qualifiesAsHeader(rows[row]->fields, numericColumns)) {
            return row;
        }
    }
    return std::nullopt;
}

TableStart withHeader(const std::vector<const Record*>& rows, std::size_t header,
                      std::size_t student)
{
    TableStart start{header, header + 1, upTo(header)};
    for (std::size_t row = header + 1; row < student; ++row) {
        if (isSectionTitle(rows[row]->fields)) {
            start.titles.push_back(row);
        }
    }
    return start;
}

// No row reads as a student: the first of several fields is the header, unless there is
// none; then the rows are students whose grades are all missing.
TableStart withoutStudents(const std::vector<const Record*>& rows, HeaderChoice choice)
{
    const auto first = std::find_if(
        rows.begin(), rows.end(), [](const Record* row) { return filledCount(row->fields) >= 2; });
    const auto index = static_cast<std::size_t>(first - rows.begin());
    if (first == rows.end() || choice == HeaderChoice::absent) {
        return {std::nullopt, index, upTo(index)};
    }
    return {index, index + 1, upTo(index)};
}

} // namespace

bool readsAsStudent(const Fields& fields)
{
    const std::size_t first = firstFilled(fields);
    if (filledCount(fields) < 2) {
        return false;
    }
    const std::string_view identification = trimmed(fields[first]);
    if (startsAsColumnName(identification) || startsAsTitle(identification) ||
        isSummaryLabel(identification)) {
        return false;
    }
    return isWholeNumber(identification) ||
           std::any_of(fields.begin() + static_cast<std::ptrdiff_t>(first) + 1, fields.end(),
                       [](std::string_view field) { return isGrade(field); });
}

TableStart findTableStart(const std::vector<const Record*>& rows,
                          std::optional<std::size_t> firstStudent,
                          const std::vector<std::size_t>& numericColumns, HeaderChoice choice)
{
    if (!firstStudent) {
        return withoutStudents(rows, choice);
    }
    const std::size_t student = *firstStudent;
    const auto header = nearestHeaderAbove(rows, student, numericColumns);
    if (choice == HeaderChoice::detect && header) {
        return withHeader(rows, *header, student);
    }
    if (choice == HeaderChoice::present) {
        // Failing a header that reads as one, the nearest row of several fields, or the first.
        std::size_t forced = header.value_or(student);
        for (std::size_t row = student; !header && row-- > 0;) {
            if (filledCount(rows[row]->fields) >= 2) {
                forced = row;
                break;
            }
        }
        return withHeader(rows, forced, std::max(student, forced + 1));
    }
    // No header: above the first student, the rows that may be students too, up to a title.
    std::size_t first = student;
    while (first > 0 && (choice == HeaderChoice::absent
                             ? filledCount(rows[first - 1]->fields) >= 2
                             : couldBeStudent(rows[first - 1]->fields, numericColumns))) {
        --first;
    }
    return {std::nullopt, first, upTo(first)};
}

RowKind classifyRow(const Layout& layout, const Record& record)
{
    if (record.line == layout.directiveLine) {
        return RowKind::directive;
    }
    // Most rows are students, whose identification shows they are not blank.
    const std::string_view identification = identificationOf(layout, record);
    if (identification.empty() && record.problem == RecordProblem::none &&
        filledWidth(record.fields) == 0) {
        return RowKind::blank;
    }
    if (record.line == layout.headerLine) {
        return RowKind::header;
    }
    if (record.line < layout.tableStart ||
        std::binary_search(layout.titleLines.begin(), layout.titleLines.end(), record.line)) {
        return RowKind::title;
    }
    if (record.problem != RecordProblem::none) {
        return RowKind::student; // an error row, which says why
    }
    return identification.empty() || isSummaryLabel(identification) ? RowKind::footer
                                                                    : RowKind::student;
}

std::string_view identificationOf(const Layout& layout, const Record& record)
{
    const std::size_t end = std::min(layout.identificationEnd, record.fields.size());
    for (std::size_t column = layout.identification; column < end; ++column) {
        const std::string_view field = trimmed(record.fields[column]);
        if (!field.empty()) {
            return field;
        }
    }
    return {};
}
