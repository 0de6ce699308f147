// Spreadsheets read as they are: .xlsx and .ods made here, part by part, each cell read as
// typed into the class's table; and files made to break a reader, refused in bounded time.
#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "class_run.h"
#include "sheets/sheet_source.h"
#include "zip_maker.h"

namespace {

const std::string spreadsheetML =
    R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";

// An .xlsx of two sheets, Turma and Notas Antigas, whose rows are given as XML.
std::string xlsxOf(
    const std::string& turma, const std::string& strings = "",
    const std::string& other = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>x</t></is></c></row>)")
{
    const auto sheet = [](const std::string& rows) {
        return "<worksheet " + spreadsheetML + "><sheetData>" + rows + "</sheetData></worksheet>";
    };
    return zipOf({
        {"xl/workbook.xml",
         "<workbook " + spreadsheetML +
             "><sheets><sheet name=\"Turma\" sheetId=\"1\" r:id=\"rId1\"/>"
             "<sheet name=\"Notas Antigas\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="x/worksheet" Target="worksheets/sheet1.xml"/>)"
         R"(<Relationship Id="rId2" Type="x/worksheet" Target="/xl/worksheets/sheet2.xml"/>)"
         R"(<Relationship Id="rId3" Type="x/sharedStrings" Target="sharedStrings.xml"/>)"
         R"(<Relationship Id="rId4" Type="x/styles" Target="styles.xml"/></Relationships>)"},
        {"xl/sharedStrings.xml", "<sst " + spreadsheetML + ">" + strings + "</sst>"},
        {"xl/styles.xml",
         "<styleSheet " + spreadsheetML +
             R"(><numFmts><numFmt numFmtId="164" formatCode="000000"/>)"
             R"(<numFmt numFmtId="165" formatCode="dd/mm/yyyy"/>)"
             R"(<numFmt numFmtId="166" formatCode="dd/mm/yyyy hh:mm"/></numFmts>)"
             R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/>)"
             R"(<xf numFmtId="14"/><xf numFmtId="166"/><xf numFmtId="20"/><xf numFmtId="9"/>)"
             R"(</cellXfs></styleSheet>)"},
        {"xl/worksheets/sheet1.xml", sheet(turma)},
        {"xl/worksheets/sheet2.xml", sheet(other)},
    });
}

// A row of an .ods, each cell text as a teacher types it, its value what it shows.
std::string odsRow(const std::vector<std::string>& cells)
{
    std::string row = "<table:table-row>";
    for (const std::string& cell : cells) {
        row += "<table:table-cell><text:p>" + cell + "</text:p></table:table-cell>";
    }
    return row + "</table:table-row>";
}

std::string odsOf(const std::string& tables)
{
    return zipOf({
        {"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
        {"content.xml",
         R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
         R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
         R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>)" +
             tables + "</office:spreadsheet></office:body></office:document-content>"},
    });
}

ClassRun readSheet(const std::string& bytes, const std::string& sheet = "")
{
    ClassOptions options;
    options.sheet = sheet;
    return runClass(bytes, options, forPrograms, "t.xlsx");
}

std::string text(const std::string& cell, const std::string& reference)
{
    return R"(<c r=")" + reference + R"(" t="inlineStr"><is><t>)" + cell + "</t></is></c>";
}

const std::string header = "<row r=\"1\">" + text("Mat", "A1") + text("Nome", "B1") +
                           text("N1", "C1") + text("N2", "D1") + text("N3", "E1") + "</row>";
const std::string results = "M\u00e9dia ponderada,Conceito,Defini\u00e7\u00e3o\n";

struct SheetCase {
    const char* what;
    std::string bytes;
    std::string table;
    std::string message; // one of them
};

