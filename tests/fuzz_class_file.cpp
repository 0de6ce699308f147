// Any bytes at all as a class file, the first byte choosing the options as a user would.
// Besides what the sanitizers catch, the table read back must have every row exactly as
// wide as its header, footers included: no value outside a heading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "class_file.h"
#include "csv_table.h"

namespace {

// Reads the table as CSV is written, quotes and all, with no guess of the program's own,
// and checks that every row has as many fields as the first.
void checkEveryRowAsWideAsTheHeader(std::string_view table, char separator)
{
    if (table.starts_with("\xEF\xBB\xBF")) {
        table.remove_prefix(3);
    }
    std::size_t width = 0;
    std::size_t fields = 1;
    bool quoted = false;
    for (const char character : table) {
        if (character == '"') {
            quoted = !quoted; // "" inside a quoted field closes and opens again
        } else if (!quoted && character == separator) {
            ++fields;
        } else if (!quoted && character == '\n') {
            width = width == 0 ? fields : width;
            if (fields != width) {
                std::abort();
            }
            fields = 1;
        }
    }
    if (quoted) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const unsigned choice = data[0];
    const TableStyle style = (choice & 1U) != 0 ? forPrograms : forPortugueseSpreadsheets;
    ClassOptions options;
    options.layout.header = static_cast<HeaderChoice>((choice >> 1U) % 3U);
    if ((choice & 8U) != 0) {
        options.layout.gradeColumns = {"2", "c", "D"};
    }
    LineReader input;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer gives bytes
    input.memory = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
    Output table;
    Output messages;
    CsvTable writer(table, style);
    const ClassResult result = convertClass(input, options, "fuzz", writer, messages);
    std::string problem;
    writer.finish(result.counts, problem);
    checkEveryRowAsWideAsTheHeader(table.text, style.separator);
    return 0;
}
