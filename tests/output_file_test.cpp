// The output file as careful tools write one, on a POSIX system: what the file, a link to
// it, a FIFO or a device is after the table is committed, or abandoned.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/output_file.h"

namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& file)
{
    std::ifstream input(file, std::ios::binary);
    std::stringstream read;
    read << input.rdbuf();
    return read.str();
}

void writeFile(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

unsigned modeOf(const fs::path& file)
{
    struct stat status {};
    stat(file.c_str(), &status);
    return status.st_mode & 07777U;
}

std::size_t filesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// Leaves file with text and mode, or no file where mode is 0.
void prepare(const fs::path& file, const std::string& text, unsigned mode)
{
    fs::remove(file);
    if (mode != 0) {
        writeFile(file, text);
        chmod(file.c_str(), mode);
    }
}

// What a reader of a FIFO gets at once, up to 16 bytes.
std::string readNow(int reader)
{
    std::array<char, 16> read{};
    const ssize_t length = ::read(reader, read.data(), read.size());
    return length > 0 ? std::string(read.data(), static_cast<std::size_t>(length)) : "";
}

class OutputFileTest : public testing::Test {
  protected:
    void SetUp() override
    {
        std::array<char, 32> name{"/tmp/output-file-XXXXXX"};
        folder_ = mkdtemp(name.data());
        previousMask_ = umask(022);
    }
    void TearDown() override
    {
        umask(previousMask_);
        fs::remove_all(folder_);
    }

    // Writes text to name, by the stream or, for a library, by name; commits or abandons.
    static bool write(const std::string& name, const std::string& text, bool byName, bool keep)
    {
        OutputFile file;
        std::string problem;
        EXPECT_TRUE(file.open(name, problem)) << problem;
        if (byName) {
            writeFile(file.nameForLibrary(), text);
        } else {
            std::fputs(text.c_str(), file.stream());
        }
        if (!keep) {
            file.abandon();
            return false;
        }
        return file.commit(problem);
    }

    fs::path folder_;
    mode_t previousMask_ = 0;
};

// An existing file keeps its mode; a new one gets the umask's; either gets the table,
// written by the stream or by a library, and no temporary file is left beside it.
TEST_F(OutputFileTest, AFileGetsTheTableAndKeepsItsMode)
{
    struct Case {
        unsigned existingMode; // 0: none
        bool byName;
        unsigned mode;
    };
    for (const Case each : {Case{0600, false, 0600}, Case{0640, true, 0640}, Case{0, false, 0644},
                            Case{0, true, 0644}}) {
        const fs::path file = folder_ / "boletins.csv";
        prepare(file, "old", each.existingMode);
        EXPECT_TRUE(write(file, "table", each.byName, true));
        EXPECT_EQ(contentOf(file), "table");
        EXPECT_EQ(modeOf(file), each.mode) << std::oct << each.existingMode;
        EXPECT_EQ(filesIn(folder_), 1U);
    }
}

// A run that fails leaves the file as it was, and nothing else.
TEST_F(OutputFileTest, AbandonedTheFileIsAsItWas)
{
    const fs::path file = folder_ / "boletins.xlsx";
    writeFile(file, "old");
    for (const bool byName : {false, true}) {
        write(file, "table", byName, false);
        EXPECT_EQ(contentOf(file), "old");
        EXPECT_EQ(filesIn(folder_), 1U);
    }
}

// A symbolic link stays a link, and the file it points to gets the table.
TEST_F(OutputFileTest, ALinkStaysALink)
{
    fs::create_directory(folder_ / "real");
    writeFile(folder_ / "real" / "notas.csv", "old");
    fs::create_symlink("real/notas.csv", folder_ / "link.csv");
    EXPECT_TRUE(write(folder_ / "link.csv", "table", false, true));
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.csv"));
    EXPECT_EQ(contentOf(folder_ / "real" / "notas.csv"), "table");
    EXPECT_EQ(filesIn(folder_ / "real"), 1U);
}

// A FIFO or a device is written in place, not replaced.
TEST_F(OutputFileTest, AFifoIsWrittenInPlace)
{
    const fs::path fifo = folder_ / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const bool byName : {false, true}) {
        const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        EXPECT_TRUE(write(fifo, "table", byName, true));
        EXPECT_EQ(readNow(reader), "table");
        close(reader);
        EXPECT_TRUE(fs::is_fifo(fifo));
    }
}

TEST_F(OutputFileTest, ADeviceIsWrittenInPlace)
{
    EXPECT_TRUE(write("/dev/null", "table", true, true));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// A file that cannot be made says why: a missing folder, links in a loop.
TEST_F(OutputFileTest, AFileThatCannotBeMadeSaysWhy)
{
    fs::create_symlink("dois.csv", folder_ / "um.csv");
    fs::create_symlink("um.csv", folder_ / "dois.csv");
    for (const fs::path& name : {folder_ / "none" / "boletins.csv", folder_ / "um.csv"}) {
        OutputFile file;
        std::string problem;
        EXPECT_FALSE(file.open(name.string(), problem)) << name;
        EXPECT_FALSE(problem.empty());
        EXPECT_TRUE(fs::is_symlink(folder_ / "um.csv"));
    }
}

// A file with other names gets the table in place, once it is whole: every name still
// names it, with the table, or, abandoned, as it was.
TEST_F(OutputFileTest, AFileWithOtherNamesKeepsThem)
{
    const fs::path file = folder_ / "boletins.csv";
    const fs::path other = folder_ / "copia.csv";
    for (const auto& [byName, keep] : {std::pair{false, false}, std::pair{false, true},
                                       std::pair{true, false}, std::pair{true, true}}) {
        prepare(file, "old", 0600);
        fs::remove(other);
        fs::create_hard_link(file, other);
        write(file, "table", byName, keep);
        EXPECT_EQ(contentOf(other), keep ? "table" : "old") << byName;
        EXPECT_EQ(fs::hard_link_count(file), 2U);
        EXPECT_EQ(filesIn(folder_), 2U);
    }
}

constexpr uid_t nobody = 65534;

// Writes the table to file as nobody where this process is root, who writes anywhere;
// whether it was written. Not in a child process: under an emulator, a forked child of
// a threaded emulator may hang.
bool writtenAsNobody(const fs::path& file)
{
    const bool root = geteuid() == 0;
    if (root && seteuid(nobody) != 0) {
        return false;
    }
    OutputFile output;
    std::string problem;
    const bool written = output.open(file.string(), problem) &&
                         std::fputs("table", output.stream()) >= 0 && output.commit(problem);
    const bool back = !root || seteuid(0) == 0;
    return written && back;
}

// A file that may be written, in a folder where no file can be made, gets the table in
// place, once it is whole.
TEST_F(OutputFileTest, AWritableFileInAClosedFolderIsWritten)
{
    const fs::path closed = folder_ / "fechada";
    fs::create_directory(closed);
    writeFile(closed / "boletins.csv", "old");
    chown(closed.c_str(), nobody, nobody);
    chown((closed / "boletins.csv").c_str(), nobody, nobody);
    chmod(folder_.c_str(), 0755);
    chmod(closed.c_str(), 0555);
    EXPECT_TRUE(writtenAsNobody(closed / "boletins.csv"));
    EXPECT_EQ(contentOf(closed / "boletins.csv"), "table");
    EXPECT_EQ(filesIn(closed), 1U);
}

} // namespace
