#ifndef BOLETIM_OUTPUT_H
#define BOLETIM_OUTPUT_H

#include <cstdio>
#include <string>

#include "platform/platform.h"

// Where text goes: written to file as it comes, or, where file is null, kept in text.
struct Output {
    std::FILE* file = nullptr;
    std::string text;
};

// Writes out what output holds; false where writing failed.
inline bool flushOutput(Output& output)
{
    if (output.file == nullptr) {
        return true;
    }
    const bool written = writeText(output.file, output.text);
    output.text.clear();
    return written;
}

#endif
