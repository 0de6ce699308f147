#include "class/names.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "text/encoding.h"

namespace {

using Words = std::vector<std::string_view>;

// Words are compared as comparableName leaves them: lower case, no accents.
// Not grades: data about the class (absences, means, totals, results)...
const Words dataWords = {
    "falta",    "faltas",   "frequencia",  "freq",        "presenca",  "presencas",  "aulas",
    "media",    "medias",   "mediana",     "total",       "totais",    "soma",       "resultado",
    "situacao", "conceito", "recuperacao", "rec",         "recup",     "final",      "mf",
    "ma",       "mg",       "mp",          "ms",          "nf",        "score",      "current",
    "unposted", "course",   "numerator",   "denominator", "indicator", "downloaded", "average"};

// ...and numbers that identify a student, or say where, as schools and learning platforms
// name them.
const Words identifyingWords = {
    "no",          "nro",        "num",          "numero",   "chamada", "matricula", "mat",
    "ra",          "codigo",     "cod",          "id",       "idade",   "ano",       "turma",
    "serie",       "telefone",   "tel",          "celular",  "cpf",     "rg",        "sis",
    "login",       "section",    "secao",        "username", "user",    "email",     "mail",
    "institution", "department", "orgdefinedid", "number",   "ordem",   "inscricao"};

const Words gradeWords = {
    "nota",    "notas",    "prova",      "provas",    "avaliacao", "avaliacoes", "av",
    "aval",    "bimestre", "bim",        "trimestre", "tri",       "semestre",   "unidade",
    "etapa",   "teste",    "trabalho",   "trab",      "atividade", "exercicio",  "exame",
    "periodo", "modulo",   "ciclo",      "parcial",   "simulado",  "quiz",       "exam",
    "test",    "homework", "assignment", "essay",     "midterm",   "project"};

// The names of the columns that say who a student is.
const Words identificationWords = {
    "nome",      "nomes",      "aluno",    "alunos",        "aluna",   "alunas",
    "estudante", "estudantes", "discente", "identificacao", "student", "name",
    "first",     "last",       "surname",  "given",         "family"};

const Words titleWords = {"escola", "colegio",    "classe",  "professor",  "professora",
                          "prof",   "disciplina", "materia", "componente", "curso",
                          "data",   "boletim",    "diario",  "relatorio",  "lista"};

// A row of totals is labelled by one of these, and perhaps words that say of what.
const Words summaryWords = {
    "media",     "medias",     "mediana",     "total",      "totais",  "soma",  "somatorio",
    "maximo",    "maxima",     "minimo",      "minima",     "maior",   "menor", "aprovados",
    "aprovadas", "reprovados", "reprovadas",  "quantidade", "qtd",     "qtde",  "contagem",
    "desvio",    "percentual", "porcentagem", "frequencia", "average", "mean",  "maximum",
    "minimum",   "sum",        "count"};
const Words summaryQualifiers = {
    "da",        "de",     "do",     "das",       "dos",    "a",      "o",     "e",
    "em",        "turma",  "classe", "sala",      "geral",  "notas",  "nota",  "alunos",
    "alunas",    "final",  "anual",  "bimestral", "padrao", "por",    "cento", "aritmetica",
    "ponderada", "class",  "of",     "the",       "grade",  "grades", "score", "scores",
    "media",     "maxima", "minima", "maior",     "menor"};

// The rows a learning platform's export puts among its students, and the texts it puts
// in their cells.
const std::vector<std::string_view> platformLabels = {
    "points possible", "muted",      "class average", "average",  "points", "possible", "date",
    "due date",        "max points", "weight",        "category", "out of"};
const std::vector<std::string_view> platformMarkers = {"muted", "read only", "manual posting"};

// A student who left, or is no longer graded in the class, by the word a school's
// records use, the word the table says, and the word a count of them says.
struct Status {
    std::string_view typed;
    std::string_view said;
    std::string_view counted;
};
const std::vector<Status> statuses = {{"transferido", "TRANSFERIDO", "transferido"},
                                      {"transferida", "TRANSFERIDA", "transferido"},
                                      {"tr", "TRANSFERIDO", "transferido"},
                                      {"desistente", "DESISTENTE", "desistente"},
                                      {"evadido", "EVADIDO", "evadido"},
                                      {"evadida", "EVADIDA", "evadido"},
                                      {"remanejado", "REMANEJADO", "remanejado"},
                                      {"remanejada", "REMANEJADA", "remanejado"},
                                      {"cancelado", "CANCELADO", "cancelado"},
                                      {"cancelada", "CANCELADA", "cancelado"},
                                      {"trancado", "TRANCADO", "trancado"},
                                      {"trancada", "TRANCADA", "trancado"},
                                      {"abandono", "ABANDONO", "abandono"}};

bool isAsciiDigit(char32_t character)
{
    return character >= U'0' && character <= U'9';
}

bool isAsciiDigitByte(char byte)
{
    return byte >= '0' && byte <= '9';
}

bool isAsciiLetterByte(char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

// A letter or digit as it is compared, or a space for any other character.
char comparableCharacter(char32_t character)
{
    // The letters of Latin-1 from U+00C0, each without its accent; × and ÷ are no letters.
    constexpr std::string_view latin1Letters = "aaaaaaaceeeeiiiidnooooo ouuuuy s"
                                               "aaaaaaaceeeeiiiidnooooo ouuuuy y";
    static_assert(latin1Letters.size() == 64);
    if (isAsciiDigit(character) || (character >= U'a' && character <= U'z')) {
        return static_cast<char>(character);
    }
    if (character >= U'A' && character <= U'Z') {
        return static_cast<char>(character - U'A' + U'a');
    }
    if (character == U'\u00ba' || character == U'\u00b0') { // º, and ° typed for it
        return 'o';
    }
    if (character == U'\u00aa') { // ª
        return 'a';
    }
    if (character >= U'\u00c0' && character <= U'\u00ff') {
        return latin1Letters.at(character - U'\u00c0');
    }
    return ' ';
}

// The first words of text as comparableName makes them, at most most of them.
std::string comparableWords(std::string_view text, std::size_t most)
{
    std::string name;
    std::size_t words = 0;
    for (std::size_t next = 0; next < text.size();) {
        const char character = comparableCharacter(nextCodePoint(text, next));
        if (character != ' ') {
            words += name.empty() || name.back() == ' ' ? 1U : 0U;
            if (words > most) {
                break;
            }
            name += character;
        } else if (!name.empty() && name.back() != ' ') {
            name += ' ';
        }
    }
    if (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

Words wordsOf(std::string_view name)
{
    Words words;
    std::size_t start = 0;
    while (start < name.size()) {
        const std::size_t end = std::min(name.find(' ', start), name.size());
        words.push_back(name.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

bool isOneOf(std::string_view word, const Words& words)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

// Whether any word of a column's name, compared as comparableName leaves it, is in words.
bool hasWordOf(std::string_view columnName, const Words& words)
{
    const std::string name = comparableName(columnName);
    const Words named = wordsOf(name);
    return std::any_of(named.begin(), named.end(),
                       [&words](std::string_view word) { return isOneOf(word, words); });
}

std::string firstWord(std::string_view text)
{
    return comparableWords(text, 1);
}

// N1, P2, AV3, Nota1, B4; or an ordinal, 1o or 2a; or a bare number, as in a header 1, 2, 3.
bool isNumberedGrade(std::string_view word)
{
    std::size_t letters = 0;
    while (letters < word.size() && isAsciiLetterByte(word[letters])) {
        ++letters;
    }
    std::size_t digits = letters;
    while (digits < word.size() && isAsciiDigitByte(word[digits])) {
        ++digits;
    }
    const std::string_view rest = word.substr(digits);
    const bool numbered = digits > letters && digits - letters <= 2;
    const bool lettersThenNumber = letters <= 5 && rest.empty();
    const bool ordinal = letters == 0 && (rest == "o" || rest == "a");
    return numbered && (lettersThenNumber || ordinal);
}

const Status* statusOf(std::string_view text)
{
    if (text.empty() || text.size() > 24 || isAsciiDigitByte(text.front())) {
        return nullptr;
    }
    const std::string name = comparableWords(text, 2);
    const auto found = std::find_if(statuses.begin(), statuses.end(),
                                    [&name](const Status& status) { return status.typed == name; });
    return found == statuses.end() ? nullptr : &*found;
}

} // namespace

std::string comparableName(std::string_view utf8)
{
    return comparableWords(utf8, utf8.size());
}

bool sameName(std::string_view one, std::string_view other)
{
    return comparableName(one) == comparableName(other);
}

bool namesData(std::string_view columnName)
{
    return hasWordOf(columnName, dataWords);
}

bool namesNoGrade(std::string_view columnName)
{
    return hasWordOf(columnName, dataWords) || hasWordOf(columnName, identifyingWords) ||
           hasWordOf(columnName, identificationWords);
}

bool namesGrade(std::string_view columnName)
{
    const std::string name = comparableWords(columnName, 2);
    const Words words = wordsOf(name);
    if (words.empty()) {
        return false;
    }
    // "N 1" and "P 2" are N1 and P2 typed with a space.
    const bool letterThenNumber = words.size() == 2 && words[0].size() == 1 &&
                                  isAsciiLetterByte(words[0][0]) && isNumberedGrade(words[1]);
    return isOneOf(words[0], gradeWords) || isNumberedGrade(words[0]) || letterThenNumber;
}

bool startsAsColumnName(std::string_view text)
{
    const std::string word = firstWord(text);
    return isOneOf(word, identificationWords) || isOneOf(word, dataWords) ||
           isOneOf(word, identifyingWords) || isOneOf(word, gradeWords) ||
           (!isWholeNumber(word) && namesGrade(text));
}

bool startsAsTitle(std::string_view text)
{
    return isOneOf(firstWord(text), titleWords);
}

bool isSummaryLabel(std::string_view text)
{
    // Most identifications a pass asks about are numbers: no need to compare them.
    if (text.empty() || isAsciiDigitByte(text.front())) {
        return false;
    }
    // "Média da turma", "Total:", "Maior nota 3B"; not "Máximo Souza", a student.
    const std::string name = comparableWords(text, 6);
    const Words words = wordsOf(name);
    return !words.empty() && isOneOf(words.front(), summaryWords) &&
           std::all_of(words.begin() + 1, words.end(), [](std::string_view word) {
               return isOneOf(word, summaryQualifiers) ||
                      std::any_of(word.begin(), word.end(), isAsciiDigitByte);
           });
}

bool isPlatformLabel(std::string_view text)
{
    if (text.empty() || isAsciiDigitByte(text.front())) {
        return false;
    }
    const std::string name = comparableWords(text, 4);
    return std::find(platformLabels.begin(), platformLabels.end(), name) != platformLabels.end();
}

bool isPlatformMarker(std::string_view text)
{
    if (text.empty() || isAsciiDigitByte(text.front())) {
        return false;
    }
    const std::string name = comparableWords(text, 3);
    return std::find(platformMarkers.begin(), platformMarkers.end(), name) != platformMarkers.end();
}

std::string_view statusSaid(std::string_view text)
{
    const Status* status = statusOf(text);
    return status == nullptr ? std::string_view() : status->said;
}

std::string_view statusCounted(std::string_view said)
{
    const auto found = std::find_if(statuses.begin(), statuses.end(),
                                    [said](const Status& status) { return status.said == said; });
    return found == statuses.end() ? said : found->counted;
}

int namesMean(std::string_view columnName)
{
    const std::string name = comparableName(columnName);
    const Words words = wordsOf(name);
    const bool mean = !words.empty() && (isOneOf(words.front(), {"media", "medias"}) ||
                                         isOneOf(name, {"mf", "ma", "mg", "nf"}));
    if (!mean) {
        return 0;
    }
    return hasWordOf(columnName, {"final", "anual", "geral"}) || isOneOf(name, {"mf", "ma", "nf"})
               ? 2
               : 1;
}

bool namesIdentification(std::string_view columnName)
{
    return hasWordOf(columnName, identificationWords) ||
           hasWordOf(columnName, {"ra", "matricula", "mat", "no", "numero", "chamada", "codigo",
                                  "id", "inscricao", "ordem", "username", "login"});
}

bool isWholeNumber(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t");
    const std::size_t end = text.find_last_not_of(" \t");
    if (start == std::string_view::npos) {
        return false;
    }
    const std::string_view digits = text.substr(start, end - start + 1);
    return std::all_of(digits.begin(), digits.end(), isAsciiDigitByte);
}

bool hasLetterOrDigit(std::string_view text)
{
    for (std::size_t next = 0; next < text.size();) {
        const char32_t character = nextCodePoint(text, next);
        const bool punctuation = (character >= U'\u2000' && character <= U'\u2bff') ||
                                 (character >= U'\u3000' && character <= U'\u303f') ||
                                 character == U'\ufffd';
        if (comparableCharacter(character) != ' ' || (character >= U'\u0100' && !punctuation)) {
            return true;
        }
    }
    return false;
}
