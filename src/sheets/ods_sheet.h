#ifndef BOLETIM_ODS_SHEET_H
#define BOLETIM_ODS_SHEET_H

#include <memory>
#include <string>
#include <vector>

#include "sheets/sheet_rows.h"
#include "sheets/sheet_xml.h"
#include "sheets/sheet_zip.h"

// An OpenDocument spreadsheet keeps every sheet in one part.
constexpr std::string_view odsContent = "content.xml";

// Whether zip is an OpenDocument spreadsheet, as its first member says.
bool isOds(ZipArchive& zip);

// A reader of content.xml that keeps the sheets' names in names, in order.
std::unique_ptr<XmlHandler> odsSheetNames(std::vector<std::string>& names);

// A reader of content.xml that puts each row of the sheet numbered sheet (from 0) in rows
// as it ends, once however many times it is repeated; blank rows and cells take their
// places without being made. What a cell holds besides its value (a comment, a drawing,
// a table of its own) and the sheet's drawings are no part of any cell. A cell names its
// number format by its index in formats, where the reader adds them, read first from the
// zip's styles.xml, whose bytes are added to bytes.
std::unique_ptr<XmlHandler> odsRows(ZipArchive& zip, std::size_t sheet, SheetRows& rows,
                                    std::vector<std::string>& formats, std::size_t& bytes);

#endif
