// Asks for a student's identification and three grades, and prints the weighted mean,
// the concept letter and the verdict. Every fixed text is ISO-8859-1; the accented
// letters are octal escapes, which end after three digits whatever follows them:
// \372 u acute, \347 c cedilla, \343 a tilde, \355 i acute, \351 e acute, \363 o acute.
#include <clocale>
#include <exception>
#include <iostream>
#include <string>

#include "grading/grading.h"
#include "grading/reading.h"
#include "platform/platform.h"

int main()
try {
    std::setlocale(LC_ALL, "Portuguese");
    // Bytes as they are through pipes and files, and characters at a console that takes
    // characters (Windows'), where nothing else shows ISO-8859-1 right.
    startStandardStreams();
    useLatin1Console();
    // A decimal point whatever that locale says, and the arithmetic the mean is defined
    // with whatever the build's flags.
    useGradeNumbers();
    // Where the C++ library has buffers of its own for the standard streams, a long
    // identification is read quickly with them and a read error raises badbit; where it
    // reads through C's stdin anyway, stopOnReadError below raises it.
    std::ios_base::sync_with_stdio(false);
    // Without this, running out of memory on an enormous identification would only set
    // badbit: the stream keeps what it had read and the report would show wrong data.
    std::cin.exceptions(std::ios_base::badbit);
    // Grades are read by the program's own rules, not by those of whichever C++ library
    // built it: the libraries differ on hex, inf, nan, overflow and underflow.
    useGradeReader(std::cin);

    std::string id;
    std::string conceptLetter;
    // A read skipped after a failed read or the end of input leaves these as they are.
    float grade01 = 0.0f;
    float grade02 = 0.0f;
    float grade03 = 0.0f;

    std::cout << "Informe o n\372mero de identifica\347\343o: " << std::flush;
    std::cin >> id >> stopOnReadError;
    std::cout << "Informe o valor da primeira nota: " << std::flush;
    std::cin >> grade01 >> stopOnReadError;
    std::cout << "Informe o valor da segunda nota: " << std::flush;
    std::cin >> grade02 >> stopOnReadError;
    std::cout << "Informe o valor da terceira nota: " << std::flush;
    std::cin >> grade03 >> stopOnReadError;

    const float weightedAverage = computeWeightedAverage(grade01, grade02, grade03);
    conceptLetter = classifyConcept(weightedAverage);

    std::cout << std::endl << std::endl;
    std::cout << "- Matr\355cula do aluno: " << id << std::endl << std::endl;
    std::cout << "- Nota 01: " << grade01 << std::endl << std::endl;
    std::cout << "- Nota 02: " << grade02 << std::endl << std::endl;
    std::cout << "- Nota 03: " << grade03 << std::endl << std::endl;
    std::cout << "- M\351dia ponderada das notas: " << weightedAverage << std::endl << std::endl;
    std::cout << "- Conceito: " << conceptLetter << std::endl << std::endl;
    if (isApproved(conceptLetter)) {
        std::cout << "- Defini\347\343o: APROVADO!" << std::endl << std::endl;
    } else {
        std::cout << "Defini\347\343o: REPROVADO!" << std::endl << std::endl;
    }

    if (!std::cout) {
        std::cerr << "boletim: n\343o foi poss\355vel escrever a sa\355da.\n";
        return 1;
    }
    // Started by a double click, its window closes when it ends: the report is read first.
    if (startedOwnConsole()) {
        waitForEnter("Tecle Enter para fechar.");
    }
    return 0;
} catch (const std::exception&) {
    std::cerr << "boletim: n\343o foi poss\355vel concluir a execu\347\343o"
                 " (mem\363ria insuficiente ou erro de leitura).\n";
    return 1;
}
