// Any bytes as the XML of a spreadsheet's sheet: the first byte says which kind, x for an
// .xlsx's sheet, anything else for an .ods's content, and the rest is put in a zip with
// the parts the kind needs around it. The zip is libzip's to read; the XML is the
// program's. Besides what the sanitizers catch, every row of the table must be as wide as
// its header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <zip.h>

#include "class_file.h"
#include "csv_table.h"

namespace {

std::string zipOf(const std::vector<std::pair<std::string, std::string_view>>& parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* bytes = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(bytes);
    zip_t* zip = zip_open_from_source(bytes, ZIP_TRUNCATE, &error);
    for (const auto& [name, content] : parts) {
        zip_source_t* part = zip_source_buffer(zip, content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), part, ZIP_FL_OVERWRITE);
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    zip_close(zip);
    std::string made;
    if (zip_source_open(bytes) == 0) {
        zip_source_seek(bytes, 0, SEEK_END);
        made.resize(static_cast<std::size_t>(zip_source_tell(bytes)));
        zip_source_seek(bytes, 0, SEEK_SET);
        zip_source_read(bytes, made.data(), made.size());
        zip_source_close(bytes);
    }
    zip_source_free(bytes);
    zip_error_fini(&error);
    return made;
}

void checkEveryRowAsWideAsTheHeader(std::string_view table)
{
    std::size_t width = 0;
    std::size_t fields = 1;
    bool quoted = false;
    for (const char character : table) {
        if (character == '"') {
            quoted = !quoted;
        } else if (!quoted && character == ',') {
            ++fields;
        } else if (!quoted && character == '\n') {
            width = width == 0 ? fields : width;
            if (fields != width) {
                std::abort();
            }
            fields = 1;
        }
    }
}

const std::string workbook =
    R"(<workbook xmlns:r="r"><sheets><sheet name="Turma" r:id="rId1"/></sheets></workbook>)";
const std::string relationships =
    R"(<Relationships><Relationship Id="rId1" Type="x/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(</Relationships>)";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer gives bytes
    const std::string_view xml(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string bytes =
        data[0] == 'x' ? zipOf({{"xl/workbook.xml", workbook},
                                {"xl/_rels/workbook.xml.rels", relationships},
                                {"xl/worksheets/sheet1.xml", xml}})
                       : zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                {"content.xml", xml}});
    LineReader input;
    input.memory = bytes;
    Output table;
    Output messages;
    CsvTable writer(table, forPrograms);
    const ClassResult result = convertClass(input, {}, "fuzz", writer, messages);
    std::string problem;
    writer.finish(result.counts, problem);
    checkEveryRowAsWideAsTheHeader(table.text);
    return 0;
}
