#include "class_file.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "encoding.h"
#include "fields.h"
#include "records.h"

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// The table goes out in blocks of about this size.
constexpr std::size_t tableBlock = std::size_t{64} << 10U;

constexpr std::string_view howToSaveAsCsv =
    "como CSV (LibreOffice: Arquivo > Salvar como > Texto CSV; Excel: Arquivo > Salvar "
    "como > CSV UTF-8) e leia esse arquivo";

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

// The state of one pass over the rows.
struct ClassPass {
    const ClassOptions& options;
    std::string_view source;
    Output& table;
    Output& messages;
    Workbook* workbook;
    Layout layout;
    ClassResult result;
    NumberTexts numbers;
    GradeFields grades;
};

std::string where(const ClassPass& pass, long line)
{
    return std::string(pass.source) + ':' + std::to_string(line) + ": ";
}

// False where the workbook's sheet has no room for the row.
bool writeStudent(ClassPass& pass, Record& record)
{
    const long line = record.line;
    const StudentRow row = gradeStudent(record, pass.layout, pass.grades);
    if (pass.workbook != nullptr && !addStudentRow(*pass.workbook, record.fields, row)) {
        return false;
    }
    for (const std::string& warning : row.warnings) {
        addMessage(pass.messages, where(pass, line), "aviso: " + warning);
    }
    if (!row.error.empty()) {
        addMessage(pass.messages, where(pass, line), row.error);
    }
    countStudent(pass.result.counts, row);
    if (pass.workbook == nullptr) {
        appendRow(pass.table.text, record.fields, row, pass.layout, pass.options.style,
                  pass.numbers);
    }
    if (pass.table.text.size() >= tableBlock) {
        flushOutput(pass.table);
    }
    return true;
}

// False where the reading stops, at a row the workbook has no room for.
bool takeRecord(ClassPass& pass, Record& record)
{
    const bool sound = record.problem == RecordProblem::none;
    const bool isHeader = pass.layout.hasHeader && record.line == pass.layout.firstRowLine;
    if ((sound && filledWidth(record.fields) == 0) || isHeader) {
        return true; // a blank row, or the header, which the table starts with
    }
    if (sound && record.line < pass.layout.firstRowLine) {
        // A title has one field that is not blank, or, separated by spaces, a few words.
        const auto title = std::find_if(record.fields.begin(), record.fields.end(),
                                        [](std::string_view field) { return !isBlank(field); });
        const std::string_view text =
            pass.layout.separator == whitespaceSeparated || title == record.fields.end()
                ? std::string_view(record.text)
                : *title;
        addMessage(pass.messages, where(pass, record.line),
                   "aviso: linha de t\u00edtulo, fora da tabela: " +
                       quotedForMessage(trimmed(text)));
        return true;
    }
    return writeStudent(pass, record);
}

void writeHeader(ClassPass& pass)
{
    const std::vector<std::string> names = headerNames(pass.layout.header, pass.layout);
    pass.result.layoutDescription = describeLayout(pass.layout, names);
    if (pass.workbook != nullptr) {
        addHeaderRow(*pass.workbook, names, pass.layout);
        return;
    }
    if (pass.options.style.forSpreadsheets) {
        pass.table.text += byteOrderMark; // without it Excel does not read UTF-8
    }
    appendHeader(pass.table.text, names, pass.options.style);
}

} // namespace

bool flushOutput(Output& output)
{
    if (output.file == nullptr) {
        return true;
    }
    const bool written =
        std::fwrite(output.text.data(), 1, output.text.size(), output.file) == output.text.size();
    output.text.clear();
    return written;
}

ClassResult convertClass(LineReader& input, const ClassOptions& options, std::string_view source,
                         Output& table, Output& messages, Workbook* workbook)
{
    ClassPass pass{options, source, table, messages, workbook, {}, {}, {}, {}};
    const FileKind kind = startReading(input);
    if (kind == FileKind::spreadsheet || kind == FileKind::binary) {
        addMessage(messages, "boletim-turma: " + std::string(source) + ": ", refusal(kind));
        pass.result.outcome = ClassOutcome::refused;
        return pass.result;
    }
    const std::vector<Line> lookAhead = readAhead(input);
    pass.layout = decideLayout(lookAhead, options.layout);
    if (!pass.layout.problem.empty()) {
        pass.result.problem = pass.layout.problem;
        pass.result.outcome = ClassOutcome::unusableOptions;
        return pass.result;
    }
    writeHeader(pass);
    RecordReader records{
        &input, {lookAhead.begin(), lookAhead.end()}, pass.layout.separator, pass.layout.width};
    Record record;
    while (readRecord(records, record)) {
        if (!takeRecord(pass, record)) {
            pass.result.outcome = ClassOutcome::sheetFull;
            return pass.result;
        }
    }
    if (input.file != nullptr && std::ferror(input.file) != 0) {
        pass.result.outcome = ClassOutcome::unreadable;
    }
    return pass.result;
}
