#pragma once

// A real gnome-keyring-daemon of the test program's own on its private session bus
// (dbus-run-session), whose keyrings live in a folder that is removed afterwards. One keyring
// serves every suite of the program: libsecret keeps its link to the first.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include <unistd.h>

namespace zonbode::secrets {

class SecretServiceStoreTest : public ::testing::Test {
public:
    // One keyring for every suite of this program: libsecret keeps its link to the first.
    static void SetUpTestSuite() {
        if (keyring_) {
            return;
        }
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
    static void StopKeyring() {
        if (!keyring_) {
            return;
        }
        keyring_->terminate();
        keyring_->waitForFinished();
        keyring_.reset();
        home_.reset();
    }

    static inline std::unique_ptr<QTemporaryDir> home_;
    static inline std::unique_ptr<QProcess> keyring_;
};

}  // namespace zonbode::secrets
