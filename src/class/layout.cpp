#include "class/layout.h"

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <utility>

#include "class/names.h"
#include "class/student.h"
#include "text/fields.h"

namespace {

constexpr std::size_t fewestColumns = 4; // an identification and three grades

using Rows = std::vector<const Row*>;

std::string_view trimmedTextAt(const Row& row, std::size_t column)
{
    return trimmed(row.textAt(column));
}

bool filledAt(const Row& row, std::size_t column)
{
    const Cell* cell = row.at(column);
    return cell != nullptr && isFilled(*cell);
}

// The first filled cell's text, trimmed: what a row starts with.
std::string_view firstText(const Row& row)
{
    const std::size_t first = firstFilled(row);
    return first < mostColumns ? trimmedTextAt(row, first) : std::string_view();
}

// A grade by the program's rules: a number, or text that reads as one.
bool isGradeCell(const Row& row, const Cell& cell)
{
    return isFilled(cell) && mayBeGrade(cell) && isGrade(row.textOf(cell));
}

// Numbers name the columns only after a name that says who (Aluno;1;2;3), and only as
// the columns are counted: whole numbers, each one more than the one before.
bool numbersNameColumns(const Row& row, std::string_view identification)
{
    if (!namesIdentification(identification)) {
        return false;
    }
    long previous = 0;
    const std::size_t first = firstFilled(row);
    for (const Cell& cell : row.cells) {
        const std::string_view text = trimmed(row.textOf(cell));
        if (cell.column <= first || !isFilled(cell) || !isGrade(text)) {
            continue;
        }
        if (!isWholeNumber(text) || text.size() > 2 ||
            std::stol(std::string(text)) != previous + 1) {
            return false;
        }
        ++previous;
    }
    return true;
}

// Whether every filled cell after the first is a grade: a row of an identification and
// numbers alone.
bool onlyGradesAfterFirst(const Row& row)
{
    const std::size_t first = firstFilled(row);
    return std::all_of(row.cells.begin(), row.cells.end(), [&](const Cell& cell) {
        return cell.column <= first || !isFilled(cell) || isGradeCell(row, cell);
    });
}

// A row that reads as a student by itself: an identification that is no label of totals
// or a platform's, then two grades or more, or numbers alone, unless they count the
// columns after a name that says who (Aluno;1;2;3); or an identification that is no
// column name or title either ("Total Reis;9;7;8" is a student, "Nome;N1;N2;N3" a header),
// and a whole number (a matrícula, a roll number) or a grade after it.
bool readsAsStudent(const Row& row)
{
    if (filledCount(row) < 2) {
        return false;
    }
    const std::string_view identification = firstText(row);
    if (isSummaryLabel(identification) || isPlatformLabel(identification)) {
        return false;
    }
    const std::size_t first = firstFilled(row);
    const auto grades = std::count_if(row.cells.begin(), row.cells.end(), [&](const Cell& cell) {
        return cell.column > first && isGradeCell(row, cell);
    });
    if (grades >= 2 || onlyGradesAfterFirst(row)) {
        return !numbersNameColumns(row, identification);
    }
    if (startsAsColumnName(identification) || startsAsTitle(identification)) {
        return false;
    }
    return isWholeNumber(identification) || grades > 0;
}

// What the cells of a column below the header hold, in the rows read ahead.
struct ColumnFields {
    std::size_t filled = 0;  // with a letter or digit: a dash is no value
    std::size_t numbers = 0; // of those, grades by the program's rules
    std::size_t zeroToTen = 0;
    std::size_t marks = 0; // of the numbers, 0 or 1
};

std::vector<ColumnFields> fieldsByColumn(std::span<const Row* const> rows, std::size_t width)
{
    std::vector<ColumnFields> columns(width);
    for (const Row* row : rows) {
        for (const Cell& cell : row->cells) {
            const std::string_view text = row->textOf(cell);
            if (cell.column >= width || !isFilled(cell) || !hasLetterOrDigit(text)) {
                continue;
            }
            ColumnFields& counts = columns[cell.column];
            ++counts.filled;
            const GradeField read = readGradeField(text);
            if (mayBeGrade(cell) && read.problem == GradeProblem::none) {
                ++counts.numbers;
                counts.zeroToTen += read.grade >= 0.0f && read.grade <= 10.0f ? 1 : 0;
                counts.marks += read.grade == 0.0f || read.grade == 1.0f ? 1 : 0;
            }
        }
    }
    return columns;
}

bool mostlyNumbers(const ColumnFields& column)
{
    return column.numbers > 0 && 2 * column.numbers >= column.filled;
}

// Matrículas, years and percentages are numbers, but not grades.
bool mostlyGrades(const ColumnFields& column)
{
    return mostlyNumbers(column) && 2 * column.zeroToTen >= column.numbers;
}

// A column of ticks, 0 or 1 in every row, says something of the student, not who.
bool onlyMarks(const ColumnFields& column)
{
    return column.filled >= 2 && column.marks == column.filled;
}

std::vector<std::size_t> numericColumns(const std::vector<ColumnFields>& columns)
{
    std::vector<std::size_t> numeric;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (mostlyNumbers(columns[column])) {
            numeric.push_back(column);
        }
    }
    return numeric;
}

