// The main window on a real desktop (wine under Xvfb): layout, tab order, the View port and
// the events it forwards.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/support/LongText.h"
#include "app/win32/MainWindow.h"
#include "app/win32/Win32Tray.h"

namespace zonbode::app::win32 {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override {
        // A window closed by an earlier test left its WM_QUIT, which would end a message box.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr));
        ASSERT_NE(nullptr, window_->Handle());
    }
    HWND Child(int id) const { return GetDlgItem(window_->Handle(), id); }
    RECT ClientRectOf(HWND control) const {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window_->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    static std::wstring Text(HWND control) {
        wchar_t buffer[256] = {};
        GetWindowTextW(control, buffer, 256);
        return buffer;
    }

    std::unique_ptr<MainWindow> window_;
};

// Control ids, in tab order.
constexpr int kListView1 = 100, kStatusBar1 = 101, kLabel1 = 102, kLabel2 = 103, kText1 = 104,
              kCommand1 = 105, kCheck1 = 106, kCheck2 = 107, kCommand2 = 108, kCheck3 = 109,
              kLabel4 = 110, kLabel5 = 111, kLabel3 = 112, kText2 = 113, kCommand3 = 114,
              kCombo1 = 115, kCheck4 = 116, kSlackButton = 117, kTeamsButton = 118;

struct Placed {
    int id, left, top, width, height;
};
// The controls at 96 DPI, in pixels: the twips divided by 15.
constexpr Placed kPlaced[] = {
    {kListView1, 8, 8, 505, 113},     {kLabel1, 8, 136, 380, 17},      {kLabel2, 8, 168, 25, 17},
    {kText1, 40, 168, 457, 19},       {kCommand1, 496, 168, 17, 17},   {kCheck1, 8, 192, 113, 17},
    {kCheck2, 144, 192, 249, 17},     {kCommand2, 120, 192, 17, 17},   {kCheck3, 400, 192, 113, 17},
    {kLabel4, 8, 121, 361, 15},       {kLabel5, 377, 121, 136, 15},    {kLabel3, 8, 216, 33, 17},
    {kText2, 40, 216, 121, 19},       {kCommand3, 165, 216, 49, 19},   {kCheck4, 400, 217, 113, 17},
    {kSlackButton, 456, 136, 57, 17}, {kTeamsButton, 395, 136, 57, 17}};

TEST_F(MainWindowTest, FixedLayoutInPixelsOfTheTwipPositions) {
    EXPECT_EQ(96u, window_->Dpi()) << "the test prefix runs at 96 DPI";
    RECT client;
    GetClientRect(window_->Handle(), &client);
    EXPECT_EQ(519, client.right);
    EXPECT_EQ(257, client.bottom);
    for (const Placed& e : kPlaced) {
        RECT r = ClientRectOf(Child(e.id));
        EXPECT_EQ(e.left, r.left) << e.id;
        EXPECT_EQ(e.top, r.top) << e.id;
        EXPECT_EQ(e.width, r.right - r.left) << e.id;
        EXPECT_EQ(e.height, r.bottom - r.top) << e.id;
    }
    EXPECT_EQ(257, ClientRectOf(Child(kStatusBar1)).bottom) << "status bar along the bottom";
    const RECT combo = ClientRectOf(Child(kCombo1));  // its field; the list opens below it
    EXPECT_EQ(218, combo.left);
    EXPECT_EQ(216, combo.top);
    EXPECT_EQ(178, combo.right - combo.left);
    EXPECT_EQ(L"Zonbode", Text(window_->Handle()));
}

TEST_F(MainWindowTest, InitialTextsAndKindsOfControl) {
    EXPECT_EQ(L"<Hier komt je psm te staan>", Text(Child(kLabel1)));
    EXPECT_EQ(L"PSM:", Text(Child(kLabel2)));
    EXPECT_EQ(
        "[dag] | Kans op zon: [zon]% | Neerslag: [neerslag-mm]mm / [neerslag-%]% | Temp: "
        "[midtemp] | Wind: [richting][kracht]",
        window_->TemplateText());
    EXPECT_EQ(L"?", Text(Child(kCommand1)));
    EXPECT_EQ(L"?", Text(Child(kCommand2)));
    EXPECT_EQ(L"Automatisch", Text(Child(kCheck1)));
    EXPECT_EQ(L"Automatisch inschakelen bij starten Zonbode", Text(Child(kCheck2)));
    EXPECT_EQ(L"Start in systeemvak", Text(Child(kCheck3)));
    EXPECT_EQ(L"", Text(Child(kLabel4)));
    EXPECT_EQ(L"Weerdata: Open-Meteo.com", Text(Child(kLabel5)));
    EXPECT_EQ(L"Plaats:", Text(Child(kLabel3)));
    EXPECT_EQ(L"Zoeken", Text(Child(kCommand3)));
    EXPECT_EQ(CBS_DROPDOWNLIST, GetWindowLongPtrW(Child(kCombo1), GWL_STYLE) & 3);
    EXPECT_EQ(L"Start bij aanmelden", Text(Child(kCheck4)));
    const LONG_PTR check1 = GetWindowLongPtrW(Child(kCheck1), GWL_STYLE);
    EXPECT_EQ(BS_AUTOCHECKBOX, check1 & BS_TYPEMASK);
    EXPECT_TRUE(check1 & BS_PUSHLIKE);
    EXPECT_TRUE(GetWindowLongPtrW(Child(kListView1), GWL_STYLE) & LVS_REPORT);
    wchar_t status[64] = {};
    SendMessageW(Child(kStatusBar1), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_STREQ(L"Kavelo Zonbode", status);
    EXPECT_EQ(1, SendMessageW(Child(kStatusBar1), SB_GETPARTS, 0, 0));
}

TEST_F(MainWindowTest, TabMovesThroughTheFocusableControlsInTableOrder) {
    std::vector<int> order;
    HWND control = Child(kListView1);
    for (int i = 0; i < 14; ++i) {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(window_->Handle(), control, FALSE);
    }
    EXPECT_EQ((std::vector<int>{kListView1, kText1, kCommand1, kCheck1, kCheck2, kCommand2, kCheck3,
                                kText2, kCommand3, kCombo1, kCheck4, kSlackButton, kTeamsButton,
                                kListView1}),
              order);
}

TEST_F(MainWindowTest, ListRowsCellsAndSelection) {
    window_->SetupList({"Dag", "Zonneschijn (%)", "Neerslagkans (%)", "Neerslaghoeveelheid (mm)",
                        "Minimumtemperatuur (\xC2\xB0"
                        "C)",
                        "Middagtemperatuur (\xC2\xB0"
                        "C)",
                        "Windrichting", "Windsnelheid (bft)"});
    EXPECT_EQ(8, Header_GetItemCount(ListView_GetHeader(Child(kListView1))));
    EXPECT_EQ(0, window_->RowCount());
    window_->AddRow("Maandag");
    window_->AddRow("Dinsdag");
    window_->SetCell(2, 5, "11\xC2\xB0");
    EXPECT_EQ(2, window_->RowCount());
    EXPECT_EQ("Dinsdag", window_->CellText(2, 0));
    EXPECT_EQ("11\xC2\xB0", window_->CellText(2, 5));
    EXPECT_EQ("", window_->CellText(1, 5));
    EXPECT_EQ("", window_->CellText(3, 0)) << "no such row";
    EXPECT_FALSE(window_->SelectedRow().has_value());
    ListView_SetItemState(Child(kListView1), 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(2, window_->SelectedRow());
    window_->ClearRows();
    EXPECT_EQ(0, window_->RowCount());
}

TEST_F(MainWindowTest, TextsAndCheckBoxesWithoutRaisingClicks) {
    int clicks = 0;
    WindowEvents events;
    events.check1Click = [&] { ++clicks; };
    window_->SetEvents(events);
    window_->SetTemplateText("Zon \xE2\x98\x80 [zon]%");
    EXPECT_EQ("Zon \xE2\x98\x80 [zon]%", window_->TemplateText());
    window_->SetPreviewText("Maandag | 40%");
    EXPECT_EQ(L"Maandag | 40%", Text(Child(kLabel1)));
    window_->SetStatusText("Verbinding maken...");
    wchar_t status[64] = {};
    SendMessageW(Child(kStatusBar1), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_STREQ(L"Verbinding maken...", status);

    window_->SetChecked(CheckBox::Check1, true);
    window_->SetChecked(CheckBox::Check3, true);
    EXPECT_TRUE(window_->IsChecked(CheckBox::Check1));
    EXPECT_FALSE(window_->IsChecked(CheckBox::Check2));
    EXPECT_TRUE(window_->IsChecked(CheckBox::Check3));
    EXPECT_EQ(0, clicks) << "setting a value is not a click";

    SendMessageW(Child(kCheck1), BM_CLICK, 0, 0);  // the user's click toggles, then reports
    EXPECT_EQ(1, clicks);
    EXPECT_FALSE(window_->IsChecked(CheckBox::Check1));

    window_->SetPlaceText("Ko\xC5\xA1ice");
    EXPECT_EQ("Ko\xC5\xA1ice", window_->PlaceText());
    window_->SetForecastPlaceText("Verwachting voor: Ede");
    EXPECT_EQ(L"Verwachting voor: Ede", Text(Child(kLabel4)));
    window_->SetPlaceMatches({"Ede (Gelderland, Nederland)", "Ede (Osun, Nigeria)"});
    EXPECT_EQ(2, SendMessageW(Child(kCombo1), CB_GETCOUNT, 0, 0));
    EXPECT_FALSE(window_->ChosenMatch().has_value()) << "filling the list chooses nothing";
    SendMessageW(Child(kCombo1), CB_SETCURSEL, 1, 0);
    EXPECT_EQ(1, window_->ChosenMatch());
    window_->SetPlaceMatches({});
    EXPECT_EQ(0, SendMessageW(Child(kCombo1), CB_GETCOUNT, 0, 0));
    window_->SetPlaceSearchEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Child(kText2)) || IsWindowEnabled(Child(kCommand3)) ||
                 IsWindowEnabled(Child(kCombo1)));
}

TEST_F(MainWindowTest, ButtonsDoubleClickTrayAndCloseAreForwarded) {
    std::vector<std::string> events;
    WindowEvents forward;
    forward.formUnload = [&] { events.push_back("unload"); };
    forward.command1Click = [&] { events.push_back("command1"); };
    forward.command2Click = [&] { events.push_back("command2"); };
    forward.listView1DblClick = [&] { events.push_back("dblclick"); };
    forward.command3Click = [&] { events.push_back("search"); };
    forward.combo1Click = [&] { events.push_back("match"); };
    forward.combo1CloseUp = [&] { events.push_back("list closed"); };
    forward.trayCallback = [&](int code) { events.push_back("tray " + std::to_string(code)); };
    window_->SetEvents(forward);
    SendMessageW(Child(kCommand1), BM_CLICK, 0, 0);
    SendMessageW(Child(kCommand2), BM_CLICK, 0, 0);
    SendMessageW(Child(kCommand3), BM_CLICK, 0, 0);
    window_->Show();
    SetFocus(Child(kText2));
    ASSERT_EQ(Child(kText2), GetFocus());
    SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Enter there
    const LPARAM combo = reinterpret_cast<LPARAM>(Child(kCombo1));
    SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(kCombo1, CBN_SELENDOK), combo);
    SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(kCombo1, CBN_SELCHANGE), combo);
    SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(kCombo1, CBN_DROPDOWN), combo);
    SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(kCombo1, CBN_CLOSEUP), combo);
    NMITEMACTIVATE doubleClick{};
    doubleClick.hdr = {Child(kListView1), kListView1, static_cast<UINT>(NM_DBLCLK)};
    SendMessageW(window_->Handle(), WM_NOTIFY, kListView1, reinterpret_cast<LPARAM>(&doubleClick));
    doubleClick.iItem = -1;  // below the rows: nothing
    SendMessageW(window_->Handle(), WM_NOTIFY, kListView1, reinterpret_cast<LPARAM>(&doubleClick));
    SendMessageW(window_->Handle(), Win32Tray::kCallbackMessage, 1, WM_LBUTTONUP);
    SendMessageW(window_->Handle(), WM_MOUSEMOVE, 0, WM_LBUTTONUP);  // a real mouse move
    SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"command1", "command2", "search", "search", "match",
                                        "match", "list closed", "dblclick", "tray 514", "unload"}),
              events);
    EXPECT_EQ(nullptr, window_->Handle()) << "closing destroys the window";
}

