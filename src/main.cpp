// Asks for a student's identification and three grades, and prints the weighted mean,
// the concept letter and the verdict. Every fixed text is ISO-8859-1; the accented
// letters are written as escapes, split off where a hex digit follows ("\xED" "cula").
#include <cfenv>
#include <clocale>
#include <exception>
#include <iostream>
#include <string>

#include "grading.h"

int main()
try {
    std::setlocale(LC_ALL, "Portuguese");
    // A fast-math build links startup code that flushes subnormal results to zero;
    // the default environment brings back the arithmetic the mean is defined with.
    std::fesetenv(FE_DFL_ENV);
    // With the streams' own buffers a long identification is read quickly, and a read
    // error raises badbit instead of passing for the end of the input.
    std::ios_base::sync_with_stdio(false);
    // Without this, running out of memory on an enormous identification would only set
    // badbit: the stream keeps what it had read and the report would show wrong data.
    std::cin.exceptions(std::ios_base::badbit);

    std::string id;
    std::string conceptLetter;
    // A read skipped after a failed read or the end of input leaves these as they are.
    float grade01 = 0.0f;
    float grade02 = 0.0f;
    float grade03 = 0.0f;

    std::cout << "Informe o n\xFAmero de identifica\xE7\xE3o: " << std::flush;
    std::cin >> id;
    std::cout << "Informe o valor da primeira nota: " << std::flush;
    std::cin >> grade01;
    std::cout << "Informe o valor da segunda nota: " << std::flush;
    std::cin >> grade02;
    std::cout << "Informe o valor da terceira nota: " << std::flush;
    std::cin >> grade03;

    const float weightedAverage = computeWeightedAverage(grade01, grade02, grade03);
    conceptLetter = classifyConcept(weightedAverage);

    std::cout << std::endl << std::endl;
    std::cout << "- Matr\xED" "cula do aluno: " << id << std::endl << std::endl;
    std::cout << "- Nota 01: " << grade01 << std::endl << std::endl;
    std::cout << "- Nota 02: " << grade02 << std::endl << std::endl;
    std::cout << "- Nota 03: " << grade03 << std::endl << std::endl;
    std::cout << "- M\xE9" "dia ponderada das notas: " << weightedAverage << std::endl << std::endl;
    std::cout << "- Conceito: " << conceptLetter << std::endl << std::endl;
    if (isApproved(conceptLetter)) {
        std::cout << "- Defini\xE7\xE3o: APROVADO!" << std::endl << std::endl;
    } else {
        std::cout << "Defini\xE7\xE3o: REPROVADO!" << std::endl << std::endl;
    }

    if (!std::cout) {
        std::cerr << "boletim: n\xE3o foi poss\xEDvel escrever a sa\xED" "da.\n";
        return 1;
    }
    return 0;
} catch (const std::exception&) {
    std::cerr << "boletim: n\xE3o foi poss\xEDvel concluir a execu\xE7\xE3o"
                 " (mem\xF3ria insuficiente ou erro de leitura).\n";
    return 1;
}
