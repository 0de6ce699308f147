// Computes a whole class, one student a row, from the file a spreadsheet saves, and
// writes one table: each student's fields, weighted mean, concept and verdict, computed
// by boletim's own reading and grading. Messages are in Portuguese, in the encoding of
// the user's locale.
#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "class/class_file.h"
#include "tables/csv_table.h"
#include "text/encoding.h"
#include "text/fields.h"
#include "platform/output_file.h"
#include "platform/platform.h"
#include "grading/reading.h"
#include "tables/workbook.h"

namespace {

constexpr int allComputed = 0;
constexpr int someRowsHadErrors = 1;
constexpr int couldNotRun = 2;

constexpr std::string_view usage =
    "Uso: boletim-turma [OP\u00c7\u00c3O]... [ARQUIVO]\n"
    "Calcula a m\u00e9dia ponderada, o conceito e o resultado de cada aluno de uma turma\n"
    "e escreve uma tabela na sa\u00edda padr\u00e3o ou, com -o, num arquivo.\n"
    "\n"
    "Cada linha do ARQUIVO \u00e9 um aluno: os campos que o identificam e tr\u00eas notas.\n"
    "ARQUIVO \u00e9 uma planilha .xlsx ou .ods, ou um arquivo de texto cujos campos s\u00e3o\n"
    "separados por ';', tabula\u00e7\u00e3o ou ',' (com aspas, como as planilhas os gravam)\n"
    "ou por espa\u00e7os. Sem ARQUIVO, ou quando ARQUIVO \u00e9 -, l\u00ea a entrada padr\u00e3o.\n"
    "\n"
    "  -o, --saida=SA\u00cdDA   grava a tabela em SA\u00cdDA: uma planilha pronta para\n"
    "                      imprimir, se o nome termina em .xlsx, com a tabela, um\n"
    "                      resumo e um boletim por aluno; sen\u00e3o, a tabela em CSV\n"
    "  -n, --notas=LISTA   as tr\u00eas colunas das notas, pela letra, pelo n\u00famero ou\n"
    "                      pelo nome no cabe\u00e7alho: -n C,D,E, -n 3,4,5 ou\n"
    "                      --notas '1\u00ba Bim,2\u00ba Bim,3\u00ba Bim' (sem ela: as colunas de\n"
    "                      n\u00fameros de 0 a 10 cujo nome n\u00e3o diga o contr\u00e1rio)\n"
    "      --folha=FOLHA   a folha de uma planilha .xlsx ou .ods, pelo nome ou pelo\n"
    "                      n\u00famero (sem ela: a primeira)\n"
    "      --cabecalho     a linha logo acima do primeiro aluno \u00e9 o cabe\u00e7alho\n"
    "      --sem-cabecalho n\u00e3o h\u00e1 cabe\u00e7alho: o primeiro aluno vem depois dos "
    "t\u00edtulos\n"
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
    writeText(stderr, "boletim-turma: " + message + '\n');
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
    writeText(stdout, inLocale);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        writeError(cannotWrite() + systemError());
        return couldNotRun;
    }
    return allComputed;
}

struct Options {
    ClassOptions classOptions;
    TableStyle style = forPortugueseSpreadsheets;
    std::string path = "-";
    std::string outputPath = "-";
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
    const bool threeColumns =
        columns.size() == 3 &&
        std::none_of(columns.begin(), columns.end(), [](const std::string& column) {
            return column.empty() || column.find_first_not_of('0') == std::string::npos;
        });
    return threeColumns ? columns : std::vector<std::string>{};
}

std::optional<int> usageError(const std::string& message)
{
    writeError(message + '\n' + local(tryHelp));
    return couldNotRun;
}

// Whether arguments[next] is the option -LETTER (where it has a letter) or --NAME, which
// takes a value: as -LETTERVALUE, -LETTER VALUE, --NAME=VALUE or --NAME VALUE. Puts it in value,
// empty where the arguments end first.
bool takesValue(const std::vector<std::string_view>& arguments, std::size_t& next,
                std::optional<char> letter, std::string_view name, std::string_view& value)
{
    const std::string_view argument = arguments[next];
    const std::string shortForm = letter ? std::string{'-', *letter} : std::string();
    const std::string longForm = "--" + std::string(name);
    if (argument.starts_with(longForm + "=")) {
        value = argument.substr(longForm.size() + 1);
    } else if (letter && argument.starts_with(shortForm) && argument.size() > 2) {
        value = argument.substr(2);
    } else if ((letter && argument == shortForm) || argument == longForm) {
        value = ++next < arguments.size() ? arguments[next] : "";
    } else {
        return false;
    }
    return true;
}

