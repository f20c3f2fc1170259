#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Ports.h"
#include "app/fakes/EventLog.h"
#include "status/StatusMessage.h"

namespace zonbode::app::fakes {

// The main window in memory. Starts as a freshly created window: no rows, the built-in
// template, the boxes off, normal state, not yet shown.
class FakeView final : public View {
public:
    struct Message {
        std::string text;
        std::string title;
        MessageIcon icon;
    };

    explicit FakeView(EventLog* log = nullptr) : log_(log) {}

    // What the window holds; tests read and set these directly.
    std::vector<std::string> columnHeaders;
    std::vector<std::array<std::string, 8>> rows;
    std::optional<int> selectedRow;
    std::vector<std::string> statusTexts;  // every text the panel was given, in order
    std::string preview = "<Hier komt je psm te staan>";
    std::string templateText{status::kDefaultTemplate};
    bool check1 = false, check2 = false, check3 = false, check4 = false;
    std::string placeText;
    std::vector<std::string> placeMatches;
    std::optional<int> chosenMatch;
    std::string forecastPlace;
    bool placeSearchEnabled = true;
    std::string applicationTitle;
    WindowState windowState = WindowState::Normal;
    bool shown = false;
    std::vector<Message> messages;
    // Runs while a message box is open, as the platform's modal loop goes on dispatching.
    std::function<void()> whileMessageOpen;

    std::string StatusText() const { return statusTexts.empty() ? "" : statusTexts.back(); }

    void SetupList(const std::vector<std::string>& headers) override {
        columnHeaders = headers;
        Log("view.setup-list");
    }
    void ClearRows() override {
        rows.clear();
        Log("view.clear-rows");
    }
    void AddRow(const std::string& text) override {
        rows.push_back({});
        rows.back()[0] = text;
    }
    void SetCell(int row, int column, const std::string& text) override {
        if (IsCell(row, column)) {
            rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)] = text;
        }
    }
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::string CellText(int row, int column) const override {
        return IsCell(row, column)
                   ? rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)]
                   : std::string();
    }
    std::optional<int> SelectedRow() const override { return selectedRow; }

    void SetStatusText(const std::string& text) override {
        statusTexts.push_back(text);
        Log("view.status " + text);
    }
    void SetPreviewText(const std::string& text) override { preview = text; }
    std::string TemplateText() const override { return templateText; }
    void SetTemplateText(const std::string& text) override { templateText = text; }

    std::string PlaceText() const override { return placeText; }
    void SetPlaceText(const std::string& text) override { placeText = text; }
    void SetPlaceMatches(const std::vector<std::string>& labels) override {
        placeMatches = labels;
        chosenMatch.reset();
    }
    std::optional<int> ChosenMatch() const override { return chosenMatch; }
    void SetForecastPlaceText(const std::string& text) override { forecastPlace = text; }
    void SetPlaceSearchEnabled(bool enabled) override { placeSearchEnabled = enabled; }

    bool IsChecked(CheckBox box) const override { return this->*BoxMember(box); }
    void SetChecked(CheckBox box, bool on) override { this->*BoxMember(box) = on; }

    void SetApplicationTitle(const std::string& title) override { applicationTitle = title; }
    WindowState GetWindowState() const override { return windowState; }
    void SetWindowState(WindowState state) override {
        windowState = state;
        Log(state == WindowState::Minimized ? "view.minimize" : "view.normal");
    }
    bool IsShown() const override { return shown; }
    void Show() override {
        shown = true;
        Log("view.show");
    }
    void Hide() override {
        shown = false;
        Log("view.hide");
    }

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        messages.push_back({text, title, icon});
        Log("view.message");
        if (whileMessageOpen) {
            whileMessageOpen();
        }
    }

private:
    static bool FakeView::*BoxMember(CheckBox box) {
        static constexpr bool FakeView::*kBoxes[] = {&FakeView::check1, &FakeView::check2,
                                                     &FakeView::check3, &FakeView::check4};
        return kBoxes[static_cast<int>(box)];
    }
    bool IsCell(int row, int column) const {
        return row >= 1 && row <= RowCount() && column >= 0 && column < 8;
    }
    void Log(std::string entry) {
        if (log_ != nullptr) {
            log_->Add(std::move(entry));
        }
    }

    EventLog* log_;
};

}  // namespace zonbode::app::fakes
