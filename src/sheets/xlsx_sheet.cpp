#include "sheets/xlsx_sheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>

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
    std::vector<std::string>& strings;
    bool inText = false;
    int phonetic = 0;

    explicit SharedStrings(std::vector<std::string>& kept) : strings(kept) {}

    void start(std::string_view name, const char** /*attributes*/) override
    {
        if (name == "si") {
            strings.emplace_back();
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
        if (inText && phonetic == 0 && !strings.empty()) {
            strings.back() += text;
        }
    }
};

// Excel's own number formats that show dates.
bool isBuiltInDate(std::size_t format)
{
    return (format >= 14 && format <= 22) || (format >= 27 && format <= 36) ||
           (format >= 45 && format <= 47) || (format >= 50 && format <= 58);
}

// What a format code shows: zero-padded digits (000000), a date (dd/mm/yyyy), or neither.
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
        } else if (!quoted && character == ']') {
            --bracketed;
        } else if (!quoted && character == '\\') {
            ++next;
        } else if (!quoted && bracketed == 0 &&
                   std::string_view("dDyY").find(character) != std::string_view::npos) {
            shown.date = true;
        }
    }
    return shown;
}

struct Styles final : XmlHandler {
    std::vector<NumberShown>& styles;
    std::map<std::size_t, NumberShown> formats; // the workbook's own, by id
    bool inCellFormats = false;

    explicit Styles(std::vector<NumberShown>& kept) : styles(kept) {}

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "numFmt") {
            formats[numberOf(attribute(attributes, "numFmtId"))] =
                shownBy(attribute(attributes, "formatCode"));
        } else if (name == "cellXfs") {
            inCellFormats = true;
        } else if (name == "xf" && inCellFormats) {
            const std::size_t format = numberOf(attribute(attributes, "numFmtId"));
            const auto own = formats.find(format);
            styles.push_back(own != formats.end() ? own->second
                                                  : NumberShown{0, isBuiltInDate(format)});
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

// A sheet's rows, cell by cell: the shared string a cell names, its inline string, or its
// value as the cell shows it.
class SheetRowsReader final : public XmlHandler {
  public:
    SheetRowsReader(const XlsxBook& book, SheetRows& rows) : book_(book), rows_(rows) {}

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "row") {
            const long number = static_cast<long>(numberOf(attribute(attributes, "r"), 0));
            row_ = SheetRow{};
            row_.number = number > 0 ? number : lastRow_ + 1;
            column_ = 0;
        } else if (name == "c") {
            startCell(attributes);
        } else if (name == "v" || (name == "t" && inline_ && phonetic_ == 0)) {
            collecting_ = true;
        } else if (name == "f") {
            formula_ = true;
        } else if (name == "is") {
            inline_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        }
    }

    void end(std::string_view name) override
    {
        if (name == "v") {
            collecting_ = false;
            hasValue_ = true;
        } else if (name == "t") {
            collecting_ = false;
        } else if (name == "is") {
            inline_ = false;
            hasValue_ = true;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "c") {
            endCell();
        } else if (name == "row") {
            lastRow_ = row_.number;
            if (!row_.cells.empty() && row_.number <= mostSheetRows) {
                rows_.push_back(std::move(row_));
            }
        }
    }

    void text(std::string_view text) override
    {
        if (collecting_ && value_.size() < longestCellText) {
            value_ += text;
        }
    }

  private:
    static constexpr std::size_t longestCellText = std::size_t{1} << 20U;

    void startCell(const char** attributes)
    {
        long row = 0;
        const auto column = columnOfReference(attribute(attributes, "r"), row);
        column_ = column.value_or(column_);
        type_ = attribute(attributes, "t");
        style_ = numberOf(attribute(attributes, "s"), book_.styles.size());
        value_.clear();
        hasValue_ = formula_ = inline_ = collecting_ = false;
    }

    void endCell()
    {
        if (formula_ && !hasValue_) {
            row_.uncomputed.push_back(column_);
            placeCell(row_, column_, "");
        } else if (hasValue_) {
            placeCell(row_, column_, cellText());
        }
        ++column_;
    }

    [[nodiscard]] std::string cellText() const
    {
        if (type_ == "s") {
            const std::size_t index = numberOf(value_, book_.sharedStrings.size());
            return index < book_.sharedStrings.size() ? book_.sharedStrings[index] : "";
        }
        if (type_ == "b") {
            return value_ == "1" ? "VERDADEIRO" : "FALSO";
        }
        if (type_ == "d") {
            return value_.substr(0, value_.find('T'));
        }
        if (!type_.empty() && type_ != "n") { // inlineStr, str, e: the text itself
            return value_;
        }
        return numberShown();
    }

    [[nodiscard]] std::string numberShown() const
    {
        char* end = nullptr;
        const double number = std::strtod(value_.c_str(), &end);
        if (value_.empty() || end != value_.c_str() + value_.size()) {
            return value_;
        }
        const NumberShown shown =
            style_ < book_.styles.size() ? book_.styles[style_] : NumberShown{};
        if (shown.date) {
            return isoDate(number, book_.from1904);
        }
        std::string text = numberText(number);
        const bool wholeNumber = number >= 0 && number == std::floor(number) && number < 1e15;
        if (shown.zeroPadded > text.size() && wholeNumber) {
            text.insert(0, std::min(shown.zeroPadded, std::size_t{64}) - text.size(), '0');
        }
        return text;
    }

    const XlsxBook& book_;
    SheetRows& rows_;
    SheetRow row_;
    long lastRow_ = 0;
    std::size_t column_ = 0;
    std::string type_; // t, the cell's type
    std::size_t style_ = 0;
    std::string value_;
    bool hasValue_ = false;
    bool formula_ = false;
    bool inline_ = false;
    bool collecting_ = false;
    int phonetic_ = 0;
};

} // namespace

bool readXlsxBook(ZipArchive& zip, XlsxBook& book, std::string& problem)
{
    SheetsInWorkbook workbook;
    Relationships relationships;
    if (!parsePart(zip, "xl/workbook.xml", workbook, problem) ||
        !parsePart(zip, "xl/_rels/workbook.xml.rels", relationships, problem)) {
        return false;
    }
    book.from1904 = workbook.from1904;
    for (const auto& [name, id] : workbook.sheets) {
        const auto target = relationships.targets.find(id);
        if (target != relationships.targets.end()) {
            book.sheets.push_back({name, target->second});
        }
    }
    SharedStrings strings(book.sharedStrings);
    Styles styles(book.styles);
    return (relationships.sharedStrings.empty() ||
            parsePart(zip, relationships.sharedStrings, strings, problem)) &&
           (relationships.styles.empty() || parsePart(zip, relationships.styles, styles, problem));
}

std::unique_ptr<XmlHandler> xlsxRows(const XlsxBook& book, SheetRows& rows)
{
    return std::make_unique<SheetRowsReader>(book, rows);
}