std::size_t widestRow(std::span<const Row* const> rows)
{
    std::size_t widest = 0;
    for (const Row* row : rows) {
        widest = std::max(widest, filledWidth(*row));
    }
    return std::min(widest, mostColumns);
}

// A header names the columns of numbers below it, up to its last name: at least three of
// them, or all there are, with text; a blank or a dash under its names is a student's
// missing grade, not a name, and a row of an identification and numbers alone is a
// student, as a platform's row is no header (Muted). The name over its first column may
// be no word at all (#).
bool qualifiesAsHeader(const Row& row, const std::vector<std::size_t>& numericColumns)
{
    const std::string_view identification = firstText(row);
    if (isWholeNumber(identification) || isPlatformLabel(identification) ||
        std::any_of(row.cells.begin(), row.cells.end(), [&row](const Cell& cell) {
            return isPlatformMarker(trimmed(row.textOf(cell)));
        })) {
        return false;
    }
    const bool numbersMayName = numbersNameColumns(row, identification);
    const std::size_t width = filledWidth(row);
    const std::size_t first = firstFilled(row);
    std::size_t named = 0;
    bool anyText = hasLetterOrDigit(identification) && !isGrade(identification);
    for (const std::size_t column : numericColumns) {
        const std::string_view name = trimmedTextAt(row, column);
        // The name over the identification may be no word at all: #.
        if (column >= width || (column == first && !hasLetterOrDigit(name))) {
            continue;
        }
        const bool number = isGrade(name);
        if (!hasLetterOrDigit(name) || (number && !numbersMayName)) {
            return false;
        }
        anyText = anyText || !number;
        ++named;
    }
    return named > 0 && named >= std::min<std::size_t>(3, numericColumns.size()) &&
           (anyText || numbersMayName);
}

// Without a header, a row above the first student that may be one, whose grades are
// missing or not numbers: four fields at least, something under two of the columns of
// numbers. A row of fewer, or of one text, is a title.
bool couldBeStudent(const Row& row, const std::vector<std::size_t>& numericColumns)
{
    const std::string_view identification = firstText(row);
    if (row.width() < fewestColumns || filledCount(row) < 2 || startsAsColumnName(identification) ||
        startsAsTitle(identification)) {
        return false;
    }
    const auto underNumbers =
        std::count_if(numericColumns.begin(), numericColumns.end(),
                      [&row](std::size_t column) { return filledAt(row, column); });
    return underNumbers >= 2;
}

// Where the table starts among the rows read ahead, blank ones left out: the header, if
// any, and the first row of the table; the rows above it are titles.
struct TableStart {
    std::optional<std::size_t> header;
    std::size_t firstRow = 0;
};

