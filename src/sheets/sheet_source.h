#ifndef BOLETIM_SHEET_SOURCE_H
#define BOLETIM_SHEET_SOURCE_H

#include <memory>
#include <string>
#include <string_view>

#include "cells/row_source.h"
#include "class/class_file.h"
#include "text/lines.h"

// A spreadsheet's sheet read as the rows of a class, cell by cell as typed: an .xlsx
// (Office Open XML) or an .ods (OpenDocument), told by what the zip holds. sheet names it,
// without case or accents, or by number from 1; empty for the first. input has read the
// first block. Where it cannot be read, null, and result says why: refused, not a
// spreadsheet this build reads; unusableOptions, no such sheet; unreadable, a broken
// file. Built with libzip and expat; without them, every spreadsheet is refused, saying so.
std::unique_ptr<RowSource> openSpreadsheet(LineReader& input, std::string_view source,
                                           const std::string& sheet, ClassResult& result);

#endif
