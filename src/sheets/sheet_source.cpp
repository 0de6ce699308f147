#include "sheets/sheet_source.h"

#include <algorithm>
#include <vector>

#include "class/layout.h"
#include "class/names.h"
#include "sheets/ods_sheet.h"
#include "sheets/sheet_rows.h"
#include "sheets/sheet_xml.h"
#include "sheets/sheet_zip.h"
#include "sheets/xlsx_sheet.h"
#include "text/encoding.h"

namespace {

// A sheet's name as a reference to a cell writes it: in quotes where it has more than
// letters, digits and _.
std::string sheetReference(const std::string& name)
{
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char character) {
        return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
               (character >= '0' && character <= '9') || character == '_' ||
               static_cast<unsigned char>(character) >= 0x80U;
    });
    if (plain) {
        return name;
    }
    std::string quoted = "'";
    for (const char character : name) {
        quoted += character == '\'' ? std::string("''") : std::string(1, character);
    }
    return quoted + "'";
}

std::string listOf(const std::vector<std::string>& names)
{
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == names.size() ? " e " : ", ") + quotedForMessage(names[i]);
    }
    return list;
}

// The sheet the user named: by number from 1, or by name without case or accents.
std::optional<std::size_t> chosenSheet(const std::vector<std::string>& names,
                                       const std::string& wanted)
{
    if (wanted.empty()) {
        return 0;
    }
    if (isWholeNumber(wanted)) {
        const std::size_t number = std::stoul(std::string(trimmed(wanted)).substr(0, 9));
        if (number >= 1 && number <= names.size()) {
            return number - 1;
        }
    }
    const auto found = std::find_if(names.begin(), names.end(), [&wanted](const std::string& name) {
        return sameName(name, wanted);
    });
    return found == names.end()
               ? std::nullopt
               : std::optional<std::size_t>(static_cast<std::size_t>(found - names.begin()));
}

// The rows of one sheet, read from the zip as its XML is parsed.
class SheetSource final : public RowSource {
  public:
    SheetSource(std::unique_ptr<ZipArchive> zip, std::string_view source)
        : zip_(std::move(zip)), source_(source)
    {
    }

    // Finds the sheet and starts reading it; false, with why in result, where it cannot.
    bool open(const std::string& wanted, ClassResult& result)
    {
        std::string part;
        std::string problem;
        if (zip_->has("xl/workbook.xml")) {
            if (!readXlsxBook(*zip_, book_, problem)) {
                return broken(problem, result);
            }
            expansion().read(book_.bytesRead);
            for (const XlsxBook::Sheet& sheet : book_.sheets) {
                names_.push_back(sheet.name);
            }
        } else if (isOds(*zip_)) {
            const std::unique_ptr<XmlHandler> names = odsSheetNames(names_);
            std::size_t bytes = 0;
            if (!parsePart(*zip_, std::string(odsContent), *names, problem, bytes)) {
                return broken(problem, result);
            }
        } else {
            result.outcome = ClassOutcome::refused;
            result.problem = "\u00e9 um arquivo zip, mas n\u00e3o uma planilha .xlsx nem .ods";
            return false;
        }
        if (names_.empty()) {
            return broken("a planilha n\u00e3o tem folhas", result);
        }
        const auto sheet = chosenSheet(names_, wanted);
        if (!sheet) {
            result.outcome = ClassOutcome::optionsDoNotFit;
            result.problem = "n\u00e3o h\u00e1 folha " + quotedForMessage(wanted) +
                             "; as folhas s\u00e3o " + listOf(names_);
            return false;
        }
        sheet_ = *sheet;
        const bool xlsx = !book_.sheets.empty();
        std::size_t stylesBytes = 0;
        handler_ = xlsx ? xlsxRows(book_, rows_)
                        : odsRows(*zip_, sheet_, rows_, book_.formats, stylesBytes);
        expansion().read(stylesBytes);
        part = xlsx ? book_.sheets.at(sheet_).part : std::string(odsContent);
        member_ = zip_->member(part, problem);
        if (!member_) {
            return broken(problem, result);
        }
        xml_ = std::make_unique<XmlStream>(*handler_);
        return true;
    }

    bool next(Row& row) override
    {
        while (rows_.empty() && (member_ || xml_->paused()) && problem_.empty()) {
            readMore();
        }
        if (rows_.empty()) {
            return false;
        }
        SheetRow& first = rows_.front();
        if (first.repeats == 1) {
            row = std::move(first.row);
            rows_.pop_front();
        } else {
            row = first.row;
            ++first.row.number;
            --first.repeats;
        }
        row.position = position_++;
        if (!expansion().made(row.text.size() + row.cells.size())) {
            problem_ = tooLargeForItsFile;
            rows_.clear();
            member_.reset();
            return false;
        }
        return true;
    }

    [[nodiscard]] std::string where(const Row& row,
                                    std::optional<std::size_t> column) const override
    {
        return source_ + ':' + sheetReference(names_.at(sheet_)) + '!' +
               (column ? columnLetters(*column) : "") + std::to_string(row.number);
    }

    [[nodiscard]] RowShape shape() const override
    {
        return {false, true};
    }

    [[nodiscard]] std::string_view formatCode(std::uint16_t format) const override
    {
        return format < book_.formats.size() ? std::string_view(book_.formats[format])
                                             : std::string_view();
    }

    [[nodiscard]] std::string problem() const override
    {
        return problem_;
    }

    [[nodiscard]] std::string description() const override
    {
        std::vector<std::string> others = names_;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(sheet_));
        return "folha " + quotedForMessage(names_.at(sheet_)) +
               (others.empty() ? "" : " (h\u00e1 tamb\u00e9m " + listOf(others) + ")");
    }

  private:
    bool broken(const std::string& problem, ClassResult& result)
    {
        result.outcome = ClassOutcome::unreadable;
        result.problem = source_ + ": " + problem;
        return false;
    }

    // Parses on to the next row: the rest of the block where the parsing paused at a row's
    // end, or else the next block.
    void readMore()
    {
        std::string problem;
        if (xml_->paused()) {
            xml_->resume(problem);
        } else {
            const bool more = member_->read(block_, problem);
            expansion().read(block_.size());
            if (problem.empty()) {
                xml_->feed(block_, !more, problem);
            }
            if (!more) {
                member_.reset();
            }
        }
        if (!problem.empty()) {
            problem_ = source_ + ": " + quotedForMessage(names_.at(sheet_)) + ": " + problem;
            member_.reset();
        }
    }

    std::unique_ptr<ZipArchive> zip_;
    std::string source_;
    XlsxBook book_; // of an .ods, only the number formats its cells name
    std::vector<std::string> names_;
    std::size_t sheet_ = 0;
    SheetRows rows_;
    std::unique_ptr<XmlHandler> handler_;
    std::unique_ptr<ZipArchive::Member> member_;
    std::unique_ptr<XmlStream> xml_;
    std::string block_;
    std::string problem_;
    std::uint64_t position_ = 0;
};

} // namespace

std::unique_ptr<RowSource> openSpreadsheet(LineReader& input, std::string_view source,
                                           const std::string& sheet, ClassResult& result)
{
    std::string problem;
    std::unique_ptr<ZipArchive> zip = ZipArchive::open(input, problem);
    if (!zip) {
        result.outcome = ClassOutcome::unreadable;
        result.problem = std::string(source) + ": " + problem;
        return nullptr;
    }
    auto sheetSource = std::make_unique<SheetSource>(std::move(zip), source);
    if (!sheetSource->open(sheet, result)) {
        return nullptr;
    }
    return sheetSource;
}
