#include "class_file.h"

#include <deque>
#include <utility>

#include "encoding.h"
#include "fields.h"
#include "names.h"
#include "records.h"
#include "rows.h"

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
    if (kind == FileKind::spreadsheet) {
        return "\u00e9 uma planilha, n\u00e3o um arquivo de texto; salve-a " +
               std::string(howToSaveAsCsv);
    }
    return "n\u00e3o \u00e9 um arquivo de texto; salve a turma " + std::string(howToSaveAsCsv);
}

std::vector<Line> readAhead(LineReader& input)
{
    std::vector<Line> lines;
    std::size_t bytes = 0;
    Line line;
    while (lines.size() < linesReadAhead && bytes < bytesReadAhead && readLine(input, line)) {
        bytes += line.text.size();
        lines.push_back(std::move(line));
    }
    return lines;
}

// The records of the lines read ahead: the rows the layout is decided from, and the first
// rows of the pass. A deque, so that each stays where its fields point.
std::deque<Record> firstRecords(RecordReader& records)
{
    std::deque<Record> first;
    while (!records.pending.empty()) {
        if (!readRecord(records, first.emplace_back())) {
            first.pop_back();
        }
    }
    return first;
}

// The state of one pass over the rows.
struct ClassPass {
    std::string_view source;
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

std::string where(const ClassPass& pass, long line)
{
    return std::string(pass.source) + ':' + std::to_string(line) + ": ";
}

// False where the reading stops: the sheet has no room for the row, or the table would be
// too large.
bool writeRow(ClassPass& pass, const Record& record)
{
    const StudentRow& row = pass.row;
    for (const std::string& warning : row.warnings) {
        addMessage(pass.messages, where(pass, row.line), "aviso: " + warning);
    }
    if (!row.error.empty()) {
        addMessage(pass.messages, where(pass, row.line), row.error);
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
    if (pass.held.empty()) {
        return true;
    }
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
        if (!writeHeldRows(pass)) {
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
    ClassPass pass{source, table, messages, {}, {}, {}, {}, {}, 0, 0};
    const FileKind kind = startReading(input);
    if (kind == FileKind::spreadsheet || kind == FileKind::binary) {
        addMessage(messages, "boletim-turma: " + std::string(source) + ": ", refusal(kind));
        pass.result.outcome = ClassOutcome::refused;
        return pass.result;
    }
    std::vector<Line> lookAhead = readAhead(input);
    const SeparatorChoice separator = chooseSeparator(lookAhead);
    RecordReader records{
        &input,
        {std::make_move_iterator(lookAhead.begin()), std::make_move_iterator(lookAhead.end())},
        separator.separator};
    const std::deque<Record> first = firstRecords(records);
    const LayoutDecision decision = decideLayout(first, separator, options.layout);
    pass.layout = decision.layout;
    if (decision.problem != LayoutProblem::none) {
        pass.result.outcome = outcomeOf(decision.problem);
        pass.result.problem = decision.why;
        if (decision.problem == LayoutProblem::gradesUnclear) {
            explainUnclearGrades(pass.result, decision);
        }
        return pass.result;
    }
    const std::vector<std::string> names = columnNames(pass.layout);
    pass.result.layoutDescription = describeLayout(pass.layout, names);
    if (!table.beginTable(pass.layout, names, pass.result.problem)) {
        pass.result.outcome = ClassOutcome::tooWide;
        return pass.result;
    }
    bool reading = true;
    for (auto record = first.begin(); reading && record != first.end(); ++record) {
        reading = takeRecord(pass, *record);
    }
    Record record;
    while (reading && readRecord(records, record)) {
        reading = takeRecord(pass, record);
    }
    if (!reading) {
        return pass.result;
    }
    writeFooters(pass);
    if (input.file != nullptr && std::ferror(input.file) != 0) {
        pass.result.outcome = ClassOutcome::unreadable;
    }
    return pass.result;
}
