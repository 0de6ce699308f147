#ifndef BOLETIM_ROWS_H
#define BOLETIM_ROWS_H

#include <string_view>

#include "cells/cell.h"
#include "class/layout.h"

// What a row of a class is.
enum class RowKind {
    blank,    // no cell filled
    title,    // above the table
    header,   // the columns' names
    student,  // a row of the table: computed, or an error row that says why not
    status,   // a student with a status (Transferido, Desistente) where a grade goes
    footer,   // no identification, or a label of totals (Média da turma, Total): below
              // the students it is no student; among them, an error row
    platform, // a learning platform's row among its students (Points Possible, Muted)
};

// What row is, once the layout is decided: the rows read ahead to decide it and every
// row after them alike. Every row of a class is decided here, and nowhere else.
RowKind classifyRow(const Layout& layout, const Row& row);

// The first filled cell of row's identification, trimmed; empty where none is.
std::string_view identificationOf(const Layout& layout, const Row& row);

#endif
