// zonbode-cli fetch against python3's http.server serving the sample page, and against
// servers that are not there. Under wine, where a Unix program started from Windows cannot be
// waited for or stopped, the test's own HTTP server serves the page instead.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "app/support/LocalHttpServer.h"
#include "app/support/PythonHttpServer.h"

namespace zonbode::cli {
namespace {

using testing::ChildResult;

#if defined(_WIN32)
class PageServer {
public:
    explicit PageServer(const std::string& page)
        : server_(testing::LocalHttpServer::Behaviour::Answer,
                  testing::LocalHttpServer::HttpAnswer(page)) {}
    std::uint16_t Port() const { return server_.Port(); }

private:
    testing::LocalHttpServer server_;
};
#else
using PageServer = testing::PythonHttpServer;
#endif

ChildResult Cli(const std::vector<std::string>& args) {
    return testing::RunChild(ZONBODE_CLI_PATH, args);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

const std::string kPagePath = std::string(ZONBODE_DATA_DIR) + "/forecast-page.html";

TEST(FetchCommand, PrintsTheTableOfTheServedPageLikeParse) {
    const std::string page = ReadFile(kPagePath);
    ASSERT_FALSE(page.empty());
    PageServer server(page);

    ChildResult fetched =
        Cli({"fetch", "--host", "127.0.0.1", "--port", std::to_string(server.Port())});
    ASSERT_EQ(fetched.exitCode, 0) << fetched.err;

    // The same page parsed from a file gives the same table.
    ChildResult parsed = testing::RunChild(ZONBODE_CLI_PATH, {"parse", kPagePath});
    ASSERT_EQ(parsed.exitCode, 0) << parsed.err;
    EXPECT_EQ(fetched.out, parsed.out);
    EXPECT_EQ(Lines(fetched.out).size(), 7u);

    const std::vector<std::string> status = Lines(fetched.err);
    ASSERT_EQ(status.size(), 4u) << fetched.err;
    EXPECT_EQ(status[0], "Verbinding maken...");
    EXPECT_EQ(status[1], "Gegevens ophalen...");
    EXPECT_EQ(status[2], "Gegevens verwerken...");
    EXPECT_TRUE(StartsWith(status[3], "Laatste update op: ")) << status[3];
    EXPECT_EQ(status[3].size(), std::string("Laatste update op: 07-12-2026, 16:05").size());
}

TEST(FetchCommand, MissingPageEndsWithTheOfflineMessage) {
    // The server answers, but with a "not found" page that holds no forecast table.
    PageServer server("");
    ChildResult fetched =
        Cli({"fetch", "--host", "127.0.0.1", "--port", std::to_string(server.Port())});
    // An empty index.html gives a 200 answer without the table: the parser's offline message.
    EXPECT_EQ(fetched.exitCode, 1) << fetched.err;
    EXPECT_TRUE(fetched.out.empty());
    EXPECT_NE(fetched.err.find("Gegevens verwerken...\nHost is waarschijnlijk offline.\r\n"
                               "Als deze melding de volgende dag nog komt, kijk dan op "),
              std::string::npos)
        << fetched.err;
}

TEST(FetchCommand, RefusedConnectionStallsWithExitTwo) {
    std::uint16_t port;
    {
        testing::LocalHttpServer gone(testing::LocalHttpServer::Behaviour::CloseAtOnce, "");
        port = gone.Port();
    }
    ChildResult fetched = Cli({"fetch", "--host", "127.0.0.1", "--port", std::to_string(port)});
    EXPECT_EQ(fetched.exitCode, 2) << fetched.err;
    EXPECT_EQ(fetched.err, "Verbinding maken...\n");
    EXPECT_TRUE(fetched.out.empty());
}

TEST(FetchCommand, ServerThatNeverClosesStallsAfterTheWatchdog) {
    testing::LocalHttpServer server(testing::LocalHttpServer::Behaviour::AnswerKeepOpen,
                                    testing::LocalHttpServer::HttpAnswer(ReadFile(kPagePath)));
    const auto start = std::chrono::steady_clock::now();
    ChildResult fetched =
        Cli({"fetch", "--host", "127.0.0.1", "--port", std::to_string(server.Port())});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(fetched.exitCode, 2) << fetched.err;
    EXPECT_EQ(fetched.err, "Verbinding maken...\nGegevens ophalen...\n");
    EXPECT_TRUE(fetched.out.empty());
    // The watchdog fires 4 s after start, never earlier.
    EXPECT_GE(took, std::chrono::milliseconds(3900));
}

TEST(FetchCommand, BadArgumentsAreRefused) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"fetch", "--port"},
          std::vector<std::string>{"fetch", "--port", "0"},
          std::vector<std::string>{"fetch", "--port", "65536"},
          std::vector<std::string>{"fetch", "--port", "80x"},
          std::vector<std::string>{"fetch", "--host", ""},
          std::vector<std::string>{"fetch", "--verbose"}}) {
        ChildResult fetched = Cli(args);
        EXPECT_EQ(fetched.exitCode, 2) << args.back();
        EXPECT_TRUE(StartsWith(fetched.err, "zonbode-cli fetch: ")) << fetched.err;
        EXPECT_EQ(fetched.err.find("Verbinding maken..."), std::string::npos);
    }
}

}  // namespace
}  // namespace zonbode::cli
