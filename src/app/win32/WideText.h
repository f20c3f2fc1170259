#pragma once

#include <string>
#include <string_view>

// Text is UTF-8 inside the program; the Windows "W" calls take and give UTF-16.
namespace zonbode::app::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace zonbode::app::win32