std::optional<std::size_t> nearestHeaderAbove(const Rows& rows, std::size_t student,
                                              const std::vector<std::size_t>& numericColumns)
{
    for (std::size_t row = student; row-- > 0;) {
        if (qualifiesAsHeader(*rows[row], numericColumns)) {
            return row;
        }
    }
    return std::nullopt;
}

// No row reads as a student: the first of several cells is the header, unless there is
// none; then the rows are students whose grades are all missing.
TableStart withoutStudents(const Rows& rows, HeaderChoice choice)
{
    const auto first = std::find_if(rows.begin(), rows.end(),
                                    [](const Row* row) { return filledCount(*row) >= 2; });
    const auto index = static_cast<std::size_t>(first - rows.begin());
    if (first == rows.end() || choice == HeaderChoice::absent) {
        return {std::nullopt, index};
    }
    return {index, index + 1};
}

// student is the first row that reads as one, or rows.size() where none does.
TableStart findTableStart(const Rows& rows, std::size_t student,
                          const std::vector<std::size_t>& numericColumns, HeaderChoice choice)
{
    if (student == rows.size()) {
        return withoutStudents(rows, choice);
    }
    const auto header = nearestHeaderAbove(rows, student, numericColumns);
    if (choice == HeaderChoice::detect && header) {
        return {header, *header + 1};
    }
    if (choice == HeaderChoice::present) {
        // Failing a header that reads as one, the nearest row of several cells, or the first.
        std::size_t forced = header.value_or(student);
        for (std::size_t row = student; !header && row-- > 0;) {
            if (filledCount(*rows[row]) >= 2) {
                forced = row;
                break;
            }
        }
        return {forced, forced + 1};
    }
    // No header: above the first student, the rows that may be students too, up to a title.
    std::size_t first = student;
    while (first > 0 &&
           (choice == HeaderChoice::absent ? filledCount(*rows[first - 1]) >= 2
                                           : couldBeStudent(*rows[first - 1], numericColumns))) {
        --first;
    }
    return {std::nullopt, first};
}

std::string columnName(const Layout& layout, std::size_t column)
{
    return column < layout.names.size() ? std::string(trimmed(layout.names[column])) : "";
}

// The columns after the identification that may be grades, from what they hold and their
// names. A column blank in every row may be a grade not given yet: it counts among them
// where no header names it otherwise.
struct MaybeGrades {
    std::vector<std::size_t> possible;
    std::vector<std::size_t> named;  // of those, the ones whose name says grade
    std::vector<std::size_t> others; // numbers that are not grades, for the user to see
    std::size_t withNumbers = 0;     // of the possible, those with numbers
};

MaybeGrades maybeGrades(const Layout& layout, const std::vector<ColumnFields>& columns)
{
    MaybeGrades found;
    for (std::size_t column = layout.identification + 1; column < layout.width; ++column) {
        const std::string name = columnName(layout, column);
        const ColumnFields& fields = columns.at(column);
        const bool saysGrade = namesGrade(name);
        // A name that says grade keeps a column of grades out of range among them.
        const bool grades = mostlyGrades(fields) || (saysGrade && mostlyNumbers(fields));
        const bool blank = fields.filled == 0 && (layout.names.empty() || saysGrade);
        if (!namesNoGrade(name) && (grades || blank)) {
            found.possible.push_back(column);
            found.withNumbers += grades ? 1 : 0;
            if (saysGrade) {
                found.named.push_back(column);
            }
        } else if (mostlyNumbers(fields)) {
            found.others.push_back(column);
        }
    }
    return found;
}

