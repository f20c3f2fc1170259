#pragma once

#include <cstdint>

namespace zonbode::net::sys {

// Asked by each backend's Accept before it calls the system: the Windows Sockets code the call
// is to fail with, or 0 to go ahead. The programs' definition always goes ahead. A process
// cannot be run out of descriptors or buffers on every system, so the socket tests link a
// definition of their own in its place that can fail calls as such a process would.
std::int32_t TakeAcceptFault();

}  // namespace zonbode::net::sys
