// Any bytes as the XML of a spreadsheet's sheet: the first byte says which kind, x for an
// .xlsx's sheet, anything else for an .ods's content, and the rest is put in a zip with
// the parts the kind needs around it. The zip is libzip's to read; the XML is the
// program's. Besides what the sanitizers catch, no row of the table may be narrower than
// its header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "class_run.h"
#include "zip_maker.h"

namespace {

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
    const std::string xml(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string bytes =
        data[0] == 'x' ? zipOf({{"xl/workbook.xml", workbook},
                                {"xl/_rels/workbook.xml.rels", relationships},
                                {"xl/worksheets/sheet1.xml", xml}})
                       : zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                {"content.xml", xml}});
    checkNoRowNarrowerThanTheHeader(runClass(bytes).table, forPrograms.separator);
    return 0;
}
