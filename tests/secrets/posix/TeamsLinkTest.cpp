// The Teams link against the identity platform and Graph as recorded on loopback, with the
// refresh token in the real keyring of the suite.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "PrivateKeyring.h"
#include "RecordedTeams.h"
#include "messengers/MessengerDelivery.h"
#include "messengers/teams/TeamsHttp.h"
#include "messengers/teams/TeamsLink.h"
#include "messengers/teams/TeamsTexts.h"
#include "secrets/posix/SecretServiceStore.h"
#include "status/StatusMessage.h"

namespace zonbode::secrets {
namespace {

using messengers::TeamsLink;
using nlohmann::json;
using testing::RecordedTeams;

class TeamsLinkTest : public SecretServiceStoreTest {
protected:
    TeamsLinkTest() : web_(teams_.LoginUrl(), teams_.GraphUrl()) {}

    std::unique_ptr<TeamsLink> Link() {
        return std::make_unique<TeamsLink>(
            store_, web_, points_, messengers::TeamsApp{RecordedTeams::kClient, "organizations"},
            [](std::function<void()> task) { task(); },
            [this](const std::string& text) {
                std::lock_guard lock(mutex_);
                told_.push_back(text);
            });
    }
    // Every piece of news of one sign-in, until the last.
    std::vector<TeamsLink::News> SignIn(TeamsLink& link, bool cancelAtTheCode = false) {
        auto promise = std::make_shared<std::promise<void>>();
        auto all = std::make_shared<std::vector<TeamsLink::News>>();
        auto finished = promise->get_future();
        link.SignIn({RecordedTeams::kClient, "organizations"},
                    [&link, promise, all, cancelAtTheCode](const TeamsLink::News& news) {
                        all->push_back(news);
                        if (!news.done && cancelAtTheCode) {
                            link.CancelSignIn();
                        }
                        if (news.done) {
                            promise->set_value();
                        }
                    });
        EXPECT_EQ(finished.wait_for(std::chrono::seconds(60)), std::future_status::ready);
        return *all;
    }
    static void Day(TeamsLink& link, const std::string& text) {
        messengers::SendDayStatus(link, text,
                                  {{"Woensdag", "40", "70", "3", "8", "12", "ZW", "4"}, true});
    }
    static void SwitchOff(TeamsLink& link) {
        link.SetDeadline(std::chrono::steady_clock::now() + std::chrono::seconds(5));
        messengers::SendMessengerStatus(link, status::kSwitchOffCategory, false,
                                        status::kSwitchOffFormat, "");
    }
    // Waits, bounded, until the recorded status message says `text` ("" for none).
    json StatusOnceThere(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            json status = teams_.Look().status;
            const std::string shown =
                status.is_object() ? status["message"]["content"].get<std::string>() : "";
            if (shown == text || std::chrono::steady_clock::now() > deadline) {
                return status;
            }
            QThread::msleep(20);
        }
    }

