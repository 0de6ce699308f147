#include "class/class_file.h"

#include <deque>
#include <memory>
#include <utility>

#include "class/names.h"
#include "class/rows.h"
#include "sheets/sheet_source.h"
#include "text/encoding.h"
#include "text/fields.h"
#include "text/text_source.h"

namespace {

constexpr std::string_view howToSaveAsCsv =
    "como CSV (LibreOffice: Arquivo > Salvar como > Texto CSV; Excel: Arquivo > Salvar "
    "como > CSV UTF-8) e leia esse arquivo";

// Rows that are footers if no student follows them are held until one does; a footer is
// a few rows of a few cells, and past this many, or this much text, they are no footer.
constexpr std::size_t mostHeldRows = 1000;
constexpr std::size_t mostHeldBytes = std::size_t{16} << 20U;

void addMessage(Output& messages, std::string_view prefix, std::string_view utf8)
{
    messages.text.append(prefix).append(inLocaleEncoding(utf8)).append("\n");
    flushOutput(messages);
}

std::string refusal(FileKind kind)
{
    if (kind == FileKind::oldSpreadsheet) {
        return "\u00e9 uma planilha do Excel antigo (.xls), ou protegida por senha; salve-a "
               "sem senha como .xlsx, .ods ou " +
               std::string(howToSaveAsCsv);
    }
    if (kind == FileKind::lockedSpreadsheet) {
        return "\u00e9 uma planilha protegida por senha; abra-a, tire a senha e salve-a de "
               "novo, ou salve-a " +
               std::string(howToSaveAsCsv);
    }
    return "n\u00e3o \u00e9 um arquivo de texto; salve a turma " + std::string(howToSaveAsCsv);
}

// The first rows: the rows the layout is decided from, and the first rows of the pass.
std::deque<Row> firstRows(RowSource& source)
{
    std::deque<Row> first;
    std::size_t bytes = 0;
    while (first.size() < rowsReadAhead && bytes < bytesReadAhead) {
        if (!source.next(first.emplace_back())) {
            first.pop_back();
            break;
        }
        bytes += first.back().text.size();
    }
    return first;
}

// The class in input: a text file, or a spreadsheet's sheet; or, in result, why not.
std::unique_ptr<RowSource> openClass(LineReader& input, const ClassOptions& options,
                                     std::string_view source, ClassResult& result)
{
    const FileKind kind = startReading(input);
    if (kind == FileKind::zip) {
        return openSpreadsheet(input, source, options.sheet, result);
    }
    if (kind != FileKind::text && kind != FileKind::utf16) {
        result.outcome = ClassOutcome::refused;
        result.problem = refusal(kind);
        return nullptr;
    }
    if (!options.sheet.empty()) {
        result.outcome = ClassOutcome::optionsDoNotFit;
        result.problem = "--folha \u00e9 para planilhas, e este \u00e9 um arquivo de texto";
        return nullptr;
    }
    return textSource(input, source, 1 + options.rule.grades());
}

// The state of one pass over the rows.
struct ClassPass {
    RowSource& source;
    TableWriter& table;
    Output& messages;
    Layout layout;
    ClassResult result;
    Grading grading;
    StudentRow student;
    std::deque<Row> held; // rows that are footers, unless a student follows
    std::size_t heldBytes = 0;
};

std::string where(const ClassPass& pass, const Row& row, std::optional<std::size_t> column = {})
{
    return pass.source.where(row, column) + ": ";
}

// What a message shows of a row that is not a student: its first filled cell.
std::string_view shownOf(const Layout& layout, const Row& row)
{
    const std::string_view label = identificationOf(layout, row);
    const std::size_t first = firstFilled(row);
    return !label.empty() ? label : first < mostColumns ? trimmed(row.textAt(first)) : "";
}

// The empty cells the table adds to a row count against the file's expansion: a row of
// one cell under a header of thousands, or a note in the sheet's last column.
bool withinExpansion(ClassPass& pass, const Row& row)
{
    const bool full = row.cells.size() == pass.layout.width && row.width() == pass.layout.width;
    if (full || pass.source.expansion().made(emptyCellsOf(pass.layout, row))) {
        return true;
    }
    pass.result.outcome = ClassOutcome::tooLarge;
    pass.result.problem = std::string(tooLargeForItsFile);
    return false;
}

// False where the reading stops: the sheet has no room for the row, or the table would be
// too large.
bool writeStudent(ClassPass& pass)
{
    const StudentRow& student = pass.student;
    const Row& row = *student.row;
    for (const auto& [column, warning] : student.warnings) {
        addMessage(pass.messages, where(pass, row, column), "aviso: " + warning);
    }
    if (!student.error.empty()) {
        addMessage(pass.messages, where(pass, row, student.errorColumn), student.error);
    }
    countStudent(pass.result.counts, student);
    if (!withinExpansion(pass, row)) {
        return false;
    }
    if (!pass.table.addRow(student)) {
        pass.result.outcome = ClassOutcome::sheetFull;
        return false;
    }
    return true;
}

// The rows held are among the students after all: rows in error, as no student is
// without an identification or a row of totals.
bool writeHeldRows(ClassPass& pass)
{
    pass.heldBytes = 0;
    for (const Row& held : pass.held) {
        const bool totals = !identificationOf(pass.layout, held).empty();
        refuseStudent(
            held, totals ? "linha de totais entre os alunos" : "linha sem identifica\u00e7\u00e3o",
            pass.student);
        if (!writeStudent(pass)) {
            return false;
        }
    }
    pass.held.clear();
    return true;
}

// A row that is no student, written as the file has it, and said.
bool writeOtherRow(ClassPass& pass, const Row& row, std::string_view said)
{
    addMessage(pass.messages, where(pass, row),
               "aviso: " + std::string(said) + ": " + quotedForMessage(shownOf(pass.layout, row)));
    if (!withinExpansion(pass, row)) {
        return false;
    }
    pass.table.addOtherRow(row);
    return true;
}

bool writeFooters(ClassPass& pass)
{
    for (const Row& footer : pass.held) {
        if (!writeOtherRow(pass, footer, "rodap\u00e9, n\u00e3o \u00e9 um aluno")) {
            return false;
        }
    }
    pass.held.clear();
    return true;
}

void writeTitle(ClassPass& pass, const Row& row)
{
    // A title of words only is its line; of a sheet, its first filled cell.
    const std::string_view text =
        pass.layout.wordsOnly ? std::string_view(row.text) : shownOf(pass.layout, row);
    addMessage(pass.messages, where(pass, row),
               "aviso: linha de t\u00edtulo, fora da tabela: " + quotedForMessage(trimmed(text)));
    pass.table.addTitle(trimmed(text));
}

// The number format of the teacher's own mean in row, where the sheet gives it one.
std::string_view teacherMeanFormat(const ClassPass& pass, const Row& row)
{
    const Cell* cell = pass.layout.teacherMean ? row.at(*pass.layout.teacherMean) : nullptr;
    return cell == nullptr ? std::string_view() : pass.source.formatCode(cell->format);
}

// False where the reading stops.
bool takeRow(ClassPass& pass, Row& row)
{
    const RowKind kind = classifyRow(pass.layout, row);
    switch (kind) {
    case RowKind::title:
        writeTitle(pass, row);
        return true;
    case RowKind::platform:
        return writeOtherRow(pass, row, "linha da plataforma, n\u00e3o \u00e9 um aluno");
    case RowKind::footer:
        pass.heldBytes += row.text.size() + row.cells.size() * sizeof(Cell);
        pass.held.push_back(std::move(row));
        return (pass.held.size() < mostHeldRows && pass.heldBytes < mostHeldBytes) ||
               writeHeldRows(pass);
    case RowKind::student:
    case RowKind::status:
        if (!pass.held.empty() && !writeHeldRows(pass)) {
            return false;
        }
        gradeStudent(row, kind, pass.layout, pass.grading, pass.student);
        checkTeacherMean(row, pass.layout, teacherMeanFormat(pass, row), pass.student);
        return writeStudent(pass);
    default:
        return true; // blank, or the header, which the table starts with
    }
}

ClassOutcome outcomeOf(LayoutProblem problem)
{
    switch (problem) {
    case LayoutProblem::unusableOptions:
        return ClassOutcome::unusableOptions;
    case LayoutProblem::optionsDoNotFit:
        return ClassOutcome::optionsDoNotFit;
    case LayoutProblem::gradesUnclear:
        return ClassOutcome::gradesUnclear;
    case LayoutProblem::tooWide:
        return ClassOutcome::tooWide;
    default:
        return ClassOutcome::computed;
    }
}

// Columns as a user picks them: C (3) "1º Bim".
std::vector<std::string> listedColumns(const std::vector<std::size_t>& columns,
                                       const LayoutDecision& decision)
{
    const std::vector<std::string> names = columnNames(decision.layout);
    std::vector<std::string> listed;
    for (const std::size_t column : columns) {
        std::string shown = columnLetters(column) + " (" + std::to_string(column + 1) + ")";
        if (column < names.size() && !names[column].empty() && decision.layout.header) {
            shown += ' ' + quotedForMessage(names[column]);
        }
        listed.push_back(shown);
    }
    return listed;
}

void explainUnclearGrades(ClassResult& result, const LayoutDecision& decision)
{
    result.columns = listedColumns(decision.candidates, decision);
    result.otherColumns = listedColumns(decision.otherNumbers, decision);
    for (const std::size_t column : decision.example) {
        result.exampleColumns.append(result.exampleColumns.empty() ? "" : ",");
        result.exampleColumns.append(columnLetters(column));
    }
}

// Stops the pass where the source could not go on; true where it did.
bool sourceRead(ClassPass& pass)
{
    const std::string problem = pass.source.problem();
    if (problem.empty()) {
        return true;
    }
    pass.result.outcome =
        pass.source.expansion().exceeded() ? ClassOutcome::tooLarge : ClassOutcome::unreadable;
    pass.result.problem = problem;
    return false;
}

void readClass(ClassPass& pass, std::deque<Row>& first)
{
    bool reading = true;
    for (auto row = first.begin(); reading && row != first.end(); ++row) {
        reading = takeRow(pass, *row);
    }
    Row row;
    while (reading && pass.source.next(row)) {
        reading = takeRow(pass, row);
    }
    if (reading && writeFooters(pass)) {
        sourceRead(pass);
    }
}

} // namespace

