// Classes made up as teachers keep them, with a known truth, and the check that a table
// tells that truth: the generator and the property that the class reader's round-trip
// tests share, for a class as text and as a spreadsheet.
#ifndef BOLETIM_TESTS_CLASS_MAKER_H
#define BOLETIM_TESTS_CLASS_MAKER_H

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "class/names.h"
#include "class_run.h"
#include "exact_mean.h"
#include "grading/grading.h"

namespace made_up {

struct Student {
    std::vector<std::string> cells; // as typed, column by column
    std::array<std::string, 3> grades;
    std::string status; // what Definição says of a student with a status where a grade goes
    std::string note;   // typed right of the header's last column
};

enum class Kind { roll, matricula, name, grade, absences, mean, remarks };

struct Made {
    std::string file;
    bool unclear = false;
    std::vector<Kind> kinds;
    std::vector<Student> students;
    std::size_t footers = 0;
    std::size_t platformRows = 0; // a learning platform's rows between the header and them
    bool margin = false;
    std::vector<std::vector<std::string>> rows; // as typed, without the margin
};

// Builds a class and the truth about it. Texts are UTF-8; written out at the end.
class ClassMaker {
  public:
    explicit ClassMaker(unsigned seed) : random_(seed) {}

    Made make()
    {
        const bool header = chance(0.8);
        std::vector<Kind> kinds = identificationKinds();
        std::vector<Kind> rest{Kind::grade, Kind::grade, Kind::grade};
        for (const Kind extra : {Kind::absences, Kind::mean, Kind::remarks}) {
            if (chance(0.3)) {
                rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(pick(rest.size() + 1)),
                            extra);
            }
        }
        kinds.insert(kinds.end(), rest.begin(), rest.end());
        Made made;
        made.kinds = kinds;
        made.unclear = !header && std::any_of(kinds.begin(), kinds.end(), [](Kind kind) {
            return kind == Kind::absences || kind == Kind::mean;
        });
        const bool margin = chance(0.2);
        made.margin = margin;
        std::vector<std::vector<std::string>> rows;
        if (chance(0.3)) {
            const std::string title =
                chance(0.5) ? "Turma 3\u00baB" : "Escola Estadual Jos\u00e9 Concei\u00e7\u00e3o";
            rows.emplace_back(1, title);
        }
        if (header) {
            if (chance(0.3)) {
                rows.emplace_back(kinds.size());
                rows.back().at(kinds.size() - 3) = "1\u00ba Bimestre";
                rows.back().at(kinds.size() - 2) = "2\u00ba Bimestre";
            }
            rows.push_back(names(kinds));
            made.platformRows = chance(0.15) ? 1 : 0;
            if (made.platformRows > 0) {
                rows.push_back(platformRow(kinds));
            }
        }
        const std::size_t count = 1 + pick(25);
        outOfRangeFirst_ = !header && count > 1;
        for (std::size_t number = 1; number <= count; ++number) {
            made.students.push_back(student(kinds, number, header, margin));
            rows.push_back(made.students.back().cells);
            if (!made.students.back().note.empty()) {
                rows.back().push_back(made.students.back().note);
            }
        }
        for (std::size_t footer = pick(3); footer > 0; --footer, ++made.footers) {
            rows.emplace_back(kinds.size());
            rows.back().at(0) = "M\u00e9dia da turma";
            for (std::size_t column = 1; column < kinds.size(); ++column) {
                rows.back()[column] = kinds[column] == Kind::grade ? "7,5" : "";
            }
        }
        made.rows = rows;
        made.file = write(rows, margin);
        return made;
    }

  private:
    bool chance(double probability)
    {
        return std::bernoulli_distribution(probability)(random_);
    }
    std::size_t pick(std::size_t count)
    {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
    }

    std::vector<Kind> identificationKinds()
    {
        std::vector<Kind> kinds;
        if (chance(0.3)) {
            kinds.push_back(Kind::roll);
        }
        if (chance(0.6)) {
            kinds.push_back(Kind::matricula);
        }
        kinds.push_back(Kind::name);
        return kinds;
    }

