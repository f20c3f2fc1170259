// zonbode-demo-server [--port PORT] [--page FILE] [--version]
// Serves the sample forecast page on 127.0.0.1 until interrupted.

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Platform.h"
#include "ServeLoop.h"
#include "StopRequests.h"
#include "live/PageServer.h"
#include "net/RaisedError.h"
#include "options/OptionPairs.h"
#include "options/VersionOption.h"

namespace {

constexpr const char* kUsage =
    "usage: zonbode-demo-server [--port PORT] [--page FILE] [--version]\n";
constexpr const char* kPageName = "forecast-page.html";

struct Options {
    std::int32_t port = 8080;
    std::string page;
};

bool ReadFile(const std::string& path, std::string& contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream buffer;
    buffer << file.rdbuf();
    contents = buffer.str();
    return !file.bad();
}

// The bundled page: installed beside the program, or in the source tree of a build.
std::vector<std::string> DefaultPageCandidates() {
    std::vector<std::string> candidates;
    const std::string folder = zonbode::demo::ExecutableFolder();
    if (!folder.empty()) {
        candidates.push_back(folder + "/../" ZONBODE_INSTALLED_DATA_DIR "/" + kPageName);
        candidates.push_back(folder + "/" + kPageName);
    }
    candidates.push_back(std::string(ZONBODE_DATA_DIR) + "/" + kPageName);
    return candidates;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const std::optional<int> exitCode = zonbode::AnswerVersion("zonbode-demo-server", args)) {
        return *exitCode;
    }
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    auto take = [&options](const std::string& option, const std::string& value) -> std::string {
        if (option == "--page") {
            options.page = value;
        } else if (const std::optional<int> port = zonbode::ReadWholeNumber(value, 0, 65535)) {
            options.port = *port;
        } else {
            return "not a port (0-65535): " + value;
        }
        return {};
    };
    if (const auto refused = zonbode::ReadOptionPairs(args, {"--port", "--page"}, take)) {
        std::cerr << "zonbode-demo-server: " << *refused << "\n" << kUsage;
        return 2;
    }

    std::string page;
    if (!options.page.empty()) {
        if (!ReadFile(options.page, page)) {
            std::cerr << "zonbode-demo-server: cannot read page " << options.page << "\n";
            return 1;
        }
    } else {
        bool found = false;
        for (const auto& candidate : DefaultPageCandidates()) {
            if (ReadFile(candidate, page)) {
                found = true;
                break;
            }
        }
        if (!found) {
            std::cerr << "zonbode-demo-server: the sample page " << kPageName
                      << " was not found; name one with --page FILE\n";
            return 1;
        }
    }

    zonbode::pageserver::WatchStopRequests();
    zonbode::live::PageServer server(std::move(page));
    try {
        server.Start(options.port);
    } catch (const zonbode::net::RaisedError& error) {
        std::cerr << "zonbode-demo-server: cannot listen on 127.0.0.1:" << options.port << ": "
                  << error.Description() << "\n";
        return 1;
    }
    std::cout << "listening on 127.0.0.1:" << server.Port() << std::endl;

    zonbode::pageserver::ServeUntilStopped(server);
    return 0;
}
