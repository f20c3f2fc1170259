// Form1's download cycle with the real socket and the real event loop against real servers on
// 127.0.0.1: a test server that can misbehave, and python3's http.server. The window's timers
// run on the virtual clock of the fake timer factory, so the watchdog and the refresh are
// stepped by the test instead of waited for.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/StoredSettings.h"
#include "app/support/ForecastPages.h"
#include "app/support/Form1OnLoop.h"
#include "app/support/LocalHttpServer.h"
#include "app/support/PythonHttpServer.h"
#include "net/SocketApi.h"

namespace zonbode::app {
namespace {

using namespace std::chrono_literals;
using testing::LocalHttpServer;
using Behaviour = LocalHttpServer::Behaviour;

std::string ExpectedRequest(std::uint16_t port) {
    return "GET /waarschuwingen_en_verwachtingen/index.html HTTP/1.1\r\n"
           "Host: 127.0.0.1:" +
           std::to_string(port) +
           "\r\n"
           "User-Agent: Kavelo Zonbode\r\n"
           "Connection: Close\r\n"
           "\r\n";
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

class Form1DownloadTest : public testing::Form1OnLoop {
protected:
    void Start(const std::string& host, std::uint16_t port) { Load(ForecastServer{host, port}); }

    void ExpectSevenTestDays() {
        ASSERT_EQ(ports.view.RowCount(), 7);
        for (int d = 1; d <= 7; ++d) {
            EXPECT_EQ(ports.view.CellText(d, 0), testing::kSevenDayNames[d - 1]);
            for (int r = 1; r <= 7; ++r) {
                EXPECT_EQ(ports.view.CellText(d, r),
                          "r" + std::to_string(r) + "d" + std::to_string(d));
            }
        }
    }

    void ExpectNothingStoredOrSent() {
        EXPECT_TRUE(ports.settings.writes.empty());
        EXPECT_TRUE(ports.messenger.records.empty());
    }
    // What a failed parse leaves before the end: the settings stored once, the status off.
    void ExpectStoredAndSwitchedOff() {
        EXPECT_EQ(ports.settings.writes.size(), 4u);
        ASSERT_EQ(ports.messenger.records.size(), 1u);
        EXPECT_EQ(ports.messenger.records[0].Text().substr(0, 8), "\\0Music\\");
    }
};

TEST_F(Form1DownloadTest, FastServerFillsTheTableAndShowsTheUpdateTime) {
    LocalHttpServer server(Behaviour::Answer, LocalHttpServer::HttpAnswer(testing::SevenDayPage()));
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));

    ExpectSevenTestDays();
    EXPECT_EQ(ports.view.statusTexts,
              (std::vector<std::string>{"Verbinding maken...", "Gegevens ophalen...",
                                        "Gegevens verwerken...",
                                        "Laatste update op: 07-12-2026, 16:05"}));
    EXPECT_FALSE(ports.timers.ByInterval(4000ms).running);
    EXPECT_TRUE(ports.timers.ByInterval(60000ms).running);
    EXPECT_TRUE(ports.view.messages.empty());
    ExpectNothingStoredOrSent();  // a parse sends no status
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], ExpectedRequest(server.Port()));
    form.reset();
}

TEST_F(Form1DownloadTest, AnswerInOneBytePiecesIsCollectedWhole) {
    LocalHttpServer server(Behaviour::AnswerOneByte,
                           LocalHttpServer::HttpAnswer(testing::SevenDayPage()));
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    ExpectSevenTestDays();
    form.reset();
}

TEST_F(Form1DownloadTest, RefreshComesOnTheFiftyNinthMinuteTick) {
    LocalHttpServer server(Behaviour::Answer, LocalHttpServer::HttpAnswer(testing::SevenDayPage()));
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    ASSERT_EQ(server.Connections(), 1);

    ports.clock.now = {2026, 12, 7, 17, 4};
    ports.timers.Advance(58min);
    RunIdle();
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Waiting);
    EXPECT_EQ(server.Connections(), 1);

    ports.timers.Advance(1min);  // the 59th tick
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Connecting);
    EXPECT_FALSE(ports.timers.ByInterval(60000ms).running);
    // While connecting the panel keeps the last update time.
    EXPECT_EQ(ports.view.StatusText(), "Laatste update op: 07-12-2026, 16:05");
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_EQ(ports.view.statusTexts,
              (std::vector<std::string>{
                  "Verbinding maken...", "Gegevens ophalen...", "Gegevens verwerken...",
                  "Laatste update op: 07-12-2026, 16:05", "Gegevens ophalen...",
                  "Gegevens verwerken...", "Laatste update op: 07-12-2026, 17:04"}));
    ExpectSevenTestDays();
    EXPECT_EQ(server.Requests().at(1), ExpectedRequest(server.Port()));
    form.reset();
}

