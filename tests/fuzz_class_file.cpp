// Any bytes at all as a class file, the first byte choosing the options as a user would.
// Besides what the sanitizers catch, the table read back must have no row narrower than
// its header, footers included.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "class_run.h"

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
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer gives bytes
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    checkNoRowNarrowerThanTheHeader(runClass(input, options, style).table, style.separator);
    return 0;
}
