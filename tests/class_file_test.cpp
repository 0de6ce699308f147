#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "class_run.h"
#include "text/encoding.h"
#include "text/records.h"

namespace {

// Each well-formed UTF-8 sequence stays as it is, and every other byte is Windows-1252,
// byte by byte, so one stray byte changes no other character of its line.
TEST(ClassFileTest, LinesBecomeUtf8)
{
    const auto cases = std::to_array<std::pair<std::string, std::string>>({
        {"Jos\xC3\xA9", "Jos\xC3\xA9"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                         // four bytes, U+1F600
        {"Jos\xE9", "Jos\xC3\xA9"},                                       // é in Windows-1252
        {"\x80\x81\x92\x9F", "\xE2\x82\xAC\xC2\x81\xE2\x80\x99\xC5\xB8"}, // € , ’ Ÿ
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                                 // overlong: not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},                 // a surrogate: not UTF-8
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"}, // past U+10FFFF
        {"\xC3", "\xC3\x83"},                                             // cut short
        {"\xE0\x83\xA9", "\xC3\xA0\xC6\x92\xC2\xA9"},                     // overlong: à ƒ ©
        {"\xED\xB0\x80", "\xC3\xAD\xC2\xB0\xE2\x82\xAC"},                 // a surrogate: í ° €
        {"Concei\xC3\xA7\xC3\xA3o\xA0", "Concei\xC3\xA7\xC3\xA3o\xC2\xA0"}, // one stray byte
    });
    for (const auto& [line, utf8] : cases) {
        EXPECT_EQ(lineAsUtf8(line), utf8) << testing::PrintToString(line);
    }
}

// text as UTF-16 with a byte-order mark.
std::string utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8U);
        const auto low = static_cast<char>(unit & 0xFFU);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

ClassRun convert(const std::string& input, const LayoutOptions& layout = {},
                 TableStyle style = forPrograms)
{
    return runClass(input, {layout, {}}, style);
}

const std::string columns = "M\u00e9dia ponderada,Conceito,Defini\u00e7\u00e3o\n";

struct ClassCase {
    const char* what;
    std::string input;
    std::string table; // written for programs, unless the style says otherwise
    long withErrors;
    std::string message; // one of the messages, where a row is not a student
    TableStyle style = forPrograms;
};

// What the class pass makes of files as teachers keep them: every student computed from
// its own fields, under its own headings, every text kept, and what is no student said.
TEST(ClassFileTest, EveryStudentARowOfItsOwnUnderItsOwnHeadings)
{
    const auto cases = std::to_array<ClassCase>({
        {"a first student with a blank grade is no header",
         "2026001;Ana;7;;9\n2026002;Bruno;8;9;10\n",
         "Identifica\u00e7\u00e3o 1,Identifica\u00e7\u00e3o 2,Nota 1,Nota 2,Nota 3," + columns +
             "2026001,Ana,7,,9,,,erro: nota 2 est\u00e1 "
             "vazia\n2026002,Bruno,8,9,10,9.333333,A,APROVADO\n",
         1, "t:1: nota 2 est\u00e1 vazia"},
        {"grades 1, 2, 3 name the columns; the mean is exact, and where boletim's single "
         "precision differs, it is said",
         "Aluno;1;2;3\nAna;7.22;0.35;9.36\n",
         "Aluno,1,2,3," + columns + "Ana,7.22,0.35,9.36,6,C,APROVADO\n", 0,
         "t:2: aviso: a m\u00e9dia exata \u00e9 6 (C); em precis\u00e3o simples, como o boletim "
         "calcula, seria 5,9999995 (D)"},
        {"remarks after the grades stay text; a typo does not move the grades",
         "Mat;Nome;N1;N2;N3;Obs\n1;Ana;7;8;9;\n2;Bia;dez;7;9;faltou\n3;Caio;6;6;6;\n",
         "Mat,Nome,N1,N2,N3,Obs," + columns +
             "1,Ana,7,8,9,,8.333333,B,APROVADO\n2,Bia,dez,7,9,faltou,,,\"erro: nota 1 \"\"dez\"\" "
             "n\u00e3o \u00e9 um n\u00famero\"\n3,Caio,6,6,6,,6,C,APROVADO\n",
         1, ""},
        {"a title is no row; a footer is no student, and stays below the table",
         "Turma 3B;;;;\nMat;Nome;N1;N2;N3\n1;Ana;7;8;9\n;M\u00e9dia da turma;7;8;9\n",
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Ana,7,8,9,8.333333,B,APROVADO\n,M\u00e9dia da turma,7,8,9,,,\n",
         0, "t:4: aviso: rodap\u00e9, n\u00e3o \u00e9 um aluno: \"M\u00e9dia da turma\""},
        {"a row without identification among students is an error row",
         "Mat;Nome;N1;N2;N3\n1;Ana;7;8;9\n;;6;7;8\n2;Bia;6;6;6\n",
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Ana,7,8,9,8.333333,B,APROVADO\n,,6,7,8,,,erro: linha sem identifica\u00e7\u00e3o\n"
             "2,Bia,6,6,6,6,C,APROVADO\n",
         1, "t:3: linha sem identifica\u00e7\u00e3o"},
        {"a row of totals among students is an error row",
         "Nome;N1;N2;N3\nAna;7;8;9\nM\u00e9dia;7;8;9\nBia;6;6;6\n",
         "Nome,N1,N2,N3," + columns +
             "Ana,7,8,9,8.333333,B,APROVADO\nM\u00e9dia,7,8,9,,,erro: linha de totais entre os "
             "alunos\nBia,6,6,6,6,C,APROVADO\n",
         1, "t:3: linha de totais entre os alunos"},
        {"Excel's sep= line, and an empty margin column kept",
         "sep=;\n;Mat;Nome;N1;N2;N3\n;1;Ana;7;8;9\n",
         ",Mat,Nome,N1,N2,N3," + columns + ",1,Ana,7,8,9,8.333333,B,APROVADO\n", 0, ""},
        {"a field too many is a note right of the table; the grades stay where the header "
         "says",
         "Mat;Nome;N1;N2;N3\n1;Silva;Ana;7;8;9\n2;Bia;6;7;9;faltou\n",
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Silva,Ana,7,8,,,\"erro: nota 1 \"\"Ana\"\" n\u00e3o \u00e9 um n\u00famero\",9\n"
             "2,Bia,6,7,9,7.833333,B,APROVADO,faltou\n",
         1, "t:2: nota 1 \"Ana\""},
        {"a stray quote is an error where it opens; a cell of two lines is one field",
         "Mat;Nome;N1;N2;N3\n1;\"Z\u00e9;7;8;9\n2;Ana \"Bia\";8;8;8\n3;\"Hugo\nLima\";7,5;8;9\n",
         "Mat,Nome,N1,N2,N3," + columns +
             "\"1;\"\"Z\u00e9;7;8;9\",,,,,,,erro: aspas abertas na linha 2 n\u00e3o se fecham\n"
             "2,\"Ana "
             "\"\"Bia\"\"\",8,8,8,8,B,APROVADO\n3,\"Hugo\nLima\",7.5,8,9,8.416667,B,APROVADO\n",
         1, "t:2: aspas abertas"},
        {"a stray quote on a row one field short takes no one's grades",
         "Mat;Nome;N1;N2;N3;Obs\n1;\"Z\u00e9;7;8;9\n2;Ana \"Bia\";4;4;4;\n",
         "Mat,Nome,N1,N2,N3,Obs," + columns +
             "\"1;\"\"Z\u00e9;7;8;9\",,,,,,,,erro: aspas abertas na linha 2 n\u00e3o se fecham\n"
             "2,\"Ana \"\"Bia\"\"\",4,4,4,,4,D,REPROVADO\n",
         1, "t:2: aspas abertas"},
        {"a stray quote never joins a line that is a row of its own",
         "Mat;Nome;N1;N2;N3\n1;\"Z\u00e9;7;8\n2;Ana;4;4;4\nBia\";7;8;9\n",
         "Mat,Nome,N1,N2,N3," + columns +
             "\"1;\"\"Z\u00e9;7;8\",,,,,,,erro: aspas abertas na linha 2 n\u00e3o se fecham\n"
             "2,Ana,4,4,4,4,D,REPROVADO\n\"Bia\"\"\",7,8,9,,,,erro: nota 3 est\u00e1 vazia\n",
         2, "t:2: aspas abertas"},
        {"a message is one line, whatever the field it quotes; a line end is a blank",
         "Mat;Nome;N1;N2;N3\n1;Ana;\"7\n8\";8;9\n2;Bia;7;8;\"9\n\"\n",
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Ana,\"7\n8\",8,9,,,\"erro: nota 1 \"\"7 8\"\" n\u00e3o \u00e9 um n\u00famero\"\n"
             "2,Bia,7,8,9,8.333333,B,APROVADO\n",
         1, "t:2: nota 1 \"7 8\" n\u00e3o \u00e9 um n\u00famero\n"},
        {"LF, CRLF and CR each end a line; a trailing empty column is none",
         "Mat;Nome;N1;N2;N3;\r\n1;Ana;1e6;8;9;\r2;Bia;6;7;9;\n",
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Ana,1000000,8,9,166673.833333,A,APROVADO\n2,Bia,6,7,9,7.833333,B,APROVADO\n",
         0, "t:2: aviso: nota 1 \"1e6\" fora do intervalo de 0 a 10"},
        {"UTF-16, little-endian",
         utf16(u"Mat\tNome\tN1\tN2\tN3\r\n1\tJos\u00e9 \U0001F600\t7\t8\t9\r\n", false),
         "Mat,Nome,N1,N2,N3," + columns + "1,Jos\u00e9 \U0001F600,7,8,9,8.333333,B,APROVADO\n", 0,
         ""},
        {"UTF-16, big-endian", utf16(u"1\tJos\u00e9\t7\t8\t9\n", true),
         "Identifica\u00e7\u00e3o 1,Identifica\u00e7\u00e3o 2,Nota 1,Nota 2,Nota 3," + columns +
             "1,Jos\u00e9,7,8,9,8.333333,B,APROVADO\n",
         0, ""},
        {"UTF-16 ending in a lone high surrogate: the reader's U+FFFD, and an error row",
         utf16(u"Mat\tNome\tN1\tN2\tN3\n1\tAna\t7\t8\t9\n2\tBia\t7\t8\t9\xD83D", false),
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Ana,7,8,9,8.333333,B,APROVADO\n2,Bia,7,8,9\uFFFD,,,\"erro: nota 3 \"\"9\uFFFD\"\" "
             "n\u00e3o \u00e9 um n\u00famero\"\n",
         1, ""},
        {"a stray Windows-1252 byte in a UTF-8 line changes nothing else",
         "Mat;Nome;N1;N2;N3\n1;Concei\xC3\xA7\xC3\xA3o\xA0;7;8;9\n",
         "Mat,Nome,N1,N2,N3," + columns + "1,Concei\u00e7\u00e3o\u00a0,7,8,9,8.333333,B,APROVADO\n",
         0, ""},
        {"for spreadsheets, a cell that would be a formula stays text",
         "Mat;Nome;N1;N2;N3\n1;=1+1;-1;8;9\n@2;+55 11;7;8;x\n3;\t=1+1;7;8;9\n",
         "\xEF\xBB\xBFMat;Nome;N1;N2;N3;M\u00e9dia ponderada;Conceito;Defini\u00e7\u00e3o\n"
         "1;'=1+1;-1;8;9;7;C;APROVADO\n'@2;'+55 11;7;8;x;;;\"erro: nota 3 \"\"x\"\" n\u00e3o "
         "\u00e9 um n\u00famero\"\n3;'\t=1+1;7;8;9;8,333333;B;APROVADO\n",
         1, "", forPortugueseSpreadsheets},
        {"for programs, text as typed", "Mat;Nome;N1;N2;N3\n1;=1+1;-1;8;9\n",
         "Mat,Nome,N1,N2,N3," + columns + "1,=1+1,-1,8,9,7,C,APROVADO\n", 0, ""},
        {"separated by spaces, after a title", "Turma 3B\nAna Maria 7 8 9\nBia 6,5 7 9\n",
         "Identifica\u00e7\u00e3o,Nota 1,Nota 2,Nota 3," + columns +
             "Ana Maria,7,8,9,8.333333,B,APROVADO\nBia,6.5,7,9,7.916667,B,APROVADO\n",
         0, "t:1: aviso: linha de t\u00edtulo"},
        {"separated by spaces, every grade with a decimal comma",
         "Ana 7,5 8,5 9,5\nBia 6,5 7,5 8,5\n",
         "Identifica\u00e7\u00e3o,Nota 1,Nota 2,Nota 3," + columns +
             "Ana,7.5,8.5,9.5,8.833333,B,APROVADO\nBia,6.5,7.5,8.5,7.833333,B,APROVADO\n",
         0, ""},
        {"separated by spaces, a first student with a grade missing is an error row",
         "Ana 7 8\nBia 7 8 9\n",
         "Identifica\u00e7\u00e3o,Nota 1,Nota 2,Nota 3," + columns +
             "Ana,7,8,,,,erro: nota 3 est\u00e1 vazia\nBia,7,8,9,8.333333,B,APROVADO\n",
         1, "t:1: nota 3 est\u00e1 vazia"},
        {"an old spreadsheet is refused", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "", 0,
         "boletim-turma: t: \u00e9 uma planilha do Excel antigo (.xls)"},
    });
    for (const ClassCase& each : cases) {
        const ClassRun run = convert(each.input, {}, each.style);
        EXPECT_EQ(run.table, each.table) << each.what << '\n' << run.messages;
        EXPECT_EQ(run.result.counts.withErrors, each.withErrors) << each.what;
        EXPECT_NE(run.messages.find(each.message), std::string::npos) << each.what << '\n'
                                                                      << run.messages;
    }
}

// The header as the options say, and the grades where they name them.
TEST(ClassFileTest, OptionsOverTheDecisions)
{
    const auto cases =
        std::to_array<std::tuple<const char*, std::string, LayoutOptions, std::string>>({
            {"--sem-cabecalho",
             "Aluno;1;2;3\nAna;7;8;9\n",
             {HeaderChoice::absent, {}},
             "Identifica\u00e7\u00e3o,Nota 1,Nota 2,Nota 3," + columns +
                 "Aluno,1,2,3,2.333333,E,REPROVADO\nAna,7,8,9,8.333333,B,APROVADO\n"},
            {"--cabecalho",
             "1;Ana;7;8;9\n2;Bia;6;7;9\n",
             {HeaderChoice::present, {}},
             "1,Ana,7,8,9," + columns + "2,Bia,6,7,9,7.833333,B,APROVADO\n"},
            {"-n by the header's names",
             "Mat;Nome;1\u00ba Bim;Faltas;2\u00ba Bim;3\u00ba Bim\n1;Ana;7;3;8;9\n",
             {HeaderChoice::detect, {"1\u00ba Bim", "2\u00ba Bim", "3\u00ba Bim"}},
             "Mat,Nome,1\u00ba Bim,Faltas,2\u00ba Bim,3\u00ba Bim," + columns +
                 "1,Ana,7,3,8,9,8.333333,B,APROVADO\n"},
            {"four bimesters with -n as the refusal says",
             "Mat;Nome;1\u00ba Bim;2\u00ba Bim;3\u00ba Bim;4\u00ba Bim\n1;Ana;7;8;9;6\n",
             {HeaderChoice::detect, {"D", "E", "F"}},
             "Mat,Nome,1\u00ba Bim,2\u00ba Bim,3\u00ba Bim,4\u00ba Bim," + columns +
                 "1,Ana,7,8,9,6,7.333333,C,APROVADO\n"},
        });
    for (const auto& [what, input, layout, table] : cases) {
        EXPECT_EQ(convert(input, layout).table, table) << what;
    }
}

// Past its limits a quote or a line is an error row, and every row after it is read: here
// the quote would only close on a short line after all the students.
TEST(ClassFileTest, ReadingGoesOnPastAStrayQuoteOrAnEnormousLine)
{
    std::string students;
    for (std::size_t i = 0; i < mostLinesOfAField + 5; ++i) {
        students += std::to_string(i) + ";Ana;7;8;9\n";
    }
    const auto inputs = std::to_array<std::pair<std::string, std::string>>({
        {"Mat;Nome;N1;N2;N3\n1;\"Z\u00e9;7;8;9\n" + students + "Bia\";7\n",
         "t:2: aspas abertas na linha 2"},
        {"Mat;Nome;N1;N2;N3\n" + std::string(longestLine + 1, 'x') + '\n' + students + "Bia\";7\n",
         "t:2: a linha tem mais de 1 MiB"},
    });
    for (const auto& [input, message] : inputs) {
        const ClassRun run = convert(input);
        EXPECT_EQ(run.result.counts.students, static_cast<long>(mostLinesOfAField + 7));
        EXPECT_EQ(run.result.counts.withErrors, 2); // and the short row where it would close
        EXPECT_NE(run.messages.find(message), std::string::npos) << run.messages;
    }
}

// A quoted cell runs over at most 20 lines after the one it opens on, and 64 KiB: within
// them it is one field, past them the quote is an error where it opens. The limits are
// written out, as the manual states them, so that a changed constant fails here.
TEST(ClassFileTest, QuotedCellsUpToTheirLimits)
{
    constexpr std::size_t mostLines = 20;
    constexpr std::size_t mostBytes = std::size_t{64} * 1024;
    const std::string header = "Mat;Nome;N1;N2;N3\n";
    const auto overLines = [&header](std::size_t lines) {
        std::string input = header + "1;\"Ana";
        for (std::size_t line = 1; line < lines; ++line) {
            input += "\nlinha";
        }
        return input + "\nfim\";7;8;9\n";
    };
    const auto overBytes = [&header](std::size_t bytes) {
        return header + "1;\"" + std::string(bytes - 3, 'x') + "\nfim\";7;8;9\n";
    };
    const auto cases = std::to_array<std::pair<std::string, bool>>({
        {overLines(mostLines), true},
        {overLines(mostLines + 1), false},
        {overBytes(mostBytes), true},
        {overBytes(mostBytes + 1), false},
    });
    for (const auto& [input, joined] : cases) {
        const ClassRun run = convert(input);
        EXPECT_EQ(run.result.counts.withErrors == 0, joined) << run.messages.substr(0, 200);
        EXPECT_EQ(run.messages.find("t:2: aspas abertas") == std::string::npos, joined);
    }
}

// A row wider than a sheet is an error row, and rows far narrower than their header stop
// the run before the table grows to many times its file.
TEST(ClassFileTest, TheTableStaysWithinAFewTimesItsFile)
{
    std::string wideRow = "Bia";
    for (std::size_t column = 0; column < mostColumns; ++column) {
        wideRow += ";7";
    }
    const ClassRun wide = convert("Nome;N1;N2;N3\nAna;7;8;9\n" + wideRow + "\n");
    EXPECT_EQ(wide.result.counts.withErrors, 1);
    EXPECT_NE(wide.messages.find("t:3: a linha tem mais de 16.384 campos"), std::string::npos);

    std::string header = "Nome;N1;N2;N3";
    for (std::size_t column = 4; column < mostColumns; ++column) {
        header += ";c";
    }
    std::string input = header + '\n';
    for (int row = 0; row < 400; ++row) {
        input += "x\n";
    }
    const ClassRun narrow = convert(input);
    EXPECT_EQ(narrow.result.outcome, ClassOutcome::tooLarge);
    EXPECT_LT(narrow.table.size(), 20 * input.size() + (std::size_t{2} << 20U));
}

// Where the layout cannot be decided, nothing of the table is written, and the result
// says why: the grades unclear with the columns to choose from, or options that do not fit.
TEST(ClassFileTest, NoTableWhereTheLayoutIsUnclear)
{
    const ClassRun unclear =
        convert("Mat;Nome;1\u00ba Bim;2\u00ba Bim;3\u00ba Bim;4\u00ba Bim\n1;Ana;7;8;9;6\n");
    EXPECT_EQ(unclear.result.outcome, ClassOutcome::gradesUnclear);
    EXPECT_EQ(unclear.table, "");
    EXPECT_EQ(unclear.result.problem,
              "h\u00e1 4 colunas que podem ser as notas, e a regra usa tr\u00eas");
    EXPECT_EQ(unclear.result.columns,
              (std::vector<std::string>{"C (3) \"1\u00ba Bim\"", "D (4) \"2\u00ba Bim\"",
                                        "E (5) \"3\u00ba Bim\"", "F (6) \"4\u00ba Bim\""}));
    EXPECT_EQ(unclear.result.exampleColumns, "C,D,E");
    const ClassRun unusable =
        convert("Mat;Nome;N1;N2;N3\n1;Ana;7;8;9\n", {HeaderChoice::detect, {"N1", "N2", "Faltas"}});
    EXPECT_EQ(unusable.result.outcome, ClassOutcome::optionsDoNotFit);
    EXPECT_EQ(unusable.table, "");
}

// UTF-16 as spreadsheets write it and as files get cut: a lone surrogate or an odd last
// byte becomes U+FFFD, and a pair split between two blocks is still one character.
TEST(ClassFileTest, Utf16ThatIsNotWhole)
{
    const auto cases = std::to_array<std::pair<std::string, std::string>>({
        {std::string("A\0\0\xD8"
                     "B\0",
                     6),
         "A\uFFFDB"}, // a high surrogate alone
        {std::string("\0\xDC"
                     "B\0",
                     4),
         "\uFFFDB"},                                   // a low surrogate alone
        {std::string("=\xD8\0\xDE", 4), "\U0001F600"}, // a pair
        {std::string("A\0B", 3), "A\uFFFD"},           // an odd last byte
    });
    for (const auto& [bytes, utf8] : cases) {
        LineReader reader;
        const std::string input = "\xFF\xFE" + bytes;
        reader.memory = input;
        Line line;
        startReading(reader);
        ASSERT_TRUE(readLine(reader, line));
        EXPECT_EQ(line.text, utf8) << testing::PrintToString(bytes);
        for (std::size_t cut = 0; cut <= bytes.size() && bytes.size() % 2 == 0; ++cut) {
            Utf16Decoder decoder;
            std::string decoded;
            decodeUtf16(decoder, std::string_view(bytes).substr(0, cut), decoded);
            decodeUtf16(decoder, std::string_view(bytes).substr(cut), decoded);
            EXPECT_EQ(decoded + (decoder.highSurrogate != 0 ? "\uFFFD" : ""), utf8) << cut;
        }
    }
}

// Lines as the reader takes them from its blocks: a CRLF whose CR ends a block is one line
// end, a null byte past the first block marks its line, and a line is too long one byte
// past the limit, 1 MiB as the manual says, and not before.
TEST(ClassFileTest, LinesAcrossBlocks)
{
    using Expected = std::vector<std::pair<std::string, LineProblem>>;
    const std::string toBlockEnd(blockSize - 1, 'x');
    const std::string longest(std::size_t{1} << 20U, 'x');
    const auto cases = std::to_array<std::pair<std::string, Expected>>({
        {toBlockEnd + "\r\ny\n", {{toBlockEnd, LineProblem::none}, {"y", LineProblem::none}}},
        {toBlockEnd + "\n" + std::string("a\0b", 3),
         {{toBlockEnd, LineProblem::none}, {"a\uFFFDb", LineProblem::nullByte}}},
        {longest + "\ny", {{longest, LineProblem::none}, {"y", LineProblem::none}}},
        {longest + "x\ny",
         {{longest.substr(0, 100) + "\u2026", LineProblem::tooLong}, {"y", LineProblem::none}}},
    });
    for (const auto& [input, expected] : cases) {
        LineReader reader;
        reader.memory = input;
        startReading(reader);
        Expected read;
        Line line;
        while (readLine(reader, line)) {
            EXPECT_EQ(line.number, static_cast<long>(read.size() + 1));
            read.emplace_back(line.text, line.problem);
        }
        EXPECT_TRUE(read == expected)
            << read.size() << " lines, the first " << read.front().first.size() << " bytes";
    }
}

} // namespace
