#ifndef BOLETIM_ENCODING_H
#define BOLETIM_ENCODING_H

#include <string>
#include <string_view>

// Whether text is well-formed UTF-8: no stray, overlong or surrogate sequence.
bool isUtf8(std::string_view text);

// The line in UTF-8: as it is when it is UTF-8 already, and otherwise read as
// Windows-1252, which is what spreadsheets on Windows save as "CSV".
std::string lineAsUtf8(std::string_view line);

#endif
