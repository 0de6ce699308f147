#ifndef BOLETIM_WORKBOOK_H
#define BOLETIM_WORKBOOK_H

#include <memory>
#include <string>
#include <vector>

#include "fields.h"
#include "layout.h"
#include "table.h"

// The table as an Office Open XML workbook: a sheet "Turma" with the table's rows, text
// as text and numbers as numbers, and a sheet "Resumo" with the counts, the grade
// columns and a chart of the concepts. Written with libxlsxwriter where the build has it.
struct Workbook;
struct WorkbookCloser {
    void operator()(Workbook* workbook) const;
};
using WorkbookFile = std::unique_ptr<Workbook, WorkbookCloser>;

// A spreadsheet's sheet holds at most this many rows.
constexpr std::size_t mostRowsOfASheet = 1048576;

// A workbook to be written at path when finished; null, with why, where it cannot be.
WorkbookFile startWorkbook(const std::string& path, std::string& problem);

void addHeaderRow(Workbook& workbook, const std::vector<std::string>& names, const Layout& layout);

// False where the sheet has no room for another row.
bool addStudentRow(Workbook& workbook, const Fields& fields, const StudentRow& row);

// Adds the summary sheet and writes the file; false, with why, where it could not.
bool finishWorkbook(WorkbookFile workbook, const ClassCounts& counts, std::string& problem);

#endif
