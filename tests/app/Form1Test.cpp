// Form1 driven through fake ports and a virtual clock: start-up, shutdown, settings, tray,
// day selection and automatic cycling. The socket is real but its loop is never run here, so
// the first download never gets anywhere (see Form1DownloadTest for the download cycle).
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/StoredSettings.h"
#include "app/fakes/FakePorts.h"
#include "forecast/ForecastPage.h"
#include "net/SocketApi.h"
#include "status/StatusMessage.h"

namespace zonbode::app {
namespace {

using namespace std::chrono_literals;
using fakes::FakePorts;

const std::string kPsm(settings::kPsmPath);
const std::string kAuto(settings::kAutoPath);
const std::string kSysteemvak(settings::kSysteemvakPath);
const std::string kAanmelden(settings::kAanmeldenPath);
const std::string kDefaultTemplate(status::kDefaultTemplate);

// A loopback port nobody listens on.
std::uint16_t UnusedPort() {
    namespace sys = net::sys;
    sys::Startup(0x0101);
    sys::Handle s = sys::Socket(sys::kAfInet, sys::kSockStream, sys::kIpprotoTcp);
    sys::SockAddrIn local;
    local.addr = sys::InetAddr("127.0.0.1");
    sys::Bind(s, local);
    sys::GetSockName(s, &local);
    sys::CloseSocket(s);
    sys::Cleanup();
    return sys::NetToHostShort(local.port);
}

// The record a composed status sends, as text.
std::string OfficeRecord(const std::string& text) {
    return "\\0Office\\01\\0{0}\\0" + text + "\\0\\0\\0\\0" + std::string(1, '\0');
}

std::string RowText(int i) {
    const std::string n = std::to_string(i);
    return "Dag" + n + " | Kans op zon: zon" + n + "% | Neerslag: mm" + n + "mm / nsk" + n +
           "% | Temp: mid" + n + " | Wind: ZW" + n;
}

class Form1Test : public ::testing::Test {
protected:
    void Create() {
        form = std::make_unique<Form1>(ports.Ports(), ForecastServer{"127.0.0.1", port});
    }
    void Load() {
        Create();
        form->Form_Load();
    }

    // Rows as a parse would leave them: row i holds "Dag<i>", "zon<i>", ... "<i>".
    void FillRows(int count) {
        ports.view.rows.clear();
        for (int i = 1; i <= count; ++i) {
            const std::string n = std::to_string(i);
            ports.view.rows.push_back(
                {"Dag" + n, "zon" + n, "nsk" + n, "mm" + n, "min" + n, "mid" + n, "ZW", n});
        }
    }

    std::vector<std::string> SentTexts() const {
        std::vector<std::string> texts;
        for (const auto& r : ports.messenger.records) {
            texts.push_back(r.Text());
        }
        return texts;
    }

    const fakes::FakeTimerFactory::State& Timer(std::chrono::milliseconds interval) {
        return ports.timers.ByInterval(interval);
    }

    FakePorts ports;
    std::uint16_t port = UnusedPort();
    std::unique_ptr<Form1> form;
};

// ---- Start-up --------------------------------------------------------------------------------

TEST_F(Form1Test, TimersAtCreationAllStopped) {
    Create();
    EXPECT_FALSE(Timer(4000ms).running);
    EXPECT_FALSE(Timer(60000ms).running);
    EXPECT_FALSE(Timer(30000ms).running);
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Idle);
}

TEST_F(Form1Test, FirstStartWithNothingStored) {
    Load();
    const auto& view = ports.view;
    EXPECT_EQ(view.applicationTitle, "Zonbode");
    EXPECT_EQ(view.templateText, kDefaultTemplate);
    EXPECT_FALSE(view.check1);
    EXPECT_FALSE(view.check2);
    EXPECT_FALSE(view.check3);
    EXPECT_FALSE(view.check4);
    EXPECT_FALSE(Timer(30000ms).running);
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.windowState, WindowState::Normal);
    EXPECT_EQ(ports.tray.added, 1);
    EXPECT_TRUE(ports.tray.iconShown);
    EXPECT_EQ(view.statusTexts, std::vector<std::string>{"Verbinding maken..."});
    EXPECT_EQ(view.columnHeaders, std::vector<std::string>(forecast::kColumnHeaders.begin(),
                                                           forecast::kColumnHeaders.end()));
    EXPECT_EQ(view.preview, "<Hier komt je psm te staan>");
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Connecting);
    // Start-up sends nothing and stores nothing.
    EXPECT_TRUE(ports.messenger.records.empty());
    EXPECT_TRUE(ports.settings.writes.empty());
    EXPECT_EQ(ports.settings.reads,
              (std::vector<std::string>{kPsm, kAuto, kSysteemvak, kAanmelden}));
}

