#ifndef BOLETIM_CLASS_FILE_H
#define BOLETIM_CLASS_FILE_H

#include <string>
#include <string_view>
#include <vector>

#include "class/layout.h"
#include "class/school_rule.h"
#include "class/summary.h"
#include "platform/output.h"
#include "tables/table_writer.h"
#include "text/lines.h"

struct ClassOptions {
    LayoutOptions layout;
    std::string sheet; // of a spreadsheet, by name or number from 1; empty for the first
    SchoolRule rule = SchoolRule::standard();
};

// refused: the file is no class, and a message says so. The others but computed and
// sheetFull stop the run before any of the table is written, and problem says why:
// unusableOptions, the options are not of the form they take; optionsDoNotFit, they name
// what the file does not have; gradesUnclear, the file does not say which columns are the
// grades; tooWide, a table wider than a sheet; tooLarge, a file that would make a table
// many times its size; unreadable, a file broken or that could not be read.
enum class ClassOutcome {
    computed,
    refused,
    unusableOptions,
    optionsDoNotFit,
    gradesUnclear,
    tooWide,
    tooLarge,
    unreadable,
    sheetFull
};

struct ClassResult {
    ClassOutcome outcome = ClassOutcome::computed;
    std::string problem; // UTF-8
    // Where the grades are unclear: the columns that may be grades, each as C (3) "1º Bim";
    // the other columns of numbers, the same way; and three of the first as -n would name
    // them, "C,D,E", where there are three.
    std::vector<std::string> columns;
    std::vector<std::string> otherColumns;
    std::string exampleColumns;
    ClassCounts counts;
    std::string layoutDescription; // UTF-8
    std::string ruleDescription;   // UTF-8: how the means were made
};

// Reads a class from input, one row at a time: a text file, or a spreadsheet's sheet where
// the build reads them. Writes its table to table, and a message for each row that is not
// a student to messages, in the locale's encoding, each starting with where the row is in
// source, which names the input. A file it cannot read as a class, or whose layout is
// unclear, is refused before any of the table is written; a table too long for a
// workbook's sheet, or too large for its file, stops at the row that does not fit.
ClassResult convertClass(LineReader& input, const ClassOptions& options, std::string_view source,
                         TableWriter& table, Output& messages);

#endif