ClassResult convertClass(LineReader& input, const ClassOptions& options, std::string_view source,
                         TableWriter& table, Output& messages)
{
    ClassResult refused;
    const std::unique_ptr<RowSource> rowSource = openClass(input, options, source, refused);
    if (!rowSource) {
        if (refused.outcome == ClassOutcome::refused) {
            addMessage(messages, "boletim-turma: " + std::string(source) + ": ", refused.problem);
        }
        return refused;
    }
    ClassPass pass{*rowSource, table, messages, {}, {}, Grading(options.rule), {}, {}, 0};
    std::deque<Row> first = firstRows(*rowSource);
    LayoutOptions layoutOptions = options.layout;
    layoutOptions.grades = options.rule.grades();
    const LayoutDecision decision = decideLayout(first, rowSource->shape(), layoutOptions);
    pass.layout = decision.layout;
    if (!sourceRead(pass)) {
        return pass.result;
    }
    if (decision.problem != LayoutProblem::none) {
        pass.result.outcome = outcomeOf(decision.problem);
        pass.result.problem = decision.why;
        if (decision.problem == LayoutProblem::gradesUnclear) {
            explainUnclearGrades(pass.result, decision);
        }
        return pass.result;
    }
    const std::vector<std::string> names = columnNames(pass.layout);
    pass.result.ruleDescription = options.rule.described();
    if (pass.layout.teacherMean) {
        pass.result.counts.teacherMeanColumn = columnLetters(*pass.layout.teacherMean);
    }
    if (!table.beginTable(pass.layout, names, options.rule, *rowSource, pass.result.problem)) {
        pass.result.outcome = ClassOutcome::tooWide;
        return pass.result;
    }
    readClass(pass, first);
    // A file without students has no grade columns to tell of.
    pass.layout.gradesFound = pass.layout.gradesFound && pass.result.counts.students > 0;
    const std::string described = rowSource->description();
    pass.result.layoutDescription =
        (described.empty() ? "" : described + "; ") + describeLayout(pass.layout, names);
    return pass.result;
}