TEST_F(Form1Test, StartUpStepsRunInOrder) {
    ports.settings.values[kSysteemvak] = "1";
    ports.settings.values[kAanmelden] = "1";
    Load();
    EXPECT_EQ(ports.log.entries, (std::vector<std::string>{
                                     "tray.add", "settings.read " + kPsm, "settings.read " + kAuto,
                                     "settings.read " + kSysteemvak, "view.minimize", "view.hide",
                                     "settings.read " + kAanmelden, "signin.put", "view.setup-list",
                                     "view.status Verbinding maken..."}));
}

TEST_F(Form1Test, StoredTemplateIsReadAgainAndShown) {
    ports.settings.values[kPsm] = "Vandaag: [dag] \xC3\xA9\xE2\x82\xAC";
    Load();
    EXPECT_EQ(ports.view.templateText, "Vandaag: [dag] \xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(ports.settings.reads,
              (std::vector<std::string>{kPsm, kPsm, kAuto, kSysteemvak, kAanmelden}));
}

TEST_F(Form1Test, AutoStoredAsOneStartsAutomaticModeWithoutSending) {
    ports.settings.values[kAuto] = "1";
    Load();
    EXPECT_TRUE(ports.view.check1);
    EXPECT_TRUE(ports.view.check2);
    EXPECT_FALSE(ports.view.check3);
    EXPECT_TRUE(Timer(30000ms).running);
    EXPECT_TRUE(ports.messenger.records.empty());
}

TEST_F(Form1Test, AutomaticModeStepsThroughTheRowsEveryHalfMinuteAndWraps) {
    ports.settings.values[kAuto] = "1";
    Load();
    FillRows(7);
    ports.timers.Advance(29999ms);
    EXPECT_TRUE(ports.messenger.records.empty()) << "nothing before the first tick";
    ports.timers.Advance(1ms);
    ASSERT_EQ(SentTexts(), std::vector<std::string>{OfficeRecord(RowText(1))});
    EXPECT_EQ(ports.view.preview, RowText(1));
    ports.timers.Advance(30s);
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(2)));
    ports.timers.Advance(150s);  // 210 s after start
    ASSERT_EQ(SentTexts().size(), 7u);
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(7)));
    ports.timers.Advance(30s);  // 240 s
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(1)));
    for (const auto& record : ports.messenger.records) {
        EXPECT_EQ(record.dwData, status::kStatusCopyDataId);
        EXPECT_EQ(record.receiver, "messenger-1");
    }
}

TEST_F(Form1Test, NonNumericStoredChoicesCountAsOffAndTheStartGoesOn) {
    ports.settings.values[kAuto] = "aan";
    ports.settings.values[kSysteemvak] = "ja";
    Load();
    EXPECT_FALSE(ports.view.check1);
    EXPECT_FALSE(ports.view.check2);
    EXPECT_FALSE(ports.view.check3);
    EXPECT_FALSE(Timer(30000ms).running);
    EXPECT_TRUE(ports.view.shown);
    EXPECT_EQ(ports.view.StatusText(), "Verbinding maken...");
    EXPECT_EQ(form->DownloadCycleState(), DownloadCycle::Connecting);
}

TEST_F(Form1Test, SysteemvakStartsHiddenWithOnlyTheTrayIcon) {
    ports.settings.values[kSysteemvak] = "1";
    Load();
    EXPECT_TRUE(ports.view.check3);
    EXPECT_EQ(ports.view.windowState, WindowState::Minimized);
    EXPECT_FALSE(ports.view.shown);
    EXPECT_TRUE(ports.tray.iconShown);
    // The icon brings the window back.
    form->TrayIcon_Callback(kTrayLeftButtonUp);
    EXPECT_TRUE(ports.view.shown);
    EXPECT_EQ(ports.view.windowState, WindowState::Normal);
}

