#ifndef BOLETIM_NAMES_H
#define BOLETIM_NAMES_H

#include <string>
#include <string_view>

// What the words of a class file say: a header's column names, and the labels that mark a
// row of totals. The lists are short and in one place (names.cpp), and the manual pages
// give them.

// A name as it is compared: lower case, without accents, "º" and "ª" as "o" and "a",
// every other character that is not a letter or a digit a space, spaces single and none
// around it. "  Nº da Matrícula: " becomes "no da matricula".
std::string comparableName(std::string_view utf8);

// Whether text may be a label, a status or a name of the lists here: most texts a pass
// asks about are matrículas and grades, which start with a digit.
inline bool mayBeWord(std::string_view text)
{
    return !text.empty() && (text.front() < '0' || text.front() > '9');
}

// Whether two names are the same but for case, accents and the blanks around them.
bool sameName(std::string_view one, std::string_view other);

// A column whose name has one of these words is not one of the three grades, however
// numeric: absences, means, totals, results, recovery, numbers that identify. "Faltas",
// "Média final", "Rec.", "Nº", "Matrícula".
bool namesNoGrade(std::string_view columnName);

// Of those, a name of data about the student that a column of numbers holds, and not of
// what identifies the student: Faltas, Frequência, Média, Total, Situação.
bool namesData(std::string_view columnName);

// A name that says grade: its first word is one of Nota, Prova, Avaliação, Bimestre,
// Trimestre, Unidade, Etapa, Teste, Trabalho and the like, an abbreviation of one with a
// number (N1, P2, AV3, B1), or an ordinal (1º, 2ª).
bool namesGrade(std::string_view columnName);

// A row that starts so is a header rather than a student: its first word names a column
// (Nome, Aluno, Matrícula, a grade, absences).
bool startsAsColumnName(std::string_view text);

// A row that starts so is a title: Escola, Professor, Disciplina, Boletim and the like.
bool startsAsTitle(std::string_view text);

// A row of totals below the students is labelled so: its first word is Média, Total, Soma,
// Máximo, Mínimo, Aprovados, Reprovados and the like, and any other says of what (da
// turma, geral, das notas) or is a number. "Máximo Souza" is a student. text is without
// blanks around it.
bool isSummaryLabel(std::string_view text);

// A row a learning platform's export puts among its students (Points Possible, Muted,
// Class average, Date) is labelled so, or has one of these texts in its cells (Muted,
// (read only), Manual Posting).
bool isPlatformLabel(std::string_view text);
bool isPlatformMarker(std::string_view text);

// What a status typed where a grade goes says of a student who has no grades to compute:
// TRANSFERIDO for Transferido or TR, DESISTENTE, EVADIDO, REMANEJADO, CANCELADO; nothing
// for any other text.
std::string_view statusSaid(std::string_view text);

// The word a count of students of a status says, one or many: transferido for TRANSFERIDO
// and TRANSFERIDA alike.
std::string_view statusCounted(std::string_view said);

// A column whose name says it holds the student's mean, as the teacher computed it: Média,
// Média final, Média anual, MF, MA, MG, NF; the more it says final, the more so: 2 for
// final or annual, 1 for another mean, 0 for none.
int namesMean(std::string_view columnName);

// A column whose name says it identifies a student: Nome, Aluno, RA, Matrícula, Nº,
// Student, Username and the like.
bool namesIdentification(std::string_view columnName);

// A field that holds a whole number, as a matrícula or a roll number: digits alone.
bool isWholeNumber(std::string_view text);

// A field with a letter or a digit in it; "-", "—" or "*" name nothing and grade no one.
bool hasLetterOrDigit(std::string_view text);

#endif
