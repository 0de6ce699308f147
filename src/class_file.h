#ifndef BOLETIM_CLASS_FILE_H
#define BOLETIM_CLASS_FILE_H

#include <cstdio>
#include <string>
#include <string_view>

#include "layout.h"
#include "lines.h"
#include "table.h"
#include "workbook.h"

// Where the table or the messages go: written to file as they come, or, where file is
// null, kept in text.
struct Output {
    std::FILE* file = nullptr;
    std::string text;
};

// Writes out what output holds; false where writing failed.
bool flushOutput(Output& output);

struct ClassOptions {
    TableStyle style = forPortugueseSpreadsheets;
    LayoutOptions layout;
};

// refused: the file is no class, and a message says so; unusableOptions: the options do
// not fit the file, and problem says why.
enum class ClassOutcome { computed, refused, unusableOptions, unreadable, sheetFull };

struct ClassResult {
    ClassOutcome outcome = ClassOutcome::computed;
    std::string problem; // UTF-8
    ClassCounts counts;
    std::string layoutDescription; // UTF-8
};

// Reads a class from input, one row at a time, and writes its table to table, or to
// workbook where there is one, and a message for each row that is not a student to
// messages, in the locale's encoding, each starting with source, which names the input. A
// file it cannot read as a class is refused with a message, before any of the table is
// written; a table too long for a workbook's sheet stops at the row that does not fit.
ClassResult convertClass(LineReader& input, const ClassOptions& options, std::string_view source,
                         Output& table, Output& messages, Workbook* workbook = nullptr);

#endif
