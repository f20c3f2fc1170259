#pragma once

#include <cstdint>

// The socket tests' own accept faults, linked in place of the programs' (which never fail).
namespace zonbode::net::testing {

// Makes the next `count` accept calls fail with `code` before they reach the system, leaving
// the connection in the listener's queue, as a process out of descriptors (10024) or buffers
// (10055) sees it; count 0 lets accept work again.
void FailAccepts(std::int32_t count, std::int32_t code);
// Every accept call so far, failed or not.
std::int32_t AcceptCallCount();

}  // namespace zonbode::net::testing
