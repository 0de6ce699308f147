#include "class/class_file.h"

#include <deque>
#include <utility>

#include "text/class_source.h"
#include "text/encoding.h"
#include "text/fields.h"
#include "class/names.h"
#include "text/records.h"
#include "class/rows.h"
#include "sheets/sheet_source.h"

namespace {

constexpr std::string_view howToSaveAsCsv =
    "como CSV (LibreOffice: Arquivo > Salvar como > Texto CSV; Excel: Arquivo > Salvar "
    "como > CSV UTF-8) e leia esse arquivo";

// Rows that are footers if no student follows them are held until one does; a footer is
// a few rows, and past this many they are no footer.
constexpr std::size_t mostHeldRows = 1000;

// The empty cells that rows narrower than the header add to the table, at most this many
// times the bytes read, and this many more: the table stays within a few times its file.
constexpr std::size_t paddingPerByteRead = 16;
constexpr std::size_t paddingAnyway = std::size_t{1} << 20U;

void addMessage(Output& messages, std::string_view prefix, std::string_view utf8)
{
    messages.text.append(prefix).append(inLocaleEncoding(utf8)).append("\n");
    flushOutput(messages);
}

std::string refusal(FileKind kind)
{
    if (kind == FileKind::oldSpreadsheet) {
        return "\u00e9 uma planilha do Excel antigo (.xls); salve-a como .xlsx, .ods ou " +
               std::string(howToSaveAsCsv);
    }
    return "n\u00e3o \u00e9 um arquivo de texto; salve a turma " + std::string(howToSaveAsCsv);
}

// The first records: the rows the layout is decided from, and the first rows of the pass.
// A deque, so that each stays where its fields point.
std::deque<Record> firstRecords(ClassSource& source)
{
    std::deque<Record> first;
    std::size_t bytes = 0;
    while (first.size() < linesReadAhead && bytes < bytesReadAhead) {
        if (!source.next(first.emplace_back())) {
            first.pop_back();
            break;
        }
        bytes += first.back().text.size();
    }
    return first;
}

// The class in input: a text file, or a spreadsheet's sheet; or, in result, why not.
std::unique_ptr<ClassSource> openClass(LineReader& input, const ClassOptions& options,
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
        result.outcome = ClassOutcome::unusableOptions;
        result.problem = "--folha \u00e9 para planilhas, e este \u00e9 um arquivo de texto";
        return nullptr;
    }
    return textSource(input, source);
}

// The state of one pass over the rows.
struct ClassPass {
    ClassSource& source;
    TableWriter& table;
    Output& messages;
    Layout layout;
    ClassResult result;
    GradeFields grades;
    StudentRow row;
    std::deque<Record> held; // rows that are footers, unless a student follows
    std::size_t bytesRead = 0;
    std::size_t padding = 0;
};

std::string where(const ClassPass& pass, long line, std::optional<std::size_t> column = {})
{
    return pass.source.where(line, column) + ": ";
}

// False where the reading stops: the sheet has no room for the row, or the table would be
// too large.
bool writeRow(ClassPass& pass, const Record& record)
{
    const StudentRow& row = pass.row;
    for (const auto& [column, warning] : row.warnings) {
        addMessage(pass.messages, where(pass, row.line, column), "aviso: " + warning);
    }
    if (!row.error.empty()) {
        addMessage(pass.messages, where(pass, row.line, row.errorColumn), row.error);
    }
    countStudent(pass.result.counts, row);
    pass.padding += row.cells.size() - std::min(row.cells.size(), record.fields.size());
    if (pass.padding > paddingPerByteRead * pass.bytesRead + paddingAnyway) {
        pass.result.outcome = ClassOutcome::tooLarge;
        pass.result.problem = "as linhas t\u00eam muito menos campos que o cabe\u00e7alho, de " +
                              std::to_string(pass.layout.width) +
                              ": a tabela seria muitas vezes maior que o arquivo";
        return false;
    }
    if (!pass.table.addRow(row)) {
        pass.result.outcome = ClassOutcome::sheetFull;
        return false;
    }
    return true;
}

// The rows held are among the students after all: rows in error, as no student is
// without an identification or a row of totals.
bool writeHeldRows(ClassPass& pass)
{
    for (const Record& held : pass.held) {
        const bool totals = !identificationOf(pass.layout, held).empty();
        refuseStudent(held, pass.layout,
                      totals ? "linha de totais entre os alunos"
                             : "linha sem identifica\u00e7\u00e3o",
                      pass.row);
        if (!writeRow(pass, held)) {
            return false;
        }
    }
    pass.held.clear();
    return true;
}