// Takes the option at arguments[next] (and its value, where it has one); gives the exit
// status where the program stops there.
std::optional<int> takeOption(const std::vector<std::string_view>& arguments, std::size_t& next,
                              Options& options)
{
    const std::string_view argument = arguments[next];
    LayoutOptions& layout = options.classOptions.layout;
    std::string_view value;
    if (argument == "-p" || argument == "--ponto") {
        options.style = forPrograms;
    } else if (argument == "--cabecalho") {
        layout.header = HeaderChoice::present;
    } else if (argument == "--sem-cabecalho") {
        layout.header = HeaderChoice::absent;
    } else if (argument == "-h" || argument == "--help") {
        return writeAndExit(usage);
    } else if (argument == "-V" || argument == "--version") {
        return writeAndExit(version);
    } else if (takesValue(arguments, next, 'n', "notas", value)) {
        layout.gradeColumns = gradeColumnList(value);
        if (layout.gradeColumns.empty()) {
            return usageError(local("--notas pede tr\u00eas colunas, separadas por v\u00edrgula, "
                                    "como C,D,E ou 3,4,5: '") +
                              std::string(value) + "'");
        }
    } else if (takesValue(arguments, next, std::nullopt, "folha", value)) {
        if (value.empty()) {
            return usageError(
                local("a op\u00e7\u00e3o '--folha' pede o nome ou o n\u00famero de uma folha"));
        }
        options.classOptions.sheet = lineAsUtf8(value);
    } else if (takesValue(arguments, next, 'o', "saida", value)) {
        if (value.empty()) {
            return usageError(local("a op\u00e7\u00e3o '") + std::string(argument) +
                              local("' pede o nome do arquivo de sa\u00edda"));
        }
        options.outputPath = value;
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

// Where the table goes: standard output, or the file -o names.
struct Destination {
    std::string name; // empty for standard output
    OutputFile file;
    Output output{stdout, {}};
    std::unique_ptr<TableWriter> table;
};

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char character) {
        return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                    : character;
    });
    return text;
}

std::string cannotWriteFile(const std::string& name, const std::string& why)
{
    return local("n\u00e3o foi poss\u00edvel escrever '") + name + "': " + why;
}

// A name as the arguments give it, UTF-8 on Windows, as a path, and back.
std::filesystem::path pathOf(const std::string& name)
{
    return std::u8string(name.begin(), name.end());
}

std::string nameOf(const std::filesystem::path& path)
{
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

// What a class is called where it has no title: its file's name, without the extension.
std::string titleOf(const std::string& path)
{
    return path == "-" ? std::string() : nameOf(pathOf(path).stem());
}

// Opens the destination that options name, with the writer of its table; gives the exit
// status where it cannot.
std::optional<int> openDestination(const Options& options, Destination& destination)
{
    if (options.outputPath == "-") {
        destination.table = std::make_unique<CsvTable>(destination.output, options.style);
        return std::nullopt;
    }
    destination.name = options.outputPath;
    const std::string extension = lowercase(nameOf(pathOf(destination.name).extension()));
    std::error_code ignored;
    if (extension == ".xls" || extension == ".ods") {
        writeError(local("'") + options.outputPath +
                   local("': a planilha sai em .xlsx; outro nome recebe a tabela em CSV"));
        return couldNotRun;
    }
    if (options.path != "-" &&
        std::filesystem::equivalent(pathOf(options.path), pathOf(destination.name), ignored)) {
        writeError(local("a sa\u00edda '") + options.outputPath +
                   local("' \u00e9 o pr\u00f3prio arquivo de entrada"));
        return couldNotRun;
    }
    std::string problem;
    if (!destination.file.open(destination.name, problem)) {
        writeError(cannotWriteFile(destination.name, problem));
        return couldNotRun;
    }
    if (extension != ".xlsx") {
        destination.output.file = destination.file.stream();
        destination.table = std::make_unique<CsvTable>(destination.output, options.style);
        return std::nullopt;
    }
    const std::string libraryFile = destination.file.nameForLibrary();
    destination.table =
        libraryFile.empty() ? nullptr : startWorkbook(libraryFile, titleOf(options.path), problem);
    if (!destination.table) {
        destination.file.abandon();
        writeError(
            local(problem.empty() ? "n\u00e3o foi poss\u00edvel criar a planilha" : problem));
        return couldNotRun;
    }
    return std::nullopt;
}

void discardDestination(Destination& destination)
{
    destination.table.reset();
    destination.file.abandon();
}

// Writes out what the destination has yet to get and puts it in its place; false, with a
// message, where that failed.
bool closeDestination(Destination& destination, const ClassCounts& counts)
{
    errno = 0;
    std::string problem;
    if (!destination.table->finish(counts, problem)) {
        writeError(destination.name.empty() || problem.empty()
                       ? cannotWrite() + systemError()
                       : cannotWriteFile(destination.name, problem));
        return false;
    }
    destination.table.reset();
    if (destination.name.empty()) {
        if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
            writeError(cannotWrite() + systemError());
            return false;
        }
        return true;
    }
    if (!destination.file.commit(problem)) {
        writeError(cannotWriteFile(destination.name, problem));
        return false;
    }
    return true;
}

// Put in a shell's quotes where the shell would otherwise read it otherwise.
std::string forShell(std::string_view argument)
{
    const bool plain =
        !argument.empty() && std::all_of(argument.begin(), argument.end(), [](char character) {
            return (character >= 'a' && character <= 'z') ||
                   (character >= 'A' && character <= 'Z') ||
                   (character >= '0' && character <= '9') ||
                   std::string_view("-_./:=,+@%").find(character) != std::string_view::npos ||
                   static_cast<unsigned char>(character) >= 0x80U;
        });
    if (plain) {
        return std::string(argument);
    }
    std::string quoted = "'";
    for (const char character : argument) {
        quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
    }
    return quoted + "'";
}