TEST_F(MainWindowTest, TemplatesAndCellsOfAnyLengthComeBackWhole) {
    window_->SetTemplateText(LongText());
    EXPECT_TRUE(IsLongTextWhole(window_->TemplateText()));
    // The user can type on at its end.
    EXPECT_GT(SendMessageW(Child(kText1), EM_GETLIMITTEXT, 0, 0), 2 * 40000);
    window_->SetupList({"Dag", "Zonneschijn (%)", "", "", "", "", "", "Windsnelheid (bft)"});
    window_->AddRow(LongText());
    window_->SetCell(1, 7, LongText());
    EXPECT_TRUE(IsLongTextWhole(window_->CellText(1, 0)));
    EXPECT_TRUE(IsLongTextWhole(window_->CellText(1, 7)));
}

// Runs the messages waiting for this thread the way the program's loop does.
void PumpLikeTheProgram(HWND window) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageW(window, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class ListDoubleClickTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window_->SetupList({"Dag", "Zonneschijn (%)", "", "", "", "", "", ""});
        for (const char* day : {"Maandag", "Dinsdag"}) {
            window_->AddRow(day);
        }
        WindowEvents events;
        events.listView1DblClick = [this] { selected_.push_back(window_->SelectedRow()); };
        window_->SetEvents(events);
        window_->Show();
    }
    HWND List() const { return Child(kListView1); }
    POINT RowCenter(int row) const {
        RECT rect{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row - 1),
                     reinterpret_cast<LPARAM>(&rect));
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    void DoubleClick(UINT message, POINT at) const {
        SendMessageW(List(), message, message == WM_RBUTTONDBLCLK ? MK_RBUTTON : MK_LBUTTON,
                     MAKELPARAM(at.x, at.y));
    }

    std::vector<std::optional<int>> selected_;  // at each reported double-click
};

