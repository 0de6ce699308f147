#include "sheets/xlsx_sheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>

#include "text/fields.h"

namespace {

std::size_t numberOf(std::string_view text, std::size_t otherwise = 0)
{
    std::size_t number = otherwise;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), number);
    return read.ec == std::errc() ? number : otherwise;
}

struct SheetsInWorkbook final : XmlHandler {
    std::vector<std::pair<std::string, std::string>> sheets; // name, relationship
    bool from1904 = false;

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "sheet") {
            sheets.emplace_back(attribute(attributes, "name"), attribute(attributes, "id"));
        } else if (name == "workbookPr") {
            const std::string_view date1904 = attribute(attributes, "date1904");
            from1904 = date1904 == "1" || date1904 == "true";
        }
    }
    void end(std::string_view /*name*/) override {}
    void text(std::string_view /*text*/) override {}
};

// The parts a workbook's relationships name: by id, and, for the shared strings and the
// styles, by type.
struct Relationships final : XmlHandler {
    std::map<std::string, std::string, std::less<>> targets;
    std::string sharedStrings;
    std::string styles;

    void start(std::string_view name, const char** attributes) override
    {
        if (name != "Relationship") {
            return;
        }
        const std::string_view target = attribute(attributes, "Target");
        // Targets are relative to xl/, or from the zip's root where they start with /.
        const std::string part =
            target.starts_with('/') ? std::string(target.substr(1)) : "xl/" + std::string(target);
        const std::string_view type = attribute(attributes, "Type");
        targets[std::string(attribute(attributes, "Id"))] = part;
        if (type.ends_with("/sharedStrings")) {
            sharedStrings = part;
        } else if (type.ends_with("/styles")) {
            styles = part;
        }
    }
    void end(std::string_view /*name*/) override {}
    void text(std::string_view /*text*/) override {}
};

// Each shared string is the text of its runs, without their phonetic guides.
struct SharedStrings final : XmlHandler {
    SharedTexts& texts;
    bool inText = false;
    int phonetic = 0;

    explicit SharedStrings(SharedTexts& kept) : texts(kept) {}

    void start(std::string_view name, const char** /*attributes*/) override
    {
        if (name == "si") {
            texts.ends.push_back(static_cast<std::uint32_t>(texts.text.size()));
        } else if (name == "t") {
            inText = true;
        } else if (name == "rPh") {
            ++phonetic;
        }
    }
    void end(std::string_view name) override
    {
        if (name == "t") {
            inText = false;
        } else if (name == "rPh") {
            --phonetic;
        }
    }
    void text(std::string_view text) override
    {
        // A text past 4 GiB in all would not fit its offsets; the zip's limits stop it first.
        if (inText && phonetic == 0 && !texts.ends.empty() &&
            texts.text.size() + text.size() < UINT32_MAX) {
            texts.text += text;
            texts.ends.back() = static_cast<std::uint32_t>(texts.text.size());
        }
    }
};

// Excel's own number formats, by id, that a workbook names without writing them out.
std::string builtInFormat(std::size_t formatId)
{
    switch (formatId) {
    case 1:
        return "0";
    case 2:
        return "0.00";
    case 3:
        return "#,##0";
    case 4:
        return "#,##0.00";
    case 9:
        return "0%";
    case 10:
        return "0.00%";
    case 11:
        return "0.00E+00";
    case 14:
        return "dd/mm/yyyy";
    case 15:
        return "d-mmm-yy";
    case 16:
        return "d-mmm";
    case 17:
        return "mmm-yy";
    case 18:
        return "h:mm AM/PM";
    case 19:
        return "h:mm:ss AM/PM";
    case 20:
        return "h:mm";
    case 21:
        return "h:mm:ss";
    case 22:
        return "dd/mm/yyyy h:mm";
    case 45:
        return "mm:ss";
    case 46:
        return "[h]:mm:ss";
    case 47:
        return "mm:ss.0";
    default:
        return {};
    }
}

// What a format code shows: zero-padded digits (000000), a date (dd/mm/yyyy), a time
// (hh:mm), both, or none of them.
NumberShown shownBy(std::string_view code)
{
    NumberShown shown;
    if (code.size() >= 2 && code.find_first_not_of('0') == std::string_view::npos) {
        shown.zeroPadded = code.size();
        return shown;
    }
    bool quoted = false;
    int bracketed = 0;
    for (std::size_t next = 0; next < code.size(); ++next) {
        const char character = code[next];
        if (character == '"') {
            quoted = !quoted;
        } else if (!quoted && character == '[') {
            ++bracketed;
            // [h] and [mm] count hours or minutes past a day.
            shown.time = shown.time || code.substr(next + 1, 1).find_first_of("hHmMsS") == 0;
        } else if (!quoted && character == ']') {
            --bracketed;
        } else if (!quoted && character == '\\') {
            ++next;
        } else if (!quoted && bracketed == 0) {
            shown.date =
                shown.date || std::string_view("dDyY").find(character) != std::string_view::npos;
            shown.time =
                shown.time || std::string_view("hHsS").find(character) != std::string_view::npos;
        }
    }
    return shown;
}

