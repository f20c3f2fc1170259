// Runs on a private session bus (dbus-run-session) against real psm-listen processes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <memory>

#include "messengers/MessengerDelivery.h"
#include "messengers/copydata/qt/DBusMessengerTransport.h"
#include "messengers/copydata/qt/PsmListener.h"
#include "status/StatusMessage.h"

namespace zonbode::messengers::qt {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

// The switch-off record, byte for byte.
const std::vector<std::uint8_t> kSwitchOff = {
    0x5C, 0, 0x30, 0, 0x4D, 0, 0x75, 0, 0x73, 0, 0x69, 0, 0x63, 0, 0x5C, 0,
    0x30, 0, 0x30, 0, 0x5C, 0, 0x30, 0, 0x7B, 0, 0x30, 0, 0x7D, 0, 0x20, 0,
    0x2D, 0, 0x20, 0, 0x7B, 0, 0x31, 0, 0x7D, 0, 0x5C, 0, 0x30, 0, 0x5C, 0,
    0x30, 0, 0x5C, 0, 0x30, 0, 0x5C, 0, 0x30, 0, 0x5C, 0, 0x30, 0, 0x00, 0};
constexpr char kSwitchOffHex[] =
    "547 5c0030004d0075007300690063005c00300030005c0030007b0030007d0020002d0020007b0031007d00"
    "5c0030005c0030005c0030005c0030005c0030000000";

std::string Name(const char* suffix) {
    return std::string(DBusMessengerTransport::kNamePrefix) + suffix;
}

TEST(DBusMessengerTransport, ReceiversAreThePrefixedNamesInSortedOrder) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    DBusMessengerTransport transport;
    EXPECT_TRUE(transport.Receivers().empty());
    Listener zulu("zulu");
    Listener alpha("alpha");
    Listener mike("mike");
    // Names that only look alike are not receivers.
    QDBusConnection own = QDBusConnection::sessionBus();
    ASSERT_TRUE(own.registerService(QStringLiteral("nl.kavelo.MsnMsgrUIManagerX.a")));
    ASSERT_TRUE(own.registerService(QStringLiteral("nl.kavelo.Other")));
    EXPECT_THAT(transport.Receivers(), ElementsAre(Name("alpha"), Name("mike"), Name("zulu")));
    own.unregisterService(QStringLiteral("nl.kavelo.MsnMsgrUIManagerX.a"));
    own.unregisterService(QStringLiteral("nl.kavelo.Other"));
}

TEST(DBusMessengerTransport, EveryReceiverGetsTheRecordExactly) {
    DBusMessengerTransport transport;
    Listener first("first");
    Listener second("second");
    const std::vector<std::string> receivers = transport.Receivers();
    ASSERT_THAT(receivers, ElementsAre(Name("first"), Name("second")));
    for (const std::string& receiver : receivers) {
        transport.Send(receiver, 0x547, kSwitchOff);
    }
    // The call is synchronous: each has printed before its Send returned.
    EXPECT_EQ(first.NextLine(), kSwitchOffHex);
    EXPECT_EQ(second.NextLine(), kSwitchOffHex);

    // Any bytes pass unchanged, NULs and high bytes included.
    const std::vector<std::uint8_t> odd = {0x00, 0xFF, 0x5C, 0x00, 0x80};
    transport.Send(Name("first"), 7, odd);
    EXPECT_EQ(first.NextLine(), "7 00ff5c0080");
    EXPECT_FALSE(second.HasOutput());
}

TEST(DBusMessengerTransport, AReceiverThatIsGoneOrSilentIsPassedOver) {
    DBusMessengerTransport transport(1000ms);
    Listener silent("silent");
    Listener after("zz_after");
    // Gone: the name is no longer owned.
    transport.Send(Name("nobody"), 0x547, kSwitchOff);
    // Silent: a stopped process never answers; the wait is bounded.
    ASSERT_EQ(::kill(static_cast<pid_t>(silent.Pid()), SIGSTOP), 0);
    QElapsedTimer clock;
    clock.start();
    transport.Send(Name("silent"), 0x547, kSwitchOff);
    const qint64 waited = clock.elapsed();
    ::kill(static_cast<pid_t>(silent.Pid()), SIGCONT);
    EXPECT_GE(waited, 850);
    EXPECT_LT(waited, 10000);
    // The next receiver is still served.
    transport.Send(Name("zz_after"), 0x547, kSwitchOff);
    EXPECT_EQ(after.NextLine(), kSwitchOffHex);
}

TEST(DBusMessengerTransport, DefaultWaitIsFiveSeconds) {
    DBusMessengerTransport transport;
    Listener silent("slow");
    ASSERT_EQ(::kill(static_cast<pid_t>(silent.Pid()), SIGSTOP), 0);
    QElapsedTimer clock;
    clock.start();
    transport.Send(Name("slow"), 0x547, kSwitchOff);
    const qint64 waited = clock.elapsed();
    ::kill(static_cast<pid_t>(silent.Pid()), SIGCONT);
    EXPECT_GE(waited, 4500);  // the bus library's timers may fire a few percent early
    EXPECT_LT(waited, 15000);
}

// Three receivers that never answer before one that does: a record holds the caller at most
// the bound in all, the one that answers gets every record, and the hung ones cost only a
// short probe on the records after.
TEST(DBusMessengerTransport, HungReceiversHoldARecordAtMostTheBoundInAll) {
    DBusMessengerTransport transport;
    std::vector<std::unique_ptr<Listener>> hung;
    for (const char* name : {"hung_a", "hung_b", "hung_c"}) {
        hung.push_back(std::make_unique<Listener>(name));
        ASSERT_EQ(::kill(static_cast<pid_t>(hung.back()->Pid()), SIGSTOP), 0);
    }
    Listener live("live");
    std::vector<qint64> waits;
    for (const char* text : {"Maandag", "Dinsdag"}) {
        QElapsedTimer clock;
        clock.start();
        messengers::SendMessengerStatus(transport, "Office", true, "{0}", text);
        waits.push_back(clock.elapsed());
        EXPECT_NE(live.NextLine(2000), "") << text;
    }
    for (const auto& listener : hung) {
        ::kill(static_cast<pid_t>(listener->Pid()), SIGCONT);
    }
    RecordProperty("first_record_ms", static_cast<int>(waits[0]));
    RecordProperty("second_record_ms", static_cast<int>(waits[1]));
    EXPECT_LT(waits[0], 6000);  // three unanswered calls of 5 s each: 15 s
    EXPECT_LT(waits[1], 4000);
}

// Without a session bus there are no receivers and sending does nothing. Runs in a child
// process whose bus address leads nowhere.
TEST(DBusMessengerTransport, WithoutASessionBusNothingHappens) {
    if (qEnvironmentVariableIsSet("ZONBODE_NO_BUS_CHILD")) {
        DBusMessengerTransport transport;
        EXPECT_TRUE(transport.Receivers().empty());
        transport.Send(Name("x"), 0x547, kSwitchOff);
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZONBODE_NO_BUS_CHILD"), QStringLiteral("1"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/zonbode-bus"));
    environment.remove(QStringLiteral("DISPLAY"));
    child.setProcessEnvironment(environment);
    child.setProgram(QStringLiteral("/proc/self/exe"));
    child.setArguments(
        {QStringLiteral("--gtest_filter=DBusMessengerTransport.WithoutASessionBusNothingHappens")});
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start();
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.constData();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.constData();
}

}  // namespace
}  // namespace zonbode::messengers::qt