    std::vector<std::string> names(const std::vector<Kind>& kinds)
    {
        static const std::vector<std::vector<std::string>> gradeNames = {
            {"Nota 1", "Nota 2", "Nota 3"},
            {"N1", "N2", "N3"},
            {"P1", "P2", "P3"},
            {"1\u00ba Bim", "2\u00ba Bim", "3\u00ba Bim"},
            {"AV1", "AV2", "AV3"},
            {"Leitura", "Escrita", "Oral"}};
        const std::vector<std::string>& grades = gradeNames.at(pick(gradeNames.size()));
        std::vector<std::string> row;
        std::size_t grade = 0;
        for (const Kind kind : kinds) {
            switch (kind) {
            case Kind::roll:
                row.emplace_back("N\u00ba");
                break;
            case Kind::matricula:
                row.emplace_back("Matr\u00edcula");
                break;
            case Kind::name:
                row.emplace_back("Nome");
                break;
            case Kind::grade:
                row.push_back(grades.at(grade++));
                break;
            case Kind::absences:
                row.emplace_back("Faltas");
                break;
            case Kind::mean:
                row.emplace_back(chance(0.5) ? "M\u00e9dia" : "M\u00e9dia final");
                break;
            case Kind::remarks:
                row.emplace_back("Observa\u00e7\u00f5es");
                break;
            }
        }
        return row;
    }

    std::string gradeText()
    {
        const int tenths = static_cast<int>(pick(101));
        const std::string whole = std::to_string(tenths / 10);
        return tenths % 10 == 0 && chance(0.5) ? whole : whole + ',' + std::to_string(tenths % 10);
    }

    // A learning platform's row under the header: its points possible, or a muted
    // assignment.
    std::vector<std::string> platformRow(const std::vector<Kind>& kinds)
    {
        const bool points = chance(0.5);
        std::vector<std::string> row(kinds.size());
        for (std::size_t column = 0; column < kinds.size(); ++column) {
            if (kinds[column] == Kind::grade) {
                row[column] = points ? "10" : "Muted";
            }
        }
        const auto named = std::find(kinds.begin(), kinds.end(), Kind::name);
        if (points) {
            row.at(static_cast<std::size_t>(named - kinds.begin())) = "Points Possible";
        }
        return row;
    }

    // A grade as typed: one decimal from 0 to 10, or, in the first row of a class without a
    // header, maybe out of range or with many decimals, which no header has either (in a
    // class of more than one: where one is all there is, the column may not be grades).
    std::string gradeOf(bool firstWithoutHeader)
    {
        if (firstWithoutHeader && chance(0.3)) {
            return chance(0.5) ? "75" : "29,8821";
        }
        return gradeText();
    }

