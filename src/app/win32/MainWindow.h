#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Ports.h"
#include "app/WindowEvents.h"
#include "app/WindowLayout.h"

namespace zonbode::app::win32 {

using app::WindowEvents;

// Form1's window: plain Win32 with common controls, built from the window's layout table,
// every control at its fixed place. Ending the session unloads it (once) and ends the program,
// as closing it does.
class MainWindow final : public View {
public:
    static constexpr wchar_t kClassName[] = L"ZonbodeMainWindow";
    // Control ids: 100 + the control's place in the layout table.
    static constexpr int kFirstControlId = 100;

    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return window_; }
    // The dots per inch the window is laid out for: its monitor's.
    UINT Dpi() const { return dpi_; }
    HICON Icon() const { return icon_; }
    HFONT Font() const { return font_; }
    HINSTANCE Instance() const { return instance_; }
    void SetEvents(WindowEvents events) { events_ = std::move(events); }

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
    std::string PlaceText() const override;
    void SetPlaceText(const std::string& text) override;
    void SetPlaceMatches(const std::vector<std::string>& labels) override;
    std::optional<int> ChosenMatch() const override;
    void SetForecastPlaceText(const std::string& text) override;
    void SetPlaceSearchEnabled(bool enabled) override;
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
    bool HandleLayoutMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleRegisteredMessage(UINT message);
    void CreateControls();
    HWND CreateControl(const layout::ControlLayout& control);
    // Pixels of the 96-DPI layout at the window's DPI.
    int Scaled(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), 96); }
    RECT ScaledRect(const layout::Twips& twips) const;
    RECT ControlRect(const layout::ControlLayout& control) const;
    void CreateFontForDpi();
    SIZE FrameSize() const;
    void ApplyDpi(UINT dpi, const RECT& suggested);
    void ResizeToLayout(const POINT* position);
    void AllowLayoutSize(MINMAXINFO& limits) const;
    HWND ControlWindow(layout::Control control) const {
        return controls_[static_cast<std::size_t>(control)];
    }
    HWND ListView1() const { return ControlWindow(layout::Control::ListView1); }
    HWND CheckBoxWindow(CheckBox box) const;
    void OnCommand(int id, int code);
    void OnEnter();
    void OnMatchList(int code);
    void OnNotify(LPARAM lParam);
    void OnListDoubleClick(const NMITEMACTIVATE& click);
    bool IsCell(int row, int column) const;
    void Unload();
    static void Fire(const std::function<void()>& event);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    std::array<HWND, layout::kControls.size()> controls_{};
    bool minimizedWhileHidden_ = false;
    bool unloaded_ = false;
    std::string applicationTitle_{layout::kWindowCaption};
    WindowEvents events_;
};

}  // namespace zonbode::app::win32
