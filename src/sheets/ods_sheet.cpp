#include "sheets/ods_sheet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <map>

#include "text/fields.h"

namespace {

struct SheetNames final : XmlHandler {
    std::vector<std::string>& names;
    int depth = 0;

    explicit SheetNames(std::vector<std::string>& kept) : names(kept) {}

    // Only the spreadsheet's own tables: not one inside a cell or a drawing.
    void start(std::string_view name, const char** attributes) override
    {
        if (depth > 0) {
            ++depth;
        } else if (name == "table") {
            names.emplace_back(attribute(attributes, "name"));
            depth = 1;
        }
    }
    void end(std::string_view /*name*/) override
    {
        depth -= depth > 0 ? 1 : 0;
    }
    void text(std::string_view /*text*/) override {}
};

// Elements whose content belongs to no cell: a comment, drawings and what they hold, a
// footnote, a table inside a cell, the sheet's own shapes. Asked of each element in a
// cell, most of them paragraphs.
bool isApart(std::string_view name)
{
    static constexpr std::array<std::string_view, 19> apart{
        "annotation", "shapes",  "frame",    "custom-shape", "g",       "rect", "line",
        "ellipse",    "polygon", "polyline", "path",         "control", "note", "table",
        "connector",  "caption", "measure",  "circle",       "image"};
    return name != "p" && name != "s" && name != "span" &&
           std::find(apart.begin(), apart.end(), name) != apart.end();
}

// The number formats of a sheet's cells, from the styles of styles.xml and those before
// the tables of content.xml: each data style (0,0; 0%; dd/mm/yyyy) as the format code an
// .xlsx would give it, and each cell style by the format it shows, or its parent's.
class DataStyles final : public XmlHandler {
  public:
    explicit DataStyles(std::vector<std::string>& formats) : formats_(formats) {}

    void start(std::string_view name, const char** attributes) override
    {
        if (name.ends_with("-style") && name != "text-style") {
            styleName_ = attribute(attributes, "name");
            code_.clear();
            inDataStyle_ = true;
        } else if (name == "style" && attribute(attributes, "family") == "table-cell") {
            const auto data = dataStyles_.find(attribute(attributes, "data-style-name"));
            const std::uint16_t format = data != dataStyles_.end()
                                             ? data->second
                                             : formatOf(attribute(attributes, "parent-style-name"));
            if (format != 0) {
                cellStyles_[std::string(attribute(attributes, "name"))] = format;
            }
        } else if (inDataStyle_) {
            part(name, attributes);
        }
    }

    void end(std::string_view name) override
    {
        if (name.ends_with("-style") && inDataStyle_) {
            inDataStyle_ = false;
            // A workbook's format code holds at most 255 characters.
            dataStyles_[styleName_] = formatIndex(formats_, code_.size() <= 255 ? code_ : "");
        }
        if (inText_ && (name == "text" || name == "currency-symbol")) {
            inText_ = false;
            // A format's own signs stand as they are; other text, quoted, as text.
            const bool signs = literal_.find_first_not_of(" /-:.,%()") == std::string::npos;
            code_ += signs ? literal_ : '"' + literal_ + '"';
        }
    }

    void text(std::string_view text) override
    {
        if (inText_ && literal_.size() < 255) {
            for (const char character : text) {
                literal_ += character == '"' ? std::string() : std::string(1, character);
            }
        }
    }

    // The format of cells of the style named, or 0 for none.
    [[nodiscard]] std::uint16_t formatOf(std::string_view style) const
    {
        const auto found = cellStyles_.find(style);
        return found == cellStyles_.end() ? 0 : found->second;
    }

  private:
    void part(std::string_view name, const char** attributes)
    {
        const bool longForm = attribute(attributes, "style") == "long";
        if (name == "number") {
            number(attributes);
        } else if (name == "scientific-number") {
            code_ += "0.00E+00";
        } else if (name == "text" || name == "currency-symbol") {
            inText_ = true;
            literal_.clear();
        } else if (name == "day") {
            code_ += longForm ? "dd" : "d";
        } else if (name == "month") {
            code_ += attribute(attributes, "textual") == "true" ? (longForm ? "mmmm" : "mmm")
                     : longForm                                 ? "mm"
                                                                : "m";
        } else if (name == "year") {
            code_ += longForm ? "yyyy" : "yy";
        } else if (name == "hours") {
            code_ += longForm ? "hh" : "h";
        } else if (name == "minutes") {
            code_ += "mm";
        } else if (name == "seconds") {
            code_ += "ss";
        } else if (name == "am-pm") {
            code_ += "AM/PM";
        }
    }

