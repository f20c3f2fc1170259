// The network service's start when the system refuses it: here the notification queue cannot
// open a descriptor. The start is undone, so the next object starts the service again.

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/CNetSocket.h"
#include "net/Diagnostics.h"
#include "net/RaisedError.h"

namespace zonbode::net {
namespace {

// Runs in a process of its own, whose runtime has not started yet; exits 0 when every check
// held, and writes the ones that failed to standard error.
[[noreturn]] void StartWithNoDescriptorLeft() {
    std::string failed;
    const auto check = [&](bool ok, const char* what) {
        if (!ok) {
            failed += std::string(what) + "; ";
        }
    };
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const int lowestFree = open("/dev/null", O_RDONLY);
    close(lowestFree);
    rlimit none = saved;
    none.rlim_cur = static_cast<rlim_t>(lowestFree);
    setrlimit(RLIMIT_NOFILE, &none);
    try {
        CNetSocket::Create();
        check(false, "the start raised nothing");
    } catch (const RaisedError& error) {
        check(error.Number() == 10024, "number 10024");
        check(error.Source() == "modNetSocket.InitiateProcesses", "source");
        check(error.Description() == "Too many open files.", "description");
    }
    check(modNetSocket::UserCount() == 0, "the failed object is not counted");
    check(!modNetSocket::ServiceStarted(), "the service is not marked started");

    setrlimit(RLIMIT_NOFILE, &saved);
    auto socket = CNetSocket::Create();
    check(modNetSocket::ServiceStarted(), "the next object starts the service");
    socket->SetProtocol(sckProtocolUdp);
    socket->Bind(Variant(0), Variant("127.0.0.1"));
    check(socket->State() == sckOpen, "and can use it");
    socket.reset();
    check(modNetSocket::UserCount() == 0 && !modNetSocket::ServiceStarted(), "stopped again");
    std::fprintf(stderr, "%s\n", failed.c_str());
    std::exit(failed.empty() ? 0 : 1);
}

TEST(ServiceStart, AStartTheSystemRefusesIsUndoneAndTriedAgain) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: nothing started yet
    EXPECT_EXIT(StartWithNoDescriptorLeft(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zonbode::net