TEST_F(Form1Test, AnotherStartBringsTheWindowBackFromTheTrayOrFromMinimized) {
    ports.settings.values[kSysteemvak] = "1";
    Load();
    ASSERT_FALSE(ports.view.shown);
    form->AnotherCopyStarted();
    EXPECT_TRUE(ports.view.shown);
    EXPECT_EQ(ports.view.windowState, WindowState::Normal);
    ports.view.windowState = WindowState::Minimized;  // minimized without a tray to hide in
    form->AnotherCopyStarted();
    EXPECT_EQ(ports.view.windowState, WindowState::Normal);
}

TEST_F(Form1Test, SysteemvakWithoutANotificationAreaStaysMinimizedButShown) {
    ports.tray.addFails = true;
    ports.settings.values[kSysteemvak] = "1";
    Load();
    EXPECT_TRUE(ports.view.check3);
    EXPECT_EQ(ports.view.windowState, WindowState::Minimized);
    EXPECT_TRUE(ports.view.shown);
}

// ---- Start at sign-in -----------------------------------------------------------------------

TEST_F(Form1Test, SignInEntryIsPutRightAtStartForTheStoredChoice) {
    using State = SignInEntry::State;
    struct Case {
        std::string stored;  // "" is nothing stored
        State entry;
        bool box;
        State after;
        std::vector<std::string> steps;
    };
    for (const Case& c : std::vector<Case>{
             {"", State::Missing, false, State::Missing, {}},
             {"", State::InPlace, true, State::InPlace, {}},  // an earlier setup's entry stays
             {"", State::Elsewhere, true, State::InPlace, {"signin.put"}},
             {"1", State::Missing, true, State::InPlace, {"signin.put"}},
             {"1", State::Elsewhere, true, State::InPlace, {"signin.put"}},  // the program moved
             {"1", State::InPlace, true, State::InPlace, {}},
             {"0", State::InPlace, false, State::Missing, {"signin.remove"}},
             {"0", State::Elsewhere, false, State::Missing, {"signin.remove"}},
             {"0", State::Missing, false, State::Missing, {}},
             {"ja", State::InPlace, false, State::Missing, {"signin.remove"}},
         }) {
        SCOPED_TRACE("stored \"" + c.stored + "\", entry " + std::to_string(int(c.entry)));
        FakePorts start;
        if (!c.stored.empty()) {
            start.settings.values[kAanmelden] = c.stored;
        }
        start.signIn.state = c.entry;
        Form1 again(start.Ports(), ForecastServer{"127.0.0.1", port});
        again.Form_Load();
        EXPECT_EQ(start.view.check4, c.box);
        EXPECT_EQ(start.signIn.state, c.after);
        EXPECT_EQ(start.log.With("signin."), c.steps);
    }
}

TEST_F(Form1Test, SignInEntryFollowsTheBoxAtOnceAndTheChoiceIsStoredAtTheEnd) {
    Load();
    for (bool on : {true, false, true}) {
        ports.view.check4 = on;
        form->Check4_Click();
        EXPECT_EQ(ports.signIn.state,
                  on ? SignInEntry::State::InPlace : SignInEntry::State::Missing);
    }
    EXPECT_TRUE(ports.settings.writes.empty());
    form->Form_Unload();
    EXPECT_EQ(ports.settings.values[kAanmelden], "1");
    EXPECT_EQ(ports.log.With("signin."),
              (std::vector<std::string>{"signin.put", "signin.remove", "signin.put"}));
}

// ---- Shutdown --------------------------------------------------------------------------------

