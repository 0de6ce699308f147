// Any bytes at all as a class file, the first byte choosing the options as a user would.
// Besides what the sanitizers catch, the table read back must have every row exactly as
// wide as its header: no value outside a heading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "class_file.h"
#include "records.h"

namespace {

void checkEveryRowAsWideAsTheHeader(std::string_view table, char separator)
{
    LineReader lines;
    lines.memory = table;
    startReading(lines); // which skips the byte-order mark
    RecordReader rows{&lines, {}, separator};
    Record row;
    std::size_t width = 0;
    while (readRecord(rows, row)) {
        width = width == 0 ? row.fields.size() : width;
        if (row.problem != RecordProblem::none || row.fields.size() != width) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const unsigned choice = data[0];
    ClassOptions options;
    options.style = (choice & 1U) != 0 ? forPrograms : forPortugueseSpreadsheets;
    options.layout.header = static_cast<HeaderChoice>((choice >> 1U) % 3U);
    if ((choice & 8U) != 0) {
        options.layout.gradeColumns = {"2", "3", "4"};
    }
    LineReader input;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer gives bytes
    input.memory = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
    Output table;
    Output messages;
    convertClass(input, options, "fuzz", table, messages);
    checkEveryRowAsWideAsTheHeader(table.text, options.style.separator);
    return 0;
}
