// Delivery to a real Pidgin on a private session bus (dbus-run-session), on its own Xvfb.
// Pidgin is started once for the suite; a test that stops it leaves it to the next to start.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <string>

#include "messengers/MessengerDelivery.h"
#include "messengers/MessengerTransportList.h"
#include "messengers/copydata/qt/DBusMessengerTransport.h"
#include "messengers/copydata/qt/PsmListener.h"
#include "messengers/pidgin/qt/PurpleClient.h"
#include "messengers/pidgin/qt/PurpleMessengerTransport.h"
#include "status/StatusMessage.h"
#include "support/MissingPart.h"

namespace zonbode::messengers::qt {
namespace {

using messengers::MessengerTransport;

void Day(MessengerTransport& transport, const std::string& text) {
    messengers::SendMessengerStatus(transport, status::kStatusCategory, true, status::kStatusFormat,
                                    text);
}

void SwitchOff(MessengerTransport& transport) {
    messengers::SendMessengerStatus(transport, status::kSwitchOffCategory, false,
                                    status::kSwitchOffFormat, "");
}

class PurpleDelivery : public testing::Test {
protected:
    static void SetUpTestSuite() { client_ = new PurpleClient; }
    static void TearDownTestSuite() {
        delete client_;
        client_ = nullptr;
    }
    void SetUp() override {
        if (const QString missing = PurpleClient::Missing(); !missing.isEmpty()) {
            ZONBODE_SKIP_FOR_MISSING_PART(missing.toStdString());
        }
        if (!client_->IsRunning()) {
            client_->Start();
        }
    }

