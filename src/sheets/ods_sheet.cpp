#include "sheets/ods_sheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "class/layout.h"

namespace {

std::size_t repeatOf(std::string_view text)
{
    std::size_t repeat = 1;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), repeat);
    return read.ec == std::errc() && repeat > 0 ? repeat : 1;
}

struct SheetNames final : XmlHandler {
    std::vector<std::string>& names;

    explicit SheetNames(std::vector<std::string>& kept) : names(kept) {}

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "table") {
            names.emplace_back(attribute(attributes, "name"));
        }
    }
    void end(std::string_view /*name*/) override {}
    void text(std::string_view /*text*/) override {}
};

// What a cell's attributes say of it.
struct CellValue {
    std::string type; // office:value-type
    std::string value;
    std::string dateValue;
    std::string booleanValue;
    std::string stringValue;
    bool formula = false;
    std::size_t repeat = 1;
};

class SheetRowsReader final : public XmlHandler {
  public:
    SheetRowsReader(std::size_t sheet, SheetRows& rows) : sheet_(sheet), rows_(rows) {}

    void start(std::string_view name, const char** attributes) override
    {
        if (name == "table") {
            inSheet_ = tables_++ == sheet_;
        } else if (!inSheet_) {
            return;
        } else if (name == "table-row") {
            row_ = SheetRow{};
            rowRepeat_ = repeatOf(attribute(attributes, "number-rows-repeated"));
            column_ = 0;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            startCell(attributes);
        } else if (name == "annotation") {
            ++annotation_;
        } else if (annotation_ == 0 && inCell_) {
            startText(name, attributes);
        }
    }

    void end(std::string_view name) override
    {
        if (name == "table") {
            inSheet_ = false;
        } else if (!inSheet_) {
            return;
        } else if (name == "annotation") {
            --annotation_;
        } else if (name == "p" || name == "h") {
            --paragraph_;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            endCell();
        } else if (name == "table-row") {
            endRow();
        }
    }

    void text(std::string_view text) override
    {
        if (inCell_ && paragraph_ > 0 && annotation_ == 0 && shown_.size() < longestCellText) {
            shown_ += text;
        }
    }

  private:
    static constexpr std::size_t longestCellText = std::size_t{1} << 20U;

    void startCell(const char** attributes)
    {
        inCell_ = true;
        paragraphs_ = 0;
        shown_.clear();
        cell_ = CellValue{std::string(attribute(attributes, "value-type")),
                          std::string(attribute(attributes, "value")),
                          std::string(attribute(attributes, "date-value")),
                          std::string(attribute(attributes, "boolean-value")),
                          std::string(attribute(attributes, "string-value")),
                          !attribute(attributes, "formula").empty(),
                          repeatOf(attribute(attributes, "number-columns-repeated"))};
    }

    // The text a cell shows: its paragraphs, a line apiece, with their spaces and tabs.
    void startText(std::string_view name, const char** attributes)
    {
        if (name == "p" || name == "h") {
            shown_ += paragraphs_++ > 0 ? "\n" : "";
            ++paragraph_;
        } else if (name == "s") {
            shown_.append(std::min<std::size_t>(repeatOf(attribute(attributes, "c")), 1024), ' ');
        } else if (name == "tab") {
            shown_ += '\t';
        } else if (name == "line-break") {
            shown_ += '\n';
        }
    }

    // A number as stored, unless it shows zero-padded (00123): then as shown.
    [[nodiscard]] std::string numberShown() const
    {
        char* end = nullptr;
        const double number = std::strtod(cell_.value.c_str(), &end);
        if (cell_.value.empty() || end != cell_.value.c_str() + cell_.value.size()) {
            return shown_;
        }
        const std::string text = numberText(number);
        const bool padded = shown_.size() > text.size() && shown_.ends_with(text) &&
                            shown_.find_first_not_of('0') == shown_.size() - text.size();
        return padded ? shown_ : text;
    }

    [[nodiscard]] std::string cellText() const
    {
        const std::string& type = cell_.type;
        if (type == "float") {
            return numberShown();
        }
        if (type == "date") {
            return cell_.dateValue.substr(0, cell_.dateValue.find('T'));
        }
        if (type == "boolean") {
            return cell_.booleanValue == "true" ? "VERDADEIRO" : "FALSO";
        }
        if (type == "string" && !cell_.stringValue.empty()) {
            return cell_.stringValue;
        }
        return shown_; // text, and what percentages, money and times show
    }

    void endCell()
    {
        inCell_ = false;
        const std::string text = cellText();
        const bool uncomputed = cell_.formula && cell_.type.empty() && text.empty();
        if (text.empty() && !uncomputed) {
            column_ += cell_.repeat; // blank: no cell is made for it
            return;
        }
        for (std::size_t copy = 0; copy < cell_.repeat && column_ <= mostColumns; ++copy) {
            if (uncomputed) {
                row_.uncomputed.push_back(column_);
            }
            placeCell(row_, column_++, text);
        }
    }

    void endRow()
    {
        for (std::size_t copy = 0;
             copy < rowRepeat_ && !row_.cells.empty() && nextRow_ <= mostSheetRows; ++copy) {
            rows_.push_back(row_);
            rows_.back().number = nextRow_++;
        }
        if (row_.cells.empty()) {
            nextRow_ += static_cast<long>(std::min<std::size_t>(rowRepeat_, mostSheetRows));
        }
    }

    std::size_t sheet_;
    SheetRows& rows_;
    std::size_t tables_ = 0;
    bool inSheet_ = false;
    SheetRow row_;
    std::size_t rowRepeat_ = 1;
    long nextRow_ = 1;
    std::size_t column_ = 0;
    bool inCell_ = false;
    CellValue cell_;
    std::string shown_;
    int paragraphs_ = 0;
    int paragraph_ = 0;
    int annotation_ = 0;
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
