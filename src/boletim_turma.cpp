// Computes a whole class, one student a line, from the file a spreadsheet saves, and
// writes one table: each student's fields, weighted mean, concept and verdict, computed
// by boletim's own reading and grading. Messages are in Portuguese and UTF-8.
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding.h"
#include "fields.h"
#include "reading.h"
#include "table.h"

namespace {

constexpr int allComputed = 0;
constexpr int someRowsHadErrors = 1;
constexpr int couldNotRun = 2;

constexpr std::string_view program = "boletim-turma";
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

constexpr std::string_view usage =
    "Uso: boletim-turma [OP\u00c7\u00c3O]... [ARQUIVO]\n"
    "Calcula a m\u00e9dia ponderada, o conceito e o resultado de cada aluno de uma turma\n"
    "e escreve uma tabela na sa\u00edda padr\u00e3o.\n"
    "\n"
    "Cada linha do ARQUIVO \u00e9 um aluno: os campos que o identificam e tr\u00eas notas.\n"
    "Os campos s\u00e3o separados por ';', tabula\u00e7\u00e3o ou ',' (com aspas, como as\n"
    "planilhas os gravam) ou por espa\u00e7os. Sem ARQUIVO, ou quando ARQUIVO \u00e9 -,\n"
    "l\u00ea a entrada padr\u00e3o.\n"
    "\n"
    "  -p, --ponto     separa os campos com ',' e escreve os n\u00fameros com ponto\n"
    "                  decimal, sem marca de ordem de bytes, para programas e\n"
    "                  planilhas em ingl\u00eas (sem ela: ';' e v\u00edrgula decimal)\n"
    "  -h, --help      mostra esta ajuda e sai\n"
    "  -V, --version   mostra a vers\u00e3o e sai\n"
    "\n"
    "Estado de sa\u00edda: 0 se todos os alunos foram calculados, 1 se alguma linha\n"
    "teve erro, 2 se n\u00e3o foi poss\u00edvel executar.\n";

constexpr std::string_view version = "boletim-turma (boletim) " BOLETIM_VERSION "\n"
                                     "Licen\u00e7a MIT.\n";

void writeError(std::string_view message)
{
    std::fwrite(message.data(), 1, message.size(), stderr);
}

// A failed write leaves the error indicator set, which the end of the run looks at.
void writeOut(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string systemError()
{
    return errno == 0 ? std::string() : ": " + std::string(std::strerror(errno));
}

struct Options {
    TableStyle style = forPortugueseSpreadsheets;
    std::string path = "-";
};

// Reads the options into options; gives the exit status where the program stops at them.
std::optional<int> readOptions(const std::vector<std::string_view>& arguments, Options& options)
{
    bool optionsEnded = false;
    int operands = 0;
    for (const std::string_view argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "-p" || argument == "--ponto")) {
            options.style = forPrograms;
        } else if (!optionsEnded && (argument == "-h" || argument == "--help")) {
            writeOut(usage);
            return allComputed;
        } else if (!optionsEnded && (argument == "-V" || argument == "--version")) {
            writeOut(version);
            return allComputed;
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            writeError(std::string(program) + ": op\u00e7\u00e3o desconhecida: '" +
                       std::string(argument) + "'\nExperimente 'boletim-turma --help'.\n");
            return couldNotRun;
        } else if (++operands > 1) {
            writeError(std::string(program) + ": arquivo a mais: '" + std::string(argument) +
                       "' (l\u00ea um s\u00f3 arquivo)\n");
            return couldNotRun;
        } else {
            options.path = argument;
        }
    }
    return std::nullopt;
}

