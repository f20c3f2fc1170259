// zonbode-demo-server as its users meet it: curl, a crowd of clients, bad requests, signals.

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

#include "DemoServerProcess.h"
#include "MissingPart.h"
#include "SlowClient.h"
#include "http/RequestHead.h"

namespace zonbode::demo::testing {
namespace {

constexpr const char* kPath = "/waarschuwingen_en_verwachtingen/index.html";

// A small page of our own with bytes above 0x7F, as the real page has ("°C").
std::string SamplePage() {
    std::string page =
        "<html><head><title>Verwachtingen</title></head><body><table>\n"
        "<tr class=\"trcolor\"><td>Dag</td><td>Middagtemperatuur (\xB0"
        "C)</td></tr>\n";
    for (int i = 0; i < 200; ++i) {
        page += "<tr><td>dag " + std::to_string(i) + "</td><td>1" + std::to_string(i % 10) +
                "</td></tr>\n";
    }
    return page + "</table></body></html>\n";
}

class DemoServer : public ::testing::Test {
protected:
    void SetUp() override {
        pagePath_ = TemporaryPath("page.html");
        std::ofstream(pagePath_, std::ios::binary) << SamplePage();
        server_ = std::make_unique<DemoServerProcess>(
            std::vector<std::string>{"--port", "0", "--page", pagePath_});
        ASSERT_TRUE(server_->Listening()) << "first line: " << server_->FirstLine();
    }
    void TearDown() override {
        if (server_) {
            EXPECT_EQ(server_->Stop(SIGTERM), 0);
        }
        std::remove(pagePath_.c_str());
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(server_->Port()) + path;
    }

