#ifndef BOLETIM_GRADING_H
#define BOLETIM_GRADING_H

#include <string>
#include <string_view>

// Weighted mean of three grades with weights 1, 2 and 3, every step in single precision.
float computeWeightedAverage(float grade01, float grade02, float grade03);

// Concept letter "A" to "E" for a weighted mean; each bound belongs to the higher letter.
std::string classifyConcept(float weightedAverage);

// Only "A", "B" and "C" pass.
bool isApproved(std::string_view conceptLetter);

#endif
