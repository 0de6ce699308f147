// The output file on a POSIX system: mkstemps, fsync, fchmod, rename, and signal handlers
// that remove the temporary file of a run that is interrupted.
#include "platform/output_file.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct OutputFile::State {
    std::string destination;   // where the table goes, its links followed
    std::string temporaryName; // made for the table alone; empty where written in place
    bool inPlace = false;      // a device, a FIFO, /dev/stdout: written as it comes
    // A file that cannot be replaced: one with other names (hard links), which a new file
    // would part from them, or one in a folder where no file can be made. The table is made
    // whole apart first, then copied into it, as sort -o writes its output.
    bool copiedIn = false;
    bool libraryWrites = false; // the temporary file, by name
    std::FILE* stream = nullptr;
    int descriptor = -1; // of the temporary file, or of the destination written in place
};

namespace {

constexpr int linksFollowed = 40; // as the kernel does, before ELOOP

// What a signal handler may read: the name of the temporary file to remove, if any. The
// one state of the program's own outside main, since a handler has no other way in.
std::array<char, 4096> pendingName{};
volatile std::sig_atomic_t namePending = 0;
constexpr std::array<int, 4> interruptions{SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void removeAndDie(int signal)
{
    if (namePending != 0) {
        unlink(pendingName.data());
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void removeOnInterruption(const std::string& name)
{
    if (name.size() >= pendingName.size()) {
        return; // too long to keep; a name the system takes is never so long
    }
    std::memcpy(pendingName.data(), name.c_str(), name.size() + 1);
    namePending = 1;
    struct sigaction action {};
    action.sa_handler = removeAndDie;
    sigemptyset(&action.sa_mask);
    for (const int signal : interruptions) {
        struct sigaction previous {};
        // A signal ignored when the program started (nohup) stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
}

void forgetTemporary()
{
    namePending = 0;
}

std::string systemError()
{
    return std::strerror(errno);
}

std::string folderOf(const std::string& name)
{
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
}

// name with its symbolic links followed, where they lead; the links themselves stay.
// False, with errno ELOOP, where they lead round in a loop or too far.
bool followLinks(std::string& name)
{
    for (int link = 0; link <= linksFollowed; ++link) {
        struct stat status {};
        if (lstat(name.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return true;
        }
        if (link == linksFollowed) {
            errno = ELOOP;
            return false;
        }
        std::array<char, 4096> target{};
        const ssize_t length = readlink(name.c_str(), target.data(), target.size() - 1);
        if (length <= 0) {
            return true;
        }
        const std::string pointed(target.data(), static_cast<std::size_t>(length));
        if (pointed.front() == '/') {
            name = pointed;
        } else {
            name = folderOf(name).append(1, '/').append(pointed);
        }
    }
    return true;
}

// Whatever lies under /dev or /proc (/dev/stdout, /dev/null, /dev/fd/3) is written in place,
// by the name given: its links lead to open files, not to names.
bool isSystemName(std::string_view name)
{
    return name.starts_with("/dev/") || name.starts_with("/proc/");
}

// Written in place: any existing file that is not a regular one.
bool writtenInPlace(const std::string& destination)
{
    struct stat status {};
    return stat(destination.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

// A regular file with other names, which renaming a new one over it would part from them.
bool hasOtherNames(const std::string& destination)
{
    struct stat status {};
    return stat(destination.c_str(), &status) == 0 && status.st_nlink > 1;
}

// An existing file this process may write, in a folder where it may make no file; errno
// stays why no file could be made there.
bool writableInClosedFolder(const std::string& destination)
{
    const int why = errno;
    const bool closed = why == EACCES || why == EPERM || why == EROFS;
    const bool writable = closed && access(destination.c_str(), W_OK) == 0;
    errno = why;
    return writable;
}

std::string baseName(const std::string& name)
{
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// A new file only this process can read, in folder: .NAME.XXXXXX.tmp; -1 where it cannot.
int makeTemporary(const std::string& folder, const std::string& name, std::string& made)
{
    made = folder + "/." + baseName(name) + ".XXXXXX.tmp";
    constexpr int suffix = 4; // ".tmp"
    return mkstemps(made.data(), suffix);
}

std::string temporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

bool streamOf(OutputFile::State& state)
{
    state.stream = fdopen(state.descriptor, "wb");
    if (state.stream == nullptr) {
        close(state.descriptor);
    }
    return state.stream != nullptr;
}

bool openInPlace(OutputFile::State& state)
{
    state.descriptor = open(state.destination.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    return state.descriptor >= 0 && streamOf(state);
}

bool openBeside(OutputFile::State& state, const std::string& folder)
{
    state.descriptor = makeTemporary(folder, state.destination, state.temporaryName);
    if (state.descriptor < 0) {
        state.temporaryName.clear();
        return false;
    }
    removeOnInterruption(state.temporaryName);
    return streamOf(state);
}

// The permissions an existing destination has, or those a new file gets under the umask;
// for the superuser, its owner and group too.
bool takePermissions(const OutputFile::State& state)
{
    struct stat status {};
    if (stat(state.destination.c_str(), &status) != 0) {
        const mode_t mask = umask(0);
        umask(mask);
        return fchmod(state.descriptor, static_cast<mode_t>(0666U & ~mask)) == 0;
    }
    const bool owned =
        geteuid() != 0 || fchown(state.descriptor, status.st_uid, status.st_gid) == 0;
    return owned && fchmod(state.descriptor, status.st_mode & 07777U) == 0;
}

// Makes the rename itself last: the folder's entry on disk too.
void syncFolder(const std::string& name)
{
    const int folder = open(folderOf(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

// A device or a FIFO takes no fsync; that is no failure.
bool synced(int descriptor)
{
    return fsync(descriptor) == 0 || errno == EINVAL || errno == EROFS || errno == ENOTSUP;
}

// The table made apart, copied into the destination written in place.
bool copyTemporaryIn(OutputFile::State& state)
{
    const int source = open(state.temporaryName.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        return false;
    }
    std::array<char, std::size_t{64} << 10U> block{};
    ssize_t read = 0;
    bool written = true;
    while (written && (read = ::read(source, block.data(), block.size())) > 0) {
        written = std::fwrite(block.data(), 1, static_cast<std::size_t>(read), state.stream) ==
                  static_cast<std::size_t>(read);
    }
    close(source);
    return written && read == 0;
}

bool commitInPlace(OutputFile::State& state)
{
    const bool copied = !state.libraryWrites || copyTemporaryIn(state);
    const bool flushed = copied && std::fflush(state.stream) == 0 &&
                         std::ferror(state.stream) == 0 && synced(state.descriptor);
    const bool closed = std::fclose(std::exchange(state.stream, nullptr)) == 0;
    return flushed && closed;
}

// The table made whole apart, then copied into the file, whose inode, names and
// permissions stay as they were.
bool commitCopiedIn(OutputFile::State& state)
{
    const bool flushed = std::fflush(state.stream) == 0 && std::ferror(state.stream) == 0;
    const bool closed = std::fclose(std::exchange(state.stream, nullptr)) == 0;
    if (!flushed || !closed) {
        return false;
    }
    state.descriptor = open(state.destination.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (state.descriptor < 0 || !streamOf(state)) {
        return false;
    }
    state.libraryWrites = true; // what to copy in is the temporary file, however written
    return commitInPlace(state);
}

bool commitBeside(OutputFile::State& state)
{
    const bool flushed = std::fflush(state.stream) == 0 && std::ferror(state.stream) == 0 &&
                         synced(state.descriptor) && takePermissions(state);
    const bool closed = std::fclose(std::exchange(state.stream, nullptr)) == 0;
    if (!flushed || !closed ||
        rename(state.temporaryName.c_str(), state.destination.c_str()) != 0) {
        return false;
    }
    state.temporaryName.clear();
    forgetTemporary();
    syncFolder(state.destination);
    return true;
}

} // namespace

OutputFile::OutputFile() : state_(std::make_unique<State>()) {}

OutputFile::~OutputFile()
{
    abandon();
}

bool OutputFile::open(const std::string& name, std::string& problem)
{
    State& state = *state_;
    state = State{};
    state.destination = name;
    errno = 0;
    bool opened = isSystemName(name) || followLinks(state.destination);
    state.inPlace = opened && (isSystemName(name) || writtenInPlace(state.destination));
    if (state.inPlace) {
        opened = openInPlace(state);
    } else if (opened) {
        state.copiedIn = hasOtherNames(state.destination);
        opened = openBeside(state, folderOf(state.destination));
        if (!opened && writableInClosedFolder(state.destination)) {
            state.copiedIn = true;
            opened = openBeside(state, temporaryFolder());
        }
    }
    if (!opened) {
        problem = systemError();
        abandon();
    }
    return opened;
}

std::FILE* OutputFile::stream() const
{
    return state_->stream;
}

std::string OutputFile::nameForLibrary()
{
    // Written in place, the table is made whole apart first, then copied in.
    if (state_->inPlace && state_->temporaryName.empty()) {
        const int made = makeTemporary(temporaryFolder(), "boletim-turma", state_->temporaryName);
        if (made < 0) {
            state_->temporaryName.clear();
            return {};
        }
        close(made);
        removeOnInterruption(state_->temporaryName);
    }
    state_->libraryWrites = true;
    return state_->temporaryName;
}

bool OutputFile::commit(std::string& problem)
{
    errno = 0;
    const bool committed = state_->inPlace    ? commitInPlace(*state_)
                           : state_->copiedIn ? commitCopiedIn(*state_)
                                              : commitBeside(*state_);
    if (!committed) {
        problem = systemError();
    }
    abandon();
    return committed;
}

void OutputFile::abandon()
{
    if (state_->stream != nullptr) {
        std::fclose(std::exchange(state_->stream, nullptr));
    }
    if (!state_->temporaryName.empty()) {
        unlink(state_->temporaryName.c_str());
        state_->temporaryName.clear();
    }
    state_->libraryWrites = false;
    forgetTemporary();
}

bool closeStandardOutput()
{
    const bool failed = std::ferror(stdout) != 0;
    errno = 0;
    const bool closeFailed = std::fclose(stdout) != 0;
    return !failed && (!closeFailed || errno == EBADF);
}