    // <number:number>: its integer digits, grouped or not, and its decimals.
    void number(const char** attributes)
    {
        const auto count = [attributes](std::string_view name, std::size_t otherwise) {
            const std::string_view text = attribute(attributes, name);
            std::size_t value = otherwise;
            std::from_chars(text.data(), text.data() + text.size(), value);
            return std::min<std::size_t>(value, 30);
        };
        const std::size_t decimals = count("decimal-places", 0);
        const std::size_t shownDecimals = std::min(decimals, count("min-decimal-places", decimals));
        const std::size_t integers = count("min-integer-digits", 1);
        code_ += attribute(attributes, "grouping") == "true" ? "#,##0"
                 : integers == 0                             ? "#"
                                                             : std::string(integers, '0');
        if (decimals > 0) {
            code_ +=
                '.' + std::string(shownDecimals, '0') + std::string(decimals - shownDecimals, '#');
        }
    }

    std::vector<std::string>& formats_;
    std::map<std::string, std::uint16_t, std::less<>> dataStyles_;
    std::map<std::string, std::uint16_t, std::less<>> cellStyles_;
    std::string styleName_;
    std::string code_;
    std::string literal_;
    bool inDataStyle_ = false;
    bool inText_ = false;
};

// What a cell's attributes say of it.
struct CellRead {
    std::string type;      // office:value-type
    std::string errorType; // calcext:value-type, where it says error
    std::string value;
    std::string dateValue;
    std::string timeValue;
    std::string booleanValue;
    std::string stringValue;
    bool formula = false;
    std::uint64_t repeat = 1;
    std::uint16_t format = 0;
};

class SheetRowsReader final : public XmlHandler {
  public:
    SheetRowsReader(std::size_t sheet, SheetRows& rows, std::vector<std::string>& formats)
        : sheet_(sheet), rows_(rows), styles_(formats)
    {
    }

    void start(std::string_view name, const char** attributes) override
    {
        if (apart_ > 0) {
            ++apart_;
            return;
        }
        if (depth_ == 0) { // outside the sheets' tables
            if (name == "table") {
                inSheet_ = tables_++ == sheet_;
                depth_ = 1;
                columnFormats_.clear();
            } else {
                styles_.start(name, attributes);
            }
            return;
        }
        if (!inSheet_ || ((inCell_ || name == "shapes") && isApart(name))) {
            apart_ = 1;
            return;
        }
        ++depth_;
        if (name == "table-column" && !inRow_) {
            addColumns(attributes);
        } else if (name == "table-row" && !inRow_) {
            beginRow(attributes);
        } else if ((name == "table-cell" || name == "covered-table-cell") && inRow_ && !inCell_) {
            beginCell(attributes);
        } else if (inCell_) {
            beginText(name, attributes);
        }
    }

    void end(std::string_view name) override
    {
        if (apart_ > 0) {
            --apart_;
            return;
        }
        if (depth_ == 0) {
            styles_.end(name);
            return;
        }
        if (--depth_ == 0) {
            inSheet_ = false;
        } else if (inCell_ && (name == "table-cell" || name == "covered-table-cell")) {
            endCell();
        } else if (inRow_ && !inCell_ && name == "table-row") {
            endRow();
        } else if (inCell_ && (name == "p" || name == "h")) {
            --paragraph_;
        }
    }

    void text(std::string_view text) override
    {
        if (depth_ == 0) {
            styles_.text(text);
        } else if (inCell_ && paragraph_ > 0 && apart_ == 0 && shown_.size() <= longestRow) {
            shown_ += text;
        }
    }

    DataStyles& styles()
    {
        return styles_;
    }

  private:
    void beginRow(const char** attributes)
    {
        inRow_ = true;
        startRow(row_, 0, nextRow_);
        rowRepeat_ = repeatCount(attribute(attributes, "number-rows-repeated"), UINT32_MAX);
        column_ = 0;
    }

