// zonbode: the Linux desktop program.
//   zonbode [--place NAME] [--api-url URL] [--geocoding-url URL] [--slack-url URL]
// shows the live forecast for the stored place (or NAME);
//   zonbode --host HOST [--port PORT] [--slack-url URL]
// fetches the forecast page from HOST:PORT instead. Slack's Web API is at URL.

#include <QApplication>
#include <QIcon>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/RunningCopy.h"
#include "app/ServerOptions.h"
#include "app/SettingsRestorePoints.h"
#include "app/StoredTeamsApp.h"
#include "app/SystemClock.h"
#include "app/WindowEvents.h"
#include "app/qt/AutostartEntry.h"
#include "app/qt/CloseOnSignal.h"
#include "app/qt/DBusRunningCopies.h"
#include "app/qt/ErrorMessageBox.h"
#include "app/qt/EventLoopNotifier.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtProcessControl.h"
#include "app/qt/QtSettingsStore.h"
#include "app/qt/QtTimers.h"
#include "app/qt/QtTray.h"
#include "app/qt/SlackDialog.h"
#include "app/qt/TeamsDialog.h"
#include "messengers/MessengerTransportList.h"
#include "messengers/copydata/qt/DBusMessengerTransport.h"
#include "messengers/pidgin/qt/PurpleMessengerTransport.h"
#include "messengers/slack/SlackHttp.h"
#include "messengers/slack/SlackLink.h"
#include "messengers/teams/TeamsHttp.h"
#include "messengers/teams/TeamsLink.h"
#include "net/EventLoop.h"
#include "secrets/posix/SecretServiceStore.h"

namespace zonbode::app::qt {
namespace {

void DescribeApplication() {
    QApplication::setOrganizationName(QStringLiteral("Kavelo"));
    QApplication::setApplicationName(QStringLiteral("Zonbode"));
    QApplication::setDesktopFileName(QStringLiteral("zonbode"));
    // Closing a message box while the window sits in the tray must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
}

// The arguments after the program's name, as Qt left them.
std::vector<std::string> ProgramArguments() {
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }
    return arguments;
}

void ReportLiveProblem(const std::string& text) {
    WriteToStandardStreams(OptionText::Problem, "zonbode: " + text + "\n");
}

// Where a status goes: our own interface's receivers first, then Pidgin or Finch, then Slack and
// Teams, which ask for attention in the window's status bar.
struct Messengers {
    Messengers(const DesktopOptions& options, MainWindow& window, SettingsStore& settings)
        : slackApi(options.slackApi),
          slack(slackToken, slackApi, slackRestorePoints, zonbode::net::EventLoop::PostTask,
                [&window](const std::string& text) { window.SetStatusText(text); }),
          teamsApi(options.loginApi, options.graphApi),
          teams(teamsToken, teamsApi, teamsRestorePoints, ReadTeamsApp(settings),
                zonbode::net::EventLoop::PostTask,
                [&window](const std::string& text) { window.SetStatusText(text); }) {}

    // Slack and Teams keep their restore points from threads of their own: each messenger has
    // its own settings object.
    QtSettingsStore pidginSettings, slackSettings, teamsSettings;
    SettingsRestorePoints pidginRestorePoints{pidginSettings}, slackRestorePoints{slackSettings},
        teamsRestorePoints{teamsSettings};
    messengers::qt::DBusMessengerTransport copyData;
    messengers::qt::PurpleMessengerTransport purple{pidginRestorePoints};
    secrets::SecretServiceStore slackToken{"slack"};
    messengers::SlackHttp slackApi;
    messengers::SlackLink slack;
    secrets::SecretServiceStore teamsToken{"teams"};
    messengers::TeamsHttp teamsApi;
    messengers::TeamsLink teams;
    messengers::MessengerTransportList all{{&copyData, &purple, &slack, &teams}};
};

// Form1's handlers, with the Slack dialog of this front-end and the end of the application
// after the unload.
WindowEvents ProgramEvents(Form1& form, MainWindow& window, Messengers& messengers,
                           SettingsStore& settings) {
    WindowEvents events = Form1Events(
        form,
        [&window, &messengers] {
            SlackDialog dialog(&window, messengers.slack);
            dialog.exec();
        },
        [&window, &messengers, &settings] {
            TeamsDialog dialog(&window, messengers.teams, settings);
            dialog.exec();
        });
    events.formUnload = [unload = events.formUnload] {
        unload();
        QApplication::quit();
    };
    return events;
}

}  // namespace
}  // namespace zonbode::app::qt

int main(int argc, char** argv) {
    // Answered before Qt looks for a display, so they work on a terminal without one.
    if (const std::optional<int> exitCode =
            zonbode::app::AnswerHelpOrVersion(std::vector<std::string>(argv + 1, argv + argc))) {
        return *exitCode;
    }
    QApplication application(argc, argv);
    using namespace zonbode::app::qt;
    DescribeApplication();

    zonbode::app::DesktopOptions options;
    if (const std::optional<int> exitCode =
            zonbode::app::ReadDesktopOptions(ProgramArguments(), options)) {
        return *exitCode;
    }
    options.live.report = ReportLiveProblem;

    DBusRunningCopies copies;
    if (!zonbode::app::GoOnAsTheRunningCopy(copies)) {
        return 0;
    }
    InstallErrorMessageBox();
    EventLoopNotifier networkEvents;
    MainWindow window;
    QtTimers timers;
    QtSettingsStore settings;
    Messengers messengers(options, window, settings);
    QtTray tray(window.windowIcon());
    QtProcessControl process;
    zonbode::app::SystemClock clock;
    AutostartEntry signIn(QCoreApplication::applicationFilePath());

    const zonbode::app::Ports ports{window, timers,  settings, messengers.all,
                                    tray,   process, clock,    signIn};
    const std::unique_ptr<zonbode::app::Form1> owned =
        zonbode::app::CreateForm1(ports, std::move(options));
    zonbode::app::Form1& form = *owned;
    const WindowEvents events = ProgramEvents(form, window, messengers, settings);
    tray.SetCallback(events.trayCallback);
    copies.SetOnActivate(events.anotherCopyStarted);
    window.SetEvents(events);
    CloseOnSignal closeOnSignal([&window] { window.close(); });

    // Start-up shows the window itself, minimized or not at all where the stored choice says.
    form.Form_Load();
    return application.exec();
}