TEST_F(Form1DownloadTest, WatchdogCountsFromTheStartOfADownloadAndTheNextTryComesInAMinute) {
    LocalHttpServer server(Behaviour::AnswerKeepOpen,
                           LocalHttpServer::HttpAnswer(testing::SevenDayPage()));
    form = std::make_unique<Form1>(ports.Ports(), ForecastServer{"127.0.0.1", server.Port()});
    EXPECT_FALSE(ports.timers.ByInterval(4000ms).running);
    ports.timers.Advance(10s);  // the window exists a while before the download starts
    form->Form_Load();
    ASSERT_TRUE(RunUntil([&] { return ports.view.StatusText() == "Gegevens ophalen..."; }));
    RunUntil([&] { return server.BytesSent() > 0; });
    RunIdle();

    ports.timers.Advance(3999ms);
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Receiving);
    ports.timers.Advance(1ms);  // 4000 ms after Connect
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Retrying);
    EXPECT_TRUE(server.WaitForFinishedConnections(1, kPatience)) << "the watchdog closed it";
    EXPECT_FALSE(ports.timers.ByInterval(4000ms).running);
    RunIdle();
    EXPECT_EQ(ports.view.StatusText(), "Gegevens ophalen...");
    EXPECT_EQ(ports.view.RowCount(), 0) << "never parsed";
    EXPECT_TRUE(ports.view.messages.empty());
    EXPECT_EQ(ports.process.ended, 0);

    server.SetBehaviour(Behaviour::Answer);
    ports.timers.Advance(59s);
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Retrying);
    ports.timers.Advance(1s);
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Connecting);
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    ExpectSevenTestDays();
    EXPECT_EQ(server.Connections(), 2);
    ExpectNothingStoredOrSent();
    form.reset();
}

// A reset connection (the socket's Error event) and an answer past the size limit: tried
// again a minute later; after a good parse a failed refresh keeps the table, and the wait
// starts again from one minute.
class Form1FailingServerTest : public Form1DownloadTest,
                               public ::testing::WithParamInterface<Behaviour> {};

TEST_P(Form1FailingServerTest, IsTriedAgainAndAFailedRefreshKeepsTheTable) {
    const Behaviour failing = GetParam();
    LocalHttpServer server(failing, LocalHttpServer::HttpAnswer(testing::SevenDayPage()));
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Retrying));
    EXPECT_TRUE(server.WaitForFinishedConnections(1, kPatience));
    EXPECT_EQ(ports.view.StatusText(), "Gegevens ophalen...");
    EXPECT_TRUE(ports.view.messages.empty());

    server.SetBehaviour(Behaviour::Answer);
    ports.timers.Advance(1min);
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    ExpectSevenTestDays();

    server.SetBehaviour(failing);
    ports.timers.Advance(59min);
    ASSERT_TRUE(RunUntilState(DownloadCycle::Retrying));
    ExpectSevenTestDays();
    EXPECT_EQ(ports.view.StatusText(), "Gegevens ophalen...");
    ports.timers.Advance(1min);
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Connecting);
    EXPECT_TRUE(RunUntil([&] { return server.Connections() == 4; }));
    EXPECT_EQ(ports.process.ended, 0);
    ExpectNothingStoredOrSent();
    form.reset();
}

INSTANTIATE_TEST_SUITE_P(ResetOrTooLarge, Form1FailingServerTest,
                         ::testing::Values(Behaviour::Reset, Behaviour::Endless));

