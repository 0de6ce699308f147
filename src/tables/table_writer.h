#ifndef BOLETIM_TABLE_WRITER_H
#define BOLETIM_TABLE_WRITER_H

#include <string>
#include <string_view>
#include <vector>

#include "text/fields.h"
#include "class/layout.h"
#include "class/student.h"
#include "class/summary.h"

// The table of a class, written one row at a time as the class is read: as CSV or as a
// workbook. Each writes the same rows the same way, from the same StudentRow.
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
    // with why, where the table cannot be written so.
    virtual bool beginTable(const Layout& layout, const std::vector<std::string>& names,
                            std::string& problem) = 0;
    // False where there is no room for the row.
    virtual bool addRow(const StudentRow& row) = 0;
    // A row below the students that is none (Média da turma): its cells as typed.
    virtual void addFooter(const Fields& cells) = 0;
    // Writes out the rest; false, with why, where that failed.
    virtual bool finish(const ClassCounts& counts, std::string& problem) = 0;
};

#endif
