#include "app/ServerOptions.h"

#include <gtest/gtest.h>

#include "options/Version.h"

namespace zonbode::app {
namespace {

std::optional<ForecastServer> Parse(std::vector<std::string> arguments, std::string& problem) {
    return ParseServerOptions(arguments, problem);
}

TEST(ServerOptions, DefaultsToTheInstitutesServerAndTakesHostAndPort) {
    std::string problem;
    auto server = Parse({}, problem);
    ASSERT_TRUE(server);
    EXPECT_EQ(server->host, "www.knmi.nl");
    EXPECT_EQ(server->port, 80);
    EXPECT_EQ(server->slackApi, "https://slack.com/api");

    server =
        Parse({"--port", "65535", "--slack-url", "http://127.0.0.1:9/api", "--host", "127.0.0.1"},
              problem);
    ASSERT_TRUE(server);
    EXPECT_EQ(server->host, "127.0.0.1");
    EXPECT_EQ(server->port, 65535);
    EXPECT_EQ(server->slackApi, "http://127.0.0.1:9/api");
}

TEST(ServerOptions, BadArgumentsSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--hots", "x"}, "unknown argument \"--hots\""},
        {{"--host"}, "--host needs a value"},
        {{"--host", ""}, "--host needs a host name or address"},
        {{"--port", "0"}, "--port needs a number from 1 to 65535"},
        {{"--port", "65536"}, "--port needs a number from 1 to 65535"},
        {{"--port", "80x"}, "--port needs a number from 1 to 65535"},
        {{"--port", "-1"}, "--port needs a number from 1 to 65535"},
        {{"--slack-url", "slack.com/api"}, "--slack-url needs an http:// or https:// address"},
    };
    for (const auto& [arguments, expected] : cases) {
        std::string problem;
        EXPECT_FALSE(Parse(arguments, problem)) << expected;
        EXPECT_EQ(problem, expected);
    }
}

std::vector<std::pair<OptionText, std::string>> written;

void Record(OptionText kind, std::string_view text) {
    written.emplace_back(kind, std::string(text));
}

TEST(DesktopOptions, AnswersHelpAndVersionAndWritesProblemsWithTheUsage) {
    const std::string usage =
        "usage: zonbode [--host HOST] [--port PORT] [--slack-url URL] [--version]\n";
    struct Case {
        std::vector<std::string> arguments;
        std::optional<int> exitCode;
        OptionText kind;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{"--port", "1", "--help"}, 0, OptionText::Answer, usage},
        {{"--version", "-h"}, 0, OptionText::Answer, usage},
        {{"--host", "x", "--version"},
         0,
         OptionText::Answer,
         "zonbode " + std::string(kVersion) + "\n"},
        {{"--bogus"}, 2, OptionText::Problem, "zonbode: unknown argument \"--bogus\"\n" + usage},
    };
    for (const Case& c : cases) {
        written.clear();
        ForecastServer server;
        EXPECT_EQ(ReadDesktopOptions(c.arguments, server, Record), c.exitCode) << c.text;
        ASSERT_EQ(written.size(), 1u) << c.text;
        EXPECT_EQ(written[0].first, c.kind) << c.text;
        EXPECT_EQ(written[0].second, c.text);
    }

    written.clear();
    ForecastServer server;
    EXPECT_EQ(ReadDesktopOptions({"--port", "8080"}, server, Record), std::nullopt);
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(server.port, 8080);
}

}  // namespace
}  // namespace zonbode::app