TEST_F(Form1DownloadTest, ServerClosingWithoutAnswerShowsTheOfflineMessageAndEnds) {
    LocalHttpServer server(Behaviour::CloseAtOnce, "");
    ports.view.rows.push_back({"oud"});  // the previous table stays when the page is missing
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Ended));

    ASSERT_EQ(ports.view.messages.size(), 1u);
    const auto& message = ports.view.messages[0];
    EXPECT_TRUE(StartsWith(message.text,
                           "Host is waarschijnlijk offline.\r\nAls deze melding de volgende dag "
                           "nog komt, kijk dan op "))
        << message.text;
    EXPECT_EQ(message.title, "Zonbode");
    EXPECT_EQ(message.icon, MessageIcon::Critical);
    EXPECT_EQ(ports.view.statusTexts.back(), "Gegevens verwerken...");
    EXPECT_EQ(ports.view.RowCount(), 1);
    // Stored and switched off before the box (the session may end while it is open, and the
    // window with it), then the icon goes and the process ends.
    ASSERT_GE(ports.log.entries.size(), 5u);
    std::vector<std::string> tail(ports.log.entries.end() - 5, ports.log.entries.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"settings.write-all 4",
                                        "messenger.send " + ports.messenger.records.at(0).Text(),
                                        "view.message", "tray.remove", "process.end"}));
    EXPECT_EQ(ports.process.ended, 1);
    ExpectStoredAndSwitchedOff();

    // Where ending the process returned, no handler acts any more.
    ports.log.entries.clear();
    ports.view.check1 = true;
    ports.view.selectedRow = 1;
    form->Check1_Click();
    form->ListView1_DblClick();
    form->Command1_Click();
    form->TrayIcon_Callback(kTrayLeftButtonUp);
    ports.timers.Advance(2h);
    form->Form_Unload();
    RunIdle();
    EXPECT_TRUE(ports.log.entries.empty());
    ExpectStoredAndSwitchedOff();
    form.reset();
}

TEST_F(Form1DownloadTest, BrokenTableShowsTheFailureCodeAndEnds) {
    // The first data row holds one value more than there are days.
    LocalHttpServer server(
        Behaviour::Answer,
        LocalHttpServer::HttpAnswer(testing::ForecastTablePage({"ma", "di", "wo"}, 7, 1)));
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Ended));
    ASSERT_EQ(ports.view.messages.size(), 1u);
    EXPECT_TRUE(StartsWith(ports.view.messages[0].text,
                           "Er is een fout opgestreden in de verbinding!\r\nCode: "))
        << ports.view.messages[0].text;
    EXPECT_EQ(ports.view.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(ports.view.RowCount(), 3) << "the rows made before the failure stay in view";
    EXPECT_EQ(ports.tray.removed, 1);
    EXPECT_EQ(ports.process.ended, 1);
    ExpectStoredAndSwitchedOff();
    form.reset();
}

TEST_F(Form1DownloadTest, WhileTheFailureBoxIsOpenNothingActs) {
    // Seven days, then a first data row with one value too many: the table is half filled.
    LocalHttpServer server(Behaviour::Answer,
                           LocalHttpServer::HttpAnswer(testing::ForecastTablePage(
                               {"ma", "di", "wo", "do", "vr", "za", "zo"}, 7, 1)));
    ports.settings.values[std::string(settings::kAutoPath)] = "1";
    ports.settings.values[std::string(settings::kSysteemvakPath)] = "1";
    std::vector<std::string> duringTheBox;
    ports.view.whileMessageOpen = [&] {
        const std::size_t before = ports.log.entries.size();
        // The platform's modal loop goes on dispatching: timer ticks, a click on the tray
        // icon, a double-click on a row, the window being closed.
        ports.timers.Advance(2min);
        form->TrayIcon_Callback(kTrayLeftButtonUp);
        ports.view.selectedRow = 1;
        form->ListView1_DblClick();
        form->Form_Unload();
        // The session ends meanwhile and the window goes, its controls with it.
        ports.view.templateText.clear();
        ports.view.check2 = ports.view.check3 = false;
        duringTheBox.assign(ports.log.entries.begin() + static_cast<std::ptrdiff_t>(before),
                            ports.log.entries.end());
    };
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Ended));
    ASSERT_EQ(ports.view.messages.size(), 1u);
    EXPECT_EQ(ports.view.RowCount(), 7);
    EXPECT_EQ(duringTheBox, std::vector<std::string>{});
    EXPECT_FALSE(ports.view.shown);
    EXPECT_EQ(ports.process.ended, 1);
    ExpectStoredAndSwitchedOff();
    EXPECT_EQ(ports.settings.values[std::string(settings::kAutoPath)], "1");
    EXPECT_EQ(ports.settings.values[std::string(settings::kSysteemvakPath)], "1");
    form.reset();
}

