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
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "class/class_file.h"
#include "grading/reading.h"
#include "platform/file_names.h"
#include "platform/output_file.h"
#include "platform/platform.h"
#include "programs/turma_options.h"
#include "tables/csv_table.h"
#include "tables/workbook.h"
#include "text/encoding.h"
#include "text/fields.h"

namespace {

std::string systemError()
{
    return errno == 0 ? std::string() : ": " + std::string(std::strerror(errno));
}

const std::string& cannotWrite()
{
    static const std::string text = local("n\u00e3o foi poss\u00edvel escrever a sa\u00edda");
    return text;
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

// What a class is called where it has no title: its file's name, without the extension.
std::string titleOf(const std::string& path)
{
    return path == "-" ? std::string() : fileStem(path);
}

// Opens the destination that options name, with the writer of its table; gives the exit
// status where it cannot.
std::optional<int> openDestination(const TurmaOptions& options, Destination& destination)
{
    if (options.outputPath == "-") {
        destination.table = std::make_unique<CsvTable>(destination.output, options.style);
        return std::nullopt;
    }
    destination.name = options.outputPath;
    const std::string extension = lowercase(fileExtension(destination.name));
    if (extension == ".xls" || extension == ".ods") {
        writeError(local("'") + options.outputPath +
                   local("': a planilha sai em .xlsx; outro nome recebe a tabela em CSV"));
        return couldNotRun;
    }
    if (options.path != "-" && sameFile(options.path, destination.name)) {
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

// Put in the shell's quotes where the shell would otherwise read it otherwise.
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
    return plain ? std::string(argument) : quotedForShell(argument);
}

// A command to try: boletim-turma, the options suggested, then the user's arguments.
std::string commandToTry(const std::string& options, const std::vector<std::string>& arguments)
{
    std::string command = "  boletim-turma " + options;
    for (const std::string& argument : arguments) {
        command += ' ' + forShell(argument);
    }
    return command + '\n';
}

// The grade columns are unclear: which they could be, and the commands that say which.
// More columns than weights: all of them with equal weights (unless the user chose the
// weights), or as many as the weights.
void explainUnclearGrades(const ClassResult& result, const std::string& source,
                          const std::vector<std::string>& arguments, const TurmaOptions& options)
{
    const SchoolRule& rule = options.classOptions.rule;
    std::string text = local(result.problem) + (result.columns.empty() ? "\n" : ":\n");
    for (const std::string& column : result.columns) {
        text += "  " + local(column) + '\n';
    }
    if (!result.otherColumns.empty()) {
        text += local("Outras colunas de n\u00fameros:") + '\n';
        for (const std::string& column : result.otherColumns) {
            text += "  " + local(column) + '\n';
        }
    }
    const std::string order = "na ordem dos pesos " + rule.weightsListed();
    if (result.exampleColumns.empty()) {
        text += local("Diga quais s\u00e3o as notas, " + order +
                      ", com -n e as letras ou os nomes das colunas.");
        writeError(source + ": " + text);
        return;
    }
    const std::size_t found = result.columns.size();
    const std::string some = std::to_string(rule.grades()) + " delas";
    std::string which = "Diga quais " + some + " s\u00e3o as notas, " + order + ", com -n:";
    if (!options.weightsGiven) {
        std::string equal = "1";
        for (std::size_t weight = 1; weight < found; ++weight) {
            equal += ",1";
        }
        text += local("A m\u00e9dia das " + std::to_string(found) + ", com pesos iguais:") + '\n' +
                commandToTry("--pesos " + equal, arguments);
        which = "Ou " + some + ", " + order + ":";
    }
    text += local(which) + '\n' + commandToTry("-n " + result.exampleColumns, arguments);
    text.pop_back();
    writeError(source + ": " + text);
}

// Says why the run stopped where it did not compute the class.
void explainOutcome(const ClassResult& result, const std::string& source,
                    const std::vector<std::string>& arguments, const TurmaOptions& options)
{
    switch (result.outcome) {
    case ClassOutcome::unusableOptions:
        usageError(local(result.problem));
        break;
    case ClassOutcome::gradesUnclear:
        explainUnclearGrades(result, source, arguments, options);
        break;
    case ClassOutcome::optionsDoNotFit:
    case ClassOutcome::tooWide:
    case ClassOutcome::tooLarge:
        writeError(source + ": " + local(result.problem));
        break;
    case ClassOutcome::unreadable:
        writeError(local(result.problem));
        break;
    case ClassOutcome::sheetFull:
        static_assert(mostRowsOfASheet == 1048576);
        writeError(local("a tabela passa de 1.048.576 linhas, o m\u00e1ximo de uma planilha; "
                         "escreva-a em CSV"));
        break;
    default:
        break;
    }
}

int finish(const ClassResult& result, const std::string& source, Destination& destination,
           const std::vector<std::string>& arguments, const TurmaOptions& options)
{
    explainOutcome(result, source, arguments, options);
    if (result.outcome != ClassOutcome::computed || !closeDestination(destination, result.counts)) {
        discardDestination(destination);
        return couldNotRun;
    }
    const ClassCounts& counts = result.counts;
    std::string summaryText = source + ": " + local(result.layoutDescription) + "\n" + source +
                              ": " + local("regra: " + result.ruleDescription) + "\n" + source +
                              ": " + local(summary(counts));
    const bool noneFound = counts.approved + counts.failed + counts.withErrors == 0;
    if (noneFound) {
        summaryText += source + ": " + local("nenhum aluno encontrado") + '\n';
    }
    writeText(stderr, summaryText);
    return counts.withErrors == 0 && !noneFound ? allComputed : someRowsHadErrors;
}

// A class file dropped on the program, which a file manager then starts in a console of
// its own: the table goes beside it, as NAME-boletins.xlsx, and the window stays open until
// its text is read. BOLETIM_CONSOLE_PROPRIO set takes this path anywhere, for its tests.
bool droppedOn(const std::vector<std::string>& arguments, TurmaOptions& options)
{
    const bool ownConsole =
        startedOwnConsole() || std::getenv("BOLETIM_CONSOLE_PROPRIO") != nullptr;
    if (!ownConsole) {
        return false;
    }
    if (arguments.size() == 1 && options.path != "-" && options.outputPath == "-") {
        const std::string extension = canWriteWorkbooks() ? ".xlsx" : ".csv";
        options.outputPath =
            nameBeside(options.path, fileStem(options.path) + "-boletins" + extension);
    }
    return true;
}

// How a run ended: its exit status, and, where it computed nothing, why.
struct RunEnd {
    int status = couldNotRun;
    ClassOutcome outcome = ClassOutcome::unreadable;
};

RunEnd run(const std::vector<std::string>& arguments, const TurmaOptions& options)
{
    const bool standardInput = options.path == "-";
    const std::string source = standardInput ? local("(entrada padr\u00e3o)") : options.path;
    if (!standardInput && isFolder(options.path)) {
        writeError(local("erro ao ler '") + options.path + local("': \u00e9 uma pasta"));
        return {};
    }
    errno = 0;
    std::FILE* input = standardInput ? stdin : openFile(options.path, "rb");
    if (input == nullptr) {
        writeError(local("n\u00e3o foi poss\u00edvel abrir '") + options.path + "'" +
                   systemError());
        return {};
    }
    Destination destination;
    if (const auto status = openDestination(options, destination)) {
        return {*status};
    }
    LineReader reader;
    reader.file = input;
    Output messages{stderr, {}};
    const ClassResult result =
        convertClass(reader, options.classOptions, source, *destination.table, messages);
    const int status = finish(result, source, destination, arguments, options);
    if (!standardInput) {
        std::fclose(input);
    }
    return {status, result.outcome};
}

// In a window of its own, where the file dropped on it does not say which columns are the
// grades: the teacher says them (C,D,E,F), or their weights (1,1,1,1); false where the
// answer is none of them, or empty.
bool askForGrades(TurmaOptions& options)
{
    const std::string typed = std::string(trimmed(
        askLine(local("Digite as colunas das notas, na ordem dos pesos (como C,D,E,F), ou os pesos "
                      "de todas (como 1,1,1,1), e tecle Enter: "))));
    SchoolRule& rule = options.classOptions.rule;
    std::string why;
    if (typed.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") !=
        std::string::npos) {
        std::vector<std::string> columns;
        for (std::size_t start = 0; start <= typed.size();) {
            const std::size_t end = std::min(typed.find(',', start), typed.size());
            columns.emplace_back(trimmed(std::string_view(typed).substr(start, end - start)));
            start = end + 1;
        }
        if (columns.size() != rule.grades()) { // so many columns, so many equal weights
            rule.weights.assign(columns.size(), Thousandths{1000, "1"});
        }
        options.classOptions.layout.gradeColumns = columns;
        return !typed.empty();
    }
    auto weights = weightsOf(typed, why);
    if (!weights) {
        writeError(local(why));
        return false;
    }
    rule.weights = std::move(*weights);
    return true;
}

// Runs the command the arguments give, and gives its exit status.
int runCommand(const std::vector<std::string>& arguments)
{
    TurmaOptions options;
    if (const auto status = readOptions(arguments, options)) {
        return *status;
    }
    const bool dropped = droppedOn(arguments, options);
    if (dropped && arguments.empty()) {
        writeError(local("para calcular uma turma, arraste a planilha (.xlsx, .ods ou CSV) "
                         "at\u00e9 o boletim-turma e solte-a sobre ele"));
        waitForEnter(local("Tecle Enter para fechar."));
        return couldNotRun;
    }
    RunEnd end;
    try {
        end = run(arguments, options);
        if (dropped && end.outcome == ClassOutcome::gradesUnclear && askForGrades(options)) {
            end = run(arguments, options);
        }
    } catch (const std::bad_alloc&) {
        // Every file and table of the run is gone by now, its temporary file with it.
        writeError(local("mem\u00f3ria insuficiente para ler a turma"));
    }
    int status = end.status;
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

} // namespace

int main(int argc, char** argv)
{
    startStandardStreams();
    // Messages in the user's language and encoding; numbers always with a point.
    useMessageLocale();
    useGradeNumbers();
    return runCommand(programArguments(argc, argv));
}
