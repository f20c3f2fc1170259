#pragma once

#include <sys/types.h>

#include <csignal>
#include <string>
#include <vector>

namespace zonbode::testing {

// A server run as a child process that reports "listening on 127.0.0.1:PORT" on its first line
// of standard output. Killed when the object goes, if not stopped before.
class ServerProcess {
public:
    ServerProcess(const std::string& program, const std::vector<std::string>& args);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool Listening() const { return port_ > 0; }
    int Port() const { return port_; }
    const std::string& FirstLine() const { return firstLine_; }
    // Sends the signal and waits for the end: the exit status (128 + signal when killed by one),
    // or -1 when it did not end in time and had to be killed.
    int Stop(int signal = SIGTERM);

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string firstLine_;
};

}  // namespace zonbode::testing