// Each kind of cell, as a teacher typed it: text with its zeros, numbers as typed though
// kept longer, zero-padded numbers as shown, dates, booleans, errors, formulas by their
// kept value; rows and cells where their references put them, repeats and merges.
TEST(SheetTest, CellsAsTyped)
{
    const std::vector<SheetCase> cases = {
        {"shared and rich strings, numbers as typed, a formula's kept value",
         xlsxOf(
             header + R"(<row r="2"><c r="A2" t="s"><v>0</v></c><c r="B2" t="s"><v>1</v></c>)"
                      R"(<c r="C2"><v>7.2199999999999998</v></c><c r="D2"><v>0.35</v></c>)"
                      R"(<c r="E2"><f>4+5.36</f><v>9.36</v></c></row>)",
             R"(<si><t>00123</t></si><si><r><t>Jos&#233; </t></r><r><t>da Concei&#231;&#227;o</t></r>)"
             R"(<rPh><t>jose</t></rPh></si>)"),
         "Mat,Nome,N1,N2,N3," + results +
             "00123,Jos\u00e9 da Concei\u00e7\u00e3o,7.22,0.35,9.36,6,C,APROVADO\n",
         ""},
        {"zero-padded, dates, a boolean (in English, for programs), an error",
         xlsxOf(
             "<row r=\"1\">" + text("Mat", "A1") + text("Data", "B1") + text("Nascimento", "C1") +
             text("Ativo", "D1") + text("Erro", "E1") + text("N1", "F1") + text("N2", "G1") +
             text("N3", "H1") + "</row>" +
             R"(<row r="2"><c r="A2" s="1"><v>2026</v></c><c r="B2" s="2"><v>46000</v></c><c r="C2" s="3"><v>45000</v></c>)"
             R"(<c r="D2" t="b"><v>1</v></c><c r="E2" t="e"><v>#DIV/0!</v></c><c r="F2"><v>7</v></c><c r="G2"><v>8</v></c><c r="H2"><v>9</v></c></row>)"),
         "Mat,Data,Nascimento,Ativo,Erro,N1,N2,N3," + results +
             "002026,2025-12-09,2023-03-15,TRUE,#DIV/0!,7,8,9,8.333333,B,APROVADO\n",
         ""},
        {"cells and rows where their references put them; a row may end early",
         xlsxOf(
             header +
             R"(<row r="7"><c r="A7"><v>1</v></c><c r="C7"><v>7</v></c><c r="E7"><v>9</v></c></row>)"
             R"(<row r="1000000"><c r="A1000000"><v>2</v></c><c r="B1000000" t="inlineStr"><is><t>Bia</t></is></c>)"
             R"(<c r="C1000000"><v>6</v></c><c r="D1000000"><v>6</v></c></row>)"),
         "Mat,Nome,N1,N2,N3," + results +
             "1,,7,,9,,,erro: nota 2 est\u00e1 vazia\n2,Bia,6,6,,,,erro: nota 3 est\u00e1 vazia\n",
         "t.xlsx:Turma!E1000000: nota 3 est\u00e1 vazia"},
        {"a formula without its value: an error in a grade, a warning elsewhere",
         xlsxOf(
             R"(<row r="1">)" + text("Mat", "A1") + text("Nome", "B1") + text("N1", "C1") +
             text("N2", "D1") + text("N3", "E1") + text("Obs", "F1") + "</row>" +
             R"(<row r="2"><c r="A2"><v>1</v></c><c r="C2"><v>7</v></c><c r="D2"><f>C2+1</f></c><c r="E2"><v>9</v></c></row>)"
             R"(<row r="3"><c r="A3"><v>2</v></c><c r="C3"><v>6</v></c><c r="D3"><v>6</v></c><c r="E3"><v>6</v></c><c r="F3"><f>A1</f></c></row>)"),
         "Mat,Nome,N1,N2,N3,Obs," + results +
             "1,,7,,9,,,,erro: a f\u00f3rmula desta c\u00e9lula n\u00e3o tem valor guardado no "
             "arquivo; abra a planilha e salve-a de novo\n"
             "2,,6,6,6,,6,C,APROVADO\n",
         "t.xlsx:Turma!D2: a f\u00f3rmula"},
        {"OpenDocument: repeated cells and rows, merged, spaces, a note, zeros shown",
         odsOf(
             R"(<table:table table:name="Turma"><table:table-row><table:table-cell table:number-columns-spanned="5" office:value-type="string"><text:p>Turma 3B</text:p></table:table-cell><table:covered-table-cell table:number-columns-repeated="4"/></table:table-row>)"
             R"(<table:table-row table:number-rows-repeated="2"/>)"
             R"(<table:table-row><table:table-cell><text:p>Mat</text:p></table:table-cell><table:table-cell><text:p>Nome</text:p></table:table-cell><table:table-cell><text:p>N1</text:p></table:table-cell><table:table-cell><text:p>N2</text:p></table:table-cell><table:table-cell><text:p>N3</text:p></table:table-cell></table:table-row>)"
             R"(<table:table-row><table:table-cell office:value-type="float" office:value="123"><text:p>000123</text:p></table:table-cell>)"
             R"(<table:table-cell office:value-type="string"><text:p>Ana<text:s text:c="2"/>Maria</text:p><office:annotation><text:p>nota do professor</text:p></office:annotation></table:table-cell>)"
             R"(<table:table-cell table:number-columns-repeated="3" office:value-type="float" office:value="7.5"><text:p>7,5</text:p></table:table-cell>)"
             R"(<table:table-cell table:number-columns-repeated="1000"/></table:table-row>)"
             R"(<table:table-row table:number-rows-repeated="1048000"><table:table-cell table:number-columns-repeated="1024"/></table:table-row></table:table>)"),
         "Mat,Nome,N1,N2,N3," + results + "000123,Ana  Maria,7.5,7.5,7.5,7.5,B,APROVADO\n",
         "t.xlsx:Turma!1: aviso: linha de t\u00edtulo"},
        {"OpenDocument: a comment before text cells, the sheet's drawing, a table in a cell, a "
         "repeat past any sheet's columns",
         odsOf(
             R"(<table:table table:name="Turma"><table:shapes><draw:frame><text:p>Logo</text:p></draw:frame></table:shapes>)" +
             odsRow({"Mat", "Nome", "N1", "N2", "N3"}) +
             R"(<table:table-row><table:table-cell><text:p>1</text:p><office:annotation><text:p>x</text:p></office:annotation></table:table-cell>)"
             R"(<table:table-cell><text:p>Ana</text:p><table:table><table:table-row><table:table-cell><text:p>y</text:p></table:table-cell></table:table-row></table:table></table:table-cell>)"
             R"(<table:table-cell><text:p>7</text:p></table:table-cell><table:table-cell><text:p>8</text:p></table:table-cell><table:table-cell><text:p>9</text:p></table:table-cell>)"
             R"(<table:table-cell table:number-columns-repeated="18446744073709551615"/></table:table-row>)" +
             odsRow({"2", "Bia", "6", "6", "6"}) + "</table:table>"),
         "Mat,Nome,N1,N2,N3," + results +
             "1,Ana,7,8,9,8.333333,B,APROVADO\n2,Bia,6,6,6,6,C,APROVADO\n",
         ""},
        {"OpenDocument: percentages, money, times and date-times by their values",
         odsOf(
             R"(<table:table table:name="Turma">)" +
             odsRow({"Nome", "N1", "N2", "N3", "Freq", "Taxa", "Hora", "Quando"}) +
             R"(<table:table-row><table:table-cell><text:p>Ana</text:p></table:table-cell>)"
             R"(<table:table-cell office:value-type="float" office:value="7"/><table:table-cell office:value-type="float" office:value="8"/><table:table-cell office:value-type="float" office:value="9"/>)"
             R"(<table:table-cell office:value-type="percentage" office:value="2"><text:p>200%</text:p></table:table-cell>)"
             R"(<table:table-cell office:value-type="currency" office:value="32"><text:p>$32.00</text:p></table:table-cell>)"
             R"(<table:table-cell office:value-type="time" office:time-value="PT23H30M00S"><text:p>11:30:00 PM</text:p></table:table-cell>)"
             R"(<table:table-cell office:value-type="date" office:date-value="2025-03-01T10:30:00"><text:p>01/03/25</text:p></table:table-cell>)"
             "</table:table-row></table:table>"),
         "Nome,N1,N2,N3,Freq,Taxa,Hora,Quando," + results +
             "Ana,7,8,9,2,32,23:30:00,2025-03-01 10:30:00,8.333333,B,APROVADO\n",
         ""},
        {"a shared text's index out of range, an inline text where a shared one is said, a row "
         "numbered as the header, a row past a sheet's last, a first cell over 1 MiB",
         xlsxOf(
             header +
                 R"(<row r="1"><c r="A1"><v>1</v></c><c r="B1" t="s"><v>5</v></c><c r="C1"><v>7</v></c><c r="D1"><v>8</v></c><c r="E1"><v>9</v></c></row>)"
                 R"(<row r="2"><c r="A2"><v>2</v></c><c r="B2" t="s"><is><t>Bia</t></is></c><c r="C2"><v>6</v></c><c r="D2"><v>6</v></c><c r="E2"><v>6</v></c></row>)"
                 R"(<row r="1048577"><c r="A1048577"><v>3</v></c>)" +
                 text("Caio", "B1048577") +
                 R"(<c r="C1048577"><v>5</v></c><c r="D1048577"><v>5</v></c><c r="E1048577"><v>5</v></c></row><row r="4">)" +
                 text(std::string((std::size_t{1} << 20U) + 1, 'x'), "A4") + "</row>",
             "<si><t>Ana</t></si>"),
         "Mat,Nome,N1,N2,N3," + results +
             "1,,7,8,9,,,erro: esta c\u00e9lula aponta para um texto que o arquivo n\u00e3o "
             "tem; abra a planilha e salve-a de novo\n2,Bia,6,6,6,6,C,APROVADO\n3,Caio,5,5,5,5,"
             "D,REPROVADO\n" +
             std::string(100, 'x') + "\u2026,,,,,,,erro: a linha tem mais de 1 MiB\n",
         "t.xlsx:Turma!B1: esta c\u00e9lula aponta"},
        {"date-times keep their time, a time is a time, a percentage its value",
         xlsxOf(
             "<row r=\"1\">" + text("Nome", "A1") + text("N1", "B1") + text("N2", "C1") +
             text("N3", "D1") + text("Quando", "E1") + text("Hora", "F1") + text("Freq", "G1") +
             "</row><row r=\"2\">" + text("Ana", "A2") +
             R"(<c r="B2"><v>7</v></c><c r="C2"><v>8</v></c><c r="D2"><v>9</v></c>)"
             R"(<c r="E2" s="4"><v>45000.5</v></c><c r="F2" s="5"><v>0.375</v></c><c r="G2" s="6"><v>0.95</v></c></row>)"),
         "Nome,N1,N2,N3,Quando,Hora,Freq," + results +
             "Ana,7,8,9,2023-03-15 12:00:00,09:00:00,0.95,8.333333,B,APROVADO\n",
         ""},
    };
    for (const SheetCase& each : cases) {
        const ClassRun read = readSheet(each.bytes);
        EXPECT_EQ(read.table, each.table) << each.what << '\n'
                                          << read.messages << read.result.problem;
        EXPECT_NE(read.messages.find(each.message), std::string::npos) << each.what << '\n'
                                                                       << read.messages;
    }
}

