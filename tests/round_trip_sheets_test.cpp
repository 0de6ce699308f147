// The round-trip property of the class reader on classes made up as spreadsheets: each
// written as an .xlsx by libxlsxwriter, and as an .ods whose cells carry comments and
// whose sheet has a drawing, numbers as numbers and text as text, then read as the class
// it is.
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <xlsxwriter.h>

#include <gtest/gtest.h>

#include "class_maker.h"
#include "text/fields.h"
#include "zip_maker.h"

namespace {

std::string asXlsx(const made_up::Made& made, const std::string& path)
{
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Turma");
    const lxw_col_t margin = made.margin ? 1 : 0;
    for (std::size_t row = 0; row < made.rows.size(); ++row) {
        for (std::size_t column = 0; column < made.rows[row].size(); ++column) {
            const std::string& cell = made.rows[row][column];
            const auto where = static_cast<lxw_col_t>(margin + column);
            const auto number = plainNumber(cell);
            if (number) {
                worksheet_write_number(sheet, static_cast<lxw_row_t>(row), where, *number, nullptr);
            } else if (!cell.empty()) {
                worksheet_write_string(sheet, static_cast<lxw_row_t>(row), where, cell.c_str(),
                                       nullptr);
            }
        }
    }
    EXPECT_EQ(workbook_close(book), LXW_NO_ERROR);
    std::ifstream input(path, std::ios::binary);
    std::stringstream bytes;
    bytes << input.rdbuf();
    return bytes.str();
}

// A cell of an .ods: a number by its value and as shown, text, or nothing; now and then
// with a comment, whose text is no part of the cell.
std::string odsCell(const std::string& cell, std::mt19937& random)
{
    const bool comment = std::bernoulli_distribution(0.1)(random);
    const std::string note = comment
                                 ? "<office:annotation><dc:creator>Prof.</dc:creator><text:p>ver "
                                   "depois</text:p></office:annotation>"
                                 : "";
    if (const auto number = plainNumber(cell)) {
        return R"(<table:table-cell office:value-type="float" office:value=")" +
               std::to_string(*number) + R"("><text:p>)" + cell + "</text:p>" + note +
               "</table:table-cell>";
    }
    if (cell.empty()) {
        return "<table:table-cell>" + note + "</table:table-cell>";
    }
    return R"(<table:table-cell office:value-type="string"><text:p>)" + cell + "</text:p>" + note +
           "</table:table-cell>";
}

std::string asOds(const made_up::Made& made, std::mt19937& random)
{
    std::string table = R"(<table:table table:name="Turma">)";
    if (std::bernoulli_distribution(0.5)(random)) { // the school's logo, anchored to the page
        table += "<table:shapes><draw:frame><draw:text-box><text:p>Escola</text:p>"
                 "</draw:text-box></draw:frame></table:shapes>";
    }
    for (const std::vector<std::string>& row : made.rows) {
        table += "<table:table-row>";
        table += made.margin ? "<table:table-cell/>" : "";
        for (const std::string& cell : row) {
            table += odsCell(cell, random);
        }
        table += "</table:table-row>";
    }
    return zipOf({
        {"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
        {"content.xml",
         R"(<office:document-content xmlns:office="o" xmlns:table="t" xmlns:text="x" )"
         R"(xmlns:draw="d" xmlns:dc="c"><office:body><office:spreadsheet>)" +
             table + "</table:table></office:spreadsheet></office:body></office:document-content>"},
    });
}

TEST(RoundTripTest, TheSameOfClassesMadeAsOds)
{
    std::mt19937 random(7);
    for (unsigned seed = 1; seed <= 100; ++seed) {
        made_up::ClassMaker maker(seed);
        const made_up::Made made = maker.make();
        SCOPED_TRACE("class " + std::to_string(seed));
        made_up::checkConverted(made, asOds(made, random));
    }
}

TEST(RoundTripTest, TheSameOfClassesMadeAsSpreadsheets)
{
    // A name of this run's own: builds and test runs side by side share the folder.
    const std::string path =
        testing::TempDir() + "made-up-class-" + std::to_string(std::random_device()()) + ".xlsx";
    for (unsigned seed = 1; seed <= 100; ++seed) {
        made_up::ClassMaker maker(seed);
        const made_up::Made made = maker.make();
        SCOPED_TRACE("class " + std::to_string(seed));
        made_up::checkConverted(made, asXlsx(made, path));
    }
    std::remove(path.c_str());
}

} // namespace
