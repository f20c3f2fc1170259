#pragma once

// Runs zonbode-demo-server as a child process and talks to it over loopback.

#include <sys/types.h>

#include <string>
#include <vector>

namespace zonbode::demo::testing {

class DemoServerProcess {
public:
    // Starts the server with the arguments and waits for its "listening on" line.
    explicit DemoServerProcess(const std::vector<std::string>& args);
    ~DemoServerProcess();

    bool Listening() const { return port_ > 0; }
    int Port() const { return port_; }
    const std::string& FirstLine() const { return firstLine_; }
    // Sends the signal and waits for the exit; the exit status, or -1 on a timeout.
    int StopWith(int signal);

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string firstLine_;
};

// Runs the server to its end (for arguments it refuses); its exit status and standard error.
int RunToEnd(const std::vector<std::string>& args, std::string& errorOutput);

// One exchange over a fresh connection: sends `request`, returns all bytes until the server
// closes ("" when the connection failed).
std::string Exchange(int port, const std::string& request);
// The same with the request sent in pieces, a short pause between them.
std::string ExchangeInPieces(int port, const std::vector<std::string>& pieces);

// Runs a command line and returns its exit status.
int RunCommand(const std::string& command);

std::string ReadFile(const std::string& path);
std::string TemporaryPath(const std::string& name);

}  // namespace zonbode::demo::testing
