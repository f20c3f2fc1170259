#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Ports.h"
#include "forecast/ForecastPage.h"

namespace zonbode::app {

// The main window held in memory, for a front-end that draws nothing: every control keeps what
// it was given and reads it back. It starts as a freshly created window: no rows, the built-in
// template and preview, the boxes off, normal state, not yet shown. A message box has no
// memory of its own: the front-end decides where its text goes.
class MemoryView : public View {
public:
    MemoryView();

    std::vector<std::string> columnHeaders;
    std::vector<forecast::ForecastDay> rows;
    std::optional<int> selectedRow;
    std::string statusText;
    std::string preview;
    std::string templateText;
    bool check1 = false, check2 = false, check3 = false, check4 = false;
    std::string placeText;
    std::vector<std::string> placeMatches;
    std::optional<int> chosenMatch;
    std::string forecastPlace;
    bool placeSearchEnabled = true;
    std::string applicationTitle;
    WindowState windowState = WindowState::Normal;
    bool shown = false;

    void SetupList(const std::vector<std::string>& headers) override;
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

private:
    bool IsCell(int row, int column) const;
    static bool MemoryView::*BoxMember(CheckBox box);
};

}  // namespace zonbode::app
