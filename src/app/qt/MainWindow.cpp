#include "app/qt/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWindowStateChangeEvent>
#include <stdexcept>

#include "status/StatusMessage.h"

namespace zonbode::app::qt {
namespace {

// The layout is drawn in twips; the screen has 15 twips to the pixel.
constexpr QRect FromTwips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

// A list view column's width when none is given: one inch.
constexpr int kDefaultColumnWidth = 96;

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Zonbode"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/zonbode-32.png")));
    setFixedSize(kClientWidth, kClientHeight);
    // The layout was drawn for an 8-point sans serif of Arial's width; a wider face would cut
    // the check boxes' captions.
    QFont small = font();
    small.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                       QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    small.setPixelSize(11);
    setFont(small);
    BuildControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
    listView1_ = new QTreeWidget(this);
    listView1_->setObjectName(QStringLiteral("ListView1"));
    listView1_->setGeometry(FromTwips(120, 120, 7575, 1695));
    listView1_->setRootIsDecorated(false);
    listView1_->setItemsExpandable(false);
    listView1_->setUniformRowHeights(true);
    listView1_->setAllColumnsShowFocus(true);
    listView1_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView1_->setColumnCount(0);
    listView1_->setHeaderLabels({});
    listView1_->header()->setStretchLastSection(false);
    listView1_->header()->setDefaultSectionSize(kDefaultColumnWidth);
    listView1_->header()->setSectionsMovable(false);
    listView1_->viewport()->installEventFilter(this);

    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar1_->setGeometry(FromTwips(0, 3225, 7785, 255));
    statusBar1_->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(QStringLiteral("Kavelo Zonbode"), statusBar1_);
    statusPanel_->setTextFormat(Qt::PlainText);
    statusBar1_->addWidget(statusPanel_, 1);

    label1_ = new QLabel(QStringLiteral("<Hier komt je psm te staan>"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setTextFormat(Qt::PlainText);
    label1_->setGeometry(FromTwips(120, 2040, 7575, 255));

    label2_ = new QLabel(QStringLiteral("PSM:"), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setTextFormat(Qt::PlainText);
    label2_->setGeometry(FromTwips(120, 2520, 375, 255));

    text1_ = new QLineEdit(ToQString(std::string(status::kDefaultTemplate)), this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(FromTwips(600, 2520, 6855, 285));
    text1_->setCursorPosition(0);

    command1_ = new QPushButton(QStringLiteral("?"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setGeometry(FromTwips(7440, 2520, 255, 255));

    check1_ = new QPushButton(QStringLiteral("Automatisch"), this);
    check1_->setObjectName(QStringLiteral("Check1"));
    check1_->setCheckable(true);
    check1_->setGeometry(FromTwips(120, 2880, 1695, 255));

    check2_ = new QCheckBox(QStringLiteral("Automatisch inschakelen bij starten Zonbode"), this);
    check2_->setObjectName(QStringLiteral("Check2"));
    check2_->setGeometry(FromTwips(2160, 2880, 3735, 255));

    command2_ = new QPushButton(QStringLiteral("?"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command2_->setGeometry(FromTwips(1800, 2880, 255, 255));

    check3_ = new QCheckBox(QStringLiteral("Start in systeemvak"), this);
    check3_->setObjectName(QStringLiteral("Check3"));
    check3_->setGeometry(FromTwips(6000, 2880, 1695, 255));

    // Buttons take no default/auto-default role: Enter in the template box does nothing.
    for (QPushButton* button : {command1_, check1_, command2_}) {
        button->setAutoDefault(false);
    }
    // Tab order follows the designer's order; labels and the status bar take no focus.
    statusBar1_->setFocusPolicy(Qt::NoFocus);
    QWidget* order[] = {listView1_, text1_, command1_, check1_, check2_, command2_, check3_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }

    connect(command1_, &QPushButton::clicked, this, [this] { Fire(events_.command1Click); });
    connect(command2_, &QPushButton::clicked, this, [this] { Fire(events_.command2Click); });
    // Only a user's click: start-up sets the button and then runs the handler itself.
    connect(check1_, &QPushButton::clicked, this, [this] { Fire(events_.check1Click); });
}

void MainWindow::Fire(const std::function<void()>& handler) {
    if (handler) {
        handler();
    }
}

void MainWindow::DoubleClickRowWhenFilled(int row) {
    pendingDoubleClickRow_ = row;
}

void MainWindow::DoubleClickPendingRow() {
    doubleClickScheduled_ = false;
    if (pendingDoubleClickRow_ <= 0 || RowCount() < pendingDoubleClickRow_) {
        return;
    }
    const int row = pendingDoubleClickRow_;
    pendingDoubleClickRow_ = 0;
    listView1_->setCurrentItem(listView1_->topLevelItem(row - 1));
    Fire(events_.listView1DblClick);
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
        listView1_->setColumnWidth(column, kDefaultColumnWidth);
    }
}

void MainWindow::ClearRows() {
    listView1_->clear();
}

void MainWindow::AddRow(const std::string& text) {
    auto* item = new QTreeWidgetItem(listView1_);
    item->setText(0, ToQString(text));
    if (pendingDoubleClickRow_ > 0 && !doubleClickScheduled_) {
        // Runs once the handler that fills the list has finished.
        doubleClickScheduled_ = true;
        QTimer::singleShot(0, this, [this] { DoubleClickPendingRow(); });
    }
}

void MainWindow::SetCell(int row, int column, const std::string& text) {
    if (row < 1 || row > RowCount() || column < 0 || column >= listView1_->columnCount()) {
        throw std::out_of_range("ListView1: no such cell");
    }
    listView1_->topLevelItem(row - 1)->setText(column, ToQString(text));
}

int MainWindow::RowCount() const {
    return listView1_->topLevelItemCount();
}

std::string MainWindow::CellText(int row, int column) const {
    if (row < 1 || row > RowCount() || column < 0 || column >= listView1_->columnCount()) {
        throw std::out_of_range("ListView1: no such cell");
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

bool MainWindow::IsChecked(CheckBox box) const {
    switch (box) {
        case CheckBox::Check1:
            return check1_->isChecked();
        case CheckBox::Check2:
            return check2_->isChecked();
        case CheckBox::Check3:
            return check3_->isChecked();
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
    }
}

// ---- the window ----

void MainWindow::SetApplicationTitle(const std::string& title) {
    applicationTitle_ = title;
}

WindowState MainWindow::GetWindowState() const {
    return (windowState() & Qt::WindowMinimized) ? WindowState::Minimized : WindowState::Normal;
}

void MainWindow::SetWindowState(WindowState state) {
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
    if (isMinimized()) {
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
    // Unload runs once, however often the window is asked to close.
    if (!unloaded_) {
        unloaded_ = true;
        Fire(events_.formUnload);
    }
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Fire(events_.formResize);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listView1_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // The row under the pointer is the selected one when Form1 looks.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (QTreeWidgetItem* item = listView1_->itemAt(mouse->position().toPoint())) {
            listView1_->setCurrentItem(item);
        }
        Fire(events_.listView1DblClick);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zonbode::app::qt
