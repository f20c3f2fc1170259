#pragma once

#include <filesystem>
#include <string_view>

namespace zonbode {

// A file's name as the programs hold it (UTF-8) as the system's path: on Windows the
// wide-character one, so names outside the ANSI code page open too.
std::filesystem::path FilePath(std::string_view utf8);

}  // namespace zonbode