// How many columns the rule uses, in words: três.
std::string countedColumns(std::size_t count)
{
    static constexpr std::array<std::string_view, 21> words{
        "nenhuma", "uma",    "duas",      "tr\u00eas", "quatro",  "cinco",    "seis",
        "sete",    "oito",   "nove",      "dez",       "onze",    "doze",     "treze",
        "catorze", "quinze", "dezesseis", "dezessete", "dezoito", "dezenove", "vinte"};
    return count < words.size() ? std::string(words.at(count)) : std::to_string(count);
}

// Why the grades are unclear, the columns to choose from and, where as many as the rule
// weighs may be grades, the first of them for a command to try.
void explainUnclear(LayoutDecision& decision, const MaybeGrades& found)
{
    const std::size_t wanted = decision.grades;
    decision.problem = LayoutProblem::gradesUnclear;
    decision.candidates = found.possible;
    decision.otherNumbers = found.others;
    const std::size_t numbers = found.withNumbers;
    if (found.possible.size() > wanted) {
        decision.why = "h\u00e1 " + std::to_string(found.possible.size()) +
                       " colunas que podem ser as notas, e a regra usa " + countedColumns(wanted);
        decision.example.assign(found.possible.begin(),
                                found.possible.begin() + static_cast<std::ptrdiff_t>(wanted));
        return;
    }
    decision.why = numbers == 0 ? "n\u00e3o encontrei colunas de notas"
                                : "encontrei s\u00f3 " +
                                      plural(static_cast<long>(numbers), "coluna que pode",
                                             "colunas que podem") +
                                      " ser de notas";
}

// The grade columns: those that may be, as many as the rule weighs, or of more, those
// named so; or, in decision, why not.
bool chooseGradeColumns(LayoutDecision& decision, const std::vector<ColumnFields>& columns)
{
    const MaybeGrades found = maybeGrades(decision.layout, columns);
    const std::size_t wanted = decision.grades;
    const std::vector<std::size_t>& chosen =
        found.possible.size() > wanted ? found.named : found.possible;
    if (chosen.size() == wanted) {
        decision.layout.gradeColumns = chosen;
        return true;
    }
    explainUnclear(decision, found);
    return false;
}

bool isNumberText(std::string_view text)
{
    return !text.empty() && text.size() < 6 &&
           std::all_of(text.begin(), text.end(),
                       [](char digit) { return digit >= '0' && digit <= '9'; });
}

// Whether a column the user named can only be a header's name: not a number, not letters.
bool isHeaderName(const std::string& named)
{
    return !isNumberText(named) && !columnOfLetters(named);
}

std::string headerNamesList(const Layout& layout)
{
    std::string list;
    const std::vector<std::string> names = columnNames(layout);
    for (std::size_t column = 0; column < names.size(); ++column) {
        list.append(column == 0 ? "" : ", ").append(columnLetters(column));
        list.append(" \"").append(names[column]).append("\"");
    }
    return list;
}

// The column the user named: a number, a header's name, or letters; or why not.
std::optional<std::size_t> namedColumn(const Layout& layout, const std::string& named,
                                       std::string& why)
{
    if (isNumberText(named)) {
        return std::stoul(named) - 1;
    }
    const auto found =
        std::find_if(layout.names.begin(), layout.names.end(),
                     [&named](const std::string& name) { return sameName(name, named); });
    if (found != layout.names.end()) {
        return static_cast<std::size_t>(found - layout.names.begin());
    }
    if (const auto column = columnOfLetters(named)) {
        return column;
    }
    why = layout.names.empty()
              ? "colunas de notas por nome pedem um cabe\u00e7alho"
              : "n\u00e3o h\u00e1 coluna \"" + named +
                    "\" no cabe\u00e7alho, cujas colunas s\u00e3o " + headerNamesList(layout);
    return std::nullopt;
}

