#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Ports.h"
#include "app/WindowEvents.h"
#include "app/WindowLayout.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QCheckBox;
class QComboBox;
class QStatusBar;
class QTreeWidget;

namespace zonbode::app::qt {

using app::WindowEvents;

// Shows a modal message box. Replaceable so tests can see the box without blocking.
using MessagePresenter =
    std::function<void(const std::string& text, const std::string& title, MessageIcon icon)>;

// Form1's window on the Qt desktop, built from the window's layout table: every control at its
// fixed place, nothing moves. The unload runs once: when the window is closed, or when the
// application ends without closing it (a session manager quitting the program while the
// window is hidden in the tray).
class MainWindow : public QWidget, public View {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void SetEvents(WindowEvents events) { events_ = std::move(events); }
    void SetMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

    // The controls, by their designer names, for tests and the screenshot.
    QWidget* ControlWidget(layout::Control control) const {
        return controls_[static_cast<std::size_t>(control)];
    }
    QTreeWidget* ListView1() const { return listView1_; }
    QStatusBar* StatusBar1() const { return statusBar1_; }
    QLabel* StatusPanel() const { return statusPanel_; }
    QLabel* Label1() const { return label1_; }
    QLabel* Label2() const { return label2_; }
    QLineEdit* Text1() const { return text1_; }
    QPushButton* Command1() const { return command1_; }
    QPushButton* Check1() const { return check1_; }
    QCheckBox* Check2() const { return check2_; }
    QPushButton* Command2() const { return command2_; }
    QCheckBox* Check3() const { return check3_; }
    QLabel* Label4() const { return label4_; }
    QLineEdit* Text2() const { return text2_; }
    QPushButton* Command3() const { return command3_; }
    QComboBox* Combo1() const { return combo1_; }
    QCheckBox* Check4() const { return check4_; }

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

    const std::string& ApplicationTitle() const { return applicationTitle_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    bool IsCell(int row, int column) const;
    QWidget* CreateControl(const layout::ControlLayout& control);
    QTreeWidget* CreateList();
    QStatusBar* CreateStatusBar(const QString& caption);
    static void Fire(const std::function<void()>& handler);
    void Unload();

    QTreeWidget* listView1_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QPushButton* command2_ = nullptr;
    QCheckBox* check3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QCheckBox* check4_ = nullptr;
    std::array<QWidget*, layout::kControls.size()> controls_{};

    WindowEvents events_;
    MessagePresenter presenter_;
    std::string applicationTitle_;
    bool hiddenOnRequest_ = false;     // Hide() was the last word on visibility
    bool minimizedOffScreen_ = false;  // minimized before it was ever shown
    bool unloaded_ = false;
};

// The box the program shows: information or critical icon, one OK button.
void ShowModalMessageBox(QWidget* parent, const std::string& text, const std::string& title,
                         MessageIcon icon);

}  // namespace zonbode::app::qt