// The grade columns are unclear: which they could be, and the command that names three.
void explainUnclearGrades(const ClassResult& result, const std::string& source,
                          const std::vector<std::string_view>& arguments)
{
    std::string text = local(result.problem) + ":\n";
    for (const std::string& column : result.columns) {
        text += "  " + local(column) + '\n';
    }
    text += local("Diga quais s\u00e3o as tr\u00eas notas, na ordem dos pesos 1, 2 e 3, com -n; "
                  "por exemplo:\n  boletim-turma -n ") +
            result.exampleColumns;
    for (const std::string_view argument : arguments) {
        text += ' ' + forShell(argument);
    }
    writeError(source + ": " + text);
}

int finish(const ClassResult& result, const std::string& source, Destination& destination,
           const std::vector<std::string_view>& arguments)
{
    if (result.outcome == ClassOutcome::unusableOptions) {
        usageError(local(result.problem));
    }
    if (result.outcome == ClassOutcome::gradesUnclear) {
        explainUnclearGrades(result, source, arguments);
    }
    if (result.outcome == ClassOutcome::tooWide || result.outcome == ClassOutcome::tooLarge) {
        writeError(source + ": " + local(result.problem));
    }
    if (result.outcome == ClassOutcome::unreadable) {
        writeError(local(result.problem));
    }
    if (result.outcome == ClassOutcome::sheetFull) {
        static_assert(mostRowsOfASheet == 1048576);
        writeError(local("a tabela passa de 1.048.576 linhas, o m\u00e1ximo de uma planilha; "
                         "escreva-a em CSV"));
    }
    if (result.outcome != ClassOutcome::computed || !closeDestination(destination, result.counts)) {
        discardDestination(destination);
        return couldNotRun;
    }
    const std::string summaryText = source + ": " + local(result.layoutDescription) + "\n" +
                                    source + ": " + local(summary(result.counts));
    writeText(stderr, summaryText);
    return result.counts.withErrors == 0 ? allComputed : someRowsHadErrors;
}

// A class file dropped on the program, which a file manager then starts in a console of
// its own: the table goes beside it, as NAME-boletins.xlsx, and the window stays open until
// its text is read. BOLETIM_CONSOLE_PROPRIO set takes this path anywhere, for its tests.
bool droppedOn(const std::vector<std::string_view>& arguments, Options& options)
{
    const bool ownConsole =
        startedOwnConsole() || std::getenv("BOLETIM_CONSOLE_PROPRIO") != nullptr;
    if (!ownConsole) {
        return false;
    }
    if (arguments.size() == 1 && options.path != "-" && options.outputPath == "-") {
        const std::filesystem::path input = pathOf(options.path);
        const std::string extension = canWriteWorkbooks() ? ".xlsx" : ".csv";
        options.outputPath =
            nameOf(input.parent_path() / pathOf(nameOf(input.stem()) + "-boletins" + extension));
    }
    return true;
}

int run(const std::vector<std::string_view>& arguments, const Options& options)
{
    const bool standardInput = options.path == "-";
    const std::string source = standardInput ? local("(entrada padr\u00e3o)") : options.path;
    if (!standardInput && isFolder(options.path)) {
        writeError(local("erro ao ler '") + options.path + local("': \u00e9 uma pasta"));
        return couldNotRun;
    }
    errno = 0;
    std::FILE* input = standardInput ? stdin : openFile(options.path, "rb");
    if (input == nullptr) {
        writeError(local("n\u00e3o foi poss\u00edvel abrir '") + options.path + "'" +
                   systemError());
        return couldNotRun;
    }
    Destination destination;
    if (const auto status = openDestination(options, destination)) {
        return *status;
    }
    LineReader reader;
    reader.file = input;
    Output messages{stderr, {}};
    const ClassResult result =
        convertClass(reader, options.classOptions, source, *destination.table, messages);
    const int status = finish(result, source, destination, arguments);
    if (!standardInput) {
        std::fclose(input);
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    startStandardStreams();
    // Messages in the user's language and encoding; numbers always with a point.
    useMessageLocale();
    useGradeNumbers();

    const std::vector<std::string> given = programArguments(argc, argv);
    const std::vector<std::string_view> arguments(given.begin(), given.end());
    Options options;
    if (const auto status = readOptions(arguments, options)) {
        return *status;
    }
    const bool dropped = droppedOn(arguments, options);
    int status = run(arguments, options);
    if (dropped && status != couldNotRun && options.outputPath != "-") {
        writeError(local("a tabela est\u00e1 em '") + options.outputPath + "'");
    }
    // The table's failure to get out is said once, where it was found.
    if (!closeStandardOutput() && status != couldNotRun) {
        writeError(cannotWrite() + systemError());
        status = couldNotRun;
    }
    if (dropped) {
        waitForEnter(local("Tecle Enter para fechar."));
    }
    return status;
}
