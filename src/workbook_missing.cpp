// Built without libxlsxwriter: no workbook can be written, and the user is told why.
#include "workbook.h"

struct Workbook {};

void WorkbookCloser::operator()(Workbook* workbook) const
{
    delete workbook; // NOLINT(cppcoreguidelines-owning-memory): the unique_ptr's own deleter
}

WorkbookFile startWorkbook(const std::string& /*path*/, std::string& problem)
{
    problem = "este boletim-turma foi compilado sem a biblioteca libxlsxwriter e n\u00e3o escreve "
              ".xlsx; escreva CSV, ou instale-a (no Debian, o pacote libxlsxwriter-dev) e "
              "compile-o de novo";
    return nullptr;
}

void addHeaderRow(Workbook& /*workbook*/, const std::vector<std::string>& /*names*/,
                  const Layout& /*layout*/)
{
}

bool addStudentRow(Workbook& /*workbook*/, const Fields& /*fields*/, const StudentRow& /*row*/)
{
    return false;
}

bool finishWorkbook(WorkbookFile /*workbook*/, const ClassCounts& /*counts*/, std::string& problem)
{
    problem = "sem libxlsxwriter";
    return false;
}
