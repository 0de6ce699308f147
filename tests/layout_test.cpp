// How a class file's rows and columns are decided: which row is what, and which columns
// are the grades, on sheets as teachers keep them.
#include <array>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "class/layout.h"
#include "class/rows.h"
#include "text/lines.h"
#include "text/text_source.h"

namespace {

struct Decided {
    LayoutDecision decision;
    std::string kinds; // a letter a line, as the table below spells them
};

Decided decide(const std::string& input, const LayoutOptions& options)
{
    LineReader reader;
    reader.memory = input;
    startReading(reader);
    const std::unique_ptr<RowSource> source = textSource(reader, "t");
    std::deque<Row> rows;
    for (Row row; source->next(row);) {
        rows.push_back(row);
    }
    Decided decided{decideLayout(rows, source->shape(), options), {}};
    for (const Row& row : rows) {
        decided.kinds += "bthsrfp"[static_cast<int>(classifyRow(decided.decision.layout, row))];
    }
    return decided;
}

std::string letters(const std::vector<std::size_t>& columns)
{
    std::string text;
    for (const std::size_t column : columns) {
        text.append(text.empty() ? "" : ",").append(columnLetters(column));
    }
    return text;
}

struct RowsCase {
    const char* what;
    std::string input;
    std::string kinds; // b blank, t title, h header, s student, r status, f footer, p platform
    HeaderChoice header = HeaderChoice::detect;
};

// What each row of a file is, a letter a line, as a teacher would mark the rows of the
// spreadsheet: the header is the row just above the first student, titles are above it.
TEST(LayoutTest, EachRowIsWhatTheSpreadsheetShows)
{
    const std::vector<RowsCase> cases = {
        {"a title, the header, a student, a footer of totals",
         "Turma 3B;;;;\nMat;Nome;N1;N2;N3\n1;Ana;7;8;9\n;M\u00e9dia da turma;7;8;9\n", "thsf"},
        {"Excel's sep= line is no row", "sep=;\nMat;Nome;N1;N2;N3\n1;Ana;7;8;9\n", "hs"},
        {"merged titles above the header, however many cells they fill",
         ";;1\u00ba Bimestre;;2\u00ba Bimestre;;3\u00ba Bimestre;\n"
         "Mat;Nome;Nota;Faltas;Nota;Faltas;Nota;Faltas\n1;Ana;7;2;8;0;9;1\n",
         "ths"},
        {"numbers name the columns after a column's name", "Nome;1;2;3;4\nAna;7;8;9;5\n", "hs"},
        {"a number identifies a student, never a header: a first student without grades",
         "2026001;Ana;\u2014;\u2014;\u2014\n2026002;Bia;7;8;9\n", "ss"},
        {"a first student with three blank grades, without a header",
         "2026001;Ana;;;\n2026002;Bia;7;8;9\n", "ss"},
        {"the same with three blank grades, under a header",
         "Mat;Nome;N1;N2;N3\n1;Ana;;;\n2;Bia;7;8;9\n", "hss"},
        {"dashes for grades under a header", "Nome;N1;N2;N3\nAna;\u2014;\u2014;\u2014\nBia;7;8;9\n",
         "hss"},
        {"separated by spaces, a first student with a grade missing", "Ana 7 8\nBia 7 8 9\n", "ss"},
        {"separated by spaces, a three-word title", "Matem\u00e1tica Terceiro Ano\nAna 7 8 9\n",
         "ts"},
        {"separated by spaces, all grades with decimal commas", "Ana 7,5 8,5 9,5\nBia 6,5 7 8,5\n",
         "ss"},
        {"a footer with its label in the first column, names first",
         "Nome;N1;N2;N3\nAna;7;8;9\nM\u00e9dia da turma;;6;7;8\n", "hsf"},
        {"titles above the header, blank rows, totals with a colon; below the header, a row "
         "with an identification is a student, without grades yet",
         "Escola Estadual X;;;;\nProfessora: Ana;;;;\n\nMat;Nome;N1;N2;N3\nAna Souza;;;;\n"
         "1;Ana;7;8;9\n;;;;\nTotal:;;21;24;27\n",
         "ttbhssbf"},
        {"no identification at all: a footer, or among students an error row",
         "Mat;Nome;N1;N2;N3\n1;Ana;7;8;9\n;;6;7;8\n", "hsf"},
        {"an empty margin column", ";Mat;Nome;N1;N2;N3\n;1;Ana;7;8;9\n;;M\u00e9dia;7;8;9\n", "hsf"},
        {"a student named as totals start, a lone label of totals, a status where a grade goes",
         "Nome;N1;N2;N3\nM\u00e1ximo Souza;7;8;9\nAna;TR;;\nM\u00e1ximo;7;8;9\n", "hsrf"},
        {"a learning platform's rows under its header",
         "Student,ID,Quiz 1,Quiz 2,Quiz 3\n    Points Possible,,10,10,10\n,,Muted,,\n"
         "\"Doe, Jane\",1001,9,8,7\n",
         "hpps"},
        {"a header whose first name is no word", "#;Nome;N1;N2;N3\n1;Ana;7;8;9\n", "hs"},
        {"a first row of an identification and grades out of range, without a header",
         "S0;75;29,8821;9\nS1;7;8;9\nS2;6;6;6\n", "sss"},
        {"--sem-cabecalho: the row that reads as a header is a student", "Aluno;1;2;3\nAna;7;8;9\n",
         "ss", HeaderChoice::absent},
        {"--cabecalho: the first row is the header", "1;Ana;7;8;9\n2;Bia;6;7;9\n", "hs",
         HeaderChoice::present},
    };
    for (const RowsCase& each : cases) {
        EXPECT_EQ(decide(each.input, {each.header, {}}).kinds, each.kinds) << each.what;
    }
}

struct ColumnsCase {
    const char* what;
    std::string input;
    std::string grades; // as -n names them, or, where they are unclear, the columns listed
    LayoutProblem problem = LayoutProblem::none;
};

// The columns that may be grades, then, after a ';', the other columns of numbers.
std::string listed(const LayoutDecision& decision)
{
    std::string text;
    for (const std::size_t column : decision.candidates) {
        text.append(text.empty() ? "" : ",").append(columnLetters(column));
    }
    for (std::size_t other = 0; other < decision.otherNumbers.size(); ++other) {
        text.append(other == 0 ? ";" : ",").append(columnLetters(decision.otherNumbers[other]));
    }
    return text;
}

// The grade columns: by their names first, then what they hold; where that leaves other
// than three, the columns to choose from, and nothing computed.
TEST(LayoutTest, GradeColumnsByTheirNamesThenTheirNumbers)
{
    const std::string students = "2026001;Ana;7;8;9;3;\n2026002;Bia;5;6;4;12;faltou\n";
    const std::vector<ColumnsCase> cases = {
        {"absences and remarks after the grades",
         "Matr\u00edcula;Nome;Nota 1;Nota 2;Nota 3;Faltas;Observa\u00e7\u00f5es\n" + students,
         "C,D,E"},
        {"absences beside grades whose names say nothing",
         "Nome;Leitura;Escrita;Oral;Faltas;M\u00e9dia\nAna;7;8;9;2;8,3\n", "B,C,D"},
        {"absences typed as few as grades",
         "Mat;Nome;N1;N2;N3;Faltas\n1;Ana;7;8;9;2\n2;Bia;6;6;6;0\n", "C,D,E"},
        {"a number and a matr\u00edcula before the name; no third grade yet",
         "N\u00ba;Matr\u00edcula;Nome;N1;N2;N3\n1;2026001;Ana;7;8;\n2;2026002;Bia;3;2;\n", "D,E,F"},
        {"the teacher's own mean", "Mat;Nome;N1;N2;N3;M\u00e9dia\n1;Ana;2;8;9;6,33\n", "C,D,E"},
        {"four bimesters, recovery and a final mean: unclear",
         "Mat;Nome;1\u00ba Bim;2\u00ba Bim;3\u00ba Bim;4\u00ba "
         "Bim;Recupera\u00e7\u00e3o;M\u00e9dia final\n"
         "1;Ana;7;8;9;6;;7,5\n2;Bia;5;5;5;5;6;5,5\n",
         "C,D,E,F;G,H", LayoutProblem::gradesUnclear},
        {"grades and absences in turns",
         "Mat;Nome;Nota;Faltas;Nota;Faltas;Nota;Faltas\n1;Ana;7;2;8;0;9;1\n", "C,E,G"},
        {"without a header, a fourth column of numbers is unclear",
         "1;Ana;2;8;9;6,33\n2;Bia;7;7;7;7\n", "C,D,E,F", LayoutProblem::gradesUnclear},
        {"without a header, a matr\u00edcula is no grade",
         "1;2026001;Ana;7;8;9\n2;2026002;Bia;6;6;6\n", "D,E,F"},
        {"a margin", ";Mat;Nome;N1;N2;N3\n;1;Ana;7;8;9\n", "D,E,F"},
        {"a column exactly half grades is a column of grades",
         "Mat;Nome;N1;N2;N3\n1;Ana;7;8;9\n2;Bia;dez;8;9\n", "C,D,E"},
        {"the width on a tie is the wider", "1;Ana;7;8;9\n2;Bia;6;7;9;8\n", "C,D,E,F",
         LayoutProblem::gradesUnclear},
        {"only two columns of grades, the mean listed apart",
         "Mat;Nome;N1;N2;M\u00e9dia\n1;Ana;7;8;7,5\n", "C,D;E", LayoutProblem::gradesUnclear},
        {"without a header, a column blank in every row may be a grade not given yet",
         "1;Ana;7;8;;9\n2;Bia;6;7;;8\n", "C,D,E,F", LayoutProblem::gradesUnclear},
        {"without a header, a grade no one has yet", "1;Ana;7;;9\n2;Bia;6;;8\n", "C,D,E"},
        {"percentages are no grades", "Nome;Frequ\u00eancia;N1;N2;N3\nAna;95;7;8;9\nBia;80;6;6;6\n",
         "C,D,E"},
        {"a column of ticks before the RA, and the final mean abbreviated",
         "Sel;RA;Nome;N1;N2;N3;MF\n0;2026001;Ana;7;8;9;8\n1;2026002;Bia;6;6;6;6\n", "D,E,F"},
        {"a learning platform's columns are no grades",
         "Student,ID,SIS User ID,Section,Quiz 1,Quiz 2,Quiz 3,Current Score\n"
         "\"Doe, Jane\",1001,5,1,9,8,7,8\n\"Roe, Rick\",1002,6,1,6,5,9,7\n",
         "E,F,G"},
    };
    for (const ColumnsCase& each : cases) {
        const LayoutDecision decision = decide(each.input, {}).decision;
        EXPECT_EQ(decision.problem, each.problem) << each.what;
        EXPECT_EQ(decision.problem == LayoutProblem::none ? letters(decision.layout.gradeColumns)
                                                          : listed(decision),
                  each.grades)
            << each.what;
    }
}

// What the options lead to: the grade columns as -n names them, or why they cannot be used.
std::string chosenOrWhy(const std::string& input, const LayoutOptions& options)
{
    const LayoutDecision decision = decide(input, options).decision;
    return decision.problem == LayoutProblem::none ? letters(decision.layout.gradeColumns)
                                                   : decision.why;
}

// -n by number, by letter as the spreadsheet shows it, or by the header's name without
// case, accents or blanks; or why not, with the header's names to choose from.
TEST(LayoutTest, GradeColumnsTheUserNames)
{
    const std::string file =
        "Mat;Nome;1\u00ba Bim;2\u00ba Bim;3\u00ba Bim;4\u00ba Bim\n1;Ana;7;8;9;6\n";
    const auto cases = std::to_array<std::pair<std::vector<std::string>, std::string>>({
        {{"4", "5", "6"}, "D,E,F"},
        {{"C", "D", "E"}, "C,D,E"},
        {{"d", "e", "f"}, "D,E,F"},
        {{" 2\u00ba bim", "3O BIM", "4\u00ba Bim "}, "D,E,F"},
        {{"C", "D", "Faltas"},
         "n\u00e3o h\u00e1 coluna \"Faltas\" no cabe\u00e7alho, cujas colunas s\u00e3o A \"Mat\", "
         "B \"Nome\", C \"1\u00ba Bim\", D \"2\u00ba Bim\", E \"3\u00ba Bim\", F \"4\u00ba Bim\""},
        {{"C", "D", "9"}, "n\u00e3o h\u00e1 coluna I (9): as linhas t\u00eam at\u00e9 6 campos"},
        {{"C", "3", "E"}, "--notas nomeia a coluna C duas vezes"},
    });
    for (const auto& [named, said] : cases) {
        EXPECT_EQ(chosenOrWhy(file, {HeaderChoice::detect, named}), said);
    }
    EXPECT_EQ(decide("Ana 7 8 9\n", {HeaderChoice::detect, {"2", "3", "4"}}).decision.problem,
              LayoutProblem::optionsDoNotFit);
    EXPECT_EQ(decide("1;Ana;7;8;9\n", {HeaderChoice::absent, {"N1", "N2", "N3"}}).decision.why,
              "colunas de notas por nome pedem um cabe\u00e7alho");
}

// The identification starts at the first column that says who the student is, by its name
// or else by what it holds: not at a column of ticks, whose 0 or 1 identifies no one.
TEST(LayoutTest, TheIdentificationIsWhoTheStudentIs)
{
    const auto cases = std::to_array<std::pair<std::string, std::string>>({
        {"Sel;RA;Nome;N1;N2;N3\n0;2026001;Ana;7;8;9\n1;2026002;Bia;6;6;6\n", "B"},
        {"0;2026001;Ana;7;8;9\n1;2026002;Bia;6;6;6\n", "B"},
        {"1;2026001;Ana;7;8;9\n2;2026002;Bia;6;6;6\n", "A"},
        {";Turma;Nome;N1;N2;N3\n;3B;Ana;7;8;9\n", "C"},
    });
    for (const auto& [input, column] : cases) {
        EXPECT_EQ(columnLetters(decide(input, {}).decision.layout.identification), column) << input;
    }
}

// A sheet has 16,384 columns: a header wider than that is refused.
TEST(LayoutTest, AHeaderWiderThanASheetIsRefused)
{
    std::string header = "Nome;N1;N2;N3";
    for (std::size_t column = 4; column <= 16384; ++column) {
        header += ";c";
    }
    EXPECT_EQ(decide(header + "\nAna;7;8;9\n", {}).decision.problem, LayoutProblem::tooWide);
    header.resize(header.size() - 2);
    EXPECT_EQ(decide(header + "\nAna;7;8;9\n", {}).decision.problem, LayoutProblem::none);
}

} // namespace
