#include "programs/turma_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <getopt.h>

#include "class/student.h"
#include "platform/platform.h"
#include "text/encoding.h"
#include "text/fields.h"

namespace {

constexpr std::string_view usage =
    "Uso: boletim-turma [OP\u00c7\u00c3O]... [ARQUIVO]\n"
    "Calcula a m\u00e9dia ponderada, o conceito e o resultado de cada aluno de uma turma\n"
    "e escreve uma tabela na sa\u00edda padr\u00e3o ou, com -o, num arquivo.\n"
    "\n"
    "Cada linha do ARQUIVO \u00e9 um aluno: os campos que o identificam e as notas,\n"
    "tr\u00eas ou uma para cada peso. A m\u00e9dia \u00e9 exata, das notas como foram digitadas.\n"
    "ARQUIVO \u00e9 uma planilha .xlsx ou .ods, ou um arquivo de texto cujos campos s\u00e3o\n"
    "separados por ';', tabula\u00e7\u00e3o ou ',' (com aspas, como as planilhas os gravam)\n"
    "ou por espa\u00e7os. Sem ARQUIVO, ou quando ARQUIVO \u00e9 -, l\u00ea a entrada padr\u00e3o.\n"
    "\n"
    "  -o, --saida=SA\u00cdDA   grava a tabela em SA\u00cdDA: uma planilha pronta para\n"
    "                      imprimir, se o nome termina em .xlsx, com a tabela, um\n"
    "                      resumo e um boletim por aluno; sen\u00e3o, a tabela em CSV\n"
    "  -n, --notas=LISTA   as colunas das notas, na ordem dos pesos, pela letra, pelo\n"
    "                      n\u00famero ou pelo nome no cabe\u00e7alho: -n C,D,E, -n 3,4,5 ou\n"
    "                      --notas '1\u00ba Bim,2\u00ba Bim,3\u00ba Bim' (sem ela: as colunas de\n"
    "                      n\u00fameros de 0 a 10 cujo nome n\u00e3o diga o contr\u00e1rio)\n"
    "      --pesos=PESOS   os pesos das notas da escola, um por nota: --pesos 1,1,1,1\n"
    "                      (quatro bimestres de peso igual), --pesos 1.5,2,2.5 ou\n"
    "                      --pesos '1,5;2;2,5' (sem ela: tr\u00eas notas, pesos 1, 2 e 3)\n"
    "      --arredondamento=PASSO  arredonda cada m\u00e9dia ao m\u00faltiplo de PASSO mais\n"
    "                      pr\u00f3ximo, metades para cima, antes do conceito: 0,1, 0,5 ou\n"
    "                      1 (sem ela: a m\u00e9dia exata)\n"
    "      --como-boletim  calcula como o boletim: tr\u00eas notas, pesos 1, 2 e 3, em\n"
    "                      precis\u00e3o simples (sem ela: a m\u00e9dia exata das notas como\n"
    "                      foram digitadas)\n"
    "      --folha=FOLHA   a folha de uma planilha .xlsx ou .ods, pelo nome ou pelo\n"
    "                      n\u00famero (sem ela: a primeira)\n"
    "      --cabecalho     a linha logo acima do primeiro aluno \u00e9 o cabe\u00e7alho\n"
    "      --sem-cabecalho n\u00e3o h\u00e1 cabe\u00e7alho: o primeiro aluno vem depois dos "
    "t\u00edtulos\n"
    "  -p, --ponto         separa os campos com ',' e escreve os n\u00fameros com ponto\n"
    "                      decimal, sem marca de ordem de bytes e com os textos como\n"
    "                      foram digitados, para programas e planilhas em ingl\u00eas (sem\n"
    "                      ela: ';', v\u00edrgula decimal e textos que uma planilha\n"
    "                      tomaria por f\u00f3rmula precedidos de ')\n"
    "  -h, --help          mostra esta ajuda e sai\n"
    "  -V, --version       mostra a vers\u00e3o e sai\n"
    "\n"
    "Estado de sa\u00edda: 0 se todos os alunos foram calculados, 1 se alguma linha\n"
    "teve erro ou se nenhum aluno foi encontrado, 2 se n\u00e3o foi poss\u00edvel executar.\n";

constexpr std::string_view version = "boletim-turma (boletim) " BOLETIM_VERSION "\n"
                                     "Licen\u00e7a MIT.\n";

constexpr std::string_view tryHelp = "Experimente 'boletim-turma --help'.";

// The long options without a letter of their own.
enum : int {
    sheetOption = 256,
    headerOption,
    noHeaderOption,
    weightsOption,
    stepOption,
    asBoletimOption
};

const std::array<option, 12> longOptions{{
    {"saida", required_argument, nullptr, 'o'},
    {"notas", required_argument, nullptr, 'n'},
    {"folha", required_argument, nullptr, sheetOption},
    {"cabecalho", no_argument, nullptr, headerOption},
    {"sem-cabecalho", no_argument, nullptr, noHeaderOption},
    {"ponto", no_argument, nullptr, 'p'},
    {"pesos", required_argument, nullptr, weightsOption},
    {"arredondamento", required_argument, nullptr, stepOption},
    {"como-boletim", no_argument, nullptr, asBoletimOption},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
}};

// Writes text to standard output and makes sure it got there.
int writeAndExit(std::string_view text)
{
    errno = 0;
    writeText(stdout, local(text));
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        writeError(local("n\u00e3o foi poss\u00edvel escrever a sa\u00edda") +
                   (errno == 0 ? "" : ": " + std::string(std::strerror(errno))));
        return couldNotRun;
    }
    return allComputed;
}

