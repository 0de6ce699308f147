#ifndef BOLETIM_WINDOWS_TEXT_H
#define BOLETIM_WINDOWS_TEXT_H

#include <string>
#include <string_view>

#include <windows.h>

// Text between the programs' UTF-8 and Windows' UTF-16 or a code page, for the Windows
// units alone.
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view text, UINT codePage);

#endif
