// The programs on a POSIX system, and in the page (WASI, whose files are in its memory):
// bytes are bytes, names are the bytes given, messages take the locale's encoding, and a
// program is started from a shell, or by the page, never in a window of its own.
#include "platform/platform.h"

#include <algorithm>
#include <clocale>

#include <sys/stat.h>

void startStandardStreams() {}

void useLatin1Console() {}

void useMessageLocale()
{
    std::setlocale(LC_ALL, "");
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    return {argv + std::min(argc, 1), argv + argc};
}

std::FILE* openFile(const std::string& name, const char* mode)
{
    return std::fopen(name.c_str(), mode);
}

bool isFolder(const std::string& name)
{
    struct stat status {};
    return stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool writeText(std::FILE* stream, std::string_view text)
{
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

bool startedOwnConsole()
{
    return false;
}

void waitForEnter(std::string_view prompt)
{
    askLine(prompt);
}

std::string askLine(std::string_view prompt)
{
    writeText(stderr, prompt);
    std::fflush(stderr);
    std::string line;
    for (int character = std::fgetc(stdin); character != '\n' && character != EOF;
         character = std::fgetc(stdin)) {
        line += static_cast<char>(character);
    }
    return line;
}

std::string quotedForShell(std::string_view argument)
{
    std::string quoted = "'";
    for (const char character : argument) {
        quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
    }
    return quoted + "'";
}

std::string temporaryFolderForLibraries()
{
    return {};
}
