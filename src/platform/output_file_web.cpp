// The output file in the page: its files live in the page's memory, where no one else can
// see a file half written and nothing can interrupt a run, so the table is written in place
// and removed where the run fails.
#include "platform/output_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

struct OutputFile::State {
    std::string name;
    std::FILE* stream = nullptr;
    bool written = false; // by the library, by name, or through stream
};

OutputFile::OutputFile() : state_(std::make_unique<State>()) {}

OutputFile::~OutputFile()
{
    abandon();
}

bool OutputFile::open(const std::string& name, std::string& problem)
{
    state_->name = name;
    errno = 0;
    state_->stream = std::fopen(name.c_str(), "wb");
    if (state_->stream == nullptr) {
        problem = std::strerror(errno);
        return false;
    }
    state_->written = true;
    return true;
}

std::FILE* OutputFile::stream() const
{
    return state_->stream;
}

std::string OutputFile::nameForLibrary()
{
    if (state_->stream != nullptr) {
        std::fclose(std::exchange(state_->stream, nullptr));
    }
    return state_->name;
}

bool OutputFile::commit(std::string& problem)
{
    errno = 0;
    const bool closed =
        state_->stream == nullptr || std::fclose(std::exchange(state_->stream, nullptr)) == 0;
    if (!closed) {
        problem = std::strerror(errno);
        abandon();
        return false;
    }
    state_->written = false;
    return true;
}

void OutputFile::abandon()
{
    if (state_->stream != nullptr) {
        std::fclose(std::exchange(state_->stream, nullptr));
    }
    if (std::exchange(state_->written, false)) {
        std::remove(state_->name.c_str());
    }
}

bool closeStandardOutput()
{
    const bool failed = std::ferror(stdout) != 0;
    return std::fclose(stdout) == 0 && !failed;
}
