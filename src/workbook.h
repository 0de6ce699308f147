#ifndef BOLETIM_WORKBOOK_H
#define BOLETIM_WORKBOOK_H

#include <cstddef>
#include <memory>
#include <string>

#include "table_writer.h"

// A spreadsheet's sheet holds at most this many rows.
constexpr std::size_t mostRowsOfASheet = 1048576;

// The table as an Office Open XML workbook, written at path when finished: a sheet "Turma"
// with the table's rows, text as text and numbers as numbers, and a sheet "Resumo" with
// the counts, the grade columns and a chart of the concepts. Written with libxlsxwriter
// where the build has it; null, with why, where it cannot be.
std::unique_ptr<TableWriter> startWorkbook(const std::string& path, std::string& problem);

#endif
