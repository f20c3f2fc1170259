#pragma once

#include <string>
#include <string_view>

namespace zonbode::http {

// A value as it goes into a URL's query: every byte but letters, digits and - . _ ~ as %XX.
std::string PercentEncoded(std::string_view text);

}  // namespace zonbode::http