TEST_F(ListDoubleClickTest, ALeftButtonDoubleClickOnARowReportsThatRowSelected) {
    DoubleClick(WM_LBUTTONDBLCLK, RowCenter(2));
    EXPECT_EQ((std::vector<std::optional<int>>{2}), selected_);
}

TEST_F(ListDoubleClickTest, TheRightButtonAndTheBlankAreaBelowTheRowsDoNothing) {
    ListView_SetItemState(List(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    DoubleClick(WM_RBUTTONDBLCLK, RowCenter(2));
    POINT below = RowCenter(2);
    below.y += 40;  // two rows leave blank space below them
    LVHITTESTINFO hit{};
    hit.pt = below;
    ASSERT_EQ(-1, SendMessageW(List(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    DoubleClick(WM_LBUTTONDBLCLK, below);
    EXPECT_EQ(std::vector<std::optional<int>>{}, selected_);
}

TEST_F(ListDoubleClickTest, EnterOnTheSelectedRowDoesWhatADoubleClickDoes) {
    SetFocus(List());
    ASSERT_EQ(List(), GetFocus());
    PostMessageW(List(), WM_KEYDOWN, VK_RETURN, 0);  // nothing selected: no row to send
    PumpLikeTheProgram(window_->Handle());
    ListView_SetItemState(List(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    PostMessageW(List(), WM_KEYDOWN, VK_RETURN, 0);
    PumpLikeTheProgram(window_->Handle());
    // Enter in the template box is not a double-click.
    SetFocus(Child(kText1));
    PostMessageW(Child(kText1), WM_KEYDOWN, VK_RETURN, 0);
    PumpLikeTheProgram(window_->Handle());
    EXPECT_EQ((std::vector<std::optional<int>>{2}), selected_);
}

// The matches of a search open in a list wide enough for every label, with the first one
// highlighted and the keys in the list: Enter takes the highlighted match, as on Linux, and
// does not search again.
TEST_F(ListDoubleClickTest, EnterWithTheMatchesOpenTakesTheHighlightedOne) {
    std::vector<std::string> clicks;
    WindowEvents events;
    events.combo1Click = [&] {
        clicks.push_back("match " + std::to_string(window_->ChosenMatch().value_or(-1)));
    };
    events.command3Click = [&] { clicks.push_back("search"); };
    window_->SetEvents(events);
    SetFocus(Child(kText2));
    const std::string longest = "Sint-Michielsgestel (Noord-Brabant, Nederland)";
    window_->SetPlaceMatches({longest, "Gestel (Noord-Brabant, Nederland)"});
    const HWND combo = Child(kCombo1);
    EXPECT_EQ(combo, GetFocus());
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(0, SendMessageW(combo, CB_GETCURSEL, 0, 0));
    HDC dc = GetDC(combo);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    SIZE size{};
    const std::wstring wide(longest.begin(), longest.end());
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(combo, dc);
    EXPECT_GE(SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), size.cx) << "the whole label";

    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    PumpLikeTheProgram(window_->Handle());
    EXPECT_EQ(clicks, std::vector<std::string>{"match 0"});
}

// While a message box is open, whether the window is shown or hidden in the tray, the window
// takes no input.
TEST_F(MainWindowTest, TheMessageBoxIsModalOverTheWindowShownOrHidden) {
    for (bool hidden : {false, true}) {
        if (hidden) {
            window_->SetWindowState(WindowState::Minimized);
            window_->Hide();
        } else {
            window_->Show();
        }
        static HWND mainWindow;
        static BOOL enabledDuringTheBox;
        mainWindow = window_->Handle();
        enabledDuringTheBox = TRUE;
        const UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
            if (HWND box = FindWindowW(L"#32770", L"Zonbode")) {
                enabledDuringTheBox = IsWindowEnabled(mainWindow);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        });
        window_->ShowMessage("Host is waarschijnlijk offline.", "Zonbode", MessageIcon::Critical);
        KillTimer(nullptr, timer);
        EXPECT_FALSE(enabledDuringTheBox) << "hidden: " << hidden;
        EXPECT_TRUE(IsWindowEnabled(window_->Handle())) << "hidden: " << hidden;
    }
}

// The width a control needs to show its whole caption, in its own font, at the window's DPI
// (the test process runs at 96).
int NeededWidth(HWND control, int dpi) {
    wchar_t text[256] = {};
    const int length = GetWindowTextW(control, text, 256);
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (std::wstring(className) == L"Button") {
        if ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX && !(style & BS_PUSHLIKE)) {
            // The box, a gap, the text.
            return MulDiv(GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE), dpi, 96) +
                   size.cx;
        }
        return size.cx + MulDiv(2 * GetSystemMetrics(SM_CXEDGE), dpi, 96);  // inside the border
    }
    return size.cx;
}

TEST_F(MainWindowTest, EveryCaptionShowsWhole) {
    for (int id : {kLabel1, kLabel2, kCommand1, kCheck1, kCheck2, kCommand2, kCheck3, kLabel5,
                   kLabel3, kCommand3, kCheck4}) {
        RECT rect;
        GetClientRect(Child(id), &rect);
        EXPECT_LE(NeededWidth(Child(id), 96), rect.right) << id;
    }
}

// A move to a monitor at 200%: the layout, the font and the columns double, every caption
// still shows whole, and back at 100% all is as it was.
TEST_F(MainWindowTest, AtAnotherDpiTheWindowScalesAndEveryCaptionShowsWhole) {
    window_->SetupList({"Dag", "Zonneschijn (%)"});
    for (int dpi : {192, 96}) {
        SCOPED_TRACE(dpi);
        RECT suggested{40, 30, 40 + 600, 30 + 400};
        SendMessageW(window_->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(static_cast<UINT>(dpi), window_->Dpi());
        const int scale = dpi / 96;
        RECT client;
        GetClientRect(window_->Handle(), &client);
        EXPECT_EQ(519 * scale, client.right);
        EXPECT_EQ(257 * scale, client.bottom);
        RECT frame;
        GetWindowRect(window_->Handle(), &frame);
        EXPECT_EQ(40, frame.left) << "placed where the system suggests";
        for (const Placed& e : kPlaced) {
            RECT r = ClientRectOf(Child(e.id));
            EXPECT_EQ(e.left * scale, r.left) << e.id;
            EXPECT_EQ(e.top * scale, r.top) << e.id;
            EXPECT_EQ(e.width * scale, r.right - r.left) << e.id;
            if (e.id != kListView1 && e.id != kText1) {  // the rest show a caption
                EXPECT_LE(NeededWidth(Child(e.id), dpi), r.right - r.left) << e.id;
            }
        }
        EXPECT_EQ(257 * scale, ClientRectOf(Child(kStatusBar1)).bottom);
        LOGFONTW face{};
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(Child(kCheck4), WM_GETFONT, 0, 0)),
                   sizeof face, &face);
        EXPECT_EQ(-10 * scale, face.lfHeight);
        for (int column : {0, 1}) {
            EXPECT_EQ(96 * scale, SendMessageW(Child(kListView1), LVM_GETCOLUMNWIDTH, column, 0));
        }
    }
}

TEST_F(MainWindowTest, MinimizedWhileHiddenIsShownMinimizedAndRestoresToNormal) {
    EXPECT_FALSE(window_->IsShown());
    window_->SetWindowState(WindowState::Minimized);
    EXPECT_EQ(WindowState::Minimized, window_->GetWindowState());
    EXPECT_FALSE(window_->IsShown());

    window_->SetWindowState(WindowState::Normal);
    window_->Show();
    EXPECT_TRUE(window_->IsShown());
    EXPECT_EQ(WindowState::Normal, window_->GetWindowState());

    window_->SetWindowState(WindowState::Minimized);
    EXPECT_EQ(WindowState::Minimized, window_->GetWindowState());
    window_->Hide();
    EXPECT_FALSE(window_->IsShown());
    EXPECT_EQ(WindowState::Minimized, window_->GetWindowState());
    window_->SetWindowState(WindowState::Normal);
    window_->Show();
    EXPECT_TRUE(window_->IsShown());
    EXPECT_EQ(WindowState::Normal, window_->GetWindowState());
}

}  // namespace
}  // namespace zonbode::app::win32