void writeFooters(ClassPass& pass)
{
    for (const Record& footer : pass.held) {
        const std::string_view label = identificationOf(pass.layout, footer);
        const std::size_t first = firstFilled(footer.fields);
        const std::string_view shown = !label.empty() ? label
                                       : first < footer.fields.size()
                                           ? trimmed(footer.fields[first])
                                           : std::string_view(footer.text);
        addMessage(pass.messages, where(pass, footer.line),
                   "aviso: rodap\u00e9, n\u00e3o \u00e9 um aluno: " + quotedForMessage(shown));
        if (!placeCells(footer, pass.layout, pass.row.cells)) {
            keepWholeText(footer, pass.layout, pass.row.cells);
        }
        pass.table.addFooter(pass.row.cells);
    }
    pass.held.clear();
}

void writeTitle(ClassPass& pass, const Record& record)
{
    const std::size_t first = firstFilled(record.fields);
    const std::string_view text = pass.layout.separator == whitespaceSeparated ||
                                          first == record.fields.size() || record.fields.empty()
                                      ? std::string_view(record.text)
                                      : record.fields[first];
    addMessage(pass.messages, where(pass, record.line),
               "aviso: linha de t\u00edtulo, fora da tabela: " + quotedForMessage(trimmed(text)));
    pass.table.addTitle(trimmed(text));
}

// False where the reading stops.
bool takeRecord(ClassPass& pass, const Record& record)
{
    pass.bytesRead += record.text.size() + 1;
    switch (classifyRow(pass.layout, record)) {
    case RowKind::title:
        writeTitle(pass, record);
        return true;
    case RowKind::footer:
        copyRecord(record, pass.held.emplace_back());
        return pass.held.size() < mostHeldRows || writeHeldRows(pass);
    case RowKind::student:
        if (!pass.held.empty() && !writeHeldRows(pass)) {
            return false;
        }
        gradeStudent(record, pass.layout, pass.grades, pass.row);
        return writeRow(pass, record);
    default:
        return true; // blank, the header, which the table starts with, or sep=
    }
}

ClassOutcome outcomeOf(LayoutProblem problem)
{
    switch (problem) {
    case LayoutProblem::unusableOptions:
        return ClassOutcome::unusableOptions;
    case LayoutProblem::gradesUnclear:
        return ClassOutcome::gradesUnclear;
    case LayoutProblem::tooWide:
        return ClassOutcome::tooWide;
    default:
        return ClassOutcome::computed;
    }
}

void explainUnclearGrades(ClassResult& result, const LayoutDecision& decision)
{
    const std::vector<std::string> names = columnNames(decision.layout);
    for (const std::size_t column : decision.candidates) {
        std::string listed = columnLetters(column) + " (" + std::to_string(column + 1) + ")";
        if (!names.at(column).empty() && decision.layout.headerLine != 0) {
            listed += ' ' + quotedForMessage(names.at(column));
        }
        result.columns.push_back(listed);
    }
    for (const std::size_t column : decision.example) {
        result.exampleColumns.append(result.exampleColumns.empty() ? "" : ",");
        result.exampleColumns.append(columnLetters(column));
    }
}

} // namespace

ClassResult convertClass(LineReader& input, const ClassOptions& options, std::string_view source,
                         TableWriter& table, Output& messages)
{
    ClassResult refused;
    const std::unique_ptr<ClassSource> classSource = openClass(input, options, source, refused);
    if (!classSource) {
        if (refused.outcome == ClassOutcome::refused) {
            addMessage(messages, "boletim-turma: " + std::string(source) + ": ", refused.problem);
        }
        return refused;
    }
    ClassPass pass{*classSource, table, messages, {}, {}, {}, {}, {}, 0, 0};
    const std::deque<Record> first = firstRecords(*classSource);
    const LayoutDecision decision = decideLayout(first, classSource->separator(), options.layout);
    pass.layout = decision.layout;
    if (decision.problem != LayoutProblem::none || !classSource->problem().empty()) {
        pass.result.outcome = decision.problem != LayoutProblem::none ? outcomeOf(decision.problem)
                                                                      : ClassOutcome::unreadable;
        pass.result.problem =
            decision.problem != LayoutProblem::none ? decision.why : classSource->problem();
        if (decision.problem == LayoutProblem::gradesUnclear) {
            explainUnclearGrades(pass.result, decision);
        }
        return pass.result;
    }
    const std::vector<std::string> names = columnNames(pass.layout);
    const std::string described = classSource->description();
    pass.result.layoutDescription =
        (described.empty() ? "" : described + "; ") + describeLayout(pass.layout, names);
    if (!table.beginTable(pass.layout, names, pass.result.problem)) {
        pass.result.outcome = ClassOutcome::tooWide;
        return pass.result;
    }
    bool reading = true;
    for (auto record = first.begin(); reading && record != first.end(); ++record) {
        reading = takeRecord(pass, *record);
    }
    Record record;
    while (reading && classSource->next(record)) {
        reading = takeRecord(pass, record);
    }
    if (!reading) {
        return pass.result;
    }
    writeFooters(pass);
    if (!classSource->problem().empty()) {
        pass.result.outcome = ClassOutcome::unreadable;
        pass.result.problem = classSource->problem();
    }
    return pass.result;
}
