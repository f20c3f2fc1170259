#pragma once

#include <functional>

namespace zonbode::app {

class Form1;

// What a window forwards: each user or window event, to whoever handles it (Form1 in the
// programs, a recorder in tests). Unset entries are ignored; a front-end forwards those it has.
struct WindowEvents {
    std::function<void()> formUnload;         // the window is being closed, or the session ends
    std::function<void()> formResize;         // its size or state changed (minimized, restored)
    std::function<void()> command1Click;      // "?" beside the template
    std::function<void()> command2Click;      // "?" beside "Automatisch"
    std::function<void()> check1Click;        // "Automatisch" toggled by the user
    std::function<void()> check4Click;        // "Start bij aanmelden" toggled by the user
    std::function<void()> listView1DblClick;  // left double-click on a row, or Enter on it
    std::function<void()> command3Click;      // "Zoeken", or Enter in the place box
    std::function<void()> combo1Click;        // a match chosen by the user
    std::function<void()> combo1CloseUp;      // the list of matches closed
    std::function<void()> slackButtonClick;   // "Slack..."
    std::function<void()> teamsButtonClick;   // "Teams..."
    std::function<void(int mouseMessage)> trayCallback;
    std::function<void()> taskbarCreated;      // the notification area was created (anew)
    std::function<void()> anotherCopyStarted;  // a later start handed over to this copy
};

// Each event to the Form1 handler of the same name; "Slack..." and "Teams..." open the
// front-end's dialogs.
WindowEvents Form1Events(Form1& form, std::function<void()> openSlackDialog,
                         std::function<void()> openTeamsDialog = {});

}  // namespace zonbode::app
