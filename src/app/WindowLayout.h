#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "status/StatusMessage.h"

// The main window as its designer drew it: every control with its kind, initial caption and
// place, in tab order. Both front-ends build their window from this one table.
namespace zonbode::app::layout {

enum class ControlKind {
    List,          // a list in report (details) view
    StatusBar,     // a status bar with one panel, along the bottom edge
    Label,         // static text
    TextBox,       // a single-line text box
    PushButton,    // a push button
    ToggleButton,  // a check box drawn as a push button that stays down
    CheckBox,      // a check box
    DropDownList,  // a drop-down list to choose one of its entries from
};

// The controls by their designer names; the value is the control's place in kControls.
enum class Control {
    ListView1,
    StatusBar1,
    Label1,
    Label2,
    Text1,
    Command1,
    Check1,
    Check2,
    Command2,
    Check3,
    Label4,       // which place the forecast is for
    Label5,       // where the data comes from, near the list as its licence asks
    Label3,       // caption of the place box
    Text2,        // the place box: a name to search for (Enter searches too)
    Command3,     // searches
    Combo1,       // the matches of the last search; choosing one makes it the place
    Check4,       // keeps the program's sign-in entry in place (saved as Aanmelden)
    SlackButton,  // opens the Slack dialog
    TeamsButton,  // opens the Teams dialog
};

// A rectangle in twips: left, top, width, height.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

struct ControlLayout {
    Control control;
    std::string_view name;
    ControlKind kind;
    std::string_view caption;  // the initial text (the status panel's for the status bar)
    Twips rect;
    int tabIndex;
};

inline constexpr std::string_view kWindowCaption = "Zonbode";
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 7785;
inline constexpr int kClientHeightTwips = 3855;
// A list column's width when none is given: one inch.
inline constexpr int kDefaultColumnWidthPixels = 96;
// The layout was drawn for an 8-point sans serif; at 10 pixels a face of Arial's width (the
// platform's own sans serif on Windows, Liberation Sans on Linux) shows every caption whole in
// the room the layout gives it.
inline constexpr int kFontPixels = 10;

inline constexpr std::array<ControlLayout, 19> kControls = {{
    {Control::ListView1, "ListView1", ControlKind::List, "", {120, 120, 7575, 1695}, 0},
    {Control::StatusBar1,
     "StatusBar1",
     ControlKind::StatusBar,
     "Kavelo Zonbode",
     {0, 3600, 7785, 255},
     1},
    // Ends where the "Teams..." button begins.
    {Control::Label1,
     "Label1",
     ControlKind::Label,
     "<Hier komt je psm te staan>",
     {120, 2040, 5700, 255},
     2},
    {Control::Label2, "Label2", ControlKind::Label, "PSM:", {120, 2520, 375, 255}, 3},
    {Control::Text1,
     "Text1",
     ControlKind::TextBox,
     status::kDefaultTemplate,
     {600, 2520, 6855, 285},
     4},
    {Control::Command1, "Command1", ControlKind::PushButton, "?", {7440, 2520, 255, 255}, 5},
    {Control::Check1,
     "Check1",
     ControlKind::ToggleButton,
     "Automatisch",
     {120, 2880, 1695, 255},
     6},
    {Control::Check2,
     "Check2",
     ControlKind::CheckBox,
     "Automatisch inschakelen bij starten Zonbode",
     {2160, 2880, 3735, 255},
     7},
    {Control::Command2, "Command2", ControlKind::PushButton, "?", {1800, 2880, 255, 255}, 8},
    {Control::Check3,
     "Check3",
     ControlKind::CheckBox,
     "Start in systeemvak",
     {6000, 2880, 1695, 255},
     9},
    {Control::Label4, "Label4", ControlKind::Label, "", {120, 1815, 5415, 225}, 10},
    {Control::Label5,
     "Label5",
     ControlKind::Label,
     "Weerdata: Open-Meteo.com",
     {5655, 1815, 2040, 225},
     11},
    {Control::Label3, "Label3", ControlKind::Label, "Plaats:", {120, 3240, 495, 255}, 12},
    {Control::Text2, "Text2", ControlKind::TextBox, "", {600, 3240, 1815, 285}, 13},
    {Control::Command3, "Command3", ControlKind::PushButton, "Zoeken", {2475, 3240, 735, 285}, 14},
    {Control::Combo1, "Combo1", ControlKind::DropDownList, "", {3270, 3240, 2670, 285}, 15},
    // Under "Start in systeemvak", at the right end of the place row.
    {Control::Check4,
     "Check4",
     ControlKind::CheckBox,
     "Start bij aanmelden",
     {6000, 3255, 1695, 255},
     16},

    // The messengers with a sign-in of their own: their dialogs below.
    {Control::SlackButton,
     "SlackButton",
     ControlKind::PushButton,
     "Slack...",
     {6840, 2040, 855, 255},
     17},
    {Control::TeamsButton,
     "TeamsButton",
     ControlKind::PushButton,
     "Teams...",
     {5925, 2040, 855, 255},
     18},
}};

// Texts of the place controls and of the live forecast, for the status panel and Label4.
inline constexpr std::string_view kForecastPlacePrefix = "Verwachting voor: ";
inline constexpr std::string_view kSearchingPrefix = "Plaats zoeken: ";
inline constexpr std::string_view kChooseAMatch = "Kies een plaats uit de lijst";
inline constexpr std::string_view kNoPlaceFoundPrefix = "Geen plaats gevonden met de naam ";
inline constexpr std::string_view kNoLiveSourcePrefix = "De weerdata kunnen niet starten: ";
inline constexpr std::string_view kNoPlaceSearch =
    "Plaats kiezen kan alleen met de eigen weerdata (zonder --host en --port)";

// ---- The Slack dialog: the token, a test of it, and forgetting it ----------------------------

enum class SlackControl { TokenLabel, TokenBox, TestButton, DisconnectButton, Answer };

// One control of a dialog, by its id in the dialog's own enum.
template <typename Id>
struct DialogControl {
    Id control;
    ControlKind kind;
    std::string_view caption;
    Twips rect;
    bool hidesText;  // a box that shows dots for what is typed
};
using SlackDialogControl = DialogControl<SlackControl>;

inline constexpr std::string_view kSlackDialogCaption = "Zonbode - Slack";
inline constexpr int kSlackDialogWidthTwips = 6000;
inline constexpr int kSlackDialogHeightTwips = 1800;

// In tab order; the value of each is its place.
inline constexpr std::array<SlackDialogControl, 5> kSlackDialog = {{
    {SlackControl::TokenLabel,
     ControlKind::Label,
     "Token (xoxp-...):",
     {120, 165, 1500, 255},
     false},
    {SlackControl::TokenBox, ControlKind::TextBox, "", {1680, 120, 4200, 285}, true},
    {SlackControl::TestButton, ControlKind::PushButton, "Test", {1680, 540, 1095, 315}, false},
    {SlackControl::DisconnectButton,
     ControlKind::PushButton,
     "Loskoppelen",
     {2880, 540, 1335, 315},
     false},
    {SlackControl::Answer, ControlKind::Label, "", {120, 1020, 5760, 660}, false},
}};

constexpr const SlackDialogControl& Of(SlackControl control) {
    return kSlackDialog[static_cast<std::size_t>(control)];
}

// ---- The Teams dialog: the app registration, the sign-in and its code -----------------------

enum class TeamsControl {
    ClientLabel,
    ClientBox,
    TenantLabel,
    TenantBox,
    SignInButton,
    SignOutButton,
    OpenButton,
    Answer,
};
using TeamsDialogControl = DialogControl<TeamsControl>;

inline constexpr std::string_view kTeamsDialogCaption = "Zonbode - Teams";
inline constexpr int kTeamsDialogWidthTwips = 6000;
inline constexpr int kTeamsDialogHeightTwips = 2400;

// In tab order; the value of each is its place.
inline constexpr std::array<TeamsDialogControl, 8> kTeamsDialog = {{
    {TeamsControl::ClientLabel,
     ControlKind::Label,
     "Toepassings-ID:",
     {120, 165, 1500, 255},
     false},
    {TeamsControl::ClientBox, ControlKind::TextBox, "", {1680, 120, 4200, 285}, false},
    {TeamsControl::TenantLabel, ControlKind::Label, "Tenant:", {120, 525, 1500, 255}, false},
    {TeamsControl::TenantBox, ControlKind::TextBox, "", {1680, 480, 4200, 285}, false},
    {TeamsControl::SignInButton,
     ControlKind::PushButton,
     "Aanmelden",
     {1680, 900, 1215, 315},
     false},
    {TeamsControl::SignOutButton,
     ControlKind::PushButton,
     "Afmelden",
     {3000, 900, 1215, 315},
     false},
    {TeamsControl::OpenButton,
     ControlKind::PushButton,
     "Pagina openen",
     {4320, 900, 1560, 315},
     false},
    {TeamsControl::Answer, ControlKind::Label, "", {120, 1380, 5760, 900}, false},
}};

constexpr int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

constexpr const ControlLayout& Of(Control control) {
    return kControls[static_cast<std::size_t>(control)];
}

// Labels and the status bar are passed over by the Tab key.
constexpr bool TakesFocus(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::StatusBar;
}

// The table lists the controls in tab order, each at its own enum value, inside the window.
constexpr bool InTabOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Twips& r = kControls[i].rect;
        if (kControls[i].tabIndex != static_cast<int>(i) ||
            static_cast<std::size_t>(kControls[i].control) != i || r.left < 0 || r.top < 0 ||
            r.left + r.width > kClientWidthTwips || r.top + r.height > kClientHeightTwips) {
            return false;
        }
    }
    return true;
}
static_assert(InTabOrder());

template <typename Id, std::size_t N>
constexpr bool DialogInOrder(const std::array<DialogControl<Id>, N>& dialog) {
    for (std::size_t i = 0; i < dialog.size(); ++i) {
        if (static_cast<std::size_t>(dialog[i].control) != i) {
            return false;
        }
    }
    return true;
}
static_assert(DialogInOrder(kSlackDialog));
static_assert(DialogInOrder(kTeamsDialog));

}  // namespace zonbode::app::layout
