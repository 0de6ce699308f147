// The round-trip property of the class reader on classes made up as spreadsheets: each
// written as an .xlsx by libxlsxwriter, numbers as numbers and text as text, then read
// as the class it is.
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <xlsxwriter.h>

#include <gtest/gtest.h>

#include "class_maker.h"
#include "text/fields.h"

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
