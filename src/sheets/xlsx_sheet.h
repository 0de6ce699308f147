#ifndef BOLETIM_XLSX_SHEET_H
#define BOLETIM_XLSX_SHEET_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sheets/sheet_rows.h"
#include "sheets/sheet_xml.h"
#include "sheets/sheet_zip.h"

// What a cell's style says of a number: shown zero-padded to a width (a format such as
// 000000), as a date, a time or both, and the format's code, by index in the book's.
struct NumberShown {
    std::size_t zeroPadded = 0;
    bool date = false;
    bool time = false;
    std::uint16_t format = 0;
};

// The workbook's shared texts, one after another in one string: a file of a million
// empty ones takes a few MiB, not a string apiece.
struct SharedTexts {
    std::string text;
    std::vector<std::uint32_t> ends;

    [[nodiscard]] std::size_t size() const
    {
        return ends.size();
    }
    [[nodiscard]] std::string_view at(std::size_t index) const
    {
        const std::uint32_t start = index == 0 ? 0 : ends[index - 1];
        return std::string_view(text).substr(start, ends[index] - start);
    }
};

// What the sheets of an Office Open XML workbook need of its other parts.
struct XlsxBook {
    struct Sheet {
        std::string name;
        std::string part; // its member of the zip, as xl/worksheets/sheet1.xml
    };
    std::vector<Sheet> sheets;
    SharedTexts sharedTexts;
    std::vector<NumberShown> styles;  // by the index a cell's s names
    std::vector<std::string> formats; // format codes, the first none
    bool from1904 = false;
    std::size_t bytesRead = 0; // of its parts' XML
};

// Reads the workbook's sheets, shared texts and styles; false, with why, where they are
// missing or broken.
bool readXlsxBook(ZipArchive& zip, XlsxBook& book, std::string& problem);

// A reader of a sheet's XML that puts each row in rows as it ends.
std::unique_ptr<XmlHandler> xlsxRows(const XlsxBook& book, SheetRows& rows);

#endif
