#include "net/AcceptFaults.h"

#include "FailingAccepts.h"

namespace zonbode::net {
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

// Takes the place of the library's definition in this test program.
std::int32_t sys::TakeAcceptFault() {
    auto& faults = TheFaults();
    ++faults.calls;
    if (faults.remaining <= 0) {
        return 0;
    }
    --faults.remaining;
    return faults.code;
}

void testing::FailAccepts(std::int32_t count, std::int32_t code) {
    TheFaults().remaining = count;
    TheFaults().code = code;
}

std::int32_t testing::AcceptCallCount() {
    return TheFaults().calls;
}

}  // namespace zonbode::net
