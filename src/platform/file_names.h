#ifndef BOLETIM_FILE_NAMES_H
#define BOLETIM_FILE_NAMES_H

#include <string>

// File names as programArguments gives them: their parts, as the system reads names, and
// whether two of them name one file. file_names.cpp implements them with std::filesystem;
// file_names_web.cpp for the page, whose C++ library has no std::filesystem.

// The name without its folder and extension: "turma" for "aulas/turma.xlsx".
std::string fileStem(const std::string& name);

// The extension, with its dot: ".xlsx" for "aulas/turma.xlsx"; empty where there is none.
std::string fileExtension(const std::string& name);

// otherName in name's folder: "aulas/x.csv" for "aulas/turma.xlsx" and "x.csv".
std::string nameBeside(const std::string& name, const std::string& otherName);

// Whether both names lead to one existing file.
bool sameFile(const std::string& first, const std::string& second);

#endif
