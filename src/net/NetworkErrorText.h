#pragma once

#include <cstdint>
#include <string>

namespace zonbode::net {

// The English sentence for a Windows Sockets error code; "Unknown error." for any other code.
std::string NetworkErrorText(std::int32_t code);

}  // namespace zonbode::net
