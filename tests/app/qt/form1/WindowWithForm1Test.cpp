// The window driven by Form1 itself, with the Qt adapters, offscreen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "app/Form1.h"
#include "app/StoredSettings.h"
#include "app/SystemClock.h"
#include "app/qt/AutostartEntry.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtSettingsStore.h"
#include "app/qt/QtTimers.h"
#include "app/qt/QtTray.h"
#include "common/TestConfigHome.h"

namespace zonbode::app::qt {
namespace {

using ::testing::ElementsAre;

struct Delivery {
    std::string receiver;
    std::uint32_t dwData;
    std::vector<std::uint8_t> record;
};

// Stands in for the messenger: one receiver that keeps what it is given.
class RecordingMessenger : public messengers::MessengerTransport {
public:
    std::vector<std::string> Receivers() override { return {"listener"}; }
    void Send(const std::string& receiver, std::uint32_t dwData,
              std::span<const std::uint8_t> record) override {
        deliveries.push_back({receiver, dwData, {record.begin(), record.end()}});
    }
    std::vector<Delivery> deliveries;
};

class RecordingProcess : public ProcessControl {
public:
    void EndProcess() override { ++ended; }
    int ended = 0;
};

// A desktop with a notification area, whatever the test platform has.
class TrayWithArea : public QtTray {
public:
    using QtTray::QtTray;
    bool IsIconShown() const override { return Icon().isVisible(); }
};

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
};

// The program's parts as main() puts them together; the forecast server is a closed port.
class WindowWithForm1 : public testing::Test {
protected:
    void SetUp() override {
        TestConfigHome();
        QFile::remove(TestIniPath());
        QFile::remove(AutostartEntry::FilePath());
    }

    void Start(bool trayArea = false) {
        window_ = std::make_unique<MainWindow>();
        tray_ = trayArea ? std::make_unique<TrayWithArea>(window_->windowIcon())
                         : std::make_unique<QtTray>(window_->windowIcon());
        window_->SetMessagePresenter(
            [this](const std::string& text, const std::string& title, MessageIcon icon) {
                messages_.push_back({text, title, icon});
            });
        form_ = std::make_unique<Form1>(
            Ports{*window_, timers_, settings_, messenger_, *tray_, process_, clock_, signIn_},
            ForecastServer{"127.0.0.1", 1});
        const WindowEvents events = Form1Events(*form_, {});
        window_->SetEvents(events);
        tray_->SetCallback(events.trayCallback);
        form_->Form_Load();
    }

    void TearDown() override {
        form_.reset();
        tray_.reset();
        window_.reset();
    }