    std::string pagePath_;
    std::unique_ptr<DemoServerProcess> server_;
};

TEST_F(DemoServer, CurlGetsThePageWithItsHeaders) {
    ASSERT_FALSE(std::string(ZONBODE_CURL).empty()) << "curl is needed";
    const std::string headers = TemporaryPath("headers");
    const std::string body = TemporaryPath("body");
    const std::string command = std::string(ZONBODE_CURL) + " -s --max-time 30 -D " + headers +
                                " -o " + body + " " + Url(kPath);
    ASSERT_EQ(RunCommand(command), 0);
    const std::string head = ReadFile(headers);
    const std::string page = SamplePage();
    EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nContent-Type: text/html; charset=iso-8859-1\r\n"), std::string::npos);
    EXPECT_NE(head.find("\r\nContent-Length: " + std::to_string(page.size()) + "\r\n"),
              std::string::npos);
    EXPECT_NE(head.find("\r\nConnection: close\r\n"), std::string::npos);
    EXPECT_TRUE(ReadFile(body) == page);
    std::remove(headers.c_str());
    std::remove(body.c_str());
}

TEST_F(DemoServer, OtherPathsAreNotFoundAndBadRequestsRefused) {
    const std::string notFound = Exchange(server_->Port(), "GET /elders HTTP/1.1\r\n\r\n");
    EXPECT_EQ(notFound.rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u) << notFound;
    EXPECT_NE(notFound.find("Connection: close"), std::string::npos);

    const std::string query =
        Exchange(server_->Port(), std::string("GET ") + kPath + "?x=1 HTTP/1.0\r\n\r\n");
    EXPECT_EQ(query.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);

    for (const std::string bad : {"garbage\r\n\r\n", "GET\r\n\r\n", "GET / HTTP/9\r\n\r\n",
                                  "get / HTTP/1.1\r\n\r\n", "GET nopath HTTP/1.1\r\n\r\n"}) {
        const std::string response = Exchange(server_->Port(), bad);
        EXPECT_EQ(response.rfind("HTTP/1.1 400 Bad Request\r\n", 0), 0u) << bad;
    }
    // A head that never ends is refused once it is too long.
    const std::string endless = "GET " + std::string(17000, 'a');
    EXPECT_EQ(Exchange(server_->Port(), endless).rfind("HTTP/1.1 400 Bad Request\r\n", 0), 0u);

    const std::string post = Exchange(server_->Port(), "POST / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(post.rfind("HTTP/1.1 405 Method Not Allowed\r\n", 0), 0u);

    // And it still serves afterwards.
    EXPECT_EQ(Exchange(server_->Port(), std::string("GET ") + kPath + " HTTP/1.1\r\n\r\n")
                  .rfind("HTTP/1.1 200 OK\r\n", 0),
              0u);
}

TEST_F(DemoServer, RequestArrivingInPiecesIsAnsweredOnceComplete) {
    const std::string response = ExchangeInPieces(
        server_->Port(), {"GET /waarschuwingen_en", "_verwachtingen/index.html HTTP/1.1\r\n",
                          "Host: x\r\n", "\r\n"});
    EXPECT_EQ(response.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << response;
    // Bare line feeds end a head too.
    const std::string lf =
        Exchange(server_->Port(), std::string("GET ") + kPath + " HTTP/1.1\nHost: x\n\n");
    EXPECT_EQ(lf.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

// Two hundred clients, as many at a time as the listen queue holds. A burst beyond the queue
// tests the kernel, not the server: it drops the overflowing handshakes and the clients retry
// in step with a doubling back-off, so some wait minutes while the server sits idle.
TEST_F(DemoServer, TwoHundredClientsFiveAtATimeAllGetThePage) {
    constexpr int kClients = 200;
    constexpr int kAtATime = 5;  // the listening socket's queue length
    const std::string page = SamplePage();
    const std::string request = std::string("GET ") + kPath + " HTTP/1.1\r\nHost: t\r\n\r\n";
    std::atomic<int> complete{0};
    std::vector<std::thread> lanes;
    for (int lane = 0; lane < kAtATime; ++lane) {
        lanes.emplace_back([&] {
            for (int i = 0; i < kClients / kAtATime; ++i) {
                const std::string response = Exchange(server_->Port(), request);
                const auto bodyStart = response.find("\r\n\r\n");
                if (response.rfind("HTTP/1.1 200 OK\r\n", 0) == 0 &&
                    bodyStart != std::string::npos && response.substr(bodyStart + 4) == page) {
                    ++complete;
                }
            }
        });
    }
    for (auto& lane : lanes) {
        lane.join();
    }
    EXPECT_EQ(complete.load(), kClients);
}

TEST_F(DemoServer, AGoodClientIsServedWhileAHundredOthersDripOrHold) {
    std::vector<std::unique_ptr<zonbode::testing::SlowClient>> others;
    for (int i = 0; i < 100; ++i) {
        others.push_back(std::make_unique<zonbode::testing::SlowClient>(
            server_->Port(), i % 2 == 0, std::chrono::milliseconds(500)));
        // The listener's queue holds five: a pause, so no silent client's handshake is lost.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string response =
        Exchange(server_->Port(), std::string("GET ") + kPath + " HTTP/1.1\r\nHost: t\r\n\r\n");
    EXPECT_EQ(response.substr(response.find("\r\n\r\n") + 4), SamplePage());
    for (const auto& other : others) {
        EXPECT_TRUE(other->Connected() && !other->Closed()) << "room enough: nobody is pushed out";
    }
}

TEST_F(DemoServer, InterruptEndsItCleanly) {
    EXPECT_EQ(server_->Stop(SIGINT), 0);
    server_.reset();
}

TEST(DemoServerArguments, BadArgumentsAreRefusedClearly) {
    struct Refusal {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    };
    for (const Refusal& refusal : std::vector<Refusal>{
             {{"--port", "70000"}, 2, "not a port"},
             {{"--frobnicate"}, 2, "usage"},
             {{"--port", "0", "--page", "/nonexistent/page.html"}, 1, "cannot read page"}}) {
        const auto run = RunChild(ZONBODE_DEMO_SERVER_PATH, refusal.args);
        EXPECT_EQ(run.exitCode, refusal.exitCode) << refusal.says;
        EXPECT_NE(run.err.find(refusal.says), std::string::npos) << run.err;
    }
}

TEST(DemoServerArguments, PortInUseIsReported) {
    DemoServerProcess first({"--port", "0", "--page", ZONBODE_DEMO_SERVER_PATH});
    ASSERT_TRUE(first.Listening());
    const auto run = RunChild(ZONBODE_DEMO_SERVER_PATH, {"--port", std::to_string(first.Port()),
                                                         "--page", ZONBODE_DEMO_SERVER_PATH});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Address already in use."), std::string::npos) << run.err;
    EXPECT_EQ(first.Stop(SIGTERM), 0);
}

TEST(DemoServerArguments, ServesTheBundledPageByDefault) {
    const std::string bundled = std::string(ZONBODE_DATA_DIR) + "/forecast-page.html";
    const std::string page = ReadFile(bundled);
    if (page.empty()) {
        ZONBODE_SKIP_FOR_MISSING_PART("the bundled page " << bundled);
    }
    DemoServerProcess server({"--port", "0"});
    ASSERT_TRUE(server.Listening()) << server.FirstLine();
    const std::string response =
        Exchange(server.Port(), std::string("GET ") + kPath + " HTTP/1.1\r\n\r\n");
    const auto bodyStart = response.find("\r\n\r\n");
    ASSERT_NE(bodyStart, std::string::npos);
    EXPECT_TRUE(response.substr(bodyStart + 4) == page);
    EXPECT_EQ(server.Stop(SIGTERM), 0);
}

TEST(HttpRequestHead, EndsAtTheFirstBlankLine) {
    using http::EndOfRequestHead;
    using http::ParseRequestHead;
    EXPECT_EQ(EndOfRequestHead("GET / HTTP/1.1\r\n"), std::string::npos);
    EXPECT_EQ(EndOfRequestHead("GET / HTTP/1.1\r\n\r\nrest"), 18u);
    EXPECT_EQ(EndOfRequestHead("GET / HTTP/1.1\n\n"), 16u);
    const auto request = ParseRequestHead("GET /a/b?c=d HTTP/1.1\r\nHost: x\r\n\r\n");
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->method, "GET");
    EXPECT_EQ(request->path, "/a/b");
    EXPECT_EQ(request->version, "HTTP/1.1");
    EXPECT_FALSE(ParseRequestHead("GET  / HTTP/1.1\r\n\r\n").has_value());
    EXPECT_FALSE(ParseRequestHead("GET /\x01 HTTP/1.1\r\n\r\n").has_value());
}

}  // namespace
}  // namespace zonbode::demo::testing