struct Styles final : XmlHandler {
    XlsxBook& book;
    std::map<std::size_t, std::string> codes; // the workbook's own, by id
    bool inCellFormats = false;

    explicit Styles(XlsxBook& kept) : book(kept) {}

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "numFmt") {
            codes[numberOf(attribute(attributes, "numFmtId"))] =
                attribute(attributes, "formatCode");
        } else if (name == "cellXfs") {
            inCellFormats = true;
        } else if (name == "xf" && inCellFormats) {
            const std::size_t id = numberOf(attribute(attributes, "numFmtId"));
            const auto own = codes.find(id);
            const std::string code = own != codes.end() ? own->second : builtInFormat(id);
            NumberShown shown = shownBy(code);
            shown.format = formatIndex(book.formats, code);
            book.styles.push_back(shown);
        }
    }
    void end(std::string_view name) override
    {
        if (name == "cellXfs") {
            inCellFormats = false;
        }
    }
    void text(std::string_view /*text*/) override {}
};

// What a cell's element says of it, as it is read.
struct CellRead {
    std::size_t column = 0;
    std::string type; // t: s, b, e, str, inlineStr, d, n
    std::size_t style = 0;
    std::string value; // of <v>, or of <is>'s texts
    bool hasValue = false;
    bool formula = false;
    bool inlineText = false;
};

