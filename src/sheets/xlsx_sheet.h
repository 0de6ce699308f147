#ifndef BOLETIM_XLSX_SHEET_H
#define BOLETIM_XLSX_SHEET_H

#include <memory>
#include <string>
#include <vector>

#include "sheets/sheet_rows.h"
#include "sheets/sheet_xml.h"
#include "sheets/sheet_zip.h"

// What a cell's style says of a number: shown zero-padded to a width (a format such as
// 000000), or as a date.
struct NumberShown {
    std::size_t zeroPadded = 0;
    bool date = false;
};

// What the sheets of an Office Open XML workbook need of its other parts.
struct XlsxBook {
    struct Sheet {
        std::string name;
        std::string part; // its member of the zip, as xl/worksheets/sheet1.xml
    };
    std::vector<Sheet> sheets;
    std::vector<std::string> sharedStrings;
    std::vector<NumberShown> styles; // by the index a cell's s names
    bool from1904 = false;
};

// Reads the workbook's sheets, shared strings and styles; false, with why, where they are
// missing or broken.
bool readXlsxBook(ZipArchive& zip, XlsxBook& book, std::string& problem);

// A reader of a sheet's XML that puts each row with a filled cell in rows as it ends.
std::unique_ptr<XmlHandler> xlsxRows(const XlsxBook& book, SheetRows& rows);

#endif
