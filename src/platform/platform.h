#ifndef BOLETIM_PLATFORM_H
#define BOLETIM_PLATFORM_H

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// What differs between the systems the programs run on, each system in a unit of its own
// that CMake chooses: platform_posix.cpp, platform_windows.cpp.

// Called first in main. Standard streams that are not a console carry bytes as they are
// (on Windows, not in text mode, where CRLF and 0x1A would change them).
void startStandardStreams();

// boletim's dialogue, whose texts are ISO-8859-1: where standard input or output is a
// console that takes characters rather than bytes (Windows'), they are read and written
// as the characters they stand for. Elsewhere nothing changes.
void useLatin1Console();

// The user's language and encoding for messages: the locale's where the system says it
// through the locale (POSIX); UTF-8 elsewhere, whose consoles get characters anyway.
void useMessageLocale();

// The arguments after the program's name, in UTF-8 where the system gives them in another
// form (Windows: UTF-16), as given elsewhere.
std::vector<std::string> programArguments(int argc, char** argv);

// Opens the file name, as programArguments gives names, with mode, as fopen does.
std::FILE* openFile(const std::string& name, const char* mode);

// Whether name is a folder.
bool isFolder(const std::string& name);

// Writes text, UTF-8, to stream: to a console as its characters, elsewhere as its bytes.
// False where writing failed.
bool writeText(std::FILE* stream, std::string_view text);

// Whether the program has a console window of its own, as it has when a file manager
// starts it (a double click, a file dropped on it), rather than a shell's.
bool startedOwnConsole();

// Says prompt and waits for Enter, so that a console window of the program's own stays
// open until its text is read.
void waitForEnter(std::string_view prompt);

// Says prompt and reads a line typed at the console (or from standard input), in UTF-8,
// without its line end.
std::string askLine(std::string_view prompt);

// argument as the system's shell reads it as one word, where it needs quotes: in single
// quotes on POSIX, in double quotes on Windows, which cmd.exe and PowerShell both take.
std::string quotedForShell(std::string_view argument);

// The folder where a library may keep its temporary files, by a name it can open; empty
// where the library's own choice will do.
std::string temporaryFolderForLibraries();

#endif
