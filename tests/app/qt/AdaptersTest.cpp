#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/Form1.h"
#include "app/qt/AutostartEntry.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtSettingsStore.h"
#include "app/qt/QtTimers.h"
#include "app/qt/QtTray.h"
#include "common/TestConfigHome.h"

namespace zonbode::app::qt {
namespace {

using namespace std::chrono_literals;

// ---- timers ----

TEST(QtTimers, TicksRepeatedlyUntilStoppedAndAStoppedTimerStaysQuiet) {
    QtTimers factory;
    int ticks = 0;
    auto quiet = factory.CreateTimer(50ms, false, [&] { ticks += 100; });
    auto timer = factory.CreateTimer(50ms, true, [&] { ++ticks; });
    EXPECT_TRUE(timer->IsRunning());
    EXPECT_FALSE(quiet->IsRunning());
    QElapsedTimer clock;
    clock.start();
    while (ticks < 3 && clock.elapsed() < 20000) {
        QTest::qWait(10);
    }
    EXPECT_EQ(ticks, 3);
    timer->Stop();
    EXPECT_FALSE(timer->IsRunning());
    QTest::qWait(200);
    EXPECT_EQ(ticks, 3);
}

TEST(QtTimers, StartOnARunningTimerKeepsItsSchedule) {
    QtTimers factory;
    QElapsedTimer clock;
    qint64 firstTick = -1;
    clock.start();
    auto timer = factory.CreateTimer(2000ms, true, [&] {
        if (firstTick < 0) {
            firstTick = clock.elapsed();
        }
    });
    QTest::qWait(1200);
    timer->Start();  // a restart would move the tick to 3200 ms
    while (firstTick < 0 && clock.elapsed() < 20000) {
        QTest::qWait(10);
    }
    EXPECT_GE(firstTick, 1900);
    EXPECT_LT(firstTick, 3000);
}

// ---- the autostart entry ----

class AutostartEntryTest : public testing::Test {
protected:
    using State = SignInEntry::State;
    void SetUp() override {
        TestConfigHome();
        QFile::remove(AutostartEntry::FilePath());
    }
    static void Write(const QByteArray& content) {
        QDir().mkpath(TestConfigHome() + "/autostart");
        QFile file(AutostartEntry::FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    static QByteArray FileText() {
        QFile file(AutostartEntry::FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(AutostartEntryTest, LivesUnderXdgConfigHomeAndNamesTheProgramWhereItRuns) {
    EXPECT_EQ(AutostartEntry::FilePath(), TestConfigHome() + "/autostart/zonbode.desktop");
    AutostartEntry here(QStringLiteral("/opt/zonbode/bin/zonbode"));
    AutostartEntry moved(QStringLiteral("/usr/bin/zonbode"));
    EXPECT_EQ(here.Look(), State::Missing);
    here.Put();
    EXPECT_EQ(here.Look(), State::InPlace);
    EXPECT_EQ(moved.Look(), State::Elsewhere);
    EXPECT_TRUE(FileText().startsWith("[Desktop Entry]\nType=Application\n")) << FileText().data();
    EXPECT_TRUE(FileText().contains("\nExec=\"/opt/zonbode/bin/zonbode\"\n"));
    moved.Put();
    EXPECT_EQ(moved.Look(), State::InPlace);
    EXPECT_EQ(here.Look(), State::Elsewhere);
    moved.Remove();
    EXPECT_EQ(moved.Look(), State::Missing);
    EXPECT_FALSE(QFile::exists(AutostartEntry::FilePath()));
}

TEST_F(AutostartEntryTest, OddPathsAreQuotedAsDesktopEntriesNeed) {
    struct Case {
        QString path;
        QByteArray exec;
    };
    for (const Case& c :
         {Case{"/home/an na/Zon bode/zonbode", "\"/home/an na/Zon bode/zonbode\""},
          Case{"/tmp/a\"b`c$d\\e%f", "\"/tmp/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f\""},
          Case{"/tmp/\u00e9\u00e9n/zonbode", "\"/tmp/\xC3\xA9\xC3\xA9n/zonbode\""}}) {
        AutostartEntry entry(c.path);
        entry.Put();
        EXPECT_EQ(entry.Look(), State::InPlace) << c.path.toStdString();
        EXPECT_TRUE(FileText().contains("\nExec=" + c.exec + "\n")) << FileText().data();
    }
}

TEST_F(AutostartEntryTest, AHiddenOrForeignEntryIsNotInPlaceAndAFailedWriteIsNoFailure) {
    AutostartEntry entry(QStringLiteral("/opt/zonbode/bin/zonbode"));
    Write("[Desktop Entry]\nExec=\"/opt/zonbode/bin/zonbode\"\nHidden=true\n");
    EXPECT_EQ(entry.Look(), State::Elsewhere);
    Write("[Other Group]\nExec=\"/opt/zonbode/bin/zonbode\"\n");
    EXPECT_EQ(entry.Look(), State::Elsewhere);
    // A file where the folder should be: nothing can be written, and nothing fails.
    QFile::remove(AutostartEntry::FilePath());
    QDir(TestConfigHome()).rmdir("autostart");
    QFile blocker(TestConfigHome() + "/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    entry.Put();
    EXPECT_EQ(entry.Look(), State::Missing);
    entry.Remove();
    blocker.remove();
}

// ---- settings ----

// QSettings reads XDG_CONFIG_HOME once per process, so all settings tests share one
// temporary folder; each test starts without a file.
class QtSettingsStoreTest : public testing::Test {
protected:
    static void SetUpTestSuite() { home_ = TestConfigHome(); }
    void SetUp() override { QFile::remove(IniPath()); }
    static QString IniPath() { return TestIniPath(); }
    static void WriteIni(const QByteArray& content) {
        QDir().mkpath(home_ + "/Kavelo");
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    static QByteArray ReadIni() {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static constexpr char kPsm[] = "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\PSM";
    static constexpr char kAuto[] = "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Auto";
    static constexpr char kSysteemvak[] =
        "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Systeemvak";
    static inline QString home_;
    QtSettingsStore store_;
};

TEST_F(QtSettingsStoreTest, TheFileLivesUnderXdgConfigHome) {
    EXPECT_EQ(QtSettingsStore::FilePath(), IniPath());
    store_.WriteRegDword(kAuto, 1);
    EXPECT_TRUE(QFile::exists(IniPath()));
}

TEST_F(QtSettingsStoreTest, MissingValuesReadAsEmptyText) {
    EXPECT_EQ(store_.ReadRegValue(kPsm), "");
    EXPECT_EQ(store_.ReadRegValue(kAuto), "");
    store_.WriteRegDword(kAuto, 0);
    EXPECT_EQ(store_.ReadRegValue(kSysteemvak), "");
}

TEST_F(QtSettingsStoreTest, NumbersReadBackAsTheirDecimalDigits) {
    store_.WriteRegDword(kAuto, 1);
    store_.WriteRegDword(kSysteemvak, 0);
    EXPECT_EQ(store_.ReadRegValue(kAuto), "1");
    EXPECT_EQ(store_.ReadRegValue(kSysteemvak), "0");
    const QByteArray ini = ReadIni();
    EXPECT_TRUE(ini.contains("Auto=1")) << ini.constData();
    EXPECT_TRUE(ini.contains("Systeemvak=0")) << ini.constData();
    store_.WriteRegDword(kAuto, -2);
    EXPECT_EQ(store_.ReadRegValue(kAuto), "-2");
}

TEST_F(QtSettingsStoreTest, AnyTemplateRoundTripsCharacterForCharacter) {
    const std::vector<std::string> templates = {
        "[dag] | Kans op zon: [zon]% | Neerslag: [neerslag-mm]mm / [neerslag-%]% | Temp: "
        "[midtemp] | Wind: [richting][kracht]",
        "100% \"zon\" \\ C:\\pad\\ %APPDATA% @home ; a=b ;; == \\0",
        "@Variant(\\0\\0\\0\\x7f)",
        "@ByteArray(abc)",
        "@",
        "regel 1\nregel 2\r\nregel 3\n",
        "  spaties voor en achter  ",
        "Zo \u00e9\u00e9n \u00b0C \u20ac \u2603 \U0001F600 \u65e5\u672c",
        "a, b, c",
        "#niet een commentaar",
        "[sectie]",
        "",
        "\t\x01",
    };
    for (const std::string& text : templates) {
        SCOPED_TRACE(text);
        store_.WriteRegString(kPsm, text);
        EXPECT_EQ(QtSettingsStore().ReadRegValue(kPsm), text);
    }
    // The other values are untouched by the template's contents.
    store_.WriteRegDword(kAuto, 1);
    store_.WriteRegString(kPsm, "x=1\nAuto=0\n[General]\nSysteemvak=1");
    EXPECT_EQ(store_.ReadRegValue(kAuto), "1");
    EXPECT_EQ(store_.ReadRegValue(kSysteemvak), "");
}

TEST_F(QtSettingsStoreTest, HandEditedValuesReadAsTheirText) {
    WriteIni("[General]\nAuto=ja\nSysteemvak=1\nPSM=[dag], [zon]\n");
    EXPECT_EQ(store_.ReadRegValue(kAuto), "ja");
    EXPECT_EQ(store_.ReadRegValue(kSysteemvak), "1");
    EXPECT_EQ(store_.ReadRegValue(kPsm), "[dag], [zon]");
}

TEST_F(QtSettingsStoreTest, AnUnreadableFileReadsAsEmptyAndDoesNotStopTheProgram) {
    // A folder where the file should be: unreadable for every user, root included.
    ASSERT_TRUE(QDir().mkpath(IniPath()));
    EXPECT_EQ(store_.ReadRegValue(kAuto), "");
    EXPECT_EQ(store_.ReadRegValue(kPsm), "");
    QDir(IniPath()).removeRecursively();
}

TEST_F(QtSettingsStoreTest, PathsOutsideTheProgramsKeyAreNotOurs) {
    EXPECT_EQ(QtSettingsStore::KeyOf(kPsm), QString("PSM"));
    EXPECT_EQ(QtSettingsStore::KeyOf("HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\a\\b"),
              QString("a/b"));
    EXPECT_EQ(QtSettingsStore::KeyOf("HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\"),
              std::nullopt);
    EXPECT_EQ(QtSettingsStore::KeyOf("HKEY_LOCAL_MACHINE\\Software\\Kavelo\\Zonbode\\PSM"),
              std::nullopt);
    store_.WriteRegString("HKEY_CURRENT_USER\\Software\\Other\\PSM", "x");
    EXPECT_FALSE(QFile::exists(IniPath()));
    EXPECT_EQ(store_.ReadRegValue("HKEY_CURRENT_USER\\Software\\Other\\PSM"), "");
}

TEST_F(QtSettingsStoreTest, AllValuesGoInOneWrite) {
    store_.WriteRegValues(
        {{kPsm, "[dag] nieuw"}, {kAuto, std::int16_t{1}}, {kSysteemvak, std::int16_t{0}}});
    EXPECT_EQ(store_.ReadRegValue(kPsm), "[dag] nieuw");
    EXPECT_EQ(store_.ReadRegValue(kAuto), "1");
    EXPECT_EQ(store_.ReadRegValue(kSysteemvak), "0");
}

// Runs `body` in a child with a mount namespace of its own, with a 64 KiB tmpfs on the
// settings folder; gives the child's exit code (body's result), or -1 when the namespace or
// the mount could not be made.
int OnASmallPrivateDisk(const QString& folder, const std::function<int(const char*)>& body) {
    const QByteArray path = QFile::encodeName(folder);
    const pid_t child = fork();
    if (child == 0) {
        const uid_t uid = geteuid();
        if (unshare(CLONE_NEWNS) != 0) {  // not root: a user namespace of its own first
            if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
                _exit(100);
            }
            QFile deny("/proc/self/setgroups");
            QFile map("/proc/self/uid_map");
            if (!deny.open(QIODevice::WriteOnly) || deny.write("deny") < 0 ||
                !map.open(QIODevice::WriteOnly) ||
                map.write("0 " + QByteArray::number(uid) + " 1") < 0) {
                _exit(101);
            }
        }
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") != 0) {
            _exit(102);
        }
        _exit(body(path.constData()));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status) >= 100 ? -1 : WEXITSTATUS(status);
}

// A disk that is full or read-only when the settings are stored: the old set stays whole.
TEST_F(QtSettingsStoreTest, AFullOrReadOnlyDiskLeavesTheOldFileWhole) {
    QDir().mkpath(home_ + "/Kavelo");
    const QByteArray old = "[General]\nAuto=0\nPSM=oud\nSysteemvak=1\n";
    const std::function<void(const char*)> blockers[] = {
        [](const char* folder) {  // full: a filler takes every block left
            QFile filler(QString::fromLocal8Bit(folder) + "/filler");
            filler.open(QIODevice::WriteOnly);
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        },
        [](const char* folder) {
            mount(nullptr, folder, nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
        },
    };
    for (const auto& block : blockers) {
        const int result = OnASmallPrivateDisk(home_ + "/Kavelo", [&](const char* folder) {
            WriteIni(old);
            block(folder);
            QtSettingsStore().WriteRegValues({{kPsm, std::string(20000, 'n')},
                                              {kAuto, std::int16_t{1}},
                                              {kSysteemvak, std::int16_t{0}}});
            return ReadIni() == old ? 0 : 1;
        });
        EXPECT_EQ(result, 0);
    }
}

// ---- tray ----

TEST(QtTray, ALeftClickIsALeftButtonReleaseAndNothingElseCounts) {
    QtTray tray(QIcon(QStringLiteral(":/icons/zonbode-32.png")));
    EXPECT_EQ(tray.Icon().toolTip(), "Zonbode");
    EXPECT_EQ(tray.Icon().contextMenu(), nullptr);
    EXPECT_FALSE(tray.Icon().icon().isNull());
    std::vector<int> messages;
    tray.SetCallback([&](int message) { messages.push_back(message); });
    tray.Activated(QSystemTrayIcon::Context);
    tray.Activated(QSystemTrayIcon::MiddleClick);
    tray.Activated(QSystemTrayIcon::Trigger);
    EXPECT_THAT(messages, testing::ElementsAre(kTrayLeftButtonUp));
    // Offscreen there is no notification area: the icon is wanted but not shown, so the window
    // must not hide on minimize.
    EXPECT_FALSE(tray.IsIconShown());
    tray.AddTrayIcon();
    EXPECT_EQ(tray.IsIconShown(), QSystemTrayIcon::isSystemTrayAvailable());
    tray.RemoveTrayIcon();
    EXPECT_FALSE(tray.IsIconShown());
}

// ---- the real message box ----

TEST(ModalMessageBox, HasTheIconOneOkButtonAndTheTitle) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        // Over the whole program, not just a parent window (the window may be hidden).
        modal = box->isModal() && box->windowModality() == Qt::ApplicationModal;
        box->button(QMessageBox::Ok)->click();
    });
    ShowModalMessageBox(nullptr, "regel 1\r\nregel 2", "Zonbode", MessageIcon::Information);
    EXPECT_EQ(title, "Zonbode");
    EXPECT_EQ(text, "regel 1\nregel 2");
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(modal);

    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    ShowModalMessageBox(nullptr, "fout", "Zonbode", MessageIcon::Critical);
    EXPECT_EQ(icon, QMessageBox::Critical);
}

}  // namespace
}  // namespace zonbode::app::qt
