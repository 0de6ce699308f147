// Built without libxlsxwriter: no workbook can be written, and the user is told why.
#include "tables/workbook.h"

bool canWriteWorkbooks()
{
    return false;
}

std::unique_ptr<TableWriter> startWorkbook(const std::string& /*path*/, std::string_view /*source*/,
                                           std::string& problem)
{
    problem = "este boletim-turma foi compilado sem a biblioteca libxlsxwriter e n\u00e3o escreve "
              ".xlsx; escreva CSV, ou instale-a (no Debian, o pacote libxlsxwriter-dev) e "
              "compile-o de novo";
    return nullptr;
}