// The columns of --notas, as given; none where one is empty or 0.
std::vector<std::string> gradeColumnList(std::string_view list)
{
    const std::string text = lineAsUtf8(list);
    Fields fields;
    std::string unquoted;
    splitQuotedLine(text, ',', fields, unquoted);
    std::vector<std::string> columns;
    for (const std::string_view field : fields) {
        columns.emplace_back(trimmed(field));
    }
    const bool named = std::none_of(columns.begin(), columns.end(), [](const std::string& column) {
        return column.empty() || column.find_first_not_of('0') == std::string::npos;
    });
    return named ? columns : std::vector<std::string>{};
}

// What an option that lacks its value needs.
std::string missingValue(int letter, const std::string& given)
{
    switch (letter) {
    case 'o':
        return local("a op\u00e7\u00e3o '") + given +
               local("' pede o nome do arquivo de sa\u00edda");
    case 'n':
        return local("a op\u00e7\u00e3o '") + given +
               local("' pede as colunas das notas, como C,D,E");
    case weightsOption:
        return local("a op\u00e7\u00e3o '--pesos' pede os pesos das notas, como 1,1,1,1");
    case stepOption:
        return local("a op\u00e7\u00e3o '--arredondamento' pede um passo, como 0,5");
    default:
        return local("a op\u00e7\u00e3o '--folha' pede o nome ou o n\u00famero de uma folha");
    }
}

// The option getopt_long stopped at, as the user typed it.
std::string optionTyped(const std::vector<char*>& argv, int letter)
{
    const std::string typed = optind > 0 && optind <= static_cast<int>(argv.size())
                                  ? argv[static_cast<std::size_t>(optind) - 1]
                                  : "";
    if (letter != 0 && !typed.starts_with("--")) {
        return std::string{'-', static_cast<char>(letter)};
    }
    return typed.substr(0, typed.find('='));
}

// Takes --pesos or --arredondamento into the rule; gives the exit status where its value is
// not of their form.
std::optional<int> takeRuleOption(int found, const std::string& given, SchoolRule& rule)
{
    std::string why;
    if (found == weightsOption) {
        auto weights = weightsOf(lineAsUtf8(given), why);
        if (!weights) {
            return usageError(local(why));
        }
        rule.weights = std::move(*weights);
        return std::nullopt;
    }
    const auto step = stepOf(lineAsUtf8(given), why);
    if (!step) {
        return usageError(local(why));
    }
    rule.step = step;
    return std::nullopt;
}

