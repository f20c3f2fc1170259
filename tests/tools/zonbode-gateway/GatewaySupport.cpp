#include "GatewaySupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace zonbode::gateway::testing {
namespace {

using namespace std::chrono_literals;

// Generous: a loaded machine starts python slowly.
constexpr auto kStartTimeout = 30s;
constexpr auto kExitTimeout = 30s;

int WaitForExit(pid_t pid, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(10ms);
    }
    return -1;
}

}  // namespace

ServerProcess::ServerProcess(const std::string& program, const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) {
        return;
    }
    std::vector<std::string> storage{program};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : storage) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (pid_ > 0 && firstLine_.find('\n') == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) {
            continue;
        }
        char c;
        if (read(out[0], &c, 1) != 1) {
            break;  // it ended without a word
        }
        firstLine_.push_back(c);
    }
    close(out[0]);  // later lines are not read; the servers write none
    const std::string prefix = "listening on 127.0.0.1:";
    if (firstLine_.rfind(prefix, 0) == 0) {
        port_ = std::atoi(firstLine_.c_str() + prefix.size());
    }
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        WaitForExit(pid_, kExitTimeout);
    }
}

int ServerProcess::Stop() {
    if (pid_ <= 0) {
        return -1;
    }
    kill(pid_, SIGTERM);
    const int status = WaitForExit(pid_, kExitTimeout);
    if (status == -1) {
        kill(pid_, SIGKILL);
        WaitForExit(pid_, kExitTimeout);
    }
    pid_ = -1;
    return status;
}

RecordedApi::RecordedApi()
    : ServerProcess(ZONBODE_PYTHON, {ZONBODE_RECORDED_API, ZONBODE_RECORDED_ANSWERS}) {}

std::string RecordedApi::Url(const std::string& answer) const {
    return "http://127.0.0.1:" + std::to_string(Port()) + "/" + answer;
}

std::string HttpGet(int port, const std::string& path) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return {};
    }
    timeval timeout{60, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
        char buffer[8192];
        ssize_t n;
        while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) {
            response.append(buffer, static_cast<std::size_t>(n));
        }
    }
    close(fd);
    return response;
}

}  // namespace zonbode::gateway::testing
