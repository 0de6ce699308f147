#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "class_file.h"
#include "encoding.h"
#include "records.h"

namespace {

// A line that is not UTF-8 is Windows-1252, byte by byte; one that is stays as it is. The
// class files of the golden cases hold only well-formed text of either kind.
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

struct ClassRun {
    std::string table;
    std::string messages;
    ClassResult result;
};

ClassRun convert(const std::string& input, const ClassOptions& options)
{
    LineReader reader;
    reader.memory = input;
    Output table;
    Output messages;
    const ClassResult result = convertClass(reader, options, "t", table, messages);
    return {table.text, messages.text, result};
}

const std::string columns = "M\u00e9dia ponderada,Conceito,Defini\u00e7\u00e3o\n";

struct ClassCase {
    const char* what;
    std::string input;
    ClassOptions options;
    std::string table; // written for programs, unless the options say otherwise
    long withErrors;
    std::string message; // one of the messages, where a row is not a student
};

const ClassOptions forPrograms{::forPrograms, {}};

// What the class pass makes of files as teachers keep them: which row is the header,
// which columns are grades, what is no student, and that every value stays under its
// heading and every text is kept.
TEST(ClassFileTest, EveryStudentARowOfItsOwnUnderItsOwnHeadings)
{
    const auto cases = std::to_array<ClassCase>({
        {"a first student with a blank grade is no header",
         "2026001;Ana;7;;9\n2026002;Bruno;8;9;10\n", forPrograms,
         "Identifica\u00e7\u00e3o 1,Identifica\u00e7\u00e3o 2,Nota 1,Nota 2,Nota 3," + columns +
             "2026001,Ana,7,,9,,,erro: nota 2 est\u00e1 "
             "vazia\n2026002,Bruno,8,9,10,9.333333,A,APROVADO\n",
         1, "t:1: nota 2 est\u00e1 vazia"},
        {"grades 1, 2, 3 name the columns; the mean is the float itself",
         "Aluno;1;2;3\nAna;7.22;0.35;9.36\n", forPrograms,
         "Aluno,1,2,3," + columns + "Ana,7.22,0.35,9.36,5.9999995,D,REPROVADO\n", 0, ""},
        {"remarks after the grades stay text; a typo does not move the grades",
         "Mat;Nome;N1;N2;N3;Obs\n1;Ana;7;8;9;\n2;Bia;dez;7;9;faltou\n3;Caio;6;6;6;\n", forPrograms,
         "Mat,Nome,N1,N2,N3,Obs," + columns +
             "1,Ana,7,8,9,,8.333333,B,APROVADO\n2,Bia,dez,7,9,faltou,,,\"erro: nota 1 \"\"dez\"\" "
             "n\u00e3o \u00e9 um n\u00famero\"\n3,Caio,6,6,6,,6,C,APROVADO\n",
         1, ""},
        {"a title is no row, a footer no student",
         "Turma 3B;;;;\nMat;Nome;N1;N2;N3\n1;Ana;7;8;9\n;M\u00e9dia da turma;7;8;9\n", forPrograms,
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Ana,7,8,9,8.333333,B,APROVADO\n,M\u00e9dia da turma,7,8,9,,,erro: linha sem "
             "identifica\u00e7\u00e3o\n",
         1, "t:1: aviso: linha de t\u00edtulo, fora da tabela: \"Turma 3B\""},
        {"a field too many keeps the row's text in its first cell",
         "Mat;Nome;N1;N2;N3\n1;Silva;Ana;7;8;9\n2;Bia;6;7;9\n", forPrograms,
         "Mat,Nome,N1,N2,N3," + columns +
             "1;Silva;Ana;7;8;9,,,,,,,\"erro: a linha tem 6 campos, e n\u00e3o 5\"\n2,Bia,6,7,9,"
             "7.8333335,B,APROVADO\n",
         1, ""},
        {"a stray quote is an error where it opens; a cell of two lines is one field",
         "Mat;Nome;N1;N2;N3\n1;\"Z\u00e9;7;8;9\n2;Ana \"Bia\";8;8;8\n3;\"Hugo\nLima\";7,5;8;9\n",
         forPrograms,
         "Mat,Nome,N1,N2,N3," + columns +
             "\"1;\"\"Z\u00e9;7;8;9\",,,,,,,erro: aspas abertas na linha 2 n\u00e3o se fecham\n"
             "2,\"Ana "
             "\"\"Bia\"\"\",8,8,8,8,B,APROVADO\n3,\"Hugo\nLima\",7.5,8,9,8.416667,B,APROVADO\n",
         1, "t:2: aspas abertas"},
        {"a message is one line, whatever the field it quotes; a line end is a blank",
         "Mat;Nome;N1;N2;N3\n1;Ana;\"7\n8\";8;9\n2;Bia;7;8;\"9\n\"\n", forPrograms,
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Ana,\"7\n8\",8,9,,,\"erro: nota 1 \"\"7 8\"\" n\u00e3o \u00e9 um n\u00famero\"\n"
             "2,Bia,7,8,9,8.333333,B,APROVADO\n",
         1, "t:2: nota 1 \"7 8\" n\u00e3o \u00e9 um n\u00famero\n"},
        {"LF, CRLF and CR each end a line; a trailing empty column is none",
         "Mat;Nome;N1;N2;N3;\r\n1;Ana;1e6;8;9;\r2;Bia;6;7;9;\n", forPrograms,
         "Mat,Nome,N1,N2,N3," + columns +
             "1,Ana,1e+06,8,9,166673.83,A,APROVADO\n2,Bia,6,7,9,7.8333335,B,APROVADO\n",
         0, "t:2: aviso: nota 1 \"1e6\" fora do intervalo de 0 a 10"},
        {"UTF-16, little-endian",
         utf16(u"Mat\tNome\tN1\tN2\tN3\r\n1\tJos\u00e9 \U0001F600\t7\t8\t9\r\n", false),
         forPrograms,
         "Mat,Nome,N1,N2,N3," + columns + "1,Jos\u00e9 \U0001F600,7,8,9,8.333333,B,APROVADO\n", 0,
         ""},
        {"UTF-16, big-endian", utf16(u"1\tJos\u00e9\t7\t8\t9\n", true), forPrograms,
         "Identifica\u00e7\u00e3o 1,Identifica\u00e7\u00e3o 2,Nota 1,Nota 2,Nota 3," + columns +
             "1,Jos\u00e9,7,8,9,8.333333,B,APROVADO\n",
         0, ""},
        {"for spreadsheets, a cell that would be a formula stays text",
         "Mat;Nome;N1;N2;N3\n1;=1+1;-1;8;9\n@2;+55 11;7;8;x\n", ClassOptions{},
         "\xEF\xBB\xBFMat;Nome;N1;N2;N3;M\u00e9dia ponderada;Conceito;Defini\u00e7\u00e3o\n"
         "1;'=1+1;-1;8;9;7;C;APROVADO\n'@2;'+55 11;7;8;x;;;\"erro: nota 3 \"\"x\"\" n\u00e3o "
         "\u00e9 um "
         "n\u00famero\"\n",
         1, ""},
        {"for programs, text as typed", "Mat;Nome;N1;N2;N3\n1;=1+1;-1;8;9\n", forPrograms,
         "Mat,Nome,N1,N2,N3," + columns + "1,=1+1,-1,8,9,7,C,APROVADO\n", 0, ""},
        {"--sem-cabecalho",
         "Aluno;1;2;3\nAna;7;8;9\n",
         {::forPrograms, {HeaderChoice::absent, {}}},
         "Identifica\u00e7\u00e3o,Nota 1,Nota 2,Nota 3," + columns +
             "Aluno,1,2,3,2.3333333,E,REPROVADO\nAna,7,8,9,8.333333,B,APROVADO\n",
         0,
         ""},
        {"--cabecalho",
         "1;Ana;7;8;9\n2;Bia;6;7;9\n",
         {::forPrograms, {HeaderChoice::present, {}}},
         "1,Ana,7,8,9," + columns + "2,Bia,6,7,9,7.8333335,B,APROVADO\n",
         0,
         ""},
        {"--notas by the header's names",
         "Mat;Nome;1\u00ba Bim;Faltas;2\u00ba Bim;3\u00ba Bim\n1;Ana;7;3;8;9\n",
         {::forPrograms, {HeaderChoice::detect, {"1\u00ba Bim", "2\u00ba Bim", "3\u00ba Bim"}}},
         "Mat,Nome,1\u00ba Bim,Faltas,2\u00ba Bim,3\u00ba Bim," + columns +
             "1,Ana,7,3,8,9,8.333333,B,APROVADO\n",
         0,
         ""},
        {"separated by spaces, after a title", "Turma 3B\nAna Maria 7 8 9\nBia 6,5 7 9\n",
         forPrograms,
         "Identifica\u00e7\u00e3o,Nota 1,Nota 2,Nota 3," + columns +
             "Ana Maria,7,8,9,8.333333,B,APROVADO\nBia,6.5,7,9,7.9166665,B,APROVADO\n",
         0, "t:1: aviso: linha de t\u00edtulo"},
        {"a spreadsheet itself is refused", "PK\x03\x04\x14", forPrograms, "", 0,
         "boletim-turma: t: \u00e9 uma planilha"},
    });
    for (const ClassCase& each : cases) {
        const ClassRun run = convert(each.input, each.options);
        EXPECT_EQ(run.table, each.table) << each.what << '\n' << run.messages;
        EXPECT_EQ(run.result.counts.withErrors, each.withErrors) << each.what;
        EXPECT_NE(run.messages.find(each.message), std::string::npos) << each.what << '\n'
                                                                      << run.messages;
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
        const ClassRun run = convert(input, forPrograms);
        EXPECT_EQ(run.result.counts.students, static_cast<long>(mostLinesOfAField + 7));
        EXPECT_EQ(run.result.counts.withErrors, 2); // and the short row where it would close
        EXPECT_NE(run.messages.find(message), std::string::npos) << run.messages;
    }
}

// Grade columns the user named that do not fit the file stop the run before any of the
// table, with the reason, which the program reports as a usage error.
TEST(ClassFileTest, GradeColumnsThatDoNotFitAreRefused)
{
    const std::string file = "Mat;Nome;N1;N2;N3\n1;Ana;7;8;9\n";
    const auto cases = std::to_array<std::tuple<std::string, LayoutOptions, std::string>>({
        {file,
         {HeaderChoice::detect, {"3", "5", "9"}},
         "n\u00e3o h\u00e1 coluna 9: as linhas t\u00eam at\u00e9 5 campos"},
        {file,
         {HeaderChoice::detect, {"N1", "N2", "Faltas"}},
         "n\u00e3o h\u00e1 coluna \"Faltas\" no cabe\u00e7alho"},
        {file,
         {HeaderChoice::absent, {"N1", "N2", "N3"}},
         "colunas de notas por nome pedem um cabe\u00e7alho"},
        {"Ana 7 8 9\n",
         {HeaderChoice::detect, {"2", "3", "4"}},
         "--notas pede campos separados por ';', tabula\u00e7\u00e3o ou ','"},
    });
    for (const auto& [input, layout, problem] : cases) {
        const ClassRun run = convert(input, {::forPrograms, layout});
        EXPECT_EQ(run.result.outcome, ClassOutcome::unusableOptions) << problem;
        EXPECT_EQ(run.result.problem, problem);
        EXPECT_EQ(run.table, "");
    }
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
// past the limit and not before.
TEST(ClassFileTest, LinesAcrossBlocks)
{
    using Expected = std::vector<std::pair<std::string, LineProblem>>;
    const std::string toBlockEnd(blockSize - 1, 'x');
    const std::string longest(longestLine, 'x');
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
