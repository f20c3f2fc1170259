#include "app/ServerOptions.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zonbode::app
