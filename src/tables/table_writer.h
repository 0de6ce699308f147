#ifndef BOLETIM_TABLE_WRITER_H
#define BOLETIM_TABLE_WRITER_H

#include <string>
#include <string_view>
#include <vector>

#include "cells/cell.h"
#include "cells/row_source.h"
#include "class/layout.h"
#include "class/school_rule.h"
#include "class/student.h"
#include "class/summary.h"

// The table of a class, written one row at a time as the class is read: as CSV or as a
// workbook. Each writes the same rows the same way, from the same rows of cells.
//
// Its columns are the class's, then the columns it adds (Média ponderada, Conceito,
// Definição), then, unnamed, the teacher's notes typed right of the class's columns, each
// as far right of the added ones as it was of the class's last.
class TableWriter {
  public:
    TableWriter() = default;
    TableWriter(const TableWriter&) = delete;
    TableWriter(TableWriter&&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;
    TableWriter& operator=(TableWriter&&) = delete;
    virtual ~TableWriter() = default;

    // A title of the class, from above its table.
    virtual void addTitle(std::string_view title) = 0;
    // The table's first row: the class's column names, then the columns it adds; false,
    // with why, where the table cannot be written so. The means are made by rule; the
    // cells name their number formats in source.
    virtual bool beginTable(const Layout& layout, const std::vector<std::string>& names,
                            const SchoolRule& rule, const RowSource& source,
                            std::string& problem) = 0;
    // A student's row; false where there is no room for it.
    virtual bool addRow(const StudentRow& student) = 0;
    // A row that is no student (Média da turma, Points Possible): its cells as the file has
    // them.
    virtual void addOtherRow(const Row& row) = 0;
    // Writes out the rest; false, with why, where that failed.
    virtual bool finish(const ClassCounts& counts, std::string& problem) = 0;
};

// The column of the table that a cell in column of the class goes to.
inline std::size_t tableColumn(const Layout& layout, std::size_t column)
{
    return column < layout.width ? column : column + resultColumns.size();
}

// Where a row's cells in the table end: the class's columns, and the notes up to the last
// filled one. Blank fields right of the class's columns are no notes.
inline std::size_t cellsEnd(const Layout& layout, const Row& row)
{
    return row.width() <= layout.width ? layout.width : std::max(layout.width, filledWidth(row));
}

// The empty cells a table writes for row: up to its cells' end, those it has no cell for.
inline std::size_t emptyCellsOf(const Layout& layout, const Row& row)
{
    const std::size_t end = cellsEnd(layout, row);
    return end - std::min(end, row.cells.size());
}

#endif
