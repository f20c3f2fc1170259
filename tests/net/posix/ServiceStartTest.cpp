// The network service's start when the system refuses it: here the notification queue cannot
// open a descriptor. The start is undone, so the next object starts the service again.

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "net/CNetSocket.h"
#include "net/Diagnostics.h"
#include "net/RaisedError.h"
#include "net/modNetSocket.h"

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
    // What an object's construction does first; the limit goes back before anything else
    // runs. The undefined-behaviour sanitizer checks an object's type through a pipe the
    // first time it meets the type: an error made beforehand spares it that while no
    // descriptor is left.
    [[maybe_unused]] const std::int32_t warm = RaisedError(0, "", "").Number();
    setrlimit(RLIMIT_NOFILE, &none);
    std::exception_ptr failure;
    try {
        modNetSocket::InitiateProcesses();
    } catch (...) {
        failure = std::current_exception();
    }
    setrlimit(RLIMIT_NOFILE, &saved);
    try {
        if (failure) {
            std::rethrow_exception(failure);
        }
        check(false, "the start raised nothing");
        modNetSocket::FinalizeProcesses();
    } catch (const RaisedError& error) {
        check(error.Number() == 10024, "number 10024");
        check(error.Source() == "modNetSocket.InitiateProcesses", "source");
        check(error.Description() == "Too many open files.", "description");
    }
    check(modNetSocket::UserCount() == 0, "the failed start is not counted");
    check(!modNetSocket::ServiceStarted(), "the service is not marked started");

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
