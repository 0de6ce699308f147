// The programs on Windows: standard streams that are not a console are binary; a console
// is written and read as characters, through its wide API, without changing its code
// page, which the shell it belongs to keeps; arguments and file names are UTF-16, made
// UTF-8 inside; messages are UTF-8 where they do not go to a console.
#include "platform/platform.h"

#include <array>
#include <iostream>
#include <streambuf>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/windows_text.h"

namespace {

HANDLE handleOf(std::FILE* stream)
{
    return reinterpret_cast<HANDLE>(
        _get_osfhandle(_fileno(stream))); // NOLINT(performance-no-int-to-ptr)
}

bool isConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool writeConsole(HANDLE console, std::wstring_view text)
{
    while (!text.empty()) {
        DWORD written = 0;
        const auto part = static_cast<DWORD>(std::min<std::size_t>(text.size(), 8192));
        if (WriteConsoleW(console, text.data(), part, &written, nullptr) == 0 || written == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

// ISO-8859-1 bytes, each the character of the same number, out to a console.
class Latin1ConsoleOutput final : public std::streambuf {
  public:
    explicit Latin1ConsoleOutput(HANDLE console) : console_(console) {}

  protected:
    int_type overflow(int_type character) override
    {
        if (!traits_type::eq_int_type(character, traits_type::eof())) {
            pending_ += static_cast<wchar_t>(
                static_cast<unsigned char>(traits_type::to_char_type(character)));
        }
        return pending_.size() < 4096 || sync() == 0 ? traits_type::not_eof(character)
                                                     : traits_type::eof();
    }
    int sync() override
    {
        const bool written = writeConsole(console_, pending_);
        pending_.clear();
        return written ? 0 : -1;
    }

  private:
    HANDLE console_;
    std::wstring pending_;
};

// What is typed at a console, a line at a time, as ISO-8859-1 bytes; a character that
// has none is '?'. Ctrl+Z at a line's start ends the input, as the console means it.
class Latin1ConsoleInput final : public std::streambuf {
  public:
    explicit Latin1ConsoleInput(HANDLE console) : console_(console) {}

  protected:
    int_type underflow() override
    {
        std::array<wchar_t, 4096> typed{};
        DWORD read = 0;
        if (ReadConsoleW(console_, typed.data(), static_cast<DWORD>(typed.size()), &read,
                         nullptr) == 0 ||
            read == 0 || typed[0] == L'\x1a') {
            return traits_type::eof();
        }
        line_.clear();
        for (DWORD i = 0; i < read; ++i) {
            line_ += typed.at(i) <= 0xFF ? static_cast<char>(typed.at(i)) : '?';
        }
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(line_.front());
    }

  private:
    HANDLE console_;
    std::string line_;
};

} // namespace

std::wstring wide(std::string_view utf8)
{
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                        length);
    return text;
}

std::string narrow(std::wstring_view text, UINT codePage)
{
    const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

void startStandardStreams()
{
    for (std::FILE* stream : {stdin, stdout, stderr}) {
        if (!isConsole(handleOf(stream))) {
            _setmode(_fileno(stream), _O_BINARY);
        }
    }
}

void useLatin1Console()
{
    static Latin1ConsoleInput input(handleOf(stdin));
    static Latin1ConsoleOutput output(handleOf(stdout));
    static Latin1ConsoleOutput errors(handleOf(stderr));
    if (isConsole(handleOf(stdin))) {
        std::cin.rdbuf(&input);
    }
    if (isConsole(handleOf(stdout))) {
        std::cout.rdbuf(&output);
    }
    if (isConsole(handleOf(stderr))) {
        std::cerr.rdbuf(&errors);
    }
}

void useMessageLocale() {}

std::vector<std::string> programArguments(int /*argc*/, char** /*argv*/)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> utf8;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        utf8.push_back(narrow(arguments[i],
                              CP_UTF8)); // NOLINT(cppcoreguidelines-pro-bounds-pointer-arithmetic)
    }
    LocalFree(static_cast<HLOCAL>(arguments));
    return utf8;
}

std::FILE* openFile(const std::string& name, const char* mode)
{
    return _wfopen(wide(name).c_str(), wide(mode).c_str());
}

bool isFolder(const std::string& name)
{
    const DWORD attributes = GetFileAttributesW(wide(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool writeText(std::FILE* stream, std::string_view text)
{
    const HANDLE handle = handleOf(stream);
    if (isConsole(handle)) {
        return std::fflush(stream) == 0 && writeConsole(handle, wide(text));
    }
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

bool startedOwnConsole()
{
    // A console that no other process has: the program's own, made when it was started.
    std::array<DWORD, 2> processes{};
    return GetConsoleProcessList(processes.data(), static_cast<DWORD>(processes.size())) == 1;
}

void waitForEnter(std::string_view prompt)
{
    askLine(prompt);
}

std::string askLine(std::string_view prompt)
{
    writeText(stderr, prompt);
    const HANDLE input = handleOf(stdin);
    if (isConsole(input)) {
        FlushConsoleInputBuffer(input);
        std::array<wchar_t, 1024> typed{};
        DWORD read = 0;
        ReadConsoleW(input, typed.data(), static_cast<DWORD>(typed.size()), &read, nullptr);
        std::wstring_view line(typed.data(), read);
        while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r')) {
            line.remove_suffix(1);
        }
        return narrow(line, CP_UTF8);
    }
    std::string line;
    for (int character = std::fgetc(stdin); character != '\n' && character != EOF;
         character = std::fgetc(stdin)) {
        line += character == '\r' ? std::string() : std::string(1, static_cast<char>(character));
    }
    return line;
}

std::string quotedForShell(std::string_view argument)
{
    // Both cmd.exe and PowerShell take a word in double quotes, and "" for a quote in it.
    std::string quoted = "\"";
    for (const char character : argument) {
        quoted += character == '"' ? std::string("\"\"") : std::string(1, character);
    }
    return quoted + "\"";
}

std::string temporaryFolderForLibraries()
{
    // libxlsxwriter opens its files with fopen, by the ANSI code page; the short form of
    // the folder's name has no character outside it.
    std::array<wchar_t, MAX_PATH + 1> folder{};
    const DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    std::array<wchar_t, MAX_PATH + 1> shortName{};
    const DWORD shortLength = length == 0 ? 0
                                          : GetShortPathNameW(folder.data(), shortName.data(),
                                                              static_cast<DWORD>(shortName.size()));
    return shortLength == 0 ? std::string()
                            : narrow(std::wstring_view(shortName.data(), shortLength), CP_ACP);
}
