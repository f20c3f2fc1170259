#pragma once

#include <cstdint>

namespace zonbode::net::sys {

// Asked by each backend's Accept before it calls the system: counts the call and gives the
// Windows Sockets code it is to fail with, or 0 to go ahead. Nothing fails unless a test asked
// for it through Diagnostics.h; a process cannot be run out of descriptors or buffers on every
// system, so that is how tests meet such a failure.
std::int32_t TakeAcceptFault();

}  // namespace zonbode::net::sys