// The settings go first, in one go: the platform may end the process while a slow messenger
// holds the switch-off.
TEST_F(Form1Test, ShutdownRemovesTheIconStoresInOneGoThenSwitchesTheStatusOff) {
    ports.messenger.receivers = {"first", "second"};
    Load();
    ports.view.templateText = "[dag]!";
    ports.view.check2 = true;
    ports.log.entries.clear();
    form->Form_Unload();

    ASSERT_EQ(ports.messenger.records.size(), 2u);
    EXPECT_EQ(ports.log.entries,
              (std::vector<std::string>{"tray.remove", "settings.write-all 4",
                                        "messenger.send " + ports.messenger.records[0].Text(),
                                        "messenger.send " + ports.messenger.records[1].Text()}));
    const std::vector<std::uint8_t> switchOff = {
        0x5C, 0, 0x30, 0, 0x4D, 0, 0x75, 0, 0x73, 0, 0x69, 0, 0x63, 0, 0x5C, 0,
        0x30, 0, 0x30, 0, 0x5C, 0, 0x30, 0, 0x7B, 0, 0x30, 0, 0x7D, 0, 0x20, 0,
        0x2D, 0, 0x20, 0, 0x7B, 0, 0x31, 0, 0x7D, 0, 0x5C, 0, 0x30, 0, 0x5C, 0,
        0x30, 0, 0x5C, 0, 0x30, 0, 0x5C, 0, 0x30, 0, 0x5C, 0, 0x30, 0, 0,    0};
    ASSERT_EQ(ports.messenger.records.size(), 2u);
    EXPECT_EQ(ports.messenger.records[0].receiver, "first");
    EXPECT_EQ(ports.messenger.records[1].receiver, "second");
    for (const auto& record : ports.messenger.records) {
        EXPECT_EQ(record.bytes.size(), 64u);
        EXPECT_EQ(record.bytes, switchOff);
        EXPECT_EQ(record.dwData, 0x547u);
    }
    using Write = fakes::FakeSettings::Write;
    EXPECT_EQ(ports.settings.writes, (std::vector<Write>{{kPsm, "REG_SZ", "[dag]!"},
                                                         {kAuto, "REG_DWORD", "1"},
                                                         {kSysteemvak, "REG_DWORD", "0"},
                                                         {kAanmelden, "REG_DWORD", "0"}}));
}

TEST_F(Form1Test, AutomaticModeOfThisRunAloneIsNotStored) {
    Load();
    ports.view.check1 = true;  // Check1 on, Check2 off
    form->Check1_Click();
    form->Form_Unload();
    EXPECT_EQ(ports.settings.values[kAuto], "0");

    // The next start follows Check2 alone.
    FakePorts next;
    next.settings.values = ports.settings.values;
    Form1 again(next.Ports(), ForecastServer{"127.0.0.1", port});
    again.Form_Load();
    EXPECT_FALSE(next.view.check1);
    EXPECT_FALSE(next.timers.ByInterval(30000ms).running);
}

TEST_F(Form1Test, StoredChoicesAndTemplateSurviveARestartCharacterForCharacter) {
    Load();
    const std::string odd = "  [zon]%\t\\0 \xC3\xBC\xE2\x82\xAC  ";
    ports.view.templateText = odd;
    ports.view.check2 = true;
    ports.view.check3 = true;
    form->Form_Unload();

    FakePorts next;
    next.settings.values = ports.settings.values;
    Form1 again(next.Ports(), ForecastServer{"127.0.0.1", port});
    again.Form_Load();
    EXPECT_EQ(next.view.templateText, odd);
    EXPECT_TRUE(next.view.check1);
    EXPECT_TRUE(next.view.check2);
    EXPECT_TRUE(next.view.check3);
    EXPECT_FALSE(next.view.shown);
}

TEST_F(Form1Test, EmptyTemplateIsStoredEmptyAndTheNextStartShowsTheDefault) {
    Load();
    ports.view.templateText = "";
    form->Form_Unload();
    EXPECT_EQ(ports.settings.writes.at(0), (fakes::FakeSettings::Write{kPsm, "REG_SZ", ""}));

    FakePorts next;
    next.settings.values = ports.settings.values;
    Form1 again(next.Ports(), ForecastServer{"127.0.0.1", port});
    again.Form_Load();
    EXPECT_EQ(next.view.templateText, kDefaultTemplate);
}

TEST_F(Form1Test, ShutdownWithoutAnyStatusSentStillSwitchesItOff) {
    Load();
    EXPECT_TRUE(ports.messenger.records.empty());
    form->Form_Unload();
    ASSERT_EQ(ports.messenger.records.size(), 1u);
    EXPECT_EQ(ports.messenger.records[0].Text(),
              "\\0Music\\00\\0{0} - {1}\\0\\0\\0\\0\\0" + std::string(1, '\0'));
    EXPECT_FALSE(ports.tray.iconShown);
}

