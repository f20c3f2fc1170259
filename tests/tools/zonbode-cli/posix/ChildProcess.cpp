#include "ChildProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace zonbode::testing {
namespace {

namespace fs = std::filesystem;

// Standard streams go through files, so a chatty child can never block on a full pipe.
fs::path UniqueFile(const char* role) {
    static std::atomic<int> counter{0};
    return fs::temp_directory_path() / ("zonbode-cli-test-" + std::to_string(getpid()) + "-" +
                                        std::to_string(counter++) + "-" + role);
}

std::string ReadAndRemove(const fs::path& path) {
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::remove(path);
    return bytes;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input) {
    const fs::path inPath = UniqueFile("in");
    const fs::path outPath = UniqueFile("out");
    const fs::path errPath = UniqueFile("err");
    {
        std::ofstream in(inPath, std::ios::binary);
        in.write(input.data(), static_cast<std::streamsize>(input.size()));
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawnError =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0) {
        fs::remove(inPath);
        throw std::runtime_error("cannot start " + program);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    ChildResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadAndRemove(outPath);
    result.err = ReadAndRemove(errPath);
    fs::remove(inPath);
    return result;
}

}  // namespace zonbode::testing
