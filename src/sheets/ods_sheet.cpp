#include "sheets/ods_sheet.h"

#include <algorithm>
#include <array>
#include <cstdlib>

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
};

class SheetRowsReader final : public XmlHandler {
  public:
    SheetRowsReader(std::size_t sheet, SheetRows& rows) : sheet_(sheet), rows_(rows) {}

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
            }
            return;
        }
        if (!inSheet_ || ((inCell_ || name == "shapes") && isApart(name))) {
            apart_ = 1;
            return;
        }
        ++depth_;
        if (name == "table-row" && !inRow_) {
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
        if (inCell_ && paragraph_ > 0 && apart_ == 0 && shown_.size() <= longestRow) {
            shown_ += text;
        }
    }

  private:
    void beginRow(const char** attributes)
    {
        inRow_ = true;
        startRow(row_, 0, nextRow_);
        rowRepeat_ = repeatCount(attribute(attributes, "number-rows-repeated"), UINT32_MAX);
        column_ = 0;
    }

    void beginCell(const char** attributes)
    {
        inCell_ = true;
        paragraphs_ = 0;
        paragraph_ = 0;
        shown_.clear();
        cell_ = CellRead{};
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
            }
        }
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
            shown_.append(std::min<std::size_t>(
                              spaces, longestRow + 1 - std::min(longestRow + 1, shown_.size())),
                          ' ');
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

std::unique_ptr<XmlHandler> odsRows(std::size_t sheet, SheetRows& rows)
{
    return std::make_unique<SheetRowsReader>(sheet, rows);
}