// The options that do not go together: a rule of the school's and boletim's, or columns
// and weights of different counts.
std::optional<int> checkTogether(const TurmaOptions& options)
{
    const SchoolRule& rule = options.classOptions.rule;
    const std::vector<std::string>& columns = options.classOptions.layout.gradeColumns;
    if (rule.asBoletim && (options.weightsGiven || rule.step)) {
        return usageError(local("--como-boletim calcula como o boletim, com pesos 1, 2 e 3 e sem "
                                "arredondamento: n\u00e3o vai com --pesos nem com "
                                "--arredondamento"));
    }
    if (!columns.empty() && columns.size() != rule.grades()) {
        return usageError(local(
            "--notas nomeia " + plural(static_cast<long>(columns.size()), "coluna", "colunas") +
            ", e h\u00e1 " + plural(static_cast<long>(rule.grades()), "peso", "pesos") +
            (options.weightsGiven ? ""
             : rule.asBoletim     ? " (1, 2 e 3, como o boletim)"
                                  : " (1, 2 e 3; diga os da escola com --pesos)") +
            ": uma coluna para cada peso"));
    }
    return std::nullopt;
}

// Takes the option getopt_long found; gives the exit status where the program stops there.
std::optional<int> takeOption(int found, const char* value, TurmaOptions& options)
{
    LayoutOptions& layout = options.classOptions.layout;
    const std::string given = value == nullptr ? "" : value;
    switch (found) {
    case 'p':
        options.style = forPrograms;
        return std::nullopt;
    case headerOption:
        layout.header = HeaderChoice::present;
        return std::nullopt;
    case noHeaderOption:
        layout.header = HeaderChoice::absent;
        return std::nullopt;
    case 'h':
        return writeAndExit(usage);
    case 'V':
        return writeAndExit(version);
    case 'n':
        layout.gradeColumns = gradeColumnList(given);
        if (layout.gradeColumns.empty()) {
            return usageError(local("--notas pede as colunas das notas, separadas por "
                                    "v\u00edrgula, como C,D,E ou 3,4,5: '") +
                              given + "'");
        }
        return std::nullopt;
    case weightsOption:
    case stepOption:
        return takeRuleOption(found, given, options.classOptions.rule);
    case asBoletimOption:
        options.classOptions.rule.asBoletim = true;
        return std::nullopt;
    case sheetOption:
        if (given.empty()) {
            return usageError(missingValue(sheetOption, "--folha"));
        }
        options.classOptions.sheet = lineAsUtf8(given);
        return std::nullopt;
    default: // 'o'
        if (given.empty()) {
            return usageError(missingValue('o', "-o"));
        }
        options.outputPath = given;
        return std::nullopt;
    }
}

} // namespace

std::string local(std::string_view utf8)
{
    return inLocaleEncoding(utf8);
}

void writeError(const std::string& message)
{
    writeText(stderr, "boletim-turma: " + message + '\n');
}

int usageError(const std::string& message)
{
    writeError(message + '\n' + local(tryHelp));
    return couldNotRun;
}

std::optional<int> readOptions(const std::vector<std::string>& arguments, TurmaOptions& options)
{
    std::vector<std::string> copies = arguments;
    copies.insert(copies.begin(), "boletim-turma");
    std::vector<char*> argv;
    argv.reserve(copies.size() + 1);
    for (std::string& copy : copies) {
        argv.push_back(copy.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size()) - 1;
    opterr = 0; // its messages are the program's own, in Portuguese
    optind = 0; // from the start, whatever an earlier reading left
    for (int found = 0;
         (found = getopt_long(argc, argv.data(), ":o:n:phV", longOptions.data(), nullptr)) != -1;) {
        if (found == '?') {
            return usageError(local("op\u00e7\u00e3o desconhecida: '") + optionTyped(argv, optopt) +
                              "'");
        }
        if (found == ':') {
            return usageError(missingValue(optopt, optionTyped(argv, optopt)));
        }
        options.weightsGiven = options.weightsGiven || found == weightsOption;
        if (const auto status = takeOption(found, optarg, options)) {
            return status;
        }
    }
    if (const auto status = checkTogether(options)) {
        return status;
    }
    if (argc - optind > 1) {
        return usageError(local("arquivo a mais: '") + argv[static_cast<std::size_t>(optind) + 1] +
                          local("' (l\u00ea um s\u00f3 arquivo)"));
    }
    if (optind < argc) {
        options.path = argv[static_cast<std::size_t>(optind)];
    }
    return std::nullopt;
}
