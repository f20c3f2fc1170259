// Runs on a private session bus (dbus-run-session) against a real gnome-keyring-daemon of its
// own, whose keyrings live in a folder that is removed afterwards.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <future>
#include <memory>
#include <mutex>

#include <unistd.h>

#include "PrivateKeyring.h"
#include "RecordedSlack.h"
#include "messengers/MessengerDelivery.h"
#include "messengers/slack/SlackHttp.h"
#include "messengers/slack/SlackLink.h"
#include "messengers/slack/SlackTexts.h"
#include "secrets/posix/SecretServiceStore.h"
#include "status/StatusMessage.h"

namespace zonbode::secrets {
namespace {

class KeyringEnvironment final : public ::testing::Environment {
    void TearDown() override { SecretServiceStoreTest::StopKeyring(); }
};
[[maybe_unused]] const auto* const kKeyring =
    ::testing::AddGlobalTestEnvironment(new KeyringEnvironment);

TEST_F(SecretServiceStoreTest, KeepsChangesAndForgetsTheSecretOfItsServiceOnly) {
    SecretServiceStore slack("slack");
    SecretServiceStore other("other");
    EXPECT_EQ(slack.ReadSecret(), "");
    ASSERT_TRUE(slack.WriteSecret("xoxp-1-first"));
    ASSERT_TRUE(other.WriteSecret("kept"));
    ASSERT_TRUE(slack.WriteSecret("xoxp-2-\xE2\x98\x80"));  // replaces, not adds
    EXPECT_EQ(SecretServiceStore("slack").ReadSecret(), "xoxp-2-\xE2\x98\x80");

    // Other programs find it by the two attributes alone.
    QProcess lookup;
    lookup.start(QStringLiteral("secret-tool"),
                 {QStringLiteral("lookup"), QStringLiteral("application"),
                  QStringLiteral("zonbode"), QStringLiteral("service"), QStringLiteral("slack")});
    ASSERT_TRUE(lookup.waitForFinished());
    EXPECT_EQ(lookup.readAllStandardOutput().toStdString(), "xoxp-2-\xE2\x98\x80");

    EXPECT_TRUE(slack.ForgetSecret());
    EXPECT_EQ(slack.ReadSecret(), "");
    EXPECT_TRUE(slack.ForgetSecret());
    EXPECT_EQ(other.ReadSecret(), "kept");
}

// The link as the dialog and the window use it, against Slack's Web API as recorded on
// loopback, with the token in the real keyring. Answers come back through a task handed to
// "the window", here whichever thread the link calls from.
class SlackLinkTest : public SecretServiceStoreTest {
protected:
    SlackLinkTest() : web_(slack_.Url()) { slack_.Look(); }

    std::unique_ptr<messengers::SlackLink> Link() {
        return std::make_unique<messengers::SlackLink>(
            store_, web_, points_, [](std::function<void()> task) { task(); },
            [this](const std::string& text) {
                std::lock_guard lock(mutex_);
                told_.push_back(text);
            },
            std::chrono::system_clock::now, std::chrono::seconds(2));
    }
    static messengers::SlackLink::Answer Wait(
        const std::function<void(std::function<void(messengers::SlackLink::Answer)>)>& ask) {
        auto promise = std::make_shared<std::promise<messengers::SlackLink::Answer>>();
        auto answer = promise->get_future();
        ask([promise](messengers::SlackLink::Answer said) { promise->set_value(said); });
        EXPECT_EQ(answer.wait_for(std::chrono::seconds(30)), std::future_status::ready);
        return answer.get();
    }
    static messengers::SlackLink::Answer Test(messengers::SlackLink& link,
                                              const std::string& typed) {
        return Wait([&](auto done) { link.Test(typed, done); });
    }
    static void Day(messengers::SlackLink& link, const std::string& text) {
        const messengers::DayRecord day{{"Woensdag", "40", "70", "3", "8", "12", "ZW", "4"}, true};
        messengers::SendDayStatus(link, text, day);
    }
    // Waits, bounded, until the recorded API shows this status text, and gives the calls.
    testing::RecordedSlack::Seen StatusOnceThere(const std::string& text) {
        testing::RecordedSlack::Seen seen;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (auto more = slack_.Look();; more = slack_.Look()) {
            seen.calls.insert(seen.calls.end(), more.calls.begin(), more.calls.end());
            seen.tokens.insert(seen.tokens.end(), more.tokens.begin(), more.tokens.end());
            seen.status = more.status;
            if (seen.status["status_text"] == text || std::chrono::steady_clock::now() > deadline) {
                return seen;
            }
            QThread::msleep(20);
        }
    }

