#ifndef BOLETIM_ROWS_H
#define BOLETIM_ROWS_H

#include <cstddef>
#include <optional>
#include <vector>

#include "text/fields.h"
#include "class/layout.h"
#include "text/records.h"

// What a row of a class file is.
enum class RowKind {
    blank,     // no field filled
    directive, // "sep=;" on the first line, as Excel writes it
    title,     // above the table, or between its header and its first student
    header,    // the columns' names
    student,   // a row of the table: computed, or an error row that says why not
    footer,    // no identification, or a label of totals (Média, Total): below the
               // students it is no student; among them, an error row
};

// What record is, once the layout is decided. Every row of a class is decided here.
RowKind classifyRow(const Layout& layout, const Record& record);

// The first field of record's identification that is not blank; empty where none is.
std::string_view identificationOf(const Layout& layout, const Record& record);

// The rows the layout is decided from, before there is a layout.

// A row that reads as a student by itself: an identification that is no column name, title
// or label of totals, and either a number (a matrícula, a roll number) or a number after it.
bool readsAsStudent(const Fields& fields);

// Where the table starts among rows (those read ahead, blank ones left out): the header,
// if any, the first row of the table, and the rows that are titles. firstStudent is the
// first row that readsAsStudent, if any; numericColumns those whose fields below it are
// mostly numbers.
struct TableStart {
    std::optional<std::size_t> header;
    std::size_t firstRow = 0;
    std::vector<std::size_t> titles;
};
TableStart findTableStart(const std::vector<const Record*>& rows,
                          std::optional<std::size_t> firstStudent,
                          const std::vector<std::size_t>& numericColumns, HeaderChoice choice);

#endif
