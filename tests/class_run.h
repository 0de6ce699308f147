#ifndef BOLETIM_TESTS_CLASS_RUN_H
#define BOLETIM_TESTS_CLASS_RUN_H

#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>

#include "class/class_file.h"
#include "tables/csv_table.h"

// A class read from bytes in memory into a CSV table, as boletim-turma reads a file: the
// table, the messages and the result, for the tests and the fuzz targets alike.
struct ClassRun {
    std::string table;
    std::string messages;
    ClassResult result;
};

inline ClassRun runClass(std::string_view input, const ClassOptions& options = {},
                         TableStyle style = forPrograms, std::string_view source = "t")
{
    LineReader reader;
    reader.memory = input;
    Output table;
    Output messages;
    CsvTable writer(table, style);
    const ClassResult result = convertClass(reader, options, source, writer, messages);
    std::string problem;
    writer.finish(result.counts, problem);
    return {table.text, messages.text, result};
}

// Reads a table as CSV is written, quotes and all, with no guess of the program's own,
// and aborts unless every row has at least as many fields as the first, the header (the
// teacher's notes may follow, unnamed), and every quote closes.
inline void checkNoRowNarrowerThanTheHeader(std::string_view table, char separator)
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
            if (fields < width) {
                std::abort();
            }
            fields = 1;
        }
    }
    if (quoted) {
        std::abort();
    }
}

#endif
