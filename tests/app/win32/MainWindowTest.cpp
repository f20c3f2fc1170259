// The main window on a real desktop (wine under Xvfb): layout, tab order, the View port and
// the events it forwards.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
              kCommand1 = 105, kCheck1 = 106, kCheck2 = 107, kCommand2 = 108, kCheck3 = 109;

TEST_F(MainWindowTest, FixedLayoutInPixelsOfTheTwipPositions) {
    RECT client;
    GetClientRect(window_->Handle(), &client);
    EXPECT_EQ(519, client.right);
    EXPECT_EQ(232, client.bottom);
    struct Expected {
        int id, left, top, width, height;
    };
    for (const Expected& e : {Expected{kListView1, 8, 8, 505, 113},
                              {kLabel1, 8, 136, 505, 17},
                              {kLabel2, 8, 168, 25, 17},
                              {kText1, 40, 168, 457, 19},
                              {kCommand1, 496, 168, 17, 17},
                              {kCheck1, 8, 192, 113, 17},
                              {kCheck2, 144, 192, 249, 17},
                              {kCommand2, 120, 192, 17, 17},
                              {kCheck3, 400, 192, 113, 17}}) {
        RECT r = ClientRectOf(Child(e.id));
        EXPECT_EQ(e.left, r.left) << e.id;
        EXPECT_EQ(e.top, r.top) << e.id;
        EXPECT_EQ(e.width, r.right - r.left) << e.id;
        EXPECT_EQ(e.height, r.bottom - r.top) << e.id;
    }
    EXPECT_EQ(232, ClientRectOf(Child(kStatusBar1)).bottom) << "status bar along the bottom";
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
    for (int i = 0; i < 8; ++i) {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(window_->Handle(), control, FALSE);
    }
    EXPECT_EQ((std::vector<int>{kListView1, kText1, kCommand1, kCheck1, kCheck2, kCommand2, kCheck3,
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
}

TEST_F(MainWindowTest, ButtonsDoubleClickTrayAndCloseAreForwarded) {
    std::vector<std::string> events;
    WindowEvents forward;
    forward.formUnload = [&] { events.push_back("unload"); };
    forward.command1Click = [&] { events.push_back("command1"); };
    forward.command2Click = [&] { events.push_back("command2"); };
    forward.listView1DblClick = [&] { events.push_back("dblclick"); };
    forward.trayCallback = [&](int code) { events.push_back("tray " + std::to_string(code)); };
    window_->SetEvents(forward);
    SendMessageW(Child(kCommand1), BM_CLICK, 0, 0);
    SendMessageW(Child(kCommand2), BM_CLICK, 0, 0);
    NMHDR doubleClick{Child(kListView1), kListView1, static_cast<UINT>(NM_DBLCLK)};
    SendMessageW(window_->Handle(), WM_NOTIFY, kListView1, reinterpret_cast<LPARAM>(&doubleClick));
    SendMessageW(window_->Handle(), Win32Tray::kCallbackMessage, 1, WM_LBUTTONUP);
    SendMessageW(window_->Handle(), WM_MOUSEMOVE, 0, WM_LBUTTONUP);  // a real mouse move
    SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"command1", "command2", "dblclick", "tray 514", "unload"}),
              events);
    EXPECT_EQ(nullptr, window_->Handle()) << "closing destroys the window";
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