    static void StoreIni(const QByteArray& content) {
        QDir().mkpath(TestConfigHome() + "/Kavelo");
        QFile file(TestIniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QtTimers timers_;
    QtSettingsStore settings_;
    RecordingMessenger messenger_;
    RecordingProcess process_;
    SystemClock clock_;
    AutostartEntry signIn_{QStringLiteral("/opt/zonbode/bin/zonbode")};
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<QtTray> tray_;
    std::unique_ptr<Form1> form_;
    std::vector<Message> messages_;
};

TEST_F(WindowWithForm1, FirstStartShowsTheWindowWithTheListHeadersAndTheConnectingText) {
    Start();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->GetWindowState(), WindowState::Normal);
    EXPECT_EQ(window_->ListView1()->columnCount(), 8);
    EXPECT_EQ(window_->ListView1()->headerItem()->text(7), "Windsnelheid (bft)");
    EXPECT_EQ(window_->StatusPanel()->text(), "Verbinding maken...");
    EXPECT_FALSE(window_->Check1()->isChecked());
    EXPECT_FALSE(window_->Check2()->isChecked());
    EXPECT_FALSE(window_->Check3()->isChecked());
    EXPECT_TRUE(messenger_.deliveries.empty());  // start-up sends nothing
}

TEST_F(WindowWithForm1, HelpButtonsShowTheirTextsExactlyAndChangeNothing) {
    Start();
    const std::string templateBefore = window_->TemplateText();
    QTest::mouseClick(window_->Command1(), Qt::LeftButton);
    QTest::mouseClick(window_->Command2(), Qt::LeftButton);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text,
              "[dag] = Dag\r\n[zon] = Zonneschijn\r\n[neerslag-mm] = Neerslaghoeveelheid\r\n"
              "[neerslag-%] = Neerslagkans\r\n[mintemp] = Minimumtemperatuur\r\n"
              "[midtemp] = Middagtemperatuur\r\n[richting] = Windrichting\r\n"
              "[kracht] = Windkracht");
    EXPECT_EQ(messages_[1].text,
              "Met de knop \"Automatisch\" kan je inschakkelen dat iedere\r\nhalve minuut "
              "automatisch de volgende dag in je PSM komt te staan.");
    for (const Message& message : messages_) {
        EXPECT_EQ(message.title, "Zonbode");
        EXPECT_EQ(message.icon, MessageIcon::Information);
    }
    EXPECT_EQ(window_->TemplateText(), templateBefore);
    EXPECT_FALSE(window_->Check1()->isChecked());
    EXPECT_EQ(window_->Label1()->text(), "<Hier komt je psm te staan>");
}

TEST_F(WindowWithForm1, StoredChoicesComeBackIntoTheControls) {
    StoreIni("[General]\nPSM=\"[dag]: [zon]% \\\"zon\\\"\"\nAuto=1\nSysteemvak=0\n");
    Start();
    EXPECT_EQ(window_->TemplateText(), "[dag]: [zon]% \"zon\"");
    EXPECT_TRUE(window_->Check1()->isChecked());  // the toggle button is down
    EXPECT_TRUE(window_->Check2()->isChecked());
    EXPECT_FALSE(window_->Check3()->isChecked());
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(WindowWithForm1, AHandEditedChoiceThatIsNoNumberCountsAsOff) {
    StoreIni("[General]\nAuto=ja\nSysteemvak=aan\n");
    Start();
    EXPECT_FALSE(window_->Check1()->isChecked());
    EXPECT_FALSE(window_->Check2()->isChecked());
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(WindowWithForm1, StartInTrayHidesTheWindowWhereThereIsANotificationArea) {
    StoreIni("[General]\nSysteemvak=1\n");
    Start(/*trayArea=*/true);
    EXPECT_TRUE(window_->Check3()->isChecked());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(window_->IsShown());
    // A left click on the icon brings it back, in normal state.
    tray_->Activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(window_->isVisible());
    tray_->Activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->GetWindowState(), WindowState::Normal);
    EXPECT_EQ(window_->ListView1()->geometry(), QRect(8, 8, 505, 113));
}

TEST_F(WindowWithForm1, MinimizingHidesWhereThereIsANotificationArea) {
    Start(/*trayArea=*/true);
    ASSERT_TRUE(window_->isVisible());
    window_->setWindowState(Qt::WindowMinimized);  // as the window manager would
    EXPECT_FALSE(window_->isVisible());
    tray_->Activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->GetWindowState(), WindowState::Normal);
}

TEST_F(WindowWithForm1, WithoutANotificationAreaStartInTrayStartsMinimizedAndVisible) {
    StoreIni("[General]\nSysteemvak=1\n");
    Start(/*trayArea=*/false);
    if (tray_->IsIconShown()) {
        GTEST_SKIP() << "this platform has a notification area";
    }
    EXPECT_TRUE(window_->Check3()->isChecked());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->GetWindowState(), WindowState::Minimized);
    // Minimizing again keeps it reachable.
    window_->SetWindowState(WindowState::Normal);
    window_->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(WindowWithForm1, ClosingStoresTheTemplateAndBothChoicesAndSwitchesTheStatusOff) {
    Start();
    window_->Text1()->setText("Vandaag: [dag] = \"[zon]%\"; \u00e9\u00e9n \\ @");
    QTest::mouseClick(window_->Check2(), Qt::LeftButton);
    window_->close();
    ASSERT_EQ(messenger_.deliveries.size(), 1u);
    EXPECT_EQ(messenger_.deliveries[0].dwData, 0x547u);
    EXPECT_EQ(messenger_.deliveries[0].record.size(), 64u);

    QtSettingsStore reader;
    EXPECT_EQ(reader.ReadRegValue("HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\PSM"),
              "Vandaag: [dag] = \"[zon]%\"; \u00e9\u00e9n \\ @");
    EXPECT_EQ(reader.ReadRegValue("HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Auto"), "1");
    EXPECT_EQ(reader.ReadRegValue("HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Systeemvak"), "0");
    // Check1 itself is never stored.
    QSettings ini(TestIniPath(), QSettings::IniFormat);
    EXPECT_THAT(ini.allKeys(),
                testing::UnorderedElementsAre("PSM", "Auto", "Systeemvak", "Aanmelden"));
}

// A stale entry (the program was moved) is written anew at start; the box then adds and
// removes the file at once, and the choice is stored at the end.
TEST_F(WindowWithForm1, StartAtSignInKeepsTheAutostartFileInStepWithTheBox) {
    StoreIni("[General]\nAanmelden=1\n");
    QDir().mkpath(TestConfigHome() + "/autostart");
    QFile stale(AutostartEntry::FilePath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("[Desktop Entry]\nType=Application\nExec=/old/place/zonbode\n");
    stale.close();
    Start();
    EXPECT_TRUE(window_->Check4()->isChecked());
    EXPECT_EQ(signIn_.Look(), SignInEntry::State::InPlace);

    QTest::mouseClick(window_->Check4(), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(AutostartEntry::FilePath()));
    QTest::mouseClick(window_->Check4(), Qt::LeftButton);
    EXPECT_EQ(signIn_.Look(), SignInEntry::State::InPlace);
    QTest::mouseClick(window_->Check4(), Qt::LeftButton);
    window_->close();
    EXPECT_FALSE(QFile::exists(AutostartEntry::FilePath()));
    EXPECT_EQ(QtSettingsStore().ReadRegValue(std::string(settings::kAanmeldenPath)), "0");
}

TEST_F(WindowWithForm1, AStoredTemplateOfAnyLengthIsShownAndWrittenBackWhole) {
    // 40,000 characters, a tenth of them outside the Basic Multilingual Plane.
    std::string template_;
    for (int i = 0; i < 4000; ++i) {
        template_ += "Zon\xF0\x9F\x8C\x9E [zon]";
    }
    const std::string psm = "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\PSM";
    settings_.WriteRegString(psm, template_);
    Start();
    EXPECT_TRUE(window_->TemplateText() == template_) << window_->TemplateText().size();
    window_->close();
    EXPECT_TRUE(QtSettingsStore().ReadRegValue(psm) == template_);
}

}  // namespace
}  // namespace zonbode::app::qt