TEST_F(Form1DownloadTest, AfterTheUnloadQueuedSocketEventsDoNothing) {
    LocalHttpServer server(Behaviour::Answer, LocalHttpServer::HttpAnswer(testing::SevenDayPage()));
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Receiving));
    form->Form_Unload();  // closed right after the request went out
    const std::vector<std::string> logged = ports.log.entries;
    ASSERT_TRUE(server.WaitForFinishedConnections(1, kPatience));  // answered and closed
    RunIdle(1s);  // what the answer and the close notify
    EXPECT_EQ(ports.log.entries, logged);
    EXPECT_EQ(ports.view.RowCount(), 0);
    EXPECT_EQ(ports.view.StatusText(), "Gegevens ophalen...");
    EXPECT_TRUE(ports.view.messages.empty());
    form.reset();
}

// Nothing answers: each try fails, silently, and the waits between them grow to 15 minutes.
class Form1UnreachableTest : public Form1DownloadTest,
                             public ::testing::WithParamInterface<std::string> {};

TEST_P(Form1UnreachableTest, IsTriedAgainWithGrowingWaits) {
    if (GetParam() == "refused") {
        std::uint16_t port;
        {
            // A port that was just free: nothing listens there.
            LocalHttpServer gone(Behaviour::CloseAtOnce, "");
            port = gone.Port();
        }
        Start("127.0.0.1", port);
    } else {
        Start("zonbode-test-host.invalid", 80);
    }
    for (auto wait : {1min, 2min, 4min, 8min, 15min, 15min}) {
        ASSERT_TRUE(RunUntilState(DownloadCycle::Retrying));
        EXPECT_FALSE(ports.timers.ByInterval(4000ms).running);
        ports.timers.Advance(wait - 1s);
        EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Retrying);
        ports.timers.Advance(1s);
        EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Connecting) << wait.count();
    }
    ASSERT_TRUE(RunUntilState(DownloadCycle::Retrying));
    EXPECT_EQ(ports.view.statusTexts, std::vector<std::string>{"Verbinding maken..."});
    EXPECT_TRUE(ports.view.messages.empty());
    EXPECT_EQ(ports.process.ended, 0);
    form.reset();
}

INSTANTIATE_TEST_SUITE_P(RefusedOrNoName, Form1UnreachableTest,
                         ::testing::Values("refused", "unresolvable"));

TEST_F(Form1DownloadTest, EndlessAnswerIsCutOffPastEightMebibytes) {
    LocalHttpServer server(Behaviour::Endless, "");
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Retrying));
    EXPECT_TRUE(server.WaitForFinishedConnections(1, kPatience)) << "the connection was closed";
    EXPECT_GT(server.BytesSent(), Form1::kMaxAnswerBytes);
    EXPECT_EQ(server.Connections(), 1);
    form.reset();
}

#if !defined(_WIN32)
std::string SamplePage() {
    std::ifstream in(std::string(ZONBODE_DATA_DIR) + "/forecast-page.html", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(Form1DownloadTest, SamplePageFromPythonHttpServer) {
    const std::string page = SamplePage();
    ASSERT_FALSE(page.empty()) << "data/forecast-page.html is missing";
    testing::PythonHttpServer server(page);
    Start("127.0.0.1", server.Port());
    ASSERT_TRUE(RunUntilState(DownloadCycle::Waiting));
    EXPECT_GE(ports.view.RowCount(), 5);
    for (int row = 1; row <= ports.view.RowCount(); ++row) {
        EXPECT_FALSE(ports.view.CellText(row, 0).empty()) << row;
        EXPECT_FALSE(ports.view.CellText(row, 1).empty()) << row;
    }
    EXPECT_EQ(ports.view.StatusText(), "Laatste update op: 07-12-2026, 16:05");
    EXPECT_TRUE(ports.view.messages.empty());

    // A double-click then delivers a composed row.
    ports.view.selectedRow = 1;
    form->ListView1_DblClick();
    EXPECT_EQ(ports.messenger.records.size(), 1u);
    form.reset();
}
#endif

}  // namespace
}  // namespace zonbode::app
