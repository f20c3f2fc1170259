// Starting and stopping the service, and the calling thread's last error code.

#include "net/WindowsSocketsCodes.h"
#include "net/posix/Endpoint.h"

namespace zonbode::net::posix {
namespace {

thread_local int lastError = 0;

}  // namespace

void SetLastError(int code) {
    lastError = code;
}

}  // namespace zonbode::net::posix

namespace zonbode::net::sys {
namespace {

int serviceUsers = 0;

}  // namespace

int Startup(std::uint16_t) {
    // The service is the notification queue: without it no notification can be delivered.
    if (!posix::EnsureQueue()) {
        return LastError();
    }
    if (serviceUsers++ == 0) {
        posix::OpenTasks(true);
    }
    return 0;
}

int Cleanup() {
    if (serviceUsers == 0) {
        posix::SetLastError(WsaCode("WSANOTINITIALISED"));
        return kSocketError;
    }
    if (--serviceUsers == 0) {
        posix::OpenTasks(false);
    }
    return 0;
}

int LastError() {
    return posix::lastError;
}

}  // namespace zonbode::net::sys
