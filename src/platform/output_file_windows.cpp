// The output file on Windows: a temporary file made with CREATE_NEW beside the file,
// flushed with FlushFileBuffers, then put in its place with ReplaceFileW, which keeps
// the file's attributes and permissions, or MoveFileExW for a new one; a device (NUL,
// CON) is written in place; Ctrl+C removes the temporary files. libxlsxwriter opens files
// by the ANSI code page, so a workbook is made apart under a short name and copied in.
#include "platform/output_file.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <random>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/platform.h"
#include "platform/windows_text.h"

struct OutputFile::State {
    std::wstring destination;
    std::wstring temporary; // beside it; empty where written in place
    std::wstring libraryFile;
    bool inPlace = false;
    std::FILE* stream = nullptr;
};

namespace {

// What a console's Ctrl+C handler may read: the temporary files to remove. The one state
// of the program's own outside main, since the handler has no other way in.
std::array<std::array<wchar_t, 32768>, 2> pending{};
volatile LONG namesPending = 0;

BOOL WINAPI removeOnInterruption(DWORD /*event*/)
{
    if (namesPending != 0) {
        for (const auto& name : pending) {
            DeleteFileW(name.data());
        }
    }
    return FALSE; // and the program ends, as it would have
}

void keepPending(std::size_t slot, const std::wstring& name)
{
    if (name.size() < pending.at(slot).size()) {
        name.copy(pending.at(slot).data(), name.size());
        pending.at(slot).at(name.size()) = L'\0';
        InterlockedExchange(&namesPending, 1);
        SetConsoleCtrlHandler(removeOnInterruption, TRUE);
    }
}

// The system's words for an error, in the user's language.
std::string systemError(DWORD error)
{
    std::array<wchar_t, 512> text{};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::wstring_view said(text.data(), length);
    while (!said.empty() && (said.back() == L'\n' || said.back() == L'\r' || said.back() == L'.')) {
        said.remove_suffix(1);
    }
    return narrow(said, CP_UTF8);
}

std::string problemOf(DWORD error)
{
    const bool heldOpen = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_USER_MAPPED_FILE ||
                          error == ERROR_UNABLE_TO_REMOVE_REPLACED;
    return heldOpen ? "o arquivo est\u00e1 aberto em outro programa (numa planilha?); feche-o e "
                      "tente de novo"
                    : systemError(error);
}

std::wstring folderOf(const std::wstring& name)
{
    const std::size_t slash = name.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? L"."
                                       : name.substr(0, slash + (name[slash] == L':' ? 1 : 0));
}

std::wstring baseName(const std::wstring& name)
{
    const std::size_t slash = name.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

// A new file in folder that no other has: CREATE_NEW fails where the name is taken.
HANDLE makeTemporary(const std::wstring& folder, const std::wstring& name, std::wstring& made)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        made = folder + L"\\." + name + L"." + std::to_wstring(random()) + L".tmp";
        const HANDLE file = CreateFileW(made.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// name in full, from the drive or share: ReplaceFileW takes no other (wine's, at least).
std::wstring fullName(const std::wstring& name)
{
    const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(name.c_str(), length, full.data(), nullptr);
    full.resize(written);
    return written == 0 ? name : full;
}

// A device, as NUL or CON, or any file that is not on a disk, is written where it is.
bool isDevice(const std::wstring& name)
{
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool device = GetFileType(file) != FILE_TYPE_DISK;
    CloseHandle(file);
    return device;
}

std::FILE* streamOf(HANDLE file)
{
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    return descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
}

bool copyIn(const std::wstring& from, std::FILE* stream)
{
    std::FILE* source = _wfopen(from.c_str(), L"rb");
    if (source == nullptr) {
        return false;
    }
    std::array<char, std::size_t{64} << 10U> block{};
    bool written = true;
    for (std::size_t read = 0;
         written && (read = std::fread(block.data(), 1, block.size(), source)) > 0;) {
        written = std::fwrite(block.data(), 1, read, stream) == read;
    }
    const bool whole = written && std::ferror(source) == 0;
    std::fclose(source);
    return whole;
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
    state.inPlace = isDevice(wide(name));
    state.destination = state.inPlace ? wide(name) : fullName(wide(name));
    HANDLE file = state.inPlace ? CreateFileW(state.destination.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                : makeTemporary(folderOf(state.destination),
                                                baseName(state.destination), state.temporary);
    if (file == INVALID_HANDLE_VALUE) {
        problem = problemOf(GetLastError());
        state.temporary.clear();
        return false;
    }
    if (!state.inPlace) {
        keepPending(0, state.temporary);
    }
    state.stream = streamOf(file);
    if (state.stream == nullptr) {
        CloseHandle(file);
        problem = systemError(ERROR_INVALID_HANDLE);
        abandon();
        return false;
    }
    return true;
}

std::FILE* OutputFile::stream() const
{
    return state_->stream;
}

std::string OutputFile::nameForLibrary()
{
    State& state = *state_;
    const std::wstring folder = wide(temporaryFolderForLibraries());
    const HANDLE file =
        makeTemporary(folder.empty() ? L"." : folder, L"boletim", state.libraryFile);
    if (file == INVALID_HANDLE_VALUE) {
        state.libraryFile.clear();
        return {};
    }
    CloseHandle(file);
    keepPending(1, state.libraryFile);
    return narrow(state.libraryFile, CP_ACP);
}

bool OutputFile::commit(std::string& problem)
{
    State& state = *state_;
    const bool copied = state.libraryFile.empty() || copyIn(state.libraryFile, state.stream);
    const HANDLE file = reinterpret_cast<HANDLE>(
        _get_osfhandle(_fileno(state.stream))); // NOLINT(performance-no-int-to-ptr)
    const bool flushed = copied && std::fflush(state.stream) == 0 &&
                         std::ferror(state.stream) == 0 &&
                         (FlushFileBuffers(file) != 0 || state.inPlace);
    const DWORD writeError = flushed ? 0 : GetLastError();
    const bool closed = std::fclose(std::exchange(state.stream, nullptr)) == 0;
    if (!flushed || !closed) {
        problem = writeError != 0 ? problemOf(writeError) : std::string(std::strerror(errno));
        abandon();
        return false;
    }
    if (!state.inPlace) {
        // ReplaceFileW keeps the file's attributes and permissions; a new file is moved in.
        const bool exists =
            GetFileAttributesW(state.destination.c_str()) != INVALID_FILE_ATTRIBUTES;
        const bool replaced =
            exists ? ReplaceFileW(state.destination.c_str(), state.temporary.c_str(), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                   : MoveFileExW(state.temporary.c_str(), state.destination.c_str(),
                                 MOVEFILE_WRITE_THROUGH) != 0;
        if (!replaced) {
            problem = problemOf(GetLastError());
            abandon();
            return false;
        }
        state.temporary.clear();
    }
    abandon();
    return true;
}

void OutputFile::abandon()
{
    State& state = *state_;
    if (state.stream != nullptr) {
        std::fclose(std::exchange(state.stream, nullptr));
    }
    for (std::wstring* name : {&state.temporary, &state.libraryFile}) {
        if (!name->empty()) {
            DeleteFileW(name->c_str());
            name->clear();
        }
    }
    InterlockedExchange(&namesPending, 0);
}

bool closeStandardOutput()
{
    const bool failed = std::ferror(stdout) != 0;
    errno = 0;
    const bool closeFailed = std::fclose(stdout) != 0;
    return !failed && (!closeFailed || errno == EBADF);
}
