// Runs on a private session bus (dbus-run-session) against a real gnome-keyring-daemon of its
// own, whose keyrings live in a folder that is removed afterwards.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include <unistd.h>

#include "app/support/LocalHttpServer.h"
#include "messengers/MessengerDelivery.h"
#include "messengers/slack/SlackHttp.h"
#include "messengers/slack/SlackLink.h"
#include "messengers/slack/SlackTexts.h"
#include "secrets/posix/SecretServiceStore.h"
#include "status/StatusMessage.h"

namespace zonbode::secrets {
namespace {

class SecretServiceStoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        home_ = std::make_unique<QTemporaryDir>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home_->path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"),
                           home_->filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_->path());
        keyring_ = std::make_unique<QProcess>();
        keyring_->setProcessEnvironment(environment);
        // Away from any terminal, where it would otherwise ask for the password.
        keyring_->setChildProcessModifier([] { setsid(); });
        keyring_->start(QStringLiteral("gnome-keyring-daemon"),
                        {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                         QStringLiteral("--components=secrets")});
        ASSERT_TRUE(keyring_->waitForStarted()) << "gnome-keyring-daemon (package gnome-keyring)";
        // An empty line: the login keyring is made, and unlocked, with an empty password.
        keyring_->write("\n");
        keyring_->waitForBytesWritten();
        keyring_->closeWriteChannel();
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        ASSERT_NE(bus, nullptr) << "run under dbus-run-session";
        while (!bus->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value()) {
            ASSERT_EQ(keyring_->state(), QProcess::Running)
                << keyring_->readAllStandardError().data();
            QThread::msleep(20);
        }
    }
    static void TearDownTestSuite() {
        keyring_->terminate();
        keyring_->waitForFinished();
        keyring_.reset();
        home_.reset();
    }

    static inline std::unique_ptr<QTemporaryDir> home_;
    static inline std::unique_ptr<QProcess> keyring_;
};

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

// The dialog's Test and Loskoppelen against answers of a real loopback server, with the
// token in the real keyring.
TEST_F(SecretServiceStoreTest, TheSlackDialogKeepsOnlyATokenSlackAccepts) {
    using zonbode::testing::LocalHttpServer;
    using Behaviour = LocalHttpServer::Behaviour;
    const auto json = [](const std::string& body) {
        return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    };
    struct Case {
        Behaviour behaviour;
        std::string answer;
        std::string said;
        bool kept;
    };
    const Case cases[] = {
        {Behaviour::Answer, json(R"({"ok":false,"error":"invalid_auth"})"),
         "Slack kent dit token niet. Kopieer het User OAuth Token (xoxp-...) opnieuw.", false},
        {Behaviour::Answer, json("<html>Bad Gateway</html>"),
         "Slack gaf een antwoord dat Zonbode niet begrijpt.", false},
        {Behaviour::Answer,
         "HTTP/1.1 429 Too Many Requests\r\nRetry-After: 30\r\nContent-Length: 0\r\n\r\n",
         "Slack vraagt even te wachten. Probeer het over 30 seconden opnieuw.", false},
        // A server that never finishes: the dialog answers when the bound has passed.
        {Behaviour::Endless, "HTTP/1.1 200 OK\r\nContent-Length: 99999999\r\n\r\n",
         "Slack is niet bereikbaar. Controleer de verbinding en probeer het opnieuw.", false},
        {Behaviour::Answer, json(R"({"ok":true,"user":"ann","team":"Kavelo"})"),
         "Verbonden als ann in Kavelo", true},
    };
    SecretServiceStore store("slack");
    ASSERT_TRUE(store.ForgetSecret());
    for (const Case& c : cases) {
        LocalHttpServer server(c.behaviour, c.answer);
        messengers::SlackHttp web("http://127.0.0.1:" + std::to_string(server.Port()) + "/api/");
        messengers::SlackLink link(store, web, nullptr, std::chrono::system_clock::now,
                                   std::chrono::seconds(1));
        EXPECT_EQ(link.Greeting(), messengers::kSlackNotLinked);
        EXPECT_EQ(link.Test("  xoxp-typed\n"), c.said);
        EXPECT_EQ(link.HasToken(), c.kept) << c.said;
        EXPECT_EQ(store.ReadSecret(), c.kept ? "xoxp-typed" : "") << c.said;
    }
    // A refused token: the status panel hears of it once, and the token is tried no more.
    {
        LocalHttpServer server(Behaviour::Answer, json(R"({"ok":false,"error":"token_revoked"})"));
        messengers::SlackHttp web("http://127.0.0.1:" + std::to_string(server.Port()) + "/api");
        std::vector<std::string> said;
        messengers::SlackLink link(store, web,
                                   [&said](const std::string& text) { said.push_back(text); });
        const messengers::DayFields day = {"Woensdag", "40", "70", "3", "8", "12", "ZW", "4"};
        for (int i = 0; i < 3; ++i) {
            messengers::SendDayStatus(link, "Woensdag | Temp: 12", day);
        }
        EXPECT_EQ(said, std::vector<std::string>{std::string(messengers::kSlackNeedsAttention)});
        EXPECT_EQ(server.Connections(), 1);
    }
    messengers::SlackHttp nowhere("http://127.0.0.1:9/api");
    messengers::SlackLink link(store, nowhere, nullptr);
    EXPECT_EQ(link.Greeting(), messengers::kSlackLinked);
    EXPECT_EQ(link.Receivers(), std::vector<std::string>{"slack"});
    EXPECT_EQ(link.Disconnect(), messengers::kSlackDisconnected);
    EXPECT_TRUE(link.Receivers().empty());
    EXPECT_EQ(store.ReadSecret(), "");
    EXPECT_EQ(link.Test(""), messengers::kSlackNoToken);
}

}  // namespace
}  // namespace zonbode::secrets
