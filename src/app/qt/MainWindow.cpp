#include "app/qt/MainWindow.h"

#include "app/qt/DialogControls.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QWindowStateChangeEvent>
#include <limits>

namespace zonbode::app::qt {
namespace {

QRect Pixels(const layout::Twips& rect) {
    return QRect(layout::Pixels(rect.left), layout::Pixels(rect.top), layout::Pixels(rect.width),
                 layout::Pixels(rect.height));
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(ToQString(layout::kWindowCaption));
    setWindowIcon(QIcon(QStringLiteral(":/icons/zonbode-32.png")));
    setFixedSize(layout::Pixels(layout::kClientWidthTwips),
                 layout::Pixels(layout::kClientHeightTwips));
    QFont small = font();
    small.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                       QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    small.setPixelSize(layout::kFontPixels);
    setFont(small);
    BuildControls();
    // A session manager ends the program by quitting the application, which closes only the
    // windows that are shown.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::Unload);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::CreateControl(const layout::ControlLayout& control) {
    const QString caption = ToQString(control.caption);
    switch (control.kind) {
        case layout::ControlKind::List:
            return CreateList();
        case layout::ControlKind::StatusBar:
            return CreateStatusBar(caption);
        case layout::ControlKind::Label: {
            auto* label = new QLabel(caption, this);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case layout::ControlKind::TextBox: {
            auto* box = new QLineEdit(caption, this);
            box->setMaxLength(std::numeric_limits<int>::max());  // any stored template, whole
            box->setCursorPosition(0);
            return box;
        }
        case layout::ControlKind::PushButton:
        case layout::ControlKind::ToggleButton: {
            auto* button = new QPushButton(caption, this);
            button->setCheckable(control.kind == layout::ControlKind::ToggleButton);
            // No default/auto-default role: Enter in the template box does nothing.
            button->setAutoDefault(false);
            return button;
        }
        case layout::ControlKind::CheckBox:
            return new QCheckBox(caption, this);
        case layout::ControlKind::DropDownList:
            return new QComboBox(this);
    }
    return nullptr;
}

// A report view of whole rows, one selected at a time; its double-clicks and keys come to
// this window.
QTreeWidget* MainWindow::CreateList() {
    auto* list = new QTreeWidget(this);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setColumnCount(0);
    list->setHeaderLabels({});
    list->header()->setStretchLastSection(false);
    list->header()->setDefaultSectionSize(layout::kDefaultColumnWidthPixels);
    list->header()->setSectionsMovable(false);
    list->viewport()->installEventFilter(this);
    list->installEventFilter(this);
    return list;
}

// The bar with its one panel, which shows the status text.
QStatusBar* MainWindow::CreateStatusBar(const QString& caption) {
    auto* bar = new QStatusBar(this);
    bar->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(caption, bar);
    statusPanel_->setTextFormat(Qt::PlainText);
    bar->addWidget(statusPanel_, 1);
    return bar;
}

void MainWindow::BuildControls() {
    QWidget* previousInTabOrder = nullptr;
    for (const layout::ControlLayout& control : layout::kControls) {
        QWidget* widget = CreateControl(control);
        widget->setObjectName(ToQString(control.name));
        widget->setGeometry(Pixels(control.rect));
        if (!layout::TakesFocus(control.kind)) {
            widget->setFocusPolicy(Qt::NoFocus);
        } else {
            if (previousInTabOrder != nullptr) {
                setTabOrder(previousInTabOrder, widget);
            }
            previousInTabOrder = widget;
        }
        controls_[static_cast<std::size_t>(control.control)] = widget;
    }
    using layout::Control;
    listView1_ = static_cast<QTreeWidget*>(ControlWidget(Control::ListView1));
    statusBar1_ = static_cast<QStatusBar*>(ControlWidget(Control::StatusBar1));
    label1_ = static_cast<QLabel*>(ControlWidget(Control::Label1));
    label2_ = static_cast<QLabel*>(ControlWidget(Control::Label2));
    text1_ = static_cast<QLineEdit*>(ControlWidget(Control::Text1));
    command1_ = static_cast<QPushButton*>(ControlWidget(Control::Command1));
    check1_ = static_cast<QPushButton*>(ControlWidget(Control::Check1));
    check2_ = static_cast<QCheckBox*>(ControlWidget(Control::Check2));
    command2_ = static_cast<QPushButton*>(ControlWidget(Control::Command2));
    check3_ = static_cast<QCheckBox*>(ControlWidget(Control::Check3));
    label4_ = static_cast<QLabel*>(ControlWidget(Control::Label4));
    text2_ = static_cast<QLineEdit*>(ControlWidget(Control::Text2));
    command3_ = static_cast<QPushButton*>(ControlWidget(Control::Command3));
    combo1_ = static_cast<QComboBox*>(ControlWidget(Control::Combo1));
    check4_ = static_cast<QCheckBox*>(ControlWidget(Control::Check4));
    // The list of matches is a window of its own: its closing is seen there.
    combo1_->view()->window()->installEventFilter(this);

    connect(command1_, &QPushButton::clicked, this, [this] { Fire(events_.command1Click); });
    connect(command2_, &QPushButton::clicked, this, [this] { Fire(events_.command2Click); });
    connect(static_cast<QPushButton*>(ControlWidget(Control::SlackButton)), &QPushButton::clicked,
            this, [this] { Fire(events_.slackButtonClick); });
    connect(static_cast<QPushButton*>(ControlWidget(Control::TeamsButton)), &QPushButton::clicked,
            this, [this] { Fire(events_.teamsButtonClick); });
    // Only a user's click: start-up sets the button and then runs the handler itself.
    connect(check1_, &QPushButton::clicked, this, [this] { Fire(events_.check1Click); });
    connect(command3_, &QPushButton::clicked, this, [this] { Fire(events_.command3Click); });
    connect(text2_, &QLineEdit::returnPressed, this, [this] { Fire(events_.command3Click); });
    // Only the user's choice, not the list being filled.
    connect(combo1_, &QComboBox::activated, this, [this] { Fire(events_.combo1Click); });
    connect(check4_, &QCheckBox::clicked, this, [this] { Fire(events_.check4Click); });
}

void MainWindow::Fire(const std::function<void()>& handler) {
    if (handler) {
        handler();
    }
}

void MainWindow::Unload() {
    if (!unloaded_) {
        unloaded_ = true;
        Fire(events_.formUnload);
    }
}

// ---- the list ----

void MainWindow::SetupList(const std::vector<std::string>& columnHeaders) {
    QStringList labels;
    for (const std::string& header : columnHeaders) {
        labels << ToQString(header);
    }
    listView1_->setColumnCount(static_cast<int>(labels.size()));
    listView1_->setHeaderLabels(labels);
    for (int column = 0; column < labels.size(); ++column) {
        listView1_->setColumnWidth(column, layout::kDefaultColumnWidthPixels);
    }
}

void MainWindow::ClearRows() {
    listView1_->clear();
}

void MainWindow::AddRow(const std::string& text) {
    auto* item = new QTreeWidgetItem(listView1_);
    item->setText(0, ToQString(text));
}

void MainWindow::SetCell(int row, int column, const std::string& text) {
    if (!IsCell(row, column)) {
        return;  // no such cell
    }
    listView1_->topLevelItem(row - 1)->setText(column, ToQString(text));
}

bool MainWindow::IsCell(int row, int column) const {
    return row >= 1 && row <= RowCount() && column >= 0 && column < listView1_->columnCount();
}

int MainWindow::RowCount() const {
    return listView1_->topLevelItemCount();
}

std::string MainWindow::CellText(int row, int column) const {
    if (!IsCell(row, column)) {
        return {};  // no such cell
    }
    return listView1_->topLevelItem(row - 1)->text(column).toStdString();
}

std::optional<int> MainWindow::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = listView1_->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return listView1_->indexOfTopLevelItem(selected.first()) + 1;
}

// ---- texts and check boxes ----

void MainWindow::SetStatusText(const std::string& text) {
    statusPanel_->setText(ToQString(text));
}

void MainWindow::SetPreviewText(const std::string& text) {
    label1_->setText(ToQString(text));
}

std::string MainWindow::TemplateText() const {
    return text1_->text().toStdString();
}

void MainWindow::SetTemplateText(const std::string& text) {
    text1_->setText(ToQString(text));
    text1_->setCursorPosition(0);
}

std::string MainWindow::PlaceText() const {
    return text2_->text().toStdString();
}

void MainWindow::SetPlaceText(const std::string& text) {
    text2_->setText(ToQString(text));
    text2_->setCursorPosition(0);
}

void MainWindow::SetPlaceMatches(const std::vector<std::string>& labels) {
    combo1_->clear();
    for (const std::string& label : labels) {
        combo1_->addItem(ToQString(label));
    }
    combo1_->setCurrentIndex(-1);
    if (!labels.empty() && combo1_->isVisible()) {
        combo1_->showPopup();
    }
}

std::optional<int> MainWindow::ChosenMatch() const {
    const int index = combo1_->currentIndex();
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

void MainWindow::SetForecastPlaceText(const std::string& text) {
    label4_->setText(ToQString(text));
}

void MainWindow::SetPlaceSearchEnabled(bool enabled) {
    text2_->setEnabled(enabled);
    command3_->setEnabled(enabled);
    combo1_->setEnabled(enabled);
}

bool MainWindow::IsChecked(CheckBox box) const {
    switch (box) {
        case CheckBox::Check1:
            return check1_->isChecked();
        case CheckBox::Check2:
            return check2_->isChecked();
        case CheckBox::Check3:
            return check3_->isChecked();
        case CheckBox::Check4:
            return check4_->isChecked();
    }
    return false;
}

void MainWindow::SetChecked(CheckBox box, bool on) {
    switch (box) {
        case CheckBox::Check1:
            check1_->setChecked(on);
            break;
        case CheckBox::Check2:
            check2_->setChecked(on);
            break;
        case CheckBox::Check3:
            check3_->setChecked(on);
            break;
        case CheckBox::Check4:
            check4_->setChecked(on);
            break;
    }
}

// ---- the window ----

void MainWindow::SetApplicationTitle(const std::string& title) {
    applicationTitle_ = title;
}

WindowState MainWindow::GetWindowState() const {
    return minimizedOffScreen_ || (windowState() & Qt::WindowMinimized) ? WindowState::Minimized
                                                                        : WindowState::Normal;
}

void MainWindow::SetWindowState(WindowState state) {
    // A window that has never been on screen keeps its state here until it is shown: told to
    // the X server before the first map, "minimized" stays the window's initial state, and the
    // window manager minimizes it again the first time it is shown, so a click on the tray
    // icon after a start in the tray would show nothing. (As on Windows, where a hidden
    // window is shown minimized only when it is shown.)
    if (!isVisible() && !isMinimized()) {
        minimizedOffScreen_ = state == WindowState::Minimized;
        return;
    }
    // Qt sends the state-change event at once, so Form1 sees its resize handling run inside
    // this call, as it would on Windows.
    if (state == WindowState::Minimized) {
        setWindowState(windowState() | Qt::WindowMinimized);
    } else {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
}

bool MainWindow::IsShown() const {
    return !hiddenOnRequest_;
}

void MainWindow::Show() {
    hiddenOnRequest_ = false;
    if (minimizedOffScreen_ || isMinimized()) {
        minimizedOffScreen_ = false;
        showMinimized();
    } else {
        show();
        raise();
        activateWindow();
    }
}

void MainWindow::Hide() {
    hiddenOnRequest_ = true;
    hide();
}

void MainWindow::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
    if (presenter_) {
        presenter_(text, title, icon);
        return;
    }
    ShowModalMessageBox(isVisible() ? this : nullptr, text, title, icon);
}

void ShowModalMessageBox(QWidget* parent, const std::string& text, const std::string& title,
                         MessageIcon icon) {
    QString body = QString::fromStdString(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(
        icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::Information,
        QString::fromStdString(title), body, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// ---- window events ----

void MainWindow::closeEvent(QCloseEvent* event) {
    Unload();  // once, however often the window is asked to close
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Fire(events_.formResize);
    }
}

// A double-click counts with the left button on a row; Enter on the selected row does the same.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listView1_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QTreeWidgetItem* item = listView1_->itemAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && item != nullptr) {
            // The row under the pointer is the selected one when Form1 looks.
            listView1_->setCurrentItem(item);
            Fire(events_.listView1DblClick);
        }
    } else if (watched == combo1_->view()->window() && event->type() == QEvent::Hide) {
        Fire(events_.combo1CloseUp);
    } else if (watched == listView1_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && SelectedRow()) {
            Fire(events_.listView1DblClick);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zonbode::app::qt
