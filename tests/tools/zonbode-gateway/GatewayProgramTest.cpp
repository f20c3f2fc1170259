// zonbode-gateway as a process against the recorded weather API, read back the way Zonbode
// reads it: `zonbode-cli parse` on the served response and `zonbode-cli fetch` end to end.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "ChildProcess.h"
#include "GatewaySupport.h"
#include "MissingPart.h"

namespace zonbode::gateway::testing {
namespace {

using zonbode::testing::RunChild;

class Gateway : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(api_.Listening()) << "api: " << api_.FirstLine(); }

    void StartGateway(const std::string& answer, const std::vector<std::string>& more = {}) {
        std::vector<std::string> args = {"--lat",  "52.10", "--lon",     "5.18",
                                         "--port", "0",     "--api-url", api_.Url(answer)};
        args.insert(args.end(), more.begin(), more.end());
        gateway_ = std::make_unique<ServerProcess>(ZONBODE_GATEWAY_PATH, args);
        ASSERT_TRUE(gateway_->Listening()) << "gateway: " << gateway_->FirstLine();
    }

    RecordedApi api_;
    std::unique_ptr<ServerProcess> gateway_;
};

TEST_F(Gateway, ServedPageParsesToTheRecordedWeek) {
    StartGateway("week", {"--name", "De Bilt"});
    const std::string response = HttpGet(gateway_->Port(), kForecastPath);
    EXPECT_EQ(response.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << response;
    EXPECT_NE(response.find("Content-Type: text/html; charset=iso-8859-1\r\n"), std::string::npos);
    EXPECT_NE(response.find(R"(<tr class="trcolor"><th class="plaats">De Bilt</th><th>do</th>)"),
              std::string::npos);
    EXPECT_GT(response.find("<p class=\"bron\">Weerdata: Open-Meteo.com</p>"),
              response.find("</table>"));

    const auto parsed = RunChild(ZONBODE_CLI_PATH, {"parse"}, response);
    EXPECT_EQ(parsed.exitCode, 0) << parsed.err;
    EXPECT_EQ(parsed.out, kRecordedWeekTable);
    EXPECT_EQ(gateway_->Stop(), 0);
}

TEST_F(Gateway, ZonbodeCliFetchPrintsTheRecordedWeek) {
    StartGateway("week");
    const auto fetched = RunChild(ZONBODE_CLI_PATH, {"fetch", "--host", "127.0.0.1", "--port",
                                                     std::to_string(gateway_->Port())});
    EXPECT_EQ(fetched.exitCode, 0) << fetched.err;
    EXPECT_EQ(fetched.out, kRecordedWeekTable);
    EXPECT_NE(fetched.err.find("Laatste update op: "), std::string::npos) << fetched.err;
}

// The first fetch fails: no port is opened, one line says why, the exit status is 1.
struct RefusedStart {
    const char* answer;
    const char* cause;
};

void PrintTo(const RefusedStart& refused, std::ostream* out) {
    *out << refused.answer;
}

class GatewayRefusesToStart : public Gateway, public ::testing::WithParamInterface<RefusedStart> {};

TEST_P(GatewayRefusesToStart, WithOneLineNamingTheCause) {
    const RefusedStart refused = GetParam();
    // Port 1 on loopback: nothing listens there.
    const std::string url = refused.answer == std::string("closed-port") ? "http://127.0.0.1:1"
                                                                         : api_.Url(refused.answer);
    const auto run = RunChild(ZONBODE_GATEWAY_PATH,
                              {"--lat", "52.1", "--lon", "5.18", "--port", "0", "--api-url", url});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("zonbode-gateway: cannot fetch the forecast from " + url + ": ", 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find(refused.cause), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, GatewayRefusesToStart,
    ::testing::Values(RefusedStart{"bad-json", "the answer is not JSON (error at byte "},
                      RefusedStart{"six-days", "the answer has 6 days, not 7"},
                      RefusedStart{"eight-days", "the answer has 8 days, not 7"},
                      // A number beyond a double once ended the process with terminate.
                      RefusedStart{"out-of-range", "the answer cannot be read: "},
                      RefusedStart{
                          "http-500",
                          "the weather service answered HTTP 500 (the recorded service fails)"},
                      RefusedStart{"silent", "no answer within 10 s"},
                      RefusedStart{"closed-port", "Failed to connect"}),
    [](const auto& info) {
        std::string name = info.param.answer;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST(GatewayOptions, BadOptionsAreRefusedWithTheUsage) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "--lat and --lon are required"},
        {{"--lat", "52.1"}, "--lat and --lon are required"},
        {{"--lat", "91", "--lon", "5"}, "--lat needs decimal degrees from -90 to 90, not \"91\""},
        {{"--lat", "52", "--lon", "5,18"}, "--lon needs decimal degrees from -180 to 180"},
        {{"--lat", "nan", "--lon", "5"}, "--lat needs decimal degrees"},
        {{"--lat", "52", "--lon", "5", "--port", "65536"}, "--port needs a number from 0 to 65535"},
        {{"--lat", "52", "--lon", "5", "--refresh", "0"}, "--refresh needs a number of minutes"},
        {{"--lat", "52", "--lon", "5", "--api-url", "ftp://x"}, "--api-url needs an http://"},
        {{"--lat", "52", "--lon", "5", "--name"}, "--name needs a value"},
        {{"--lat", "52", "--lon", "5", "--verbose"}, "unknown argument \"--verbose\""},
    };
    for (const auto& [args, problem] : cases) {
        const auto run = RunChild(ZONBODE_GATEWAY_PATH, args);
        EXPECT_EQ(run.exitCode, 2) << problem;
        EXPECT_EQ(run.err.rfind(std::string("zonbode-gateway: ") + problem, 0), 0u) << run.err;
        EXPECT_NE(run.err.find("usage: zonbode-gateway --lat LAT --lon LON"), std::string::npos);
    }
    const auto help = RunChild(ZONBODE_GATEWAY_PATH, {"--lat", "x", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: zonbode-gateway", 0), 0u) << help.out;
}

// The user unit as installed, checked by systemd itself against the built program.
TEST(GatewayUnit, SystemdAcceptsIt) {
    const std::string analyze = ZONBODE_SYSTEMD_ANALYZE;
    if (analyze.empty()) {
        ZONBODE_SKIP_FOR_MISSING_PART("systemd-analyze (package systemd)");
    }
    // A user manager needs a runtime folder, which a test machine's session may lack.
    char runtime[] = "/tmp/zonbode-gateway-unit-XXXXXX";
    ASSERT_NE(mkdtemp(runtime), nullptr);
    setenv("XDG_RUNTIME_DIR", runtime, 1);
    const auto run = RunChild(analyze, {"verify", "--user", ZONBODE_GATEWAY_TEST_UNIT});
    std::filesystem::remove_all(runtime);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace zonbode::gateway::testing
