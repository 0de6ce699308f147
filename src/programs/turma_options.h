#ifndef BOLETIM_TURMA_OPTIONS_H
#define BOLETIM_TURMA_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

#include "class/class_file.h"
#include "tables/csv_table.h"

// What boletim-turma's command line asks for.
struct TurmaOptions {
    ClassOptions classOptions;
    TableStyle style = forPortugueseSpreadsheets;
    std::string path = "-";
    std::string outputPath = "-";
    bool weightsGiven = false; // --pesos typed, not the rule's own three
};

// Exit statuses.
constexpr int allComputed = 0;
constexpr int someRowsHadErrors = 1;
constexpr int couldNotRun = 2;

// Reads the arguments (UTF-8, the program's name left out) into options, by getopt_long:
// options may come before or after the file, and -- ends them. Gives the exit status
// where the program stops there: after --help or --version, or a usage error, said.
std::optional<int> readOptions(const std::vector<std::string>& arguments, TurmaOptions& options);

// Writes "boletim-turma: " and message, then a line end, to standard error.
void writeError(const std::string& message);

// A usage error, said with the way to the help: exit status 2.
int usageError(const std::string& message);

// The program's own text, UTF-8, in the locale's encoding, where messages go.
std::string local(std::string_view utf8);

#endif
