// Built without libzip or expat: no spreadsheet can be read, and the user is told why.
#include "sheets/sheet_source.h"

std::unique_ptr<RowSource> openSpreadsheet(LineReader& /*input*/, std::string_view /*source*/,
                                           const std::string& /*sheet*/, ClassResult& result)
{
    result.outcome = ClassOutcome::refused;
    result.problem =
        "\u00e9 uma planilha, e este boletim-turma foi compilado sem as bibliotecas libzip e "
        "expat, que as leem; salve-a como CSV (LibreOffice: Arquivo > Salvar como > Texto "
        "CSV; Excel: Arquivo > Salvar como > CSV UTF-8) e leia esse arquivo, ou instale-as (no "
        "Debian, os pacotes libzip-dev e libexpat1-dev) e compile-o de novo";
    return nullptr;
}
