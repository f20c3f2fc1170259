#include "app/WindowEvents.h"

#include <utility>

#include "app/Form1.h"

namespace zonbode::app {

WindowEvents Form1Events(Form1& form, std::function<void()> openSlackDialog,
                         std::function<void()> openTeamsDialog) {
    return {
        .formUnload = [&form] { form.Form_Unload(); },
        .formResize = [&form] { form.Form_Resize(); },
        .command1Click = [&form] { form.Command1_Click(); },
        .command2Click = [&form] { form.Command2_Click(); },
        .check1Click = [&form] { form.Check1_Click(); },
        .check4Click = [&form] { form.Check4_Click(); },
        .listView1DblClick = [&form] { form.ListView1_DblClick(); },
        .command3Click = [&form] { form.Command3_Click(); },
        .combo1Click = [&form] { form.Combo1_Click(); },
        .combo1CloseUp = [&form] { form.Combo1_CloseUp(); },
        .slackButtonClick = std::move(openSlackDialog),
        .teamsButtonClick = std::move(openTeamsDialog),
        .trayCallback = [&form](int mouseMessage) { form.TrayIcon_Callback(mouseMessage); },
        .taskbarCreated = [&form] { form.TaskbarCreated(); },
        .anotherCopyStarted = [&form] { form.AnotherCopyStarted(); },
    };
}

}  // namespace zonbode::app
