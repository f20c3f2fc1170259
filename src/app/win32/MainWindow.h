#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Ports.h"

namespace zonbode::app::win32 {

// What the window forwards, each to whoever handles it (Form1). Unset entries are ignored.
struct WindowEvents {
    std::function<void()> formUnload;         // the window is being closed
    std::function<void()> formResize;         // its size or state changed
    std::function<void()> command1Click;      // "?" beside the template
    std::function<void()> command2Click;      // "?" beside "Automatisch"
    std::function<void()> check1Click;        // "Automatisch" toggled by the user
    std::function<void()> listView1DblClick;  // double-click in the list
    std::function<void(int mouseMessage)> trayCallback;
    std::function<void()> taskbarCreated;
};

// Form1's window: plain Win32 with common controls, every control at its fixed place.
class MainWindow final : public View {
public:
    static constexpr wchar_t kClassName[] = L"ZonbodeMainWindow";
    static constexpr int kClientWidth = 519;
    static constexpr int kClientHeight = 232;

    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return window_; }
    HICON Icon() const { return icon_; }
    void SetEvents(WindowEvents events) { events_ = std::move(events); }

    // Test hook: once the list holds at least `row` rows, select that row and double-click
    // it, once.
    void DoubleClickRowWhenFilled(int row) { pendingDoubleClickRow_ = row; }

    // View
    void SetupList(const std::vector<std::string>& columnHeaders) override;
    void ClearRows() override;
    void AddRow(const std::string& text) override;
    void SetCell(int row, int column, const std::string& text) override;
    int RowCount() const override;
    std::string CellText(int row, int column) const override;
    std::optional<int> SelectedRow() const override;
    void SetStatusText(const std::string& text) override;
    void SetPreviewText(const std::string& text) override;
    std::string TemplateText() const override;
    void SetTemplateText(const std::string& text) override;
    bool IsChecked(CheckBox box) const override;
    void SetChecked(CheckBox box, bool on) override;
    void SetApplicationTitle(const std::string& title) override;
    WindowState GetWindowState() const override;
    void SetWindowState(WindowState state) override;
    bool IsShown() const override;
    void Show() override;
    void Hide() override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    HWND Control(int id, const wchar_t* className, const wchar_t* text, DWORD style, int left,
                 int top, int width, int height);
    HWND CheckBoxWindow(CheckBox box) const;
    void OnCommand(int id, int code);
    void DoubleClickPendingRow();
    static void Fire(const std::function<void()>& event);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HWND listView1_ = nullptr;
    HWND statusBar1_ = nullptr;
    HWND label1_ = nullptr;
    HWND label2_ = nullptr;
    HWND text1_ = nullptr;
    HWND command1_ = nullptr;
    HWND check1_ = nullptr;
    HWND check2_ = nullptr;
    HWND command2_ = nullptr;
    HWND check3_ = nullptr;
    bool minimizedWhileHidden_ = false;
    int pendingDoubleClickRow_ = 0;
    std::string applicationTitle_ = "Zonbode";
    WindowEvents events_;
};

}  // namespace zonbode::app::win32
