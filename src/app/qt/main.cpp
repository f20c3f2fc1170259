// zonbode: the Linux desktop program.
//   zonbode [--host HOST] [--port PORT] [--slack-url URL] [--version]
// fetches the forecast from HOST:PORT instead of the institute's web server, and talks to
// Slack's Web API at URL.

#include <QApplication>
#include <QIcon>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/ServerOptions.h"
#include "app/SlackHttp.h"
#include "app/SlackLink.h"
#include "app/SystemClock.h"
#include "app/qt/CloseOnSignal.h"
#include "app/qt/DBusMessengerTransport.h"
#include "app/qt/ErrorMessageBox.h"
#include "app/qt/EventLoopNotifier.h"
#include "app/qt/MainWindow.h"
#include "app/qt/PurpleMessengerTransport.h"
#include "app/qt/QtProcessControl.h"
#include "app/qt/QtSettingsStore.h"
#include "app/qt/QtTimers.h"
#include "app/qt/QtTray.h"
#include "app/qt/SecretServiceStore.h"
#include "app/qt/SlackDialog.h"
#include "status/MessengerTransportList.h"

int main(int argc, char** argv) {
    // Answered before Qt looks for a display, so they work on a terminal without one.
    if (const std::optional<int> exitCode =
            zonbode::app::AnswerHelpOrVersion(std::vector<std::string>(argv + 1, argv + argc))) {
        return *exitCode;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kavelo"));
    QApplication::setApplicationName(QStringLiteral("Zonbode"));
    QApplication::setDesktopFileName(QStringLiteral("zonbode"));
    // Closing a message box while the window sits in the tray must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }
    zonbode::app::ForecastServer server;
    if (const std::optional<int> exitCode = zonbode::app::ReadDesktopOptions(arguments, server)) {
        return *exitCode;
    }

    using namespace zonbode::app::qt;
    InstallErrorMessageBox();
    EventLoopNotifier networkEvents;
    MainWindow window;
    QtTimers timers;
    QtSettingsStore settings;
    // Our own interface's receivers first, then Pidgin or Finch, then Slack.
    DBusMessengerTransport copyData;
    PurpleMessengerTransport purple;
    SecretServiceStore slackToken("slack");
    zonbode::app::SlackHttp slackApi(server.slackApi);
    zonbode::app::SlackLink slack(
        slackToken, slackApi, [&window](const std::string& text) { window.SetStatusText(text); });
    zonbode::status::MessengerTransportList messenger({&copyData, &purple, &slack});
    QtTray tray(window.windowIcon());
    QtProcessControl process;
    zonbode::app::SystemClock clock;

    zonbode::app::Form1 form({window, timers, settings, messenger, tray, process, clock}, server);
    window.SetEvents({
        .formUnload =
            [&form] {
                form.Form_Unload();
                QApplication::quit();
            },
        .formResize = [&form] { form.Form_Resize(); },
        .command1Click = [&form] { form.Command1_Click(); },
        .command2Click = [&form] { form.Command2_Click(); },
        .check1Click = [&form] { form.Check1_Click(); },
        .listView1DblClick = [&form] { form.ListView1_DblClick(); },
        .slackButtonClick =
            [&window, &slack] {
                SlackDialog dialog(&window, slack);
                dialog.exec();
            },
    });
    tray.SetCallback([&form](int mouseMessage) { form.TrayIcon_Callback(mouseMessage); });
    CloseOnSignal closeOnSignal([&window] { window.close(); });

    // Start-up shows the window itself, minimized or not at all where the stored choice says.
    form.Form_Load();
    return application.exec();
}