TEST_F(Form1Test, UnloadRunsOnceAndAfterItNothingActs) {
    ports.settings.values[kAuto] = "1";
    Load();
    FillRows(7);
    form->Form_Unload();
    ASSERT_EQ(ports.messenger.records.size(), 1u);
    const std::vector<std::string> logged = ports.log.entries;

    // A session that ends after the close, and events still queued when the loop ends.
    form->Form_Unload();
    ports.timers.Advance(2h);
    ports.view.selectedRow = 2;
    form->ListView1_DblClick();
    form->TrayIcon_Callback(kTrayLeftButtonUp);
    form->AnotherCopyStarted();
    form->Check1_Click();
    form->Check4_Click();
    form->Command1_Click();
    ports.view.windowState = WindowState::Minimized;
    form->Form_Resize();
    EXPECT_EQ(ports.log.entries, logged);
    EXPECT_EQ(ports.messenger.records.size(), 1u);
    EXPECT_EQ(ports.settings.writes.size(), 4u);
    EXPECT_EQ(ports.view.preview, "<Hier komt je psm te staan>");
}

// A session that ends while a messenger holds a day record (the platform dispatches during the
// wait): the unload runs once, with the window's values, and the day record reaches no receiver
// after the switch-off.
TEST_F(Form1Test, UnloadDuringADayDeliveryRunsOnceAndNoDayRecordFollowsTheSwitchOff) {
    ports.messenger.receivers = {"first", "second"};
    Load();
    FillRows(7);
    ports.view.templateText = "[dag]";
    ports.view.check3 = true;
    int unloads = 0;
    ports.messenger.whileSending = [&](const fakes::FakeMessenger::Record&) {
        if (unloads++ < 2) {
            form->Form_Unload();  // the second comes during the switch-off's own delivery
        }
    };
    ports.view.selectedRow = 1;
    form->ListView1_DblClick();

    std::vector<std::pair<std::string, std::string>> sent;
    for (const auto& record : ports.messenger.records) {
        sent.emplace_back(record.receiver, record.Text().substr(0, 8));
    }
    const std::string day = "\\0Office", off = "\\0Music\\";
    EXPECT_EQ(sent, (std::vector<std::pair<std::string, std::string>>{
                        {"first", day}, {"first", off}, {"second", off}}));
    using Write = fakes::FakeSettings::Write;
    EXPECT_EQ(ports.settings.writes, (std::vector<Write>{{kPsm, "REG_SZ", "[dag]"},
                                                         {kAuto, "REG_DWORD", "0"},
                                                         {kSysteemvak, "REG_DWORD", "1"},
                                                         {kAanmelden, "REG_DWORD", "0"}}));
}

// ---- Day selection ---------------------------------------------------------------------------

TEST_F(Form1Test, DoubleClickComposesAndDeliversTheSelectedRow) {
    Load();
    FillRows(7);
    ports.view.selectedRow = 3;
    form->ListView1_DblClick();
    EXPECT_EQ(SentTexts(), std::vector<std::string>{OfficeRecord(RowText(3))});
    EXPECT_EQ(ports.view.preview, RowText(3));
    // The same row again is delivered again.
    form->ListView1_DblClick();
    EXPECT_EQ(SentTexts().size(), 2u);
}

TEST_F(Form1Test, DoubleClickFailuresAreIgnored) {
    Load();
    FillRows(7);
    ports.view.selectedRow.reset();
    EXPECT_NO_THROW(form->ListView1_DblClick());
    ports.view.selectedRow = 9;
    EXPECT_NO_THROW(form->ListView1_DblClick());
    EXPECT_TRUE(ports.messenger.records.empty());
    EXPECT_EQ(ports.view.preview, "<Hier komt je psm te staan>");

    FillRows(4);  // fewer than five rows: nothing happens
    ports.view.selectedRow = 2;
    form->ListView1_DblClick();
    EXPECT_TRUE(ports.messenger.records.empty());
    EXPECT_EQ(ports.view.preview, "<Hier komt je psm te staan>");
}

