#include "messengers/pidgin/qt/PurpleClient.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <csignal>

#include "messengers/pidgin/qt/PurpleDBusService.h"

namespace zonbode::messengers::qt {
namespace {

constexpr int kStartMs = 90000;  // a loaded machine may take long to start Pidgin
constexpr int kCallMs = 30000;

bool OnTheBus() {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus != nullptr &&
           bus->isServiceRegistered(QLatin1String(PurpleDBusService::kServiceName)).value();
}

}  // namespace

QString PurpleClient::Missing() {
    for (const char* program : {"pidgin", "Xvfb"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty()) {
            return QStringLiteral("%1 is not installed").arg(QLatin1String(program));
        }
    }
    if (!QDBusConnection::sessionBus().isConnected()) {
        return QStringLiteral("no session bus (run under dbus-run-session)");
    }
    return {};
}

PurpleClient::PurpleClient() = default;

PurpleClient::~PurpleClient() {
    if (IsRunning()) {
        Resume();
        QDBusConnection::sessionBus().call(PurpleDBusService::MethodCall("PurpleCoreQuit", {}),
                                           QDBus::Block, 10000);
        if (!pidgin_.waitForFinished(30000)) {
            pidgin_.kill();
            pidgin_.waitForFinished(30000);
        }
    }
    if (xvfb_.state() != QProcess::NotRunning) {
        xvfb_.terminate();
        if (!xvfb_.waitForFinished(30000)) {
            xvfb_.kill();
            xvfb_.waitForFinished(30000);
        }
    }
}

void PurpleClient::Start() {
    ASSERT_TRUE(home_.isValid());
    if (xvfb_.state() == QProcess::NotRunning) {
        // Xvfb picks a free display and writes its number to the given descriptor.
        xvfb_.setProgram(QStringLiteral("Xvfb"));
        xvfb_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                            QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("800x600x24"),
                            // No reset when the last client leaves: a Pidgin started during
                            // one could not connect.
                            QStringLiteral("-noreset")});
        xvfb_.setStandardErrorFile(QProcess::nullDevice());
        xvfb_.start();
        ASSERT_TRUE(xvfb_.waitForStarted(kStartMs));
        QElapsedTimer clock;
        clock.start();
        while (!xvfb_.canReadLine() && clock.elapsed() < kStartMs &&
               xvfb_.state() == QProcess::Running) {
            xvfb_.waitForReadyRead(200);
        }
        const QByteArray number = xvfb_.readLine().trimmed();
        ASSERT_FALSE(number.isEmpty()) << "Xvfb did not report its display";
        display_ = QLatin1Char(':') + QString::fromLatin1(number);
    }

    const QString home = home_.path();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("DISPLAY"), display_);
    // No accessibility bus and no settings daemon started on the test's bus for GTK's sake.
    environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    pidgin_.setProcessEnvironment(environment);
    pidgin_.setProgram(QStringLiteral("pidgin"));
    pidgin_.setArguments({QStringLiteral("--config=") + home + QStringLiteral("/purple"),
                          QStringLiteral("--nologin")});
    pidgin_.setStandardOutputFile(QProcess::nullDevice());
    pidgin_.setStandardErrorFile(home + QStringLiteral("/pidgin.log"), QIODevice::Append);
    pidgin_.start();
    ASSERT_TRUE(pidgin_.waitForStarted(kStartMs));
    QElapsedTimer clock;
    clock.start();
    while (!OnTheBus() && IsRunning() && clock.elapsed() < kStartMs) {
        QThread::msleep(100);
    }
    ASSERT_TRUE(OnTheBus()) << "Pidgin did not come onto the bus";
}

void PurpleClient::Quit() {
    // Pidgin may be gone before it answers; its end is what counts.
    QDBusConnection::sessionBus().call(PurpleDBusService::MethodCall("PurpleCoreQuit", {}),
                                       QDBus::Block, kCallMs);
    ASSERT_TRUE(pidgin_.waitForFinished(kStartMs)) << "Pidgin did not end";
    QElapsedTimer clock;
    clock.start();
    while (OnTheBus() && clock.elapsed() < kStartMs) {
        QThread::msleep(100);
    }
    ASSERT_FALSE(OnTheBus());
}

void PurpleClient::Pause() {
    ASSERT_EQ(::kill(static_cast<pid_t>(pidgin_.processId()), SIGSTOP), 0);
}

void PurpleClient::Resume() {
    ::kill(static_cast<pid_t>(pidgin_.processId()), SIGCONT);
}

QVariant PurpleClient::Call(const char* method, const QVariantList& arguments) {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        PurpleDBusService::MethodCall(method, arguments), QDBus::Block, kCallMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        ADD_FAILURE() << method << ": " << reply.errorMessage().toStdString();
        return {};
    }
    return reply.arguments().value(0);
}

std::int32_t PurpleClient::Choose(Type type, const std::string& message, const std::string& title) {
    const std::int32_t status =
        Call("PurpleSavedstatusNew", {QString::fromStdString(title), int(type)}).toInt();
    EXPECT_NE(status, 0) << "a status titled " << title << " exists already";
    Call("PurpleSavedstatusSetMessage", {status, QString::fromStdString(message)});
    Call("PurpleSavedstatusActivate", {status});
    return status;
}

std::int32_t PurpleClient::Current() {
    return Call("PurpleSavedstatusGetCurrent").toInt();
}

std::int32_t PurpleClient::TypeOf(std::int32_t status) {
    return Call("PurpleSavedstatusGetType", {status}).toInt();
}

std::string PurpleClient::MessageOf(std::int32_t status) {
    return Call("PurpleSavedstatusGetMessage", {status}).toString().toStdString();
}

std::string PurpleClient::TitleOf(std::int32_t status) {
    return Call("PurpleSavedstatusGetTitle", {status}).toString().toStdString();
}

bool PurpleClient::IsTransient(std::int32_t status) {
    return Call("PurpleSavedstatusIsTransient", {status}).toInt() != 0;
}

std::int32_t PurpleClient::CreationTimeOf(std::int32_t status) {
    return Call("PurpleSavedstatusGetCreationTime", {status}).toInt();
}

std::string PurpleClient::ShownMessageOf(std::int32_t status) {
    return Call("PurpleMarkupStripHtml", {Call("PurpleSavedstatusGetMessage", {status})})
        .toString()
        .toStdString();
}

}  // namespace zonbode::messengers::qt