bool useNamedColumns(LayoutDecision& decision, const LayoutOptions& options, std::size_t widest)
{
    Layout& layout = decision.layout;
    layout.gradeColumns.clear();
    for (const std::string& named : options.gradeColumns) {
        const auto column = namedColumn(layout, named, decision.why);
        if (!column) {
            decision.problem = LayoutProblem::optionsDoNotFit;
            return false;
        }
        layout.gradeColumns.push_back(*column);
    }
    const auto& grades = layout.gradeColumns;
    const std::size_t last = *std::max_element(grades.begin(), grades.end());
    if (last >= std::max(widest, layout.width)) {
        decision.problem = LayoutProblem::optionsDoNotFit;
        decision.why = "n\u00e3o h\u00e1 coluna " + columnLetters(last) + " (" +
                       std::to_string(last + 1) + "): as linhas t\u00eam at\u00e9 " +
                       plural(static_cast<long>(widest), "campo", "campos");
        return false;
    }
    for (const std::size_t column : grades) {
        if (std::count(grades.begin(), grades.end(), column) > 1) {
            decision.problem = LayoutProblem::unusableOptions;
            decision.why = "--notas nomeia a coluna " + columnLetters(column) + " duas vezes";
            return false;
        }
    }
    layout.width = std::max(layout.width, last + 1);
    return true;
}

// The rows below the table's start that stand for the class: no row of totals among them.
Rows classRows(std::span<const Row* const> rows)
{
    Rows students;
    for (const Row* row : rows) {
        if (!isSummaryLabel(firstText(*row))) {
            students.push_back(row);
        }
    }
    return students;
}

void placeTable(Layout& layout, const Rows& rows, const TableStart& start)
{
    // Where the rows read ahead start no table, none follows them either: every row is
    // the same title, or whatever it is, before them and after.
    layout.tableStart = start.header                   ? rows[*start.header]->position
                        : start.firstRow < rows.size() ? rows[start.firstRow]->position
                                                       : UINT64_MAX;
    if (start.header) {
        const Row& header = *rows[*start.header];
        layout.header = header.position;
        layout.headerNumber = header.number;
        layout.names.assign(std::min(filledWidth(header), mostColumns), std::string());
        for (const Cell& cell : header.cells) {
            if (cell.column < layout.names.size()) {
                layout.names[cell.column] = header.textOf(cell);
            }
        }
    }
}

// Without a header: the number of fields most rows have, as a spreadsheet writes every
// row of text with as many, empty ones included; but not the columns empty in every row.
std::size_t mostCommonWidth(std::span<const Row* const> rows)
{
    std::map<std::size_t, int> rowsOfWidth;
    std::size_t widestFilled = 0;
    for (const Row* row : rows) {
        ++rowsOfWidth[row->width()];
        widestFilled = std::max(widestFilled, filledWidth(*row));
    }
    std::pair<std::size_t, int> most{0, 0};
    for (const auto& [width, count] : rowsOfWidth) {
        if (count >= most.second) { // on a tie, the wider: a narrower row lacks fields
            most = {width, count};
        }
    }
    return std::min(most.first, widestFilled);
}

// The first column with text in any row: the columns before it are an empty margin.
std::size_t firstColumnWithText(std::span<const Row* const> rows)
{
    std::size_t first = mostColumns;
    for (const Row* row : rows) {
        first = std::min(first, firstFilled(*row));
    }
    return first == mostColumns ? 0 : first;
}

// The first column that identifies a student: the first the header names so, where it
// names one; else the first with text, but a column of ticks before another with text.
std::size_t identificationColumn(const Layout& layout, std::span<const Row* const> students,
                                 std::size_t firstWithText)
{
    for (std::size_t column = firstWithText;
         column < layout.names.size() && !namesGrade(layout.names[column]); ++column) {
        if (namesIdentification(layout.names[column])) {
            return column;
        }
    }
    const std::vector<ColumnFields> columns = fieldsByColumn(students, firstWithText + 2);
    const bool filledAfter =
        columns.at(firstWithText + 1).filled >= columns.at(firstWithText).filled;
    return onlyMarks(columns.at(firstWithText)) && filledAfter ? firstWithText + 1 : firstWithText;
}

