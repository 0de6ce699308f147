// File names taken apart as the programs need them: the title from the file's name, the
// workbook named beside a dropped class, an output that is the input. Built once with each
// implementation, so that the page's hand-made one cannot drift from std::filesystem's.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_names.h"

namespace {

struct NameCase {
    const char* name;
    const char* stem;
    const char* extension;
    const char* beside; // "x.csv" in name's folder
};

const std::vector<NameCase> nameCases{
    {"turma.xlsx", "turma", ".xlsx", "x.csv"},
    {"aulas/turma.xlsx", "turma", ".xlsx", "aulas/x.csv"},
    {"/home/ana/2026/8A.ods", "8A", ".ods", "/home/ana/2026/x.csv"},
    {"turma.final.CSV", "turma.final", ".CSV", "x.csv"},
    {"turma", "turma", "", "x.csv"},
    {"turma.", "turma", ".", "x.csv"},
    {".turma", ".turma", "", "x.csv"},
    {"..", "..", "", "x.csv"},
    {"aulas.2026/turma", "turma", "", "aulas.2026/x.csv"},
    {"-turma.csv", "-turma", ".csv", "x.csv"},
    {"Turma do Máximo.xlsx", "Turma do Máximo", ".xlsx", "x.csv"},
};

// The folder joined to the other name with the system's own separator: '\\' on Windows.
std::string joinedAsTheSystemJoins(std::string beside)
{
    const std::size_t join = beside.rfind('/');
    if (join != std::string::npos) {
        beside[join] = static_cast<char>(std::filesystem::path::preferred_separator);
    }
    return beside;
}

TEST(FileNames, PartsAsTheSystemReadsThem)
{
    for (const NameCase& row : nameCases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(fileStem(row.name), row.stem);
        EXPECT_EQ(fileExtension(row.name), row.extension);
        EXPECT_EQ(nameBeside(row.name, "x.csv"), joinedAsTheSystemJoins(row.beside));
    }
}

TEST(FileNames, SameFileByAnyNameThatLeadsToIt)
{
    namespace fs = std::filesystem;
    // In the build's test folder, named after the implementation: each test binary has its own.
    const fs::path folder = fs::absolute(std::string("file_names_") + TEST_IMPLEMENTATION);
    fs::remove_all(folder);
    fs::create_directories(folder / "aulas");
    std::ofstream(folder / "aulas/turma.csv") << "Nome;N1;N2;N3\n";
    std::ofstream(folder / "outra.csv") << "Nome;N1;N2;N3\n";
    fs::create_hard_link(folder / "aulas/turma.csv", folder / "ligada.csv");
    const std::string aulas = (folder / "aulas").string();
    struct SameCase {
        std::string first, second;
        bool same;
    };
    const std::vector<SameCase> cases{
        {aulas + "/turma.csv", aulas + "/turma.csv", true},
        {aulas + "/turma.csv", aulas + "/../aulas/./turma.csv", true},
        {aulas + "/turma.csv", (folder / "ligada.csv").string(), true},
        {aulas + "/turma.csv", (folder / "outra.csv").string(), false},
        {aulas + "/turma.csv", aulas + "/nova.xlsx", false},
        {aulas + "/nova.xlsx", aulas + "/nova.xlsx", false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.first + " / " + row.second);
        EXPECT_EQ(sameFile(row.first, row.second), row.same);
    }
    fs::remove_all(folder);
}

} // namespace
