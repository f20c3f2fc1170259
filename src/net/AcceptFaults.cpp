#include "net/AcceptFaults.h"

// Alone in its file, so that a test program that defines the function itself does not pull
// this one in.
namespace zonbode::net::sys {

std::int32_t TakeAcceptFault() {
    return 0;
}

}  // namespace zonbode::net::sys
