#pragma once

#include <cstdint>

namespace zonbode::bench {

// What the running process holds at one moment, as the system counts it.
struct ProcessSample {
    std::uint64_t residentBytes = 0;
    int handles = 0;  // open descriptors (POSIX) or kernel handles (Windows)
    int threads = 0;
};

ProcessSample SampleThisProcess();

}  // namespace zonbode::bench
