#ifndef BOLETIM_TEXT_SOURCE_H
#define BOLETIM_TEXT_SOURCE_H

#include <memory>
#include <string_view>

#include "cells/row_source.h"
#include "text/lines.h"

// A class file of text, reader started, named source in messages: its lines split into
// fields by the separator its first lines show, which splits rows into at least
// fewestFields (an identification and the grades), each field a cell of text, or empty
// where blank. Excel's "sep=;" line is no row.
std::unique_ptr<RowSource> textSource(LineReader& reader, std::string_view source,
                                      std::size_t fewestFields = 4);

#endif
