#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/WindowLayout.h"

namespace zonbode::app::win32 {

// A dialog window, modal over its owner, whose controls come from a layout table: the
// messenger dialogs. A control's id is kFirstControlId + its place in the table.
class ModalDialog {
public:
    static constexpr int kFirstControlId = 300;

    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the dialog and returns when the user has closed it.
    void Run();

protected:
    ModalDialog(HINSTANCE instance, HWND owner, HFONT font, const wchar_t* className,
                std::string_view caption, int widthTwips, int heightTwips);
    virtual ~ModalDialog() = default;

    template <typename Id, std::size_t N>
    void AddControls(const std::array<layout::DialogControl<Id>, N>& table) {
        for (const layout::DialogControl<Id>& control : table) {
            controls_.push_back(AddControl(static_cast<int>(control.control), control.kind,
                                           control.caption, control.rect, control.hidesText));
        }
    }
    template <typename Id>
    HWND Control(Id control) const {
        return controls_.at(static_cast<std::size_t>(control));
    }
    template <typename Id>
    static int ControlId(Id control) {
        return kFirstControlId + static_cast<int>(control);
    }
    std::string TextOf(HWND control) const;
    void SetText(HWND control, std::string_view text) const;

    // Wraps a handler of answers that come from another thread: once the dialog has gone it
    // does nothing.
    template <typename Answer>
    std::function<void(Answer)> WhileOpen(std::function<void(Answer)> handle) {
        return [alive = std::weak_ptr<bool>(open_), handle = std::move(handle)](Answer answer) {
            if (const auto open = alive.lock(); open && *open) {
                handle(std::move(answer));
            }
        };
    }

    // The controls exist; the dialog is about to show.
    virtual void OnOpen() = 0;
    virtual void OnClick(int id) = 0;
    // The dialog is closing (Escape, the close box).
    virtual void OnClose() {}

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND AddControl(int place, layout::ControlKind kind, std::string_view caption,
                    const layout::Twips& rect, bool hidesText);

    HINSTANCE instance_;
    HWND owner_;
    HFONT font_;
    const wchar_t* className_;
    std::string caption_;
    int widthTwips_, heightTwips_;
    HWND window_ = nullptr;
    bool closed_ = false;
    std::vector<HWND> controls_;
    std::shared_ptr<bool> open_ = std::make_shared<bool>(false);
};

}  // namespace zonbode::app::win32