// The number format each cell of an .ods shows, as an .xlsx would give it: its data
// style in styles.xml or before the tables, by the cell's style, its parent's, or its
// column's; none for a text or a style without one.
TEST(SheetTest, OdsNumberFormats)
{
    const std::string namespaces =
        R"(xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
        R"(xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" )"
        R"(xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" )"
        R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
        R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")";
    const std::string styles =
        "<office:document-styles " + namespaces + "><office:styles>" +
        R"(<number:number-style style:name="N1"><number:number number:decimal-places="1" number:min-decimal-places="1" number:min-integer-digits="1"/></number:number-style>)"
        R"(<number:percentage-style style:name="N2"><number:number number:decimal-places="0" number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>)"
        R"(<style:style style:name="Nota" style:family="table-cell" style:data-style-name="N1"/>)"
        "</office:styles></office:document-styles>";
    const std::string content =
        "<office:document-content " + namespaces + "><office:automatic-styles>" +
        R"(<number:date-style style:name="N3"><number:day number:style="long"/><number:text>/</number:text><number:month number:style="long"/><number:text>/</number:text><number:year number:style="long"/></number:date-style>)"
        R"(<number:currency-style style:name="N4"><number:currency-symbol>R$</number:currency-symbol><number:text> </number:text><number:number number:decimal-places="2" number:min-integer-digits="1" number:grouping="true"/></number:currency-style>)"
        R"(<style:style style:name="ce1" style:family="table-cell" style:parent-style-name="Nota"/>)"
        R"(<style:style style:name="ce2" style:family="table-cell" style:data-style-name="N2"/>)"
        R"(<style:style style:name="ce3" style:family="table-cell" style:data-style-name="N3"/>)"
        R"(<style:style style:name="ce4" style:family="table-cell" style:data-style-name="N4"/>)"
        R"(<style:style style:name="ce5" style:family="table-cell"/>)"
        R"(</office:automatic-styles><office:body><office:spreadsheet><table:table table:name="T">)"
        R"(<table:table-column table:number-columns-repeated="6"/><table:table-column table:default-cell-style-name="ce2"/><table:table-row>)";
    const std::vector<std::pair<std::string, std::string>> cells{
        {R"(table:style-name="Nota" office:value-type="float" office:value="6.25")", "0.0"},
        {R"(table:style-name="ce1" office:value-type="float" office:value="6.25")", "0.0"},
        {R"(table:style-name="ce2" office:value-type="percentage" office:value="0.9")", "0%"},
        {R"(table:style-name="ce3" office:value-type="date" office:date-value="2025-03-01")",
         "dd/mm/yyyy"},
        {R"(table:style-name="ce4" office:value-type="currency" office:value="32")",
         R"("R$" #,##0.00)"},
        {R"(table:style-name="ce5" office:value-type="float" office:value="1")", ""},
        {R"(office:value-type="float" office:value="0.5")", "0%"}, // the column's
    };
    std::string row;
    for (const auto& [attributes, code] : cells) {
        row += "<table:table-cell " + attributes + "><text:p>x</text:p></table:table-cell>";
    }
    const std::string bytes =
        zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
               {"styles.xml", styles},
               {"content.xml", content + row +
                                   "</table:table-row></table:table></office:spreadsheet>"
                                   "</office:body></office:document-content>"}});
    LineReader input;
    input.memory = bytes;
    startReading(input);
    ClassResult result;
    const std::unique_ptr<RowSource> source = openSpreadsheet(input, "t.ods", "", result);
    ASSERT_NE(source, nullptr) << result.problem;
    Row read;
    ASSERT_TRUE(source->next(read)) << source->problem();
    ASSERT_EQ(read.cells.size(), cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(source->formatCode(read.cells[i].format), cells[i].second) << cells[i].first;
    }
}