TEST_F(Form1Test, SetPSMReportsAMissingRowAndChangesNothing) {
    Load();
    FillRows(7);
    EXPECT_EQ(form->SetPSM(3), SetPSMResult::Delivered);
    ASSERT_EQ(ports.messenger.records.size(), 1u);
    EXPECT_EQ(form->SetPSM(9), SetPSMResult::NoSuchRow);
    EXPECT_EQ(form->SetPSM(0), SetPSMResult::NoSuchRow);
    EXPECT_EQ(ports.messenger.records.size(), 1u);
    EXPECT_EQ(ports.view.preview, RowText(3));
    // CurrentDay stayed at 3: the next automatic step is row 4.
    ports.view.check1 = true;
    form->Check1_Click();
    ports.timers.Advance(30s);
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(4)));
}

TEST_F(Form1Test, DoubleClickDuringAutomaticModeMovesTheCycle) {
    Load();
    FillRows(7);
    ports.view.check1 = true;
    form->Check1_Click();
    EXPECT_TRUE(ports.messenger.records.empty()) << "switching on sends nothing";
    ports.timers.Advance(10s);
    ports.view.selectedRow = 5;
    form->ListView1_DblClick();
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(5)));
    ports.timers.Advance(20s);
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(6)));
}

TEST_F(Form1Test, SwitchingAutomaticModeOffAndOnContinuesAfterTheLastRow) {
    Load();
    FillRows(7);
    ports.view.check1 = true;
    form->Check1_Click();
    ports.timers.Advance(90s);  // rows 1, 2, 3
    ASSERT_EQ(SentTexts().back(), OfficeRecord(RowText(3)));
    ports.view.check1 = false;
    form->Check1_Click();
    EXPECT_FALSE(Timer(30000ms).running);
    ports.timers.Advance(120s);
    EXPECT_EQ(SentTexts().size(), 3u);
    ports.view.check1 = true;
    form->Check1_Click();
    ports.timers.Advance(30s);
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(4)));
}

TEST_F(Form1Test, AutomaticModeOnAShortTableSendsNothing) {
    Load();
    FillRows(4);
    ports.view.check1 = true;
    form->Check1_Click();
    ports.timers.Advance(300s);
    EXPECT_TRUE(ports.messenger.records.empty());
    // Once the table is long enough again, the cycle delivers within its rows.
    FillRows(7);
    ports.timers.Advance(30s);
    ASSERT_EQ(ports.messenger.records.size(), 1u);
}

TEST_F(Form1Test, AutomaticModeRecoversWhenTheTableShrinksBelowTheCurrentDay) {
    Load();
    FillRows(7);
    ports.view.selectedRow = 7;
    form->ListView1_DblClick();
    FillRows(5);  // a refresh left fewer rows
    ports.view.check1 = true;
    form->Check1_Click();
    ports.timers.Advance(30s);
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(1)));
    ports.timers.Advance(30s);
    EXPECT_EQ(SentTexts().back(), OfficeRecord(RowText(2)));
}

// ---- Help, resize and tray -------------------------------------------------------------------

TEST_F(Form1Test, HelpButtonsShowTheirTextsAndChangeNothing) {
    Load();
    form->Command1_Click();
    form->Command2_Click();
    ASSERT_EQ(ports.view.messages.size(), 2u);
    EXPECT_EQ(ports.view.messages[0].text,
              "[dag] = Dag\r\n[zon] = Zonneschijn\r\n[neerslag-mm] = Neerslaghoeveelheid\r\n"
              "[neerslag-%] = Neerslagkans\r\n[mintemp] = Minimumtemperatuur\r\n"
              "[midtemp] = Middagtemperatuur\r\n[richting] = Windrichting\r\n"
              "[kracht] = Windkracht");
    EXPECT_EQ(ports.view.messages[1].text,
              "Met de knop \"Automatisch\" kan je inschakkelen dat iedere\r\nhalve minuut "
              "automatisch de volgende dag in je PSM komt te staan.");
    for (const auto& m : ports.view.messages) {
        EXPECT_EQ(m.title, "Zonbode");
        EXPECT_EQ(m.icon, MessageIcon::Information);
    }
    EXPECT_TRUE(ports.messenger.records.empty());
    EXPECT_EQ(ports.view.templateText, kDefaultTemplate);
    EXPECT_EQ(ports.view.StatusText(), "Verbinding maken...");
}

