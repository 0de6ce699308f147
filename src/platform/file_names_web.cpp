// File names in the page: POSIX names in its memory, taken apart by hand, since its C++
// library has no std::filesystem. A name's parts as std::filesystem gives them: a leading
// dot starts a stem, not an extension.
#include "platform/file_names.h"

#include <sys/stat.h>

namespace {

std::string lastPart(const std::string& name)
{
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::size_t extensionStart(const std::string& part)
{
    const std::size_t dot = part.rfind('.');
    return dot == std::string::npos || dot == 0 || part == ".." ? part.size() : dot;
}

} // namespace

std::string fileStem(const std::string& name)
{
    const std::string part = lastPart(name);
    return part.substr(0, extensionStart(part));
}

std::string fileExtension(const std::string& name)
{
    const std::string part = lastPart(name);
    return part.substr(extensionStart(part));
}

std::string nameBeside(const std::string& name, const std::string& otherName)
{
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? otherName : name.substr(0, slash + 1) + otherName;
}

bool sameFile(const std::string& first, const std::string& second)
{
    struct stat firstStatus {};
    struct stat secondStatus {};
    return stat(first.c_str(), &firstStatus) == 0 && stat(second.c_str(), &secondStatus) == 0 &&
           firstStatus.st_dev == secondStatus.st_dev && firstStatus.st_ino == secondStatus.st_ino;
}