// The first sheet, or the one named, without case or accents, or by number; one that
// does not exist is refused, with the sheets there are.
TEST(SheetTest, WhichSheet)
{
    const std::string other =
        "<row r=\"1\">" + text("Nome", "A1") + text("N1", "B1") + text("N2", "C1") +
        text("N3", "D1") + R"(</row><row r="2">)" + text("Bia", "A2") +
        R"(<c r="B2"><v>6</v></c><c r="C2"><v>6</v></c><c r="D2"><v>6</v></c></row>)";
    const std::string bytes = xlsxOf(
        header +
            R"(<row r="2"><c r="A2"><v>1</v></c><c r="C2"><v>7</v></c><c r="D2"><v>8</v></c><c r="E2"><v>9</v></c></row>)",
        "", other);
    const auto cases = std::to_array<std::pair<const char*, const char*>>({
        {"", "1,,7,8,9,8.333333,B,APROVADO"},
        {"notas antigas", "Bia,6,6,6,6,C,APROVADO"},
        {" NOTAS ANTÍGAS ", "Bia,6,6,6,6,C,APROVADO"},
        {"2", "Bia,6,6,6,6,C,APROVADO"},
    });
    for (const auto& [sheet, row] : cases) {
        const ClassRun read = readSheet(bytes, sheet);
        EXPECT_NE(read.table.find(row), std::string::npos) << sheet << '\n' << read.table;
    }
    const ClassRun none = readSheet(bytes, "3");
    EXPECT_EQ(none.result.outcome, ClassOutcome::optionsDoNotFit);
    EXPECT_EQ(none.result.problem,
              "n\u00e3o h\u00e1 folha \"3\"; as folhas s\u00e3o \"Turma\" e \"Notas Antigas\"");
}