// The width and where the identification is, from the header and the class's rows.
void measureTable(Layout& layout, std::span<const Row* const> students, const Row* header,
                  bool endAtLastCell, std::size_t grades)
{
    if (layout.wordsOnly) { // the identification, then the last words, one a grade
        layout.identification = 0;
        layout.width = 1 + grades;
        layout.gradeColumns.clear();
        for (std::size_t grade = 1; grade <= grades; ++grade) {
            layout.gradeColumns.push_back(grade);
        }
        return;
    }
    Rows named(students.begin(), students.end());
    if (header != nullptr) {
        named.push_back(header);
    }
    layout.identification = identificationColumn(layout, students, firstColumnWithText(named));
    const std::size_t width = header != nullptr ? filledWidth(*header)
                              : endAtLastCell   ? widestRow(students)
                                                : mostCommonWidth(students);
    layout.width = std::max(width, layout.identification + 1 + grades);
}

// Whether column holds numbers in every row that fills it, and in one at least: number
// cells, or text of plain numbers where text is allowed; errors pass where allowed.
bool allPlainNumbers(std::span<const Row* const> rows, std::size_t column,
                     bool errorsAllowed = false, bool textAllowed = true)
{
    bool any = false;
    for (const Row* row : rows) {
        const Cell* cell = row->at(column);
        if (cell != nullptr && isFilled(*cell) &&
            !(errorsAllowed && cell->kind == CellKind::error)) {
            if (cell->kind != CellKind::number &&
                !(textAllowed && plainNumber(row->textOf(*cell)))) {
                return false;
            }
            any = true;
        }
    }
    return any;
}

void findNumberColumns(Layout& layout, std::span<const Row* const> students)
{
    layout.numberColumns.assign(layout.width, false);
    layout.numbersRead.assign(layout.width, false);
    for (std::size_t column = 0; column < layout.width; ++column) {
        // Before the grades, a column identifies the student, unless its name says data.
        const bool identifies = column >= layout.identification &&
                                column < layout.identificationEnd &&
                                !(column < layout.names.size() && namesData(layout.names[column]));
        const bool grade = gradeInColumn(layout, column).has_value();
        layout.numbersRead[column] = grade || allPlainNumbers(students, column, true, !identifies);
        layout.numberColumns[column] = grade || (!identifies && allPlainNumbers(students, column));
    }
}

// A row wider than a sheet where the header would be: no table of it can be written.
bool tooWideAbove(const std::deque<Row>& rows, std::uint64_t tableStart)
{
    return std::any_of(rows.begin(), rows.end(), [tableStart](const Row& row) {
        return row.problem == RowProblem::tooWide && row.position <= tableStart;
    });
}

// The column the header names as the students' mean, after the identification and no
// grade: the one whose name says final the most, the last of those.
std::optional<std::size_t> teacherMeanColumn(const Layout& layout)
{
    std::optional<std::size_t> found;
    int most = 0;
    for (std::size_t column = layout.identificationEnd;
         column < std::min(layout.width, layout.names.size()); ++column) {
        const int says = gradeInColumn(layout, column) ? 0 : namesMean(layout.names[column]);
        if (says > 0 && says >= most) {
            found = column;
            most = says;
        }
    }
    return found;
}

void chooseColumns(LayoutDecision& decision, const LayoutOptions& options, const Rows& rows,
                   const Rows& students)
{
    Layout& layout = decision.layout;
    if (!options.gradeColumns.empty()) {
        useNamedColumns(decision, options, widestRow(rows));
    } else if (!layout.wordsOnly &&
               !chooseGradeColumns(decision, fieldsByColumn(students, layout.width)) &&
               students.empty()) {
        // No student to compute, none to compute wrongly, and no grade columns to claim.
        decision = LayoutDecision{layout, LayoutProblem::none, {}, {}, {}, {}, decision.grades};
        decision.layout.gradesFound = false;
        decision.layout.gradeColumns.clear();
        for (std::size_t grade = decision.grades; grade > 0; --grade) {
            decision.layout.gradeColumns.push_back(layout.width - std::min(grade, layout.width));
        }
    }
}

} // namespace

