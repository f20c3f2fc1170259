#include "app/MemoryView.h"

#include <cstddef>

#include "app/WindowLayout.h"

namespace zonbode::app {

MemoryView::MemoryView()
    : preview(layout::Of(layout::Control::Label1).caption),
      templateText(layout::Of(layout::Control::Text1).caption) {}

void MemoryView::SetupList(const std::vector<std::string>& headers) {
    columnHeaders = headers;
}

void MemoryView::ClearRows() {
    rows.clear();
}

void MemoryView::AddRow(const std::string& text) {
    rows.push_back({});
    rows.back()[0] = text;
}

void MemoryView::SetCell(int row, int column, const std::string& text) {
    if (IsCell(row, column)) {
        rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)] = text;
    }
}

int MemoryView::RowCount() const {
    return static_cast<int>(rows.size());
}

std::string MemoryView::CellText(int row, int column) const {
    return IsCell(row, column)
               ? rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)]
               : std::string();
}

std::optional<int> MemoryView::SelectedRow() const {
    return selectedRow;
}

void MemoryView::SetStatusText(const std::string& text) {
    statusText = text;
}

void MemoryView::SetPreviewText(const std::string& text) {
    preview = text;
}

std::string MemoryView::TemplateText() const {
    return templateText;
}

void MemoryView::SetTemplateText(const std::string& text) {
    templateText = text;
}

std::string MemoryView::PlaceText() const {
    return placeText;
}

void MemoryView::SetPlaceText(const std::string& text) {
    placeText = text;
}

// New matches replace the old ones, and none of them is chosen yet.
void MemoryView::SetPlaceMatches(const std::vector<std::string>& labels) {
    placeMatches = labels;
    chosenMatch.reset();
}

std::optional<int> MemoryView::ChosenMatch() const {
    return chosenMatch;
}

void MemoryView::SetForecastPlaceText(const std::string& text) {
    forecastPlace = text;
}

void MemoryView::SetPlaceSearchEnabled(bool enabled) {
    placeSearchEnabled = enabled;
}

bool MemoryView::IsChecked(CheckBox box) const {
    return this->*BoxMember(box);
}

void MemoryView::SetChecked(CheckBox box, bool on) {
    this->*BoxMember(box) = on;
}

void MemoryView::SetApplicationTitle(const std::string& title) {
    applicationTitle = title;
}

WindowState MemoryView::GetWindowState() const {
    return windowState;
}

void MemoryView::SetWindowState(WindowState state) {
    windowState = state;
}

bool MemoryView::IsShown() const {
    return shown;
}

void MemoryView::Show() {
    shown = true;
}

void MemoryView::Hide() {
    shown = false;
}

bool MemoryView::IsCell(int row, int column) const {
    return row >= 1 && row <= RowCount() && column >= 0 && column < forecast::kColumnCount;
}

bool MemoryView::*MemoryView::BoxMember(CheckBox box) {
    static constexpr bool MemoryView::*kBoxes[] = {&MemoryView::check1, &MemoryView::check2,
                                                   &MemoryView::check3, &MemoryView::check4};
    return kBoxes[static_cast<int>(box)];
}

}  // namespace zonbode::app
