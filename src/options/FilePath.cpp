#include "options/FilePath.h"

#include <string>

namespace zonbode {

std::filesystem::path FilePath(std::string_view utf8) {
    std::u8string text(utf8.size(), u8'\0');
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        text[i] = static_cast<char8_t>(utf8[i]);
    }
    return std::filesystem::path(text);
}

}  // namespace zonbode