// Files made to break a reader are refused, in bounded time and memory, with why.
TEST(SheetTest, HostileFilesAreRefused)
{
    const std::string good = xlsxOf(header);
    const std::string laughs =
        R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;&lol;&lol;">]>)"
        "<worksheet " +
        spreadsheetML +
        "><sheetData><row><c "
        "t=\"inlineStr\"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>";
    const auto cases = std::to_array<std::pair<std::string, std::string>>({
        {zipOf({{"xl/workbook.xml", std::string(101U << 20U, ' ')}}, true),
         "se descompacta em mais de"},
        {zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                {"content.xml", laughs}}),
         "o XML tem uma DTD ou entidades"},
        {good.substr(0, good.size() / 2), "o arquivo zip est\u00e1 corrompido"},
        {xlsxOf(header + "<row><c>"), "XML malformado"},
        {zipOf({{"leia-me.txt", "oi"}}), "n\u00e3o uma planilha .xlsx nem .ods"},
        {zipOf({{"xl/workbook.xml", "<workbook/>"},
                {"xl/_rels/workbook.xml.rels", "<Relationships/>"}}),
         "n\u00e3o tem folhas"},
        {zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                {"content.xml", "<document-content/>"}}),
         "n\u00e3o tem folhas"},
    });
    for (const auto& [bytes, why] : cases) {
        const ClassRun read = readSheet(bytes);
        EXPECT_NE(read.result.outcome, ClassOutcome::computed) << why;
        EXPECT_NE(read.result.outcome, ClassOutcome::unusableOptions) << why; // not the user's
        EXPECT_NE((read.result.problem + read.messages).find(why), std::string::npos)
            << why << ": " << read.result.problem << read.messages;
        EXPECT_EQ(read.table, "") << why;
    }
}