TEST_F(Form1Test, MinimizingHidesOnlyWhenThereIsANotificationArea) {
    Load();
    form->Form_Resize();  // a normal resize does nothing
    EXPECT_TRUE(ports.view.shown);
    ports.view.windowState = WindowState::Minimized;
    form->Form_Resize();
    EXPECT_FALSE(ports.view.shown);

    form->TrayIcon_Callback(kTrayLeftButtonUp);
    EXPECT_TRUE(ports.view.shown);
    EXPECT_EQ(ports.view.windowState, WindowState::Normal);

    // The icon went (and cannot be added again): minimizing keeps the window reachable.
    ports.tray.iconShown = false;
    ports.tray.addFails = true;
    ports.view.windowState = WindowState::Minimized;
    form->Form_Resize();
    EXPECT_TRUE(ports.view.shown);
    EXPECT_EQ(ports.view.windowState, WindowState::Minimized);
}

TEST_F(Form1Test, WithoutTheIconShownMinimizingKeepsTheWindowReachable) {
    ports.tray.addFails = true;  // started at logon, before the taskbar
    ports.settings.values[kSysteemvak] = "1";
    Load();
    EXPECT_FALSE(ports.tray.iconShown);
    EXPECT_TRUE(ports.view.shown) << "no icon to bring a hidden window back";
    EXPECT_EQ(ports.view.windowState, WindowState::Minimized);

    form->TrayIcon_Callback(kTrayLeftButtonUp);  // (no icon, so no click; just the state)
    ASSERT_TRUE(ports.view.shown);
    ports.view.windowState = WindowState::Minimized;
    form->Form_Resize();
    EXPECT_TRUE(ports.view.shown);
    const int triesBefore = ports.tray.added;

    // The taskbar is up now: the next minimize adds the icon, then hides.
    ports.tray.addFails = false;
    ports.view.windowState = WindowState::Normal;
    form->Form_Resize();
    ports.view.windowState = WindowState::Minimized;
    form->Form_Resize();
    EXPECT_GT(ports.tray.added, triesBefore);
    EXPECT_TRUE(ports.tray.iconShown);
    EXPECT_FALSE(ports.view.shown);
}

TEST_F(Form1Test, ANewNotificationAreaGetsTheIconAgainOrTheHiddenWindowComesBack) {
    Load();
    ports.view.windowState = WindowState::Minimized;
    form->Form_Resize();
    ASSERT_FALSE(ports.view.shown);
    // The shell restarted and forgot the icon; the new one takes it again.
    ports.tray.iconShown = false;
    form->TaskbarCreated();
    EXPECT_TRUE(ports.tray.iconShown);
    EXPECT_FALSE(ports.view.shown);
    // One that does not take it: the hidden window comes back.
    ports.tray.iconShown = false;
    ports.tray.addFails = true;
    form->TaskbarCreated();
    EXPECT_FALSE(ports.tray.iconShown);
    EXPECT_TRUE(ports.view.shown);
    ports.tray.addFails = false;
    form->TaskbarCreated();
    EXPECT_TRUE(ports.tray.iconShown);
    // After the unload no icon is wanted.
    form->Form_Unload();
    form->TaskbarCreated();
    EXPECT_FALSE(ports.tray.iconShown);
}

TEST_F(Form1Test, OnlyALeftButtonReleaseOverTheIconRestores) {
    Load();
    ports.view.windowState = WindowState::Minimized;
    form->Form_Resize();
    for (int code : {0x0200, 0x0201, 0x0203, 0x0204, 0x0205, 0x0206}) {
        form->TrayIcon_Callback(code);
        EXPECT_FALSE(ports.view.shown) << code;
    }
    form->TrayIcon_Callback(0x0202);
    EXPECT_TRUE(ports.view.shown);
    // Clicking while shown sets the normal state and shows again; nothing else changes.
    form->TrayIcon_Callback(0x0202);
    EXPECT_TRUE(ports.view.shown);
    EXPECT_EQ(ports.tray.added, 1);
    EXPECT_EQ(ports.tray.removed, 0);
}

}  // namespace
}  // namespace zonbode::app
