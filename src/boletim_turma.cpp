// Computes a whole class, one student a row, from the file a spreadsheet saves, and
// writes one table: each student's fields, weighted mean, concept and verdict, computed
// by boletim's own reading and grading. Messages are in Portuguese, in the encoding of
// the user's locale.
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "class_file.h"
#include "encoding.h"
#include "fields.h"
#include "reading.h"

namespace {

constexpr int allComputed = 0;
constexpr int someRowsHadErrors = 1;
constexpr int couldNotRun = 2;

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
    "  -n, --notas=LISTA   as tr\u00eas colunas das notas, por n\u00famero ou pelo nome no\n"
    "                      cabe\u00e7alho: -n 3,4,5 ou --notas '1\u00ba Bim,2\u00ba Bim,3\u00ba "
    "Bim'\n"
    "                      (sem ela: as tr\u00eas \u00faltimas colunas de n\u00fameros)\n"
    "      --cabecalho     a primeira linha depois dos t\u00edtulos \u00e9 o cabe\u00e7alho\n"
    "      --sem-cabecalho a primeira linha depois dos t\u00edtulos j\u00e1 \u00e9 um aluno\n"
    "  -p, --ponto         separa os campos com ',' e escreve os n\u00fameros com ponto\n"
    "                      decimal, sem marca de ordem de bytes e com os textos como\n"
    "                      foram digitados, para programas e planilhas em ingl\u00eas (sem\n"
    "                      ela: ';', v\u00edrgula decimal e textos que uma planilha\n"
    "                      tomaria por f\u00f3rmula precedidos de ')\n"
    "  -h, --help          mostra esta ajuda e sai\n"
    "  -V, --version       mostra a vers\u00e3o e sai\n"
    "\n"
    "Estado de sa\u00edda: 0 se todos os alunos foram calculados, 1 se alguma linha\n"
    "teve erro, 2 se n\u00e3o foi poss\u00edvel executar.\n";

constexpr std::string_view version = "boletim-turma (boletim) " BOLETIM_VERSION "\n"
                                     "Licen\u00e7a MIT.\n";

constexpr std::string_view tryHelp = "Experimente 'boletim-turma --help'.";

// The program's own text goes into messages through local(); the user's words (a file's
// name, an argument) and the system's error text are in the locale's encoding already.
std::string local(std::string_view utf8)
{
    return inLocaleEncoding(utf8);
}

void writeError(const std::string& message)
{
    const std::string line = "boletim-turma: " + message + '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

std::string systemError()
{
    return errno == 0 ? std::string() : ": " + std::string(std::strerror(errno));
}

const std::string& cannotWrite()
{
    static const std::string text = local("n\u00e3o foi poss\u00edvel escrever a sa\u00edda");
    return text;
}

// Writes text to standard output and makes sure it got there.
int writeAndExit(std::string_view text)
{
    const std::string inLocale = local(text);
    errno = 0;
    std::fwrite(inLocale.data(), 1, inLocale.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        writeError(cannotWrite() + systemError());
        return couldNotRun;
    }
    return allComputed;
}

struct Options {
    ClassOptions classOptions;
    std::string path = "-";
};

// The three columns of --notas, as given; none where the list is not three of them.
std::vector<std::string> gradeColumnList(std::string_view list)
{
    const std::string text = lineAsUtf8(list);
    Fields fields;
    std::string unquoted;
    splitQuotedLine(text, ',', fields, unquoted);
    std::vector<std::string> columns;
    for (const std::string_view field : fields) {
        columns.emplace_back(trimmed(field));
    }
    const bool threeDifferent =
        columns.size() == 3 && columns[0] != columns[1] && columns[0] != columns[2] &&
        columns[1] != columns[2] &&
        std::none_of(columns.begin(), columns.end(), [](const std::string& column) {
            return column.empty() || column == "0" ||
                   column.find_first_not_of('0') == std::string::npos;
        });
    return threeDifferent ? columns : std::vector<std::string>{};
}

std::optional<int> usageError(const std::string& message)
{
    writeError(message + '\n' + local(tryHelp));
    return couldNotRun;
}

// Takes the option at arguments[next] (and its value, where it has one); gives the exit
// status where the program stops there.
std::optional<int> takeOption(const std::vector<std::string_view>& arguments, std::size_t& next,
                              Options& options)
{
    const std::string_view argument = arguments[next];
    LayoutOptions& layout = options.classOptions.layout;
    if (argument == "-p" || argument == "--ponto") {
        options.classOptions.style = forPrograms;
    } else if (argument == "--cabecalho") {
        layout.header = HeaderChoice::present;
    } else if (argument == "--sem-cabecalho") {
        layout.header = HeaderChoice::absent;
    } else if (argument == "-h" || argument == "--help") {
        return writeAndExit(usage);
    } else if (argument == "-V" || argument == "--version") {
        return writeAndExit(version);
    } else if (argument == "-n" || argument == "--notas" || argument.starts_with("--notas=") ||
               (argument.starts_with("-n") && argument.size() > 2)) {
        std::string_view list;
        if (argument.starts_with("--notas=")) {
            list = argument.substr(std::string_view("--notas=").size());
        } else if (argument.size() > 2 && argument[1] == 'n') {
            list = argument.substr(2);
        } else if (++next < arguments.size()) {
            list = arguments[next];
        } else {
            return usageError(local("a op\u00e7\u00e3o '") + std::string(argument) +
                              local("' pede as colunas das notas"));
        }
        layout.gradeColumns = gradeColumnList(list);
        if (layout.gradeColumns.empty()) {
            return usageError(local("--notas pede tr\u00eas colunas diferentes, separadas por "
                                    "v\u00edrgula, como 3,4,5: '") +
                              std::string(list) + "'");
        }
    } else {
        return usageError(local("op\u00e7\u00e3o desconhecida: '") + std::string(argument) + "'");
    }
    return std::nullopt;
}

std::optional<int> readOptions(const std::vector<std::string_view>& arguments, Options& options)
{
    bool optionsEnded = false;
    int operands = 0;
    for (std::size_t next = 0; next < arguments.size(); ++next) {
        const std::string_view argument = arguments[next];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            if (const auto status = takeOption(arguments, next, options)) {
                return status;
            }
        } else if (++operands > 1) {
            return usageError(local("arquivo a mais: '") + std::string(argument) +
                              local("' (l\u00ea um s\u00f3 arquivo)"));
        } else {
            options.path = argument;
        }
    }
    return std::nullopt;
}

int finish(const ClassResult& result, const std::string& source, Output& table)
{
    if (result.outcome == ClassOutcome::refused) {
        return couldNotRun;
    }
    if (result.outcome == ClassOutcome::unreadable) {
        writeError(local("erro ao ler '") + source + "'" + systemError());
        return couldNotRun;
    }
    errno = 0;
    if (!flushOutput(table) || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        writeError(cannotWrite() + systemError());
        return couldNotRun;
    }
    const std::string summaryText = source + ": " + local(result.layoutDescription) + "\n" +
                                    source + ": " + local(summary(result.counts));
    std::fwrite(summaryText.data(), 1, summaryText.size(), stderr);
    return result.counts.withErrors == 0 ? allComputed : someRowsHadErrors;
}

} // namespace

int main(int argc, char** argv)
{
    // Messages in the user's language and encoding; numbers always with a point.
    std::setlocale(LC_ALL, "");
    useGradeNumbers();

    Options options;
    if (const auto status = readOptions({argv + std::min(argc, 1), argv + argc}, options)) {
        return *status;
    }
    const bool standardInput = options.path == "-";
    const std::string source = standardInput ? local("(entrada padr\u00e3o)") : options.path;
    errno = 0;
    std::FILE* input = standardInput ? stdin : std::fopen(options.path.c_str(), "rb");
    if (input == nullptr) {
        writeError(local("n\u00e3o foi poss\u00edvel abrir '") + options.path + "'" +
                   systemError());
        return couldNotRun;
    }
    LineReader reader;
    reader.file = input;
    Output table{stdout, {}};
    Output messages{stderr, {}};
    const ClassResult result = convertClass(reader, options.classOptions, source, table, messages);
    const int status = finish(result, source, table);
    if (!standardInput) {
        std::fclose(input);
    }
    return status;
}