// Reads one line, without its line end; false at the end of the input.
bool readLine(std::FILE* input, std::string& line)
{
    line.clear();
    int character = 0;
    while ((character = std::getc(input)) != EOF) {
        if (character == '\n') {
            break;
        }
        line += static_cast<char>(character);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return character != EOF || !line.empty();
}

// What a pass over the input found.
struct ClassRun {
    Options options;
    std::string source; // the input's name in messages
    char separator = whitespaceSeparated;
    std::size_t width = 0; // 0 until the first line says how many fields a student has
    ClassCounts counts;
};

std::vector<std::string> splitLine(ClassRun& run, std::FILE* input, std::string line,
                                   long& lineNumber)
{
    if (run.separator == whitespaceSeparated) {
        return splitWhitespaceLine(line);
    }
    std::vector<std::string> fields;
    bool continuing = false;
    while (splitQuotedLine(line, run.separator, fields, continuing) && readLine(input, line)) {
        ++lineNumber;
        line = lineAsUtf8(line);
        continuing = true;
    }
    return fields;
}

void writeRow(ClassRun& run, std::vector<std::string> fields, long lineNumber)
{
    const std::string where = run.source + ':' + std::to_string(lineNumber) + ": ";
    StudentRow row = gradeStudent(std::move(fields), run.width, run.options.style.decimalMark);
    for (const std::string& warning : row.warnings) {
        writeError(std::string(where).append("aviso: ").append(warning).append("\n"));
    }
    if (!row.error.empty()) {
        writeError(where + row.error + '\n');
    }
    countStudent(run.counts, row);
    writeOut(tableLine(row.cells, run.options.style));
}

// The first non-blank line sets the width, and is the header unless its last three fields
// are grades. Where it is, the header is all it gives: fields is left empty.
void startTable(ClassRun& run, std::vector<std::string>& fields)
{
    run.width = std::max<std::size_t>(fields.size(), 4);
    std::vector<std::string> names;
    if (!lastThreeAreGrades(fields)) {
        names = std::move(fields);
        names.resize(run.width);
        fields.clear();
    }
    writeOut(tableLine(headerCells(names, run.width), run.options.style));
}

void processInput(ClassRun& run, std::FILE* input)
{
    if (run.options.style.separator == forPortugueseSpreadsheets.separator) {
        writeOut(byteOrderMark); // without it Excel does not read UTF-8
    }
    std::string line;
    long lineNumber = 0;
    while (readLine(input, line)) {
        const long firstLine = ++lineNumber;
        if (firstLine == 1 && line.starts_with(byteOrderMark)) {
            line.erase(0, byteOrderMark.size());
        }
        line = lineAsUtf8(line);
        if (isBlank(line)) {
            continue;
        }
        if (run.width == 0) {
            run.separator = detectSeparator(line);
        }
        std::vector<std::string> fields = splitLine(run, input, line, lineNumber);
        if (run.width == 0) {
            startTable(run, fields);
            if (fields.empty()) {
                continue;
            }
        }
        writeRow(run, std::move(fields), firstLine);
    }
    if (run.width == 0) {
        writeOut(tableLine(headerCells({}, 4), run.options.style));
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Messages in the user's language where the system has it; numbers always with a point.
    std::setlocale(LC_ALL, "");
    useGradeNumbers();

    Options options;
    if (const auto status = readOptions({argv + std::min(argc, 1), argv + argc}, options)) {
        return *status;
    }
    ClassRun run;
    run.options = options;
    run.source = options.path == "-" ? "(entrada padr\u00e3o)" : options.path;
    errno = 0;
    std::FILE* input = options.path == "-" ? stdin : std::fopen(options.path.c_str(), "rb");
    if (input == nullptr) {
        writeError(std::string(program) + ": n\u00e3o foi poss\u00edvel abrir '" + options.path +
                   "'" + systemError() + '\n');
        return couldNotRun;
    }
    processInput(run, input);
    const bool readFailed = std::ferror(input) != 0;
    if (input != stdin) {
        std::fclose(input);
    }
    if (readFailed) {
        writeError(std::string(program) + ": erro ao ler '" + run.source + "'" + systemError() +
                   '\n');
        return couldNotRun;
    }
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        writeError(std::string(program) + ": n\u00e3o foi poss\u00edvel escrever a sa\u00edda" +
                   systemError() + '\n');
        return couldNotRun;
    }
    writeError(summary(run.source, run.counts));
    return run.counts.withErrors == 0 ? allComputed : someRowsHadErrors;
}
