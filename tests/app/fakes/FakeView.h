#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/MemoryView.h"
#include "app/fakes/EventLog.h"

namespace zonbode::app::fakes {

// The in-memory window, with what the tests look at besides: every status text and message
// box in order, and the calls that matter to the order of events written to the log.
class FakeView final : public MemoryView, private LogsSteps {
public:
    struct Message {
        std::string text;
        std::string title;
        MessageIcon icon;
    };

    explicit FakeView(EventLog* log = nullptr) : LogsSteps(log) {}

    std::vector<std::string> statusTexts;  // every text the panel was given, in order
    std::vector<Message> messages;
    // Runs while a message box is open, as the platform's modal loop goes on dispatching.
    std::function<void()> whileMessageOpen;

    std::string StatusText() const { return statusText; }

    void SetupList(const std::vector<std::string>& headers) override {
        MemoryView::SetupList(headers);
        Log("view.setup-list");
    }
    void ClearRows() override {
        MemoryView::ClearRows();
        Log("view.clear-rows");
    }
    void SetStatusText(const std::string& text) override {
        MemoryView::SetStatusText(text);
        statusTexts.push_back(text);
        Log("view.status " + text);
    }
    void SetWindowState(WindowState state) override {
        MemoryView::SetWindowState(state);
        Log(state == WindowState::Minimized ? "view.minimize" : "view.normal");
    }
    void Show() override {
        MemoryView::Show();
        Log("view.show");
    }
    void Hide() override {
        MemoryView::Hide();
        Log("view.hide");
    }

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        messages.push_back({text, title, icon});
        Log("view.message");
        if (whileMessageOpen) {
            whileMessageOpen();
        }
    }
};

}  // namespace zonbode::app::fakes
