#pragma once

// Runs zonbode-demo-server as a child process and talks to it over loopback.

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "LoopbackExchange.h"
#include "ServerProcess.h"

namespace zonbode::demo::testing {

using zonbode::testing::Exchange;
using zonbode::testing::ExchangeInPieces;
using zonbode::testing::RunChild;

// The demo server with the arguments, once it has said "listening on".
class DemoServerProcess : public zonbode::testing::ServerProcess {
public:
    explicit DemoServerProcess(const std::vector<std::string>& args)
        : ServerProcess(ZONBODE_DEMO_SERVER_PATH, args) {}
};

// Runs a command line and returns its exit status.
int RunCommand(const std::string& command);

std::string ReadFile(const std::string& path);
std::string TemporaryPath(const std::string& name);

}  // namespace zonbode::demo::testing
