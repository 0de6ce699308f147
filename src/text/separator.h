#ifndef BOLETIM_SEPARATOR_H
#define BOLETIM_SEPARATOR_H

#include <string_view>
#include <vector>

#include "text/lines.h"

// How the fields of a class file are separated: by ';', '\t' or ',', quoted as
// spreadsheets quote them, or else by whitespace.
constexpr char whitespaceSeparated = ' ';

struct SeparatorChoice {
    char separator = whitespaceSeparated;
    bool saidByFirstLine = false; // "sep=;", as Excel writes it, and not a row
};

// The separator that splits line into a row: the first of ';', tab and ',' that splits it
// into at least fewestFields fields (an identification and the grades), unless the line
// reads as a student in the whitespace form (where a comma is a decimal comma);
// otherwise whitespace.
char separatorOfLine(std::string_view line, std::size_t fewestFields);

// The separator the first line names (sep=X), or else the one most of the first lines
// have; a line votes for whitespace only where it reads as a student so, since a title,
// or the rest of a cell that runs over lines, is no row at all.
SeparatorChoice chooseSeparator(const std::vector<Line>& firstLines, std::size_t fewestFields);

#endif