    Student student(const std::vector<Kind>& kinds, std::size_t number, bool header, bool margin)
    {
        // Names that start as the labels of totals do.
        static const std::vector<std::string> people = {"Ana",
                                                        "Jos\u00e9 da Concei\u00e7\u00e3o",
                                                        "B\u00e1rbara Lima",
                                                        "Caio",
                                                        "\u00cdris Melo",
                                                        "M\u00e1ximo Souza",
                                                        "Menor Dias",
                                                        "Total Reis"};
        static const std::vector<std::string> statuses = {"Transferido", "TR",         "Desistente",
                                                          "Evadida",     "Remanejado", "Cancelado"};
        Student made;
        std::size_t grade = 0;
        // The first student has every field, so that no column is blank in every row: such a
        // column may be a grade no one has yet, which a file without a header cannot tell.
        // Under a header, the first may have no grade yet.
        const bool pending = header && number == 1 && chance(0.1);
        const bool missing = number > 1 && chance(0.1);
        const std::size_t status = number > 1 && chance(0.05) ? 1 + pick(statuses.size()) : 0;
        if (header && !margin && chance(0.1)) {
            made.note = "falta entregar";
        }
        for (const Kind kind : kinds) {
            switch (kind) {
            case Kind::roll:
                made.cells.push_back(std::to_string(number));
                break;
            case Kind::matricula:
                made.cells.push_back(std::to_string(2026000 + number));
                break;
            case Kind::name:
                made.cells.push_back(people.at(pick(people.size())));
                break;
            case Kind::absences:
                made.cells.push_back(std::to_string(pick(6)));
                break;
            case Kind::mean:
                made.cells.push_back(gradeText());
                break;
            case Kind::remarks:
                made.cells.emplace_back(
                    number > 1 && chance(0.5) ? "" : "faltou; recupera\u00e7\u00e3o");
                break;
            case Kind::grade:
                made.grades.at(grade) =
                    pending || (missing && grade == 1)
                        ? ""
                        : gradeOf(outOfRangeFirst_ && number == 1 && grade == 0);
                if (status > 0) {
                    made.grades.at(grade) = grade == 0 ? statuses.at(status - 1) : "";
                }
                made.cells.push_back(made.grades.at(grade++));
                break;
            }
        }
        if (status > 0) {
            made.status = statusSaid(statuses.at(status - 1));
        }
        return made;
    }

    std::string write(const std::vector<std::vector<std::string>>& rows, bool margin)
    {
        const char separator = ";,\t"[pick(3)];
        const bool windows1252 = chance(0.3);
        const std::string lineEnd = chance(0.5) ? "\r\n" : "\n";
        std::string text = !windows1252 && chance(0.3) ? "\xEF\xBB\xBF" : "";
        for (const std::vector<std::string>& row : rows) {
            text += margin ? std::string(1, separator) : "";
            for (std::size_t column = 0; column < row.size(); ++column) {
                const std::string& cell = row[column];
                const bool quoted = cell.find(separator) != std::string::npos || chance(0.1);
                text += (column == 0 ? "" : std::string(1, separator)) +
                        (quoted ? '"' + cell + '"' : cell);
            }
            text += lineEnd;
        }
        return windows1252 ? asWindows1252(text) : text;
    }

    // The accents used here are all in Latin-1, which Windows-1252 keeps where they are.
    static std::string asWindows1252(const std::string& utf8)
    {
        std::string bytes;
        for (std::size_t next = 0; next < utf8.size(); ++next) {
            const auto byte = static_cast<unsigned char>(utf8[next]);
            if (byte == 0xC2U || byte == 0xC3U) {
                const auto second = static_cast<unsigned char>(utf8[++next]);
                bytes += static_cast<char>(byte == 0xC3U ? second + 0x40U : second);
            } else {
                bytes += static_cast<char>(byte);
            }
        }
        return bytes;
    }

    std::mt19937 random_;
    bool outOfRangeFirst_ = false;
};

inline float typed(const std::string& grade)
{
    std::string point = grade;
    std::replace(point.begin(), point.end(), ',', '.');
    return std::strtof(point.c_str(), nullptr);
}

inline std::vector<std::vector<std::string>> tableRows(const std::string& table)
{
    std::vector<std::vector<std::string>> rows;
    std::size_t start = 0;
    while (start < table.size()) {
        const std::size_t end = table.find('\n', start);
        Fields fields;
        std::string unquoted;
        splitQuotedLine(std::string_view(table).substr(start, end - start), ',', fields, unquoted);
        rows.emplace_back(fields.begin(), fields.end());
        start = end + 1;
    }
    return rows;
}

inline bool isComplete(const Student& student)
{
    return std::none_of(student.grades.begin(), student.grades.end(),
                        [](const std::string& grade) { return grade.empty(); });
}

// A cell of the table: a number as its value, any other as typed.
inline void expectCell(const std::string& cell, const std::string& typedCell, bool asNumber)
{
    if (asNumber) {
        EXPECT_EQ(std::strtof(cell.c_str(), nullptr), typed(typedCell));
    } else {
        EXPECT_EQ(cell, typedCell);
    }
}

