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

    server = Parse({"--port", "65535", "--host", "127.0.0.1"}, problem);
    ASSERT_TRUE(server);
    EXPECT_EQ(server->host, "127.0.0.1");
    EXPECT_EQ(server->port, 65535);
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
    };
    for (const auto& [arguments, expected] : cases) {
        std::string problem;
        EXPECT_FALSE(Parse(arguments, problem)) << expected;
        EXPECT_EQ(problem, expected);
    }
}

TEST(DesktopOptions, TheLiveSourceUnlessAPageServerIsNamed) {
    std::string problem;
    auto options = ParseDesktopOptions({}, problem);
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->server);
    EXPECT_EQ(options->live.endpoints.api, "https://api.open-meteo.com");
    EXPECT_EQ(options->live.endpoints.geocoding, "https://geocoding-api.open-meteo.com");
    EXPECT_EQ(options->live.placeQuery, "");
    EXPECT_EQ(options->slackApi, "https://slack.com/api");

    options = ParseDesktopOptions({"--place", "Den Haag", "--api-url", "http://127.0.0.1:9/",
                                   "--geocoding-url", "https://geo.example"},
                                  problem);
    ASSERT_TRUE(options);
    EXPECT_FALSE(options->server);
    EXPECT_EQ(options->live.placeQuery, "Den Haag");
    EXPECT_EQ(options->live.endpoints.api, "http://127.0.0.1:9");
    EXPECT_EQ(options->live.endpoints.geocoding, "https://geo.example");

    options =
        ParseDesktopOptions({"--port", "8080", "--slack-url", "http://127.0.0.1:9/api/"}, problem);
    ASSERT_TRUE(options && options->server);
    EXPECT_EQ(options->server->host, "www.knmi.nl");
    EXPECT_EQ(options->server->port, 8080);
    EXPECT_EQ(options->slackApi, "http://127.0.0.1:9/api");  // beside either kind

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--place", " "}, "--place needs the name of a place"},
        {{"--api-url", "api.open-meteo.com"}, "--api-url needs an http:// or https:// address"},
        {{"--geocoding-url", "ftp://x"}, "--geocoding-url needs an http:// or https:// address"},
        {{"--host", "127.0.0.1", "--place", "Ede"},
         "--host and --port name another page server: they do not go with --place, --api-url "
         "or --geocoding-url"},
        {{"--port", "0"}, "--port needs a number from 1 to 65535"},
        {{"--slack-url", "slack.com/api"}, "--slack-url needs an http:// or https:// address"},
    };
    const std::string inClear =
        "--slack-url needs https:// for a server on another machine: "
        "the token would travel unencrypted";
    for (const std::string url : {"http://slack.example/api", "http://127.0.0.1.example/api",
                                  "http://127.0.0.1@evil.example/api", "http://10.0.0.1:80/api",
                                  "http://[::2]/api", "http://localhost.evil/api"}) {
        EXPECT_FALSE(ParseDesktopOptions({"--slack-url", url}, problem)) << url;
        EXPECT_EQ(problem, inClear) << url;
    }
    for (const std::string url :
         {"https://slack.example/api", "http://127.0.0.1:9/api", "http://LOCALHOST/api",
          "http://[::1]:8080/api", "http://127.1.2.3/api", "http://evil.example@127.0.0.1/api"}) {
        EXPECT_TRUE(ParseDesktopOptions({"--slack-url", url}, problem)) << url << ": " << problem;
    }
    for (const auto& [arguments, expected] : refused) {
        EXPECT_FALSE(ParseDesktopOptions(arguments, problem)) << expected;
        EXPECT_EQ(problem, expected);
    }
}

std::vector<std::pair<OptionText, std::string>> written;

void Record(OptionText kind, std::string_view text) {
    written.emplace_back(kind, std::string(text));
}

TEST(DesktopOptions, AnswersHelpAndVersionAndWritesProblemsWithTheUsage) {
    std::string usage;
    AnswerHelpOrVersion({"--help"}, [](OptionText, std::string_view text) {
        written.assign(1, {OptionText::Answer, std::string(text)});
    });
    usage = written.at(0).second;
    for (const char* option :
         {"--place NAME", "--api-url URL", "--geocoding-url URL", "--host HOST", "--port PORT",
          "--slack-url URL", "--graph-url URL", "--login-url URL", "--version"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
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
        DesktopOptions options;
        EXPECT_EQ(ReadDesktopOptions(c.arguments, options, Record), c.exitCode) << c.text;
        ASSERT_EQ(written.size(), 1u) << c.text;
        EXPECT_EQ(written[0].first, c.kind) << c.text;
        EXPECT_EQ(written[0].second, c.text);
    }

    written.clear();
    DesktopOptions options;
    EXPECT_EQ(ReadDesktopOptions({"--place", "Ede"}, options, Record), std::nullopt);
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(options.live.placeQuery, "Ede");
}

}  // namespace
}  // namespace zonbode::app