    // Columns whose cells without a style of their own show a format of the column's.
    void addColumns(const char** attributes)
    {
        const std::uint64_t start = columnFormats_.empty() ? 0 : columnFormats_.back().first;
        const std::uint64_t repeat =
            repeatCount(attribute(attributes, "number-columns-repeated"), mostColumns);
        columnFormats_.emplace_back(
            std::min<std::uint64_t>(start + repeat, mostColumns),
            styles_.formatOf(attribute(attributes, "default-cell-style-name")));
    }

    [[nodiscard]] std::uint16_t columnFormat() const
    {
        const auto column = std::upper_bound(
            columnFormats_.begin(), columnFormats_.end(), column_,
            [](std::uint64_t wanted, const auto& columns) { return wanted < columns.first; });
        return column == columnFormats_.end() ? 0 : column->second;
    }

    void beginCell(const char** attributes)
    {
        inCell_ = true;
        paragraphs_ = 0;
        paragraph_ = 0;
        shown_.clear();
        cell_ = CellRead{};
        bool styled = false;
        // Each of a cell's attributes once: a sheet has many cells, and each a few of them.
        for (; attributes != nullptr && *attributes != nullptr; attributes += 2) {
            const std::string_view qualified = attributes[0];
            const std::string_view name = qualified.substr(qualified.find(':') + 1);
            const char* value = attributes[1];
            if (name == "value-type") {
                (qualified.starts_with("calcext:") ? cell_.errorType : cell_.type) = value;
            } else if (name == "value") {
                cell_.value = value;
            } else if (name == "date-value") {
                cell_.dateValue = value;
            } else if (name == "time-value") {
                cell_.timeValue = value;
            } else if (name == "boolean-value") {
                cell_.booleanValue = value;
            } else if (name == "string-value") {
                cell_.stringValue = value;
            } else if (name == "formula") {
                cell_.formula = *value != '\0';
            } else if (name == "number-columns-repeated") {
                cell_.repeat = repeatCount(value, mostColumns + 1);
            } else if (name == "style-name") {
                cell_.format = styles_.formatOf(value);
                styled = true;
            }
        }
        cell_.format = styled ? cell_.format : columnFormat();
    }

    // The text a cell shows: its paragraphs, a line apiece, with their spaces and tabs.
    void beginText(std::string_view name, const char** attributes)
    {
        if (name == "p" || name == "h") {
            shown_ += paragraphs_++ > 0 ? "\n" : "";
            ++paragraph_;
        } else if (paragraph_ == 0) {
            return;
        } else if (name == "s") {
            const std::uint64_t spaces = repeatCount(attribute(attributes, "c"), longestRow + 1);
            const std::size_t room = longestRow + 1 - std::min(longestRow + 1, shown_.size());
            shown_.append(static_cast<std::size_t>(std::min<std::uint64_t>(spaces, room)), ' ');
        } else if (name == "tab") {
            shown_ += '\t';
        } else if (name == "line-break") {
            shown_ += '\n';
        }
    }

    // The cell's kind, value and text, from its value type.
    [[nodiscard]] Cell typedCell(std::string& text) const
    {
        Cell cell;
        const std::string& type = cell_.type;
        text = shown_;
        cell.kind = CellKind::text;
        if (cell_.errorType == "error") {
            cell.kind = CellKind::error;
        } else if (type == "float" || type == "percentage" || type == "currency") {
            typedNumber(cell, text);
        } else if (type == "date" || type == "time") {
            typedDate(cell, text);
        } else if (type == "boolean") {
            cell.kind = CellKind::boolean;
            cell.number = cell_.booleanValue == "true" ? 1 : 0;
            text = cell.number == 1 ? "VERDADEIRO" : "FALSO";
        } else if (type == "string" && !cell_.stringValue.empty()) {
            text = cell_.stringValue;
        }
        if (cell.kind != CellKind::text && cell.kind != CellKind::error) {
            cell.format = cell_.format;
        }
        if (cell.kind == CellKind::text && isBlank(text)) {
            cell.kind = CellKind::empty;
        }
        if (cell.kind == CellKind::empty && cell_.formula && type.empty()) {
            cell.problem = CellProblem::formulaWithoutValue;
        }
        return cell;
    }