// A student's row has the student's own cells, in the header's columns: width of them, the
// three the table adds among them. A column blank in every row may be left out at the end
// of a table without a header.
inline void expectItsOwnCells(const std::vector<std::string>& row, const Made& made,
                              const Student& student, std::size_t width)
{
    const std::size_t margin = made.margin ? 1 : 0;
    const std::size_t cells = width - std::min(width, margin + 3);
    EXPECT_GE(cells, student.cells.size() - (made.margin ? 0 : 1));
    for (std::size_t column = 0; column < student.cells.size(); ++column) {
        SCOPED_TRACE("column " + std::to_string(column));
        // Grades, absences and the teacher's mean are numbers in the table's form.
        const Kind kind = made.kinds[column];
        const bool number = kind == Kind::grade || kind == Kind::absences || kind == Kind::mean;
        const bool statusHere = kind == Kind::grade && !student.status.empty();
        expectCell(column < cells ? row.at(margin + column) : "", student.cells[column],
                   column < cells && number && !statusHere);
    }
    // A note right of the header's last column comes right of the columns the table adds.
    EXPECT_EQ(row.size() > width ? row.back() : "", student.note);
}

// The three cells the table adds: what the school's rule (weights 1, 2 and 3, the mean
// exact) says of the student's grades, the status, or the error.
inline void expectGradedByTheRule(const std::vector<std::string>& row, const Student& student,
                                  std::size_t width)
{
    ASSERT_GE(row.size(), width);
    const std::string_view said = row.at(width - 1);
    if (!student.status.empty()) {
        EXPECT_EQ(said, student.status);
        return;
    }
    const auto empty = std::find(student.grades.begin(), student.grades.end(), "");
    if (empty != student.grades.end()) {
        const auto grade = empty - student.grades.begin() + 1;
        EXPECT_EQ(said, "erro: nota " + std::to_string(grade) + " est\u00e1 vazia");
        return;
    }
    const exact::Expected mean =
        exact::expectedMean({student.grades.begin(), student.grades.end()}, {1000, 2000, 3000});
    EXPECT_EQ(row.at(width - 3), mean.shown);
    EXPECT_EQ(row.at(width - 2), std::string(1, mean.letter));
    EXPECT_EQ(said, isApproved(row.at(width - 2)) ? "APROVADO" : "REPROVADO");
}

// The table: its header, a platform's rows where they were, every student once, in order,
// then the footers.
inline void expectEveryStudentOnce(const std::vector<std::vector<std::string>>& rows,
                                   const Made& made)
{
    ASSERT_EQ(rows.size(), 1 + made.platformRows + made.students.size() + made.footers);
    const std::size_t width = rows.front().size();
    for (std::size_t student = 0; student < made.students.size(); ++student) {
        SCOPED_TRACE("student " + std::to_string(student + 1));
        const std::vector<std::string>& row = rows.at(1 + made.platformRows + student);
        expectItsOwnCells(row, made, made.students[student], width);
        expectGradedByTheRule(row, made.students[student], width);
    }
}

// The table of input, made of made: refused where its truth is unclear; otherwise every
// student once, in order, then its footers.
inline void checkConverted(const Made& made, const std::string& input)
{
    const ClassRun run = runClass(input);
    SCOPED_TRACE(made.file + run.messages);
    if (made.unclear) {
        EXPECT_EQ(run.result.outcome, ClassOutcome::gradesUnclear);
        EXPECT_EQ(run.table, "");
        return;
    }
    ASSERT_EQ(run.result.outcome, ClassOutcome::computed) << run.result.problem;
    EXPECT_EQ(run.result.counts.students, static_cast<long>(made.students.size()));
    expectEveryStudentOnce(tableRows(run.table), made);
}

} // namespace made_up

#endif