    RecordedTeams teams_;
    messengers::TeamsHttp web_;
    SecretServiceStore store_{"teams"};
    messengers::RestorePointsInMemory points_;
    std::mutex mutex_;
    std::vector<std::string> told_;
};

TEST_F(TeamsLinkTest, TheDeviceCodeSignInWaitsForTheUserAndEndsAsTheUserDid) {
    using namespace messengers;
    ASSERT_TRUE(store_.ForgetSecret());
    struct Case {
        std::vector<std::string> script;
        bool cancel;
        std::string said;
    };
    const Case cases[] = {
        {{"authorization_pending", "slow_down", "granted"},
         false,
         std::string(kTeamsSignedInAs) + "Ann de Vries"},
        {{"authorization_declined"}, false, std::string(kTeamsDeclined)},
        {{"authorization_pending", "expired_token"}, false, std::string(kTeamsExpired)},
        {{"authorization_pending"}, true, std::string(kTeamsCancelled)},
    };
    for (const Case& c : cases) {
        teams_.Set({{"token_script", c.script}, {"interval", 1}});
        const auto link = Link();
        const auto news = SignIn(*link, c.cancel);
        ASSERT_EQ(news.size(), 2u) << c.said;
        EXPECT_EQ(news[0].userCode, "KVL7-ZNBD");
        EXPECT_EQ(news[0].verificationUri, "https://microsoft.com/devicelogin");
        EXPECT_EQ(news[0].text, std::string(kTeamsGoTo) + "https://microsoft.com/devicelogin" +
                                    std::string(kTeamsEnterCode) + "KVL7-ZNBD");
        EXPECT_EQ(news[1].text, c.said);
        EXPECT_EQ(news[1].signedIn,
                  c.said != kTeamsDeclined && c.said != kTeamsExpired && c.said != kTeamsCancelled);
        int polls = 0;
        for (const std::string& call : teams_.Look().calls) {
            polls += call == "POST /login/organizations/oauth2/v2.0/token" ? 1 : 0;
        }
        EXPECT_EQ(polls, c.cancel ? 0 : static_cast<int>(c.script.size())) << c.said;
    }
    // Only the refresh token is kept, and only in the keyring.
    EXPECT_EQ(store_.ReadSecret(), "rt-1");
}

TEST_F(TeamsLinkTest, ADayBecomesTheStatusMessageAndTheUsersComesBack) {
    ASSERT_TRUE(store_.WriteSecret(RecordedTeams::kRefreshToken));
    const json own = teams_.Look().status;
    const auto link = Link();
    const std::string longText = "Woensdag | Zon 40% " + std::string(300, 'x');
    Day(*link, longText);
    const json set = StatusOnceThere(longText.substr(0, 279) + "\xE2\x80\xA6");
    ASSERT_TRUE(set.is_object());
    EXPECT_EQ(set["message"]["contentType"], "text");
    EXPECT_EQ(set["expiryDateTime"]["timeZone"], "UTC");
    EXPECT_EQ(set["expiryDateTime"]["dateTime"].get<std::string>().substr(0, 13),
              messengers::UtcDateTime(std::chrono::system_clock::now() + std::chrono::hours(2))
                  .substr(0, 13));
    SwitchOff(*link);
    const json back = teams_.Look().status;
    EXPECT_EQ(back["message"], own["message"]);
    EXPECT_FALSE(back.contains("expiryDateTime")) << "the user's message never expired";
    // The renewed refresh token replaced the one it was renewed with.
    EXPECT_EQ(store_.ReadSecret(), "rt-1");

    // Without a message before, the switch-off clears Zonbode's.
    teams_.Set({{"status", nullptr}});
    Day(*link, "Donderdag");
    StatusOnceThere("Donderdag");
    SwitchOff(*link);
    EXPECT_TRUE(teams_.Look().status.is_null());
}

TEST_F(TeamsLinkTest, AMessageTheUserSetMeanwhileStaysAndGraphDownOwesTheRestore) {
    ASSERT_TRUE(store_.WriteSecret(RecordedTeams::kRefreshToken));
    const auto link = Link();
    Day(*link, "Maandag");
    StatusOnceThere("Maandag");
    const json lunch = {{"message", {{"content", "Lunch"}, {"contentType", "text"}}}};
    teams_.Set({{"status", lunch}});
    SwitchOff(*link);
    EXPECT_EQ(teams_.Look().status, lunch);

    // Graph gone at the close: the restore is owed, and made by the next start.
    Day(*link, "Dinsdag");
    StatusOnceThere("Dinsdag");
    teams_.Set({{"graph_down", true}});
    SwitchOff(*link);
    EXPECT_NE(points_.Read("Teams"), "");
    teams_.Set({{"graph_down", false}});
    const auto next = Link();
    EXPECT_EQ(StatusOnceThere("Lunch")["message"]["content"], "Lunch");
}

TEST_F(TeamsLinkTest, ARefusedRenewalIsToldOnceAndABusyGraphIsLeftAlone) {
    ASSERT_TRUE(store_.WriteSecret("rt-revoked"));
    {
        const auto link = Link();
        Day(*link, "Maandag");
        Day(*link, "Dinsdag");
        SwitchOff(*link);
    }
    EXPECT_EQ(told_, std::vector<std::string>{std::string(messengers::kTeamsSignInAgain)});
    for (const std::string& call : teams_.Look().calls) {
        EXPECT_EQ(call.find("/graph/"), std::string::npos) << call;
    }

    ASSERT_TRUE(store_.WriteSecret(RecordedTeams::kRefreshToken));
    teams_.Set({{"refuse", {429, 60}}});
    const auto link = Link();
    Day(*link, "Maandag");
    int graphCalls = 0;
    const auto countGraphCalls = [&] {
        for (const std::string& call : teams_.Look().calls) {
            graphCalls += call.find("/graph/") != std::string::npos ? 1 : 0;
        }
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (graphCalls == 0 && std::chrono::steady_clock::now() < deadline) {
        countGraphCalls();
        QThread::msleep(20);
    }
    Day(*link, "Dinsdag");
    SwitchOff(*link);
    countGraphCalls();
    EXPECT_EQ(graphCalls, 1);  // Maandag's read; nothing to restore
}

}  // namespace
}  // namespace zonbode::secrets