    static inline PurpleClient* client_ = nullptr;
    // One run of the program: what it remembers lasts as long as this.
    RestorePointsInMemory points_;
    PurpleMessengerTransport zonbode_{points_};
};

TEST_F(PurpleDelivery, TheStatusTextShowsLiterally) {
    const std::string texts[] = {
        "Woensdag \xE2\x98\x80 12\xC2\xB0"
        "C \xF0\x9F\x8C\xA4",
        "a & b <c>", "\"Zon\" > 5 & <b>wind</b> 'NW' &amp;"};
    for (const std::string& text : texts) {
        Day(zonbode_, text);
        const std::int32_t current = client_->Current();
        EXPECT_EQ(client_->ShownMessageOf(current), text);
        EXPECT_TRUE(client_->IsTransient(current));
    }
}

TEST_F(PurpleDelivery, TheStatusTypeStaysAsTheUserChoseIt) {
    for (const PurpleClient::Type type :
         {PurpleClient::kAway, PurpleClient::kUnavailable, PurpleClient::kAvailable}) {
        const std::int32_t chosen = client_->Choose(type, "eigen tekst");
        Day(zonbode_, "Donderdag " + std::to_string(type));
        const std::int32_t current = client_->Current();
        EXPECT_NE(current, chosen);
        EXPECT_EQ(client_->TypeOf(current), type);
        EXPECT_EQ(client_->ShownMessageOf(current), "Donderdag " + std::to_string(type));
        EXPECT_EQ(client_->MessageOf(chosen), "eigen tekst");
    }
}

TEST_F(PurpleDelivery, ANamedSavedStatusIsNeverRewrittenAndComesBackAtSwitchOff) {
    const std::int32_t named = client_->Choose(PurpleClient::kAway, "In vergadering", "Kantoor");
    Day(zonbode_, "Vrijdag");
    Day(zonbode_, "In vergadering");  // even a day text equal to its message leaves it alone
    EXPECT_EQ(client_->MessageOf(named), "In vergadering");
    EXPECT_EQ(client_->TitleOf(named), "Kantoor");
    EXPECT_FALSE(client_->IsTransient(named));
    EXPECT_NE(client_->Current(), named);
    EXPECT_EQ(client_->TypeOf(client_->Current()), PurpleClient::kAway);

    SwitchOff(zonbode_);
    EXPECT_EQ(client_->Current(), named);
    EXPECT_EQ(client_->MessageOf(named), "In vergadering");
}

TEST_F(PurpleDelivery, SwitchOffBringsBackTheStatusFromBeforeTheFirstChange) {
    const std::int32_t before = client_->Choose(PurpleClient::kAvailable, "Op het terras");
    Day(zonbode_, "Maandag");
    Day(zonbode_, "Dinsdag");
    EXPECT_EQ(client_->ShownMessageOf(client_->Current()), "Dinsdag");
    SwitchOff(zonbode_);
    EXPECT_EQ(client_->Current(), before);
    EXPECT_EQ(client_->MessageOf(before), "Op het terras");
}

TEST_F(PurpleDelivery, AStatusTheUserChoseMeanwhileIsLeftAlone) {
    client_->Choose(PurpleClient::kAvailable, "Vroeger");
    Day(zonbode_, "Maandag");
    const std::int32_t mine = client_->Choose(PurpleClient::kAway, "Lunch");
    SwitchOff(zonbode_);
    EXPECT_EQ(client_->Current(), mine);
    EXPECT_EQ(client_->MessageOf(mine), "Lunch");
}

// The user's own choice between two changes is the one that comes back, not the status from
// before the first change.
TEST_F(PurpleDelivery, SwitchOffBringsBackTheStatusTheUserChoseBetweenChanges) {
    client_->Choose(PurpleClient::kAvailable, "Vroeger");
    Day(zonbode_, "Maandag");
    const std::int32_t lunch = client_->Choose(PurpleClient::kAway, "Lunch");
    Day(zonbode_, "Dinsdag");
    EXPECT_EQ(client_->TypeOf(client_->Current()), PurpleClient::kAway);
    SwitchOff(zonbode_);
    EXPECT_EQ(client_->Current(), lunch);
    EXPECT_EQ(client_->MessageOf(lunch), "Lunch");
}

TEST_F(PurpleDelivery, SwitchOffWithoutAChangeInThisRunLeavesTheStatus) {
    const std::int32_t mine = client_->Choose(PurpleClient::kAway, "Eigen keuze");
    SwitchOff(zonbode_);
    EXPECT_EQ(client_->Current(), mine);
}

// Absent at the first records, started after them, restarted between two changes: each record
// looks for it again. The restarted Pidgin comes up with a status of its own, not Zonbode's, so
// that is the one the switch-off brings back, found by its creation time.
TEST_F(PurpleDelivery, APidginThatComesAndGoesIsLookedForAtEveryRecord) {
    client_->Quit();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(zonbode_.Receivers().empty());
    Day(zonbode_, "Niemand luistert");
    SwitchOff(zonbode_);

    client_->Start();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(zonbode_.Receivers(), std::vector<std::string>{"im.pidgin.purple.PurpleService"});
    client_->Choose(PurpleClient::kAway, "Weg");
    Day(zonbode_, "Zaterdag");
    EXPECT_EQ(client_->ShownMessageOf(client_->Current()), "Zaterdag");

    client_->Quit();
    ASSERT_FALSE(HasFatalFailure());
    client_->Start();
    ASSERT_FALSE(HasFatalFailure());
    const std::int32_t restarted = client_->CreationTimeOf(client_->Current());
    ASSERT_NE(client_->MessageOf(client_->Current()), "Zaterdag");
    Day(zonbode_, "Zondag");
    EXPECT_EQ(client_->ShownMessageOf(client_->Current()), "Zondag");
    SwitchOff(zonbode_);
    EXPECT_EQ(client_->CreationTimeOf(client_->Current()), restarted);
}

TEST_F(PurpleDelivery, AHungPidginHoldsARecordNoLongerThanTheBound) {
    client_->Pause();
    ASSERT_FALSE(HasFatalFailure());
    QElapsedTimer clock;
    clock.start();
    Day(zonbode_, "Vastgelopen");
    const qint64 waited = clock.elapsed();
    client_->Resume();
    EXPECT_GE(waited, 4500);  // the bus library's timers may fire a few percent early
    EXPECT_LT(waited, 9500);
    // Once it answers again, so does delivery.
    Day(zonbode_, "Weer wakker");
    EXPECT_EQ(client_->ShownMessageOf(client_->Current()), "Weer wakker");
}

TEST_F(PurpleDelivery, EveryRecordReachesTheCopyDataReceiversAndPidgin) {
    DBusMessengerTransport copyData;
    messengers::MessengerTransportList messengers({&copyData, &zonbode_});
    Listener listener(QStringLiteral("beside_pidgin"));
    Day(messengers, "Samen");
    std::string hex = "547 ";
    for (std::uint8_t byte : status::StatusPayload("Office", true, "{0}", "Samen", "", "", "")) {
        static constexpr char kDigits[] = "0123456789abcdef";
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    EXPECT_EQ(listener.NextLine(), hex);
    EXPECT_EQ(client_->ShownMessageOf(client_->Current()), "Samen");
}

}  // namespace
}  // namespace zonbode::messengers::qt