LayoutDecision decideLayout(const std::deque<Row>& firstRows, RowShape shape,
                            const LayoutOptions& options)
{
    LayoutDecision decision;
    decision.grades = options.grades;
    Layout& layout = decision.layout;
    const bool wordsOnly = shape.wordsOnly;
    layout.wordsOnly = wordsOnly;
    Rows rows;
    for (const Row& row : firstRows) {
        if (row.problem == RowProblem::none && filledWidth(row) > 0) {
            rows.push_back(&row);
        }
    }
    if (wordsOnly && !options.gradeColumns.empty()) {
        decision.problem = LayoutProblem::optionsDoNotFit;
        decision.why = "o arquivo n\u00e3o tem colunas separadas por ';', tabula\u00e7\u00e3o ou "
                       "',', que --notas nomeie: seus campos s\u00e3o separados por "
                       "espa\u00e7os, e as notas s\u00e3o as \u00faltimas palavras, uma para "
                       "cada peso";
        return decision;
    }
    if (rows.empty()) {
        layout.tableStart = firstRows.empty() ? 0 : firstRows.front().position;
        layout.gradesFound = false;
        return decision;
    }
    const auto first =
        std::find_if(rows.begin(), rows.end(), [](const Row* row) { return readsAsStudent(*row); });
    const auto firstStudent = static_cast<std::size_t>(first - rows.begin());
    const Rows below = classRows({first, rows.end()});
    const std::vector<std::size_t> numeric =
        numericColumns(fieldsByColumn(below, widestRow(below)));
    const bool namesNeedHeader =
        std::any_of(options.gradeColumns.begin(), options.gradeColumns.end(), isHeaderName);
    const HeaderChoice choice = namesNeedHeader && options.header == HeaderChoice::detect
                                    ? HeaderChoice::present
                                    : options.header;
    const TableStart start = findTableStart(rows, firstStudent, numeric, choice);
    placeTable(layout, rows, start);
    if (tooWideAbove(firstRows, layout.tableStart)) {
        decision.problem = LayoutProblem::tooWide;
        decision.why = "o cabe\u00e7alho tem mais de 16.384 colunas, o m\u00e1ximo de uma planilha";
        return decision;
    }
    const Rows students = classRows(
        {rows.begin() + static_cast<std::ptrdiff_t>(std::min(start.firstRow, rows.size())),
         rows.end()});
    measureTable(layout, students, start.header ? rows[*start.header] : nullptr,
                 shape.endAtLastCell, options.grades);
    chooseColumns(decision, options, rows, students);
    const std::size_t firstGrade =
        *std::min_element(layout.gradeColumns.begin(), layout.gradeColumns.end());
    layout.identificationEnd =
        firstGrade > layout.identification ? firstGrade : layout.identification + 1;
    findNumberColumns(layout, students);
    layout.teacherMean = teacherMeanColumn(layout);
    return decision;
}

std::vector<std::string> columnNames(const Layout& layout)
{
    std::vector<std::string> names = layout.names;
    if (names.empty()) {
        const std::size_t identifications =
            layout.width -
            std::min(layout.width, layout.gradeColumns.size() + layout.identification);
        std::size_t identification = 0;
        for (std::size_t column = 0; column < layout.width; ++column) {
            if (const auto grade = gradeInColumn(layout, column)) {
                names.push_back("Nota " + std::to_string(*grade + 1));
            } else if (column < layout.identification) {
                names.emplace_back();
            } else {
                names.push_back(identifications == 1 ? "Identifica\u00e7\u00e3o"
                                                     : "Identifica\u00e7\u00e3o " +
                                                           std::to_string(++identification));
            }
        }
    }
    names.resize(layout.width);
    return names;
}
