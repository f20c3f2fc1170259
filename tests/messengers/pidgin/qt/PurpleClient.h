#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <string>

namespace zonbode::messengers::qt {

// A real Pidgin on the test's session bus: its own Xvfb, and a throwaway home and
// configuration folder that last as long as this object, so a restarted Pidgin finds the
// statuses it saved. The user's side (making and choosing statuses, reading them back) goes
// through libpurple's D-Bus interface, the calls Pidgin's own status box makes.
class PurpleClient {
public:
    enum Type : std::int32_t { kAvailable = 2, kUnavailable = 3, kAway = 5 };

    // What is missing for running Pidgin here (a program or the session bus); empty if nothing.
    static QString Missing();

    PurpleClient();
    ~PurpleClient();

    // Starts Pidgin and waits until its name is on the bus.
    void Start();
    // Ends it through PurpleCoreQuit and waits until it is gone, and its name with it.
    void Quit();
    bool IsRunning() const { return pidgin_.state() != QProcess::NotRunning; }
    // Stops and continues the process, so that it holds every call unanswered meanwhile.
    void Pause();
    void Resume();

    // A method of the interface, as the user's side; fails the test on an error reply.
    QVariant Call(const char* method, const QVariantList& arguments = {});

    // A status made and activated as the user does: unnamed (transient) when title is empty.
    std::int32_t Choose(Type type, const std::string& message, const std::string& title = {});
    std::int32_t Current();
    std::int32_t TypeOf(std::int32_t status);
    std::string MessageOf(std::int32_t status);
    std::string TitleOf(std::int32_t status);
    bool IsTransient(std::int32_t status);
    std::int32_t CreationTimeOf(std::int32_t status);
    // The message as libpurple shows it: markup stripped, entities read.
    std::string ShownMessageOf(std::int32_t status);

private:
    QTemporaryDir home_;
    QProcess xvfb_;
    QString display_;
    QProcess pidgin_;
};

}  // namespace zonbode::messengers::qt
