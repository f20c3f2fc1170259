#include "net/AcceptFaults.h"

#include "net/Diagnostics.h"

namespace zonbode::net::sys {
namespace {

struct AcceptFaults {
    std::int32_t remaining = 0;
    std::int32_t code = 0;
    std::int32_t calls = 0;
};

AcceptFaults& TheFaults() {
    static AcceptFaults faults;
    return faults;
}

}  // namespace

std::int32_t TakeAcceptFault() {
    auto& faults = TheFaults();
    ++faults.calls;
    if (faults.remaining <= 0) {
        return 0;
    }
    --faults.remaining;
    return faults.code;
}

void FailAccepts(std::int32_t count, std::int32_t code) {
    TheFaults().remaining = count;
    TheFaults().code = code;
}

std::int32_t AcceptCallCount() {
    return TheFaults().calls;
}

}  // namespace zonbode::net::sys
