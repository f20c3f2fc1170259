#include "DemoServerProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace zonbode::demo::testing {
namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr auto kExitTimeout = std::chrono::seconds(20);

std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& args,
                        std::vector<std::string>& storage) {
    storage.clear();
    storage.push_back(program);
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : storage) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// Waits for the child's end; its exit status (128 + signal when killed), -1 on a timeout.
int WaitForExit(pid_t pid, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

}  // namespace

DemoServerProcess::DemoServerProcess(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) {
        return;
    }
    std::vector<std::string> storage;
    auto argv = Argv(ZONBODE_DEMO_SERVER_PATH, args, storage);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    // Read the first line, with a deadline.
    std::string line;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) {
            continue;
        }
        char c;
        if (read(out[0], &c, 1) != 1) {
            break;
        }
        line.push_back(c);
    }
    close(out[0]);
    firstLine_ = line;
    const std::string prefix = "listening on 127.0.0.1:";
    if (line.rfind(prefix, 0) == 0) {
        port_ = std::atoi(line.c_str() + prefix.size());
    }
}

DemoServerProcess::~DemoServerProcess() {
    if (pid_ > 0) {
        StopWith(SIGKILL);
    }
}

int DemoServerProcess::StopWith(int signal) {
    if (pid_ <= 0) {
        return -1;
    }
    kill(pid_, signal);
    const int status = WaitForExit(pid_, kExitTimeout);
    if (status == -1) {
        kill(pid_, SIGKILL);
        WaitForExit(pid_, kExitTimeout);
    }
    pid_ = -1;
    return status;
}

int RunToEnd(const std::vector<std::string>& args, std::string& errorOutput) {
    int err[2];
    if (pipe(err) != 0) {
        return -1;
    }
    std::vector<std::string> storage;
    auto argv = Argv(ZONBODE_DEMO_SERVER_PATH, args, storage);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(err[1], STDERR_FILENO);
        close(err[0]);
        close(err[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(err[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(err[0], buffer, sizeof buffer)) > 0) {
        errorOutput.append(buffer, static_cast<std::size_t>(n));
    }
    close(err[0]);
    const int status = WaitForExit(pid, kExitTimeout);
    if (status == -1) {
        kill(pid, SIGKILL);
        WaitForExit(pid, kExitTimeout);
    }
    return status;
}

std::string Exchange(int port, const std::string& request) {
    return ExchangeInPieces(port, {request});
}

std::string ExchangeInPieces(int port, const std::vector<std::string>& pieces) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return {};
    }
    // Generous: with the listen queue of 5, a burst of clients overflows it and the kernel
    // drops handshakes, which TCP then retries with growing back-off.
    timeval timeout{90, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    bool sent = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    for (std::size_t i = 0; sent && i < pieces.size(); ++i) {
        if (i > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        sent = send(fd, pieces[i].data(), pieces[i].size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(pieces[i].size());
    }
    if (sent) {
        char buffer[8192];
        ssize_t n;
        while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) {
            response.append(buffer, static_cast<std::size_t>(n));
        }
    }
    close(fd);
    return response;
}

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::string TemporaryPath(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/zonbode-demo-" +
           std::to_string(getpid()) + "-" + name;
}

}  // namespace zonbode::demo::testing
