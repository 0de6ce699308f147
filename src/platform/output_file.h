#ifndef BOLETIM_OUTPUT_FILE_H
#define BOLETIM_OUTPUT_FILE_H

#include <cstdio>
#include <memory>
#include <string>

// The file -o names, written as careful tools write a file of personal records:
// - the table goes to a temporary file created for it alone beside the file, flushed to
//   disk and then renamed over it, so that a run that fails or is killed leaves the file as
//   it was, and no temporary file;
// - an existing file keeps its permissions (and, for the superuser, its owner and group);
//   a new one gets what the umask gives any new file;
// - a symbolic link stays a link, and the file it points to gets the table;
// - a device, a FIFO or /dev/stdout is written in place, not replaced.
// One unit per platform implements it.
class OutputFile {
  public:
    OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile(OutputFile&&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile& operator=(OutputFile&&) = delete;
    ~OutputFile(); // abandons what was not committed

    // Starts writing the file name; false, with why in the system's words, where it cannot.
    bool open(const std::string& name, std::string& problem);

    // Where the table's bytes go.
    [[nodiscard]] std::FILE* stream() const;

    // The name of a file made for the table alone, for a library that writes the table
    // itself, by name, in place of stream; its bytes then go where stream's would. Empty
    // where no such file can be made.
    std::string nameForLibrary();

    // Puts what was written in its place; false, with why, where that failed, and the
    // file is left as it was.
    bool commit(std::string& problem);

    // Leaves the file as it was, and no temporary file.
    void abandon();

    struct State;

  private:
    std::unique_ptr<State> state_;
};

// Closes standard output, as the end of a program must to know that all it wrote got
// there; false where something did not. Nothing written to a closed one is no failure.
bool closeStandardOutput();

#endif
