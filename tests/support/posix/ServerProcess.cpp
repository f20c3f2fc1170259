#include "ServerProcess.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace zonbode::testing {
namespace {

using namespace std::chrono_literals;

// Generous: a loaded machine starts python (and sanitized programs) slowly.
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
    Stop(SIGKILL);
}

int ServerProcess::Stop(int signal) {
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

}  // namespace zonbode::testing