    testing::RecordedSlack slack_;
    messengers::SlackHttp web_;
    SecretServiceStore store_{"slack"};
    messengers::RestorePointsInMemory points_;
    std::mutex mutex_;
    std::vector<std::string> told_;
};

TEST_F(SlackLinkTest, TestKeepsOnlyAUserTokenWithBothProfileScopes) {
    using namespace messengers;
    struct Case {
        nlohmann::json recorded;
        std::string typed;
        std::string said;
    };
    const Case cases[] = {
        {{{"refuse", {200, "invalid_auth"}}},
         "  xoxp-typed\n",
         "Slack kent dit token niet. Kopieer het User OAuth Token (xoxp-...) opnieuw."},
        {{{"refuse", {429, 30}}},
         "xoxp-typed",
         "Slack vraagt even te wachten. Probeer het over 30 seconden opnieuw."},
        {{{"refuse", nullptr}, {"bot", true}}, "xoxp-typed", std::string(kSlackBotToken)},
        {{{"bot", false}}, "xoxb-typed", std::string(kSlackBotToken)},
        {{{"scopes", "users.profile:read,users:read"}},
         "xoxp-typed",
         std::string(kSlackMissingScopes) + "users.profile:write" + std::string(kSlackReinstall)},
        {{{"scopes", "users.profile:read,users.profile:write"}},
         "xoxp-A-12\n34",
         std::string(kSlackTokenHasBlank)},
        {{},
         "xoxp-A-12\xC2\xA0"
         "34",
         std::string(kSlackTokenHasBlank)},
        {{}, "", std::string(kSlackNoToken)},
    };
    ASSERT_TRUE(store_.ForgetSecret());
    for (const Case& c : cases) {
        slack_.Set(c.recorded);
        const auto link = Link();
        const SlackLink::Answer answer = Test(*link, c.typed);
        EXPECT_EQ(answer.text, c.said) << c.typed;
        EXPECT_FALSE(answer.accepted) << c.typed;  // the box keeps what was pasted
        EXPECT_FALSE(link->HasToken());
        EXPECT_EQ(store_.ReadSecret(), "") << c.typed;
    }
    const auto link = Link();
    const SlackLink::Answer answer = Test(*link, " xoxp-typed ");
    EXPECT_EQ(answer.text, std::string(kSlackConnectedAs) + "ann in Kavelo");
    EXPECT_TRUE(answer.accepted);
    EXPECT_EQ(store_.ReadSecret(), "xoxp-typed");
    // The next run reads it from the keyring, and Test with an empty box checks that one.
    EXPECT_TRUE(Test(*Link(), "").accepted);
}

TEST_F(SlackLinkTest, TheWindowNeverWaitsOnSlackAndTheOldTokenRestoresBeforeItGoes) {
    using namespace messengers;
    ASSERT_TRUE(store_.WriteSecret("xoxp-old"));
    const auto link = Link();
    slack_.Set({{"delay", 1.0}});
    // The link's thread is busy with a slow Test first, so the two days both wait for it.
    link->Test("", nullptr);
    Day(*link, "Maandag | Zon");
    Day(*link, "Dinsdag | Zon");  // replaces Maandag, which has not gone yet
    EXPECT_TRUE(slack_.Look().calls.empty()) << "the sender waited for Slack";
    auto seen = StatusOnceThere("Dinsdag | Zon");
    EXPECT_EQ(seen.calls, (std::vector<std::string>{"GET /api/auth.test",
                                                     "GET /api/users.profile.get",
                                                     "POST /api/users.profile.set"}));

    // Another workspace's token: the weather goes from the old one first, with the old token.
    slack_.Set({{"delay", 0}});
    const SlackLink::Answer answer = Test(*link, "xoxp-new");
    EXPECT_TRUE(answer.accepted);
    seen = slack_.Look();
    ASSERT_EQ(seen.calls.size(), 3u);
    EXPECT_EQ(seen.calls[0], "GET /api/auth.test");
    EXPECT_EQ(seen.calls[2], "POST /api/users.profile.set");
    EXPECT_EQ(seen.tokens[2], "Bearer xoxp-old");
    EXPECT_EQ(seen.status["status_text"], "In een vergadering");

    // Loskoppelen brings the user's status back before the token is forgotten.
    Day(*link, "Woensdag | Zon");
    StatusOnceThere("Woensdag | Zon");
    EXPECT_EQ(Wait([&](auto done) { link->Disconnect(done); }).text, kSlackDisconnected);
    seen = slack_.Look();
    EXPECT_EQ(seen.status["status_text"], "In een vergadering");
    EXPECT_EQ(seen.tokens.back(), "Bearer xoxp-new");
    EXPECT_EQ(store_.ReadSecret(), "");
    EXPECT_TRUE(link->Receivers().empty());
}

TEST_F(SlackLinkTest, TheSwitchOffWaitsForItsRestoreNoLongerThanItsDeadline) {
    ASSERT_TRUE(store_.WriteSecret("xoxp-old"));
    const auto link = Link();
    Day(*link, "Maandag | Zon");
    StatusOnceThere("Maandag | Zon");
    slack_.Set({{"delay", 10}});
    const auto started = std::chrono::steady_clock::now();
    link->SetDeadline(started + std::chrono::seconds(1));
    messengers::SendMessengerStatus(*link, status::kSwitchOffCategory, false,
                                    status::kSwitchOffFormat, "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    // Not made: owed, kept for the next start.
    EXPECT_NE(points_.Read("Slack"), "");
    slack_.Set({{"delay", 0}});
    const auto next = Link();
    EXPECT_EQ(StatusOnceThere("In een vergadering").status["status_text"], "In een vergadering");
}

}  // namespace
}  // namespace zonbode::secrets
