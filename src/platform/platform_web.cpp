// The programs in the page: WebAssembly with WASI, whose files are the page's own, in its
// memory. Bytes are bytes, names and messages are UTF-8, and no one types at a console: the
// page gives each run its arguments and standard input, and reads what it wrote.
#include "platform/platform.h"

#include <algorithm>
#include <clocale>

#include <sys/stat.h>

void startStandardStreams() {}

void useLatin1Console() {}

// The page shows characters: messages stay UTF-8 whatever the locale would say.
void useMessageLocale()
{
    std::setlocale(LC_ALL, "C");
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

// Nothing waits in a page: no one could answer.
void waitForEnter(std::string_view /*prompt*/) {}

std::string askLine(std::string_view /*prompt*/)
{
    return {};
}

// The page suggests no commands, but a message that shows one quotes it as a POSIX shell
// would.
std::string quotedForShell(std::string_view argument)
{
    std::string quoted = "'";
    for (const char character : argument) {
        quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
    }
    return quoted + "'";
}

// The page's files have no folder for temporary files but the one it makes.
std::string temporaryFolderForLibraries()
{
    return "/tmp";
}