// Files that say a table many times their size in a few bytes stop at the limit every
// reader shares: a row repeated a million times, a long shared text in every row, a note
// in a sheet's last column.
TEST(SheetTest, FilesManyTimesTheirSizeStop)
{
    std::string sharedRows = header;
    std::string farNotes = header;
    for (int row = 2; row < 3000; ++row) {
        const std::string number = std::to_string(row);
        sharedRows.append("<row r=\"")
            .append(number)
            .append(R"("><c r="A)")
            .append(number)
            .append(R"(" t="s"><v>0</v></c><c r="C)")
            .append(number)
            .append(R"("><v>7</v></c></row>)");
        farNotes.append("<row r=\"")
            .append(number)
            .append("\">")
            .append(text("Ana", "B" + number))
            .append(text("x", "XFD" + number))
            .append("</row>");
    }
    const auto cases = std::to_array<std::string>({
        odsOf(
            R"(<table:table table:name="Turma"><table:table-row table:number-rows-repeated="1048576">)"
            R"(<table:table-cell table:number-columns-repeated="5" office:value-type="float" office:value="7"/>)"
            "</table:table-row></table:table>"),
        xlsxOf(sharedRows, "<si><t>" + std::string(std::size_t{100} << 10U, 'y') + "</t></si>"),
        xlsxOf(farNotes),
    });
    for (const std::string& bytes : cases) {
        ClassOptions options;
        options.layout.gradeColumns = {"A", "B", "C"};
        const ClassRun read = runClass(bytes, options, forPrograms, "t.xlsx");
        EXPECT_EQ(read.result.outcome, ClassOutcome::tooLarge) << read.result.problem;
        EXPECT_LT(read.table.size(), std::size_t{4} << 20U);
    }
}

} // namespace