// A sheet's rows, cell by cell, each cell of the kind the file says.
class SheetRowsReader final : public XmlHandler {
  public:
    SheetRowsReader(const XlsxBook& book, SheetRows& rows) : book_(book), rows_(rows) {}

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "row") {
            const long number = static_cast<long>(numberOf(attribute(attributes, "r"), 0));
            startRow(row_, 0, number > 0 ? number : lastRow_ + 1);
            column_ = 0;
        } else if (name == "c") {
            startCell(attributes);
        } else if (name == "v" || (name == "t" && inInline_ && phonetic_ == 0)) {
            collecting_ = true;
        } else if (name == "f") {
            cell_.formula = true;
        } else if (name == "is") {
            inInline_ = true;
            cell_.inlineText = true;
            cell_.value.clear();
        } else if (name == "rPh") {
            ++phonetic_;
        }
    }

    void end(std::string_view name) override
    {
        if (name == "v") {
            collecting_ = false;
            cell_.hasValue = true;
        } else if (name == "t") {
            collecting_ = false;
        } else if (name == "is") {
            inInline_ = false;
            cell_.hasValue = true;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "c") {
            endCell();
        } else if (name == "row") {
            endRow();
        }
    }

    void text(std::string_view text) override
    {
        if (collecting_ && cell_.value.size() <= longestRow) {
            cell_.value += text;
        }
    }

  private:
    void startCell(const char** attributes)
    {
        cell_ = CellRead{};
        cell_.column = column_;
        cell_.style = book_.styles.size();
        // Each of a cell's attributes once: a sheet has many cells, and each a few of them.
        for (; attributes != nullptr && *attributes != nullptr; attributes += 2) {
            const std::string_view name = attributes[0];
            const std::string_view value = attributes[1];
            long row = 0;
            if (name == "r") {
                cell_.column = columnOfReference(value, row).value_or(column_);
            } else if (name == "t") {
                cell_.type = value;
            } else if (name == "s") {
                cell_.style = numberOf(value, book_.styles.size());
            }
        }
        collecting_ = inInline_ = false;
    }

    void endCell()
    {
        column_ = cell_.column + 1;
        Cell cell;
        cell.column = static_cast<std::uint32_t>(std::min(cell_.column, mostColumns));
        std::string text;
        if (cell_.formula && !cell_.hasValue) {
            cell.problem = CellProblem::formulaWithoutValue;
        } else if (!cell_.hasValue) {
            return; // a blank cell with a style of its own
        } else {
            text = typedValue(cell);
        }
        addCell(row_, cell, text);
    }

    // The cell's kind, value and text, from its type and style.
    [[nodiscard]] std::string typedValue(Cell& cell) const
    {
        const std::string& type = cell_.type;
        std::string text = cell_.value;
        cell.kind = CellKind::text;
        if (cell_.inlineText) {
            // its own text, whatever the type says
        } else if (type == "s") {
            const std::size_t index = numberOf(text, book_.sharedTexts.size());
            if (index >= book_.sharedTexts.size()) {
                cell.problem = CellProblem::brokenReference;
                cell.kind = CellKind::empty;
                return {};
            }
            text = book_.sharedTexts.at(index);
        } else if (type == "b") {
            cell.kind = CellKind::boolean;
            cell.number = text == "1" || text == "true" ? 1 : 0;
            text = cell.number == 1 ? "VERDADEIRO" : "FALSO";
        } else if (type == "e") {
            cell.kind = CellKind::error;
        } else if (type == "d") {
            typedDate(cell, text);
        } else if (type.empty() || type == "n") {
            typedNumber(cell, text);
        }
        if (cell.kind == CellKind::text && isBlank(text)) {
            cell.kind = CellKind::empty;
        }
        return text;
    }

    static void typedDate(Cell& cell, std::string& text)
    {
        const auto days = daysOfIsoDate(text);
        if (!days) {
            return; // text, as the file has it
        }
        cell.number = *days;
        const bool time = text.find('T') != std::string::npos;
        cell.kind = time ? CellKind::dateTime : CellKind::date;
        text = time ? isoDateTime(*days) : isoDate(*days);
    }

    void typedNumber(Cell& cell, std::string& text) const
    {
        char* end = nullptr;
        const double number = std::strtod(text.c_str(), &end);
        if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(number)) {
            return; // text, as the file has it
        }
        const NumberShown shown =
            cell_.style < book_.styles.size() ? book_.styles[cell_.style] : NumberShown{};
        cell.number = number;
        cell.format = shown.format;
        if (shown.date || shown.time) {
            cell.kind = shown.date && shown.time ? CellKind::dateTime
                        : shown.date             ? CellKind::date
                                                 : CellKind::time;
            text = shown.date && shown.time ? isoDateTime(number, book_.from1904)
                   : shown.date             ? isoDate(number, book_.from1904)
                                            : isoTime(number);
            return;
        }
        cell.kind = CellKind::number;
        text = numberText(number);
        const bool wholeNumber = number >= 0 && number == std::floor(number) && number < 1e15;
        if (shown.zeroPadded > text.size() && wholeNumber) {
            text.insert(0, std::min(shown.zeroPadded, std::size_t{64}) - text.size(), '0');
        }
    }

    // Cells out of order, as no spreadsheet writes them, are put in order; of two in one
    // column, the later stands.
    void endRow()
    {
        lastRow_ = row_.number;
        std::vector<Cell>& cells = row_.cells;
        const auto byColumn = [](const Cell& one, const Cell& other) {
            return one.column < other.column;
        };
        if (!std::is_sorted(cells.begin(), cells.end(), byColumn) ||
            std::adjacent_find(cells.begin(), cells.end(), [](const Cell& one, const Cell& other) {
                return one.column == other.column;
            }) != cells.end()) {
            std::stable_sort(cells.begin(), cells.end(), byColumn);
            const auto kept =
                std::unique(cells.rbegin(), cells.rend(), [](const Cell& one, const Cell& other) {
                    return one.column == other.column;
                });
            cells.erase(cells.begin(), kept.base());
        }
        if (!cells.empty()) {
            rows_.push_back({std::move(row_), 1});
            pause(); // one row at a time: the rest waits until it is asked for
        }
    }

    const XlsxBook& book_;
    SheetRows& rows_;
    Row row_;
    long lastRow_ = 0;
    std::size_t column_ = 0;
    CellRead cell_;
    bool collecting_ = false;
    bool inInline_ = false;
    int phonetic_ = 0;
};

} // namespace

bool readXlsxBook(ZipArchive& zip, XlsxBook& book, std::string& problem)
{
    SheetsInWorkbook workbook;
    Relationships relationships;
    if (!parsePart(zip, "xl/workbook.xml", workbook, problem, book.bytesRead) ||
        !parsePart(zip, "xl/_rels/workbook.xml.rels", relationships, problem, book.bytesRead)) {
        return false;
    }
    book.from1904 = workbook.from1904;
    for (const auto& [name, id] : workbook.sheets) {
        const auto target = relationships.targets.find(id);
        if (target != relationships.targets.end()) {
            book.sheets.push_back({name, target->second});
        }
    }
    book.formats.assign(1, "");
    SharedStrings strings(book.sharedTexts);
    Styles styles(book);
    return (relationships.sharedStrings.empty() ||
            parsePart(zip, relationships.sharedStrings, strings, problem, book.bytesRead)) &&
           (relationships.styles.empty() ||
            parsePart(zip, relationships.styles, styles, problem, book.bytesRead));
}

std::unique_ptr<XmlHandler> xlsxRows(const XlsxBook& book, SheetRows& rows)
{
    return std::make_unique<SheetRowsReader>(book, rows);
}
