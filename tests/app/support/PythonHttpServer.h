#pragma once

// python3's http.server as a child process on 127.0.0.1 (ephemeral port), serving a fresh
// directory that holds the sample forecast page at the forecast path. POSIX only.
#if !defined(_WIN32)

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

extern char** environ;

namespace zonbode::testing {

class PythonHttpServer {
public:
    // Serves `page` as /waarschuwingen_en_verwachtingen/index.html.
    explicit PythonHttpServer(const std::string& page) {
        namespace fs = std::filesystem;
        std::random_device random;
        directory_ = fs::temp_directory_path() / ("zonbode-http-" + std::to_string(::getpid()) +
                                                  "-" + std::to_string(random()));
        fs::create_directories(directory_ / "waarschuwingen_en_verwachtingen");
        std::ofstream(directory_ / "waarschuwingen_en_verwachtingen" / "index.html",
                      std::ios::binary)
            << page;
        const fs::path log = directory_ / "server.log";

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::string dir = directory_.string();
        const char* argv[] = {"python3", "-u",        "-m",          "http.server", "0",
                              "--bind",  "127.0.0.1", "--directory", dir.c_str(),   nullptr};
        int spawned = posix_spawnp(&pid_, "python3", &actions, nullptr,
                                   const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = -1;
            throw std::runtime_error("cannot start python3");
        }
        // http.server announces the port it got: "Serving HTTP on 127.0.0.1 port 40123 ...".
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream in(log);
            std::stringstream text;
            text << in.rdbuf();
            const std::string said = text.str();
            // Only a whole line: the number may still be being written.
            if (const auto at = said.find(" port ");
                at != std::string::npos && said.find('\n', at) != std::string::npos) {
                const int port = std::atoi(said.c_str() + at + 6);
                if (port > 0) {
                    port_ = static_cast<std::uint16_t>(port);
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Stop();
        throw std::runtime_error("python3 http.server did not start");
    }

    ~PythonHttpServer() { Stop(); }

    PythonHttpServer(const PythonHttpServer&) = delete;
    PythonHttpServer& operator=(const PythonHttpServer&) = delete;

    std::uint16_t Port() const { return port_; }

private:
    void Stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    std::filesystem::path directory_;
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace zonbode::testing

#endif
