#ifndef BOLETIM_WORKBOOK_H
#define BOLETIM_WORKBOOK_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "tables/table_writer.h"

// Whether this build writes workbooks: with libxlsxwriter.
bool canWriteWorkbooks();

// A spreadsheet's sheet holds at most this many rows.
constexpr std::size_t mostRowsOfASheet = 1048576;

// The table as an Office Open XML workbook, written at path when finished, ready to print:
// - "Turma", the table's rows, text as text and numbers as numbers in the formats the
//   class shows them in, lined, no two cells' texts touching, landscape, as wide as a
//   page, its header on every page, the class's title above;
// - "Resumo", the counts, the class's means, the grade columns, the rows in error and a
//   chart of the concepts;
// - "Boletins", a report card for each student, to print four to a page and cut: a
//   student not computed gets one with the grades it has and why there is no mean.
// The class's title is its title rows, or else source, the name of its file. Written
// with libxlsxwriter where the build has it; null, with why, where it cannot be.
std::unique_ptr<TableWriter> startWorkbook(const std::string& path, std::string_view source,
                                           std::string& problem);

#endif
