// File names on POSIX and Windows, with std::filesystem: names are UTF-8 on Windows and
// bytes elsewhere, and either way they go into a path as UTF-8 and come back so.
#include "platform/file_names.h"

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path pathOf(const std::string& name)
{
    return std::u8string(name.begin(), name.end());
}

std::string nameOf(const std::filesystem::path& path)
{
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

} // namespace

std::string fileStem(const std::string& name)
{
    return nameOf(pathOf(name).stem());
}

std::string fileExtension(const std::string& name)
{
    return nameOf(pathOf(name).extension());
}

std::string nameBeside(const std::string& name, const std::string& otherName)
{
    return nameOf(pathOf(name).parent_path() / pathOf(otherName));
}

bool sameFile(const std::string& first, const std::string& second)
{
    std::error_code ignored;
    return std::filesystem::equivalent(pathOf(first), pathOf(second), ignored);
}
