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

#include "app/qt/SecretServiceStore.h"

namespace zonbode::app::qt {
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

}  // namespace
}  // namespace zonbode::app::qt