    // A date, a date and time, or a time, by the value the file keeps; as shown where
    // that is no value.
    void typedDate(Cell& cell, std::string& text) const
    {
        const bool date = cell_.type == "date";
        const auto days = date ? daysOfIsoDate(cell_.dateValue) : daysOfDuration(cell_.timeValue);
        if (!days) {
            return;
        }
        const bool time = !date || cell_.dateValue.find('T') != std::string::npos;
        cell.number = *days;
        cell.kind = date && time ? CellKind::dateTime : date ? CellKind::date : CellKind::time;
        text = date && time ? isoDateTime(*days) : date ? isoDate(*days) : isoTime(*days);
    }

    // A number as stored, unless it shows zero-padded (00123): then as shown.
    void typedNumber(Cell& cell, std::string& text) const
    {
        char* end = nullptr;
        const double number = std::strtod(cell_.value.c_str(), &end);
        if (cell_.value.empty() || end != cell_.value.c_str() + cell_.value.size()) {
            return; // text, as shown
        }
        cell.kind = CellKind::number;
        cell.number = number;
        const std::string stored = numberText(number);
        const bool padded = shown_.size() > stored.size() && shown_.ends_with(stored) &&
                            shown_.find_first_not_of('0') == shown_.size() - stored.size();
        text = padded ? shown_ : stored;
    }

    void endCell()
    {
        inCell_ = false;
        std::string text;
        Cell cell = typedCell(text);
        if (cell.kind == CellKind::empty && cell.problem == CellProblem::none) {
            column_ = std::min<std::uint64_t>(column_ + cell_.repeat, mostColumns + 1);
            return; // blank: no cell is made for it
        }
        for (std::uint64_t copy = 0; copy < cell_.repeat; ++copy) {
            cell.column = static_cast<std::uint32_t>(std::min<std::uint64_t>(column_, mostColumns));
            column_ = std::min<std::uint64_t>(column_ + 1, mostColumns + 1);
            if (!addCell(row_, cell, text)) {
                return;
            }
        }
    }

    void endRow()
    {
        inRow_ = false;
        if (!row_.cells.empty()) {
            rows_.push_back({std::move(row_), rowRepeat_});
            pause(); // one row at a time: the rest waits until it is asked for
        }
        nextRow_ += static_cast<long>(std::min<std::uint64_t>(rowRepeat_, UINT32_MAX));
    }

    std::size_t sheet_;
    SheetRows& rows_;
    std::size_t tables_ = 0;
    bool inSheet_ = false;
    int depth_ = 0; // of elements inside a sheet's table, the table itself 1
    int apart_ = 0; // of elements inside one that belongs to no cell
    bool inRow_ = false;
    bool inCell_ = false;
    Row row_;
    std::uint64_t rowRepeat_ = 1;
    long nextRow_ = 1;
    std::uint64_t column_ = 0;
    CellRead cell_;
    DataStyles styles_;
    // The format of each run of columns, by the column after it.
    std::vector<std::pair<std::uint64_t, std::uint16_t>> columnFormats_;
    std::string shown_;
    int paragraphs_ = 0;
    int paragraph_ = 0;
};

} // namespace

bool isOds(ZipArchive& zip)
{
    std::string mimetype;
    std::string problem;
    return zip.readWhole("mimetype", 200, mimetype, problem) &&
           mimetype == "application/vnd.oasis.opendocument.spreadsheet";
}

std::unique_ptr<XmlHandler> odsSheetNames(std::vector<std::string>& names)
{
    return std::make_unique<SheetNames>(names);
}

std::unique_ptr<XmlHandler> odsRows(ZipArchive& zip, std::size_t sheet, SheetRows& rows,
                                    std::vector<std::string>& formats, std::size_t& bytes)
{
    auto reader = std::make_unique<SheetRowsReader>(sheet, rows, formats);
    // The data styles the cell styles name are mostly here. Without them, or broken, the
    // cells show no format of their own.
    std::string problem;
    parsePart(zip, "styles.xml", reader->styles(), problem, bytes);
    return reader;
}
