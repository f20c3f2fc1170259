#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/qt/MainWindow.h"
#include "app/support/LongText.h"
#include "forecast/ForecastPage.h"

namespace zonbode::app::qt {
namespace {

using ::testing::ElementsAre;

struct Control {
    const char* name;
    QWidget* widget;
    QRect twips;  // left, top, width, height in twips
};

std::vector<Control> ControlsInDesignOrder(MainWindow& w) {
    return {
        {"ListView1", w.ListView1(), QRect(120, 120, 7575, 1695)},
        {"StatusBar1", w.StatusBar1(), QRect(0, 3600, 7785, 255)},
        {"Label1", w.Label1(), QRect(120, 2040, 5700, 255)},
        {"Label2", w.Label2(), QRect(120, 2520, 375, 255)},
        {"Text1", w.Text1(), QRect(600, 2520, 6855, 285)},
        {"Command1", w.Command1(), QRect(7440, 2520, 255, 255)},
        {"Check1", w.Check1(), QRect(120, 2880, 1695, 255)},
        {"Check2", w.Check2(), QRect(2160, 2880, 3735, 255)},
        {"Command2", w.Command2(), QRect(1800, 2880, 255, 255)},
        {"Check3", w.Check3(), QRect(6000, 2880, 1695, 255)},
        {"Label4", w.Label4(), QRect(120, 1815, 5415, 225)},
        {"Label5", w.ControlWidget(layout::Control::Label5), QRect(5655, 1815, 2040, 225)},
        {"Label3", w.ControlWidget(layout::Control::Label3), QRect(120, 3240, 495, 255)},
        {"Text2", w.Text2(), QRect(600, 3240, 1815, 285)},
        {"Command3", w.Command3(), QRect(2475, 3240, 735, 285)},
        {"Combo1", w.Combo1(), QRect(3270, 3240, 2670, 285)},
        {"Check4", w.Check4(), QRect(6000, 3255, 1695, 255)},
        {"SlackButton", w.ControlWidget(layout::Control::SlackButton), QRect(6840, 2040, 855, 255)},
        {"TeamsButton", w.ControlWidget(layout::Control::TeamsButton), QRect(5925, 2040, 855, 255)},
    };
}

std::vector<std::string> Headers() {
    return {forecast::kColumnHeaders.begin(), forecast::kColumnHeaders.end()};
}

TEST(MainWindow, ClientAreaIsFixedAt519By257) {
    MainWindow window;
    window.show();
    EXPECT_EQ(window.size(), QSize(519, 257));
    EXPECT_EQ(window.minimumSize(), QSize(519, 257));
    EXPECT_EQ(window.maximumSize(), QSize(519, 257));
    EXPECT_EQ(window.windowTitle(), "Zonbode");
    EXPECT_FALSE(window.windowIcon().isNull());
}

// At a display scale (QT_SCALE_FACTOR; the suite runs at 1 and at 2) the whole window is drawn
// that many times larger, the layout unchanged in the window's own units.
TEST(MainWindow, IsDrawnAtTheDisplayScale) {
    const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                             ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                             : 1.0;
    MainWindow window;
    window.show();
    const QPixmap picture = window.grab();
    EXPECT_EQ(picture.devicePixelRatio(), scale);
    EXPECT_EQ(picture.size(), QSize(519, 257) * scale);
    EXPECT_EQ(window.Check4()->grab().size(), QSize(113, 17) * scale);
}

TEST(MainWindow, EveryControlSitsAtItsTwipsDividedBy15) {
    MainWindow window;
    window.show();
    for (const Control& control : ControlsInDesignOrder(window)) {
        SCOPED_TRACE(control.name);
        ASSERT_NE(control.widget, nullptr);
        EXPECT_EQ(control.widget->objectName(), control.name);
        EXPECT_EQ(control.widget->parentWidget(), &window);
        const QRect& t = control.twips;
        EXPECT_EQ(control.widget->geometry(),
                  QRect(t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15));
        EXPECT_TRUE(control.widget->isVisible());
    }
    // Spot-check the arithmetic against the designer's pixels.
    EXPECT_EQ(window.ListView1()->geometry(), QRect(8, 8, 505, 113));
    EXPECT_EQ(window.StatusBar1()->geometry(), QRect(0, 240, 519, 17));
    EXPECT_EQ(window.Text1()->geometry(), QRect(40, 168, 457, 19));
}

TEST(MainWindow, ControlsCarryTheirKindsAndInitialTexts) {
    MainWindow window;
    EXPECT_EQ(window.StatusPanel()->text(), "Kavelo Zonbode");
    EXPECT_EQ(window.StatusBar1()->findChildren<QLabel*>().size(), 1);  // one panel
    EXPECT_FALSE(window.StatusBar1()->isSizeGripEnabled());
    EXPECT_EQ(window.Label1()->text(), "<Hier komt je psm te staan>");
    EXPECT_EQ(window.Label1()->textFormat(), Qt::PlainText);  // not taken for a tag
    EXPECT_EQ(window.Label2()->text(), "PSM:");
    EXPECT_EQ(window.Text1()->text(),
              "[dag] | Kans op zon: [zon]% | Neerslag: [neerslag-mm]mm / [neerslag-%]% | Temp: "
              "[midtemp] | Wind: [richting][kracht]");
    EXPECT_EQ(window.TemplateText(), window.Text1()->text().toStdString());
    EXPECT_EQ(window.Command1()->text(), "?");
    EXPECT_EQ(window.Command2()->text(), "?");
    EXPECT_EQ(window.Check1()->text(), "Automatisch");
    EXPECT_TRUE(window.Check1()->isCheckable());  // a check box drawn as a toggle button
    EXPECT_EQ(window.Check2()->text(), "Automatisch inschakelen bij starten Zonbode");
    EXPECT_EQ(window.Check3()->text(), "Start in systeemvak");
    EXPECT_EQ(window.Check4()->text(), "Start bij aanmelden");
    for (CheckBox box : {CheckBox::Check1, CheckBox::Check2, CheckBox::Check3, CheckBox::Check4}) {
        EXPECT_FALSE(window.IsChecked(box));
    }
    EXPECT_EQ(window.RowCount(), 0);
    EXPECT_EQ(window.Label4()->text(), "");
    EXPECT_EQ(static_cast<QLabel*>(window.ControlWidget(layout::Control::Label5))->text(),
              "Weerdata: Open-Meteo.com");
    EXPECT_EQ(static_cast<QLabel*>(window.ControlWidget(layout::Control::Label3))->text(),
              "Plaats:");
    EXPECT_EQ(window.Command3()->text(), "Zoeken");
    EXPECT_FALSE(window.Combo1()->isEditable());
    EXPECT_EQ(window.ChosenMatch(), std::nullopt);
}

TEST(MainWindow, TabVisitsTheFocusableControlsInDesignOrderStartingAtTheList) {
    MainWindow window;
    window.show();
    window.activateWindow();
    window.ListView1()->setFocus();
    std::vector<QString> visited;
    QWidget* current = window.ListView1();
    for (int i = 0; i < 14; ++i) {
        visited.push_back(current->objectName());
        current = current->nextInFocusChain();
        while (current->focusPolicy() == Qt::NoFocus || !current->isVisibleTo(&window) ||
               current->parentWidget() != &window) {
            current = current->nextInFocusChain();
        }
    }
    EXPECT_THAT(visited, ElementsAre("ListView1", "Text1", "Command1", "Check1", "Check2",
                                     "Command2", "Check3", "Text2", "Command3", "Combo1", "Check4",
                                     "SlackButton", "TeamsButton", "ListView1"));
    // Labels and the status bar are passed over.
    EXPECT_EQ(window.Label1()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.Label2()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.StatusBar1()->focusPolicy(), Qt::NoFocus);
}

TEST(MainWindow, ListIsAReportWithTheEightHeadersAndNoTreeDecoration) {
    MainWindow window;
    window.SetupList(Headers());
    QTreeWidget* list = window.ListView1();
    EXPECT_FALSE(list->rootIsDecorated());
    ASSERT_EQ(list->columnCount(), 8);
    std::vector<std::string> shown;
    for (int column = 0; column < 8; ++column) {
        shown.push_back(list->headerItem()->text(column).toStdString());
        EXPECT_EQ(list->columnWidth(column), list->columnWidth(0));
    }
    EXPECT_THAT(
        shown, ElementsAre("Dag", "Zonneschijn (%)", "Neerslagkans (%)", "Neerslaghoeveelheid (mm)",
                           "Minimumtemperatuur (\u00B0C)", "Middagtemperatuur (\u00B0C)",
                           "Windrichting", "Windsnelheid (bft)"));
}

TEST(MainWindow, RowsAndCellsReadBackWhatWasWritten) {
    MainWindow window;
    window.SetupList(Headers());
    window.AddRow("Maandag");
    window.AddRow("Dinsdag");
    window.SetCell(2, 5, "12\u00B0");
    EXPECT_EQ(window.RowCount(), 2);
    EXPECT_EQ(window.CellText(1, 0), "Maandag");
    EXPECT_EQ(window.CellText(2, 5), "12\u00B0");
    EXPECT_EQ(window.CellText(2, 7), "");
    // Cells outside the list read as "" and are not written.
    EXPECT_EQ(window.CellText(3, 0), "");
    EXPECT_EQ(window.CellText(0, 0), "");
    EXPECT_EQ(window.CellText(1, 8), "");
    window.SetCell(1, 8, "x");
    window.SetCell(3, 1, "x");
    EXPECT_EQ(window.RowCount(), 2);
    EXPECT_EQ(window.SelectedRow(), std::nullopt);
    window.ClearRows();
    EXPECT_EQ(window.RowCount(), 0);
}

// Five days in the list, the double-click recorded with the row selected at that moment.
class ListDoubleClick : public testing::Test {
protected:
    void SetUp() override {
        window.SetupList(Headers());
        for (const char* day : {"Maandag", "Dinsdag", "Woensdag", "Donderdag", "Vrijdag"}) {
            window.AddRow(day);
        }
        WindowEvents events;
        events.listView1DblClick = [this] { selected.push_back(window.SelectedRow()); };
        window.SetEvents(events);
        window.show();
    }
    QTreeWidget* List() { return window.ListView1(); }
    QRect RowRect(int row) { return List()->visualItemRect(List()->topLevelItem(row - 1)); }

    MainWindow window;
    std::vector<std::optional<int>> selected;  // at each reported double-click
};

TEST_F(ListDoubleClick, ALeftButtonDoubleClickOnARowReportsThatRowSelected) {
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowRect(3).center());
    EXPECT_THAT(selected, ElementsAre(3));
}

TEST_F(ListDoubleClick, OtherButtonsAndTheBlankAreaBelowTheRowsDoNothing) {
    List()->setCurrentItem(List()->topLevelItem(1));
    QTest::mouseDClick(List()->viewport(), Qt::RightButton, {}, RowRect(3).center());
    QTest::mouseDClick(List()->viewport(), Qt::MiddleButton, {}, RowRect(3).center());
    // With two rows there is blank space below them; the row still selected is not sent again.
    while (window.RowCount() > 2) {
        delete List()->takeTopLevelItem(window.RowCount() - 1);
    }
    const QPoint below = RowRect(2).center() + QPoint(0, 3 * RowRect(2).height());
    ASSERT_EQ(List()->itemAt(below), nullptr);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, below);
    EXPECT_THAT(selected, ElementsAre());
}

TEST_F(ListDoubleClick, EnterOnTheSelectedRowDoesWhatADoubleClickDoes) {
    List()->setFocus();
    List()->clearSelection();
    QTest::keyClick(List(), Qt::Key_Return);  // nothing selected: no row to send
    List()->setCurrentItem(List()->topLevelItem(3));
    QTest::keyClick(List(), Qt::Key_Return);
    QTest::keyClick(List(), Qt::Key_Enter);  // the keypad's
    EXPECT_THAT(selected, ElementsAre(4, 4));
}

TEST(MainWindow, AutomatischIsAToggleButtonWhoseClickIsReportedOnlyWhenTheUserClicks) {
    MainWindow window;
    std::vector<bool> seen;
    WindowEvents events;
    events.check1Click = [&] { seen.push_back(window.IsChecked(CheckBox::Check1)); };
    window.SetEvents(events);
    window.show();
    QTest::mouseClick(window.Check1(), Qt::LeftButton);
    EXPECT_TRUE(window.Check1()->isChecked());
    QTest::mouseClick(window.Check1(), Qt::LeftButton);
    EXPECT_FALSE(window.Check1()->isChecked());
    EXPECT_THAT(seen, ElementsAre(true, false));
    // Start-up sets it and runs the handler itself: no second report.
    window.SetChecked(CheckBox::Check1, true);
    EXPECT_TRUE(window.IsChecked(CheckBox::Check1));
    EXPECT_EQ(seen.size(), 2u);
}

TEST(MainWindow, CheckBoxesAndTextsGoWhereFormOneSendsThem) {
    MainWindow window;
    window.SetChecked(CheckBox::Check2, true);
    window.SetChecked(CheckBox::Check3, true);
    window.SetChecked(CheckBox::Check4, true);
    EXPECT_TRUE(window.Check2()->isChecked());
    EXPECT_TRUE(window.Check3()->isChecked());
    EXPECT_TRUE(window.Check4()->isChecked());
    EXPECT_FALSE(window.IsChecked(CheckBox::Check1));
    window.SetStatusText("Verbinding maken...");
    EXPECT_EQ(window.StatusPanel()->text(), "Verbinding maken...");
    window.SetPreviewText("Maandag | <b>zon</b> & wind");
    EXPECT_EQ(window.Label1()->text(), "Maandag | <b>zon</b> & wind");
    window.SetTemplateText("[dag] \u00E9\u00E9n");
    EXPECT_EQ(window.TemplateText(), "[dag] \u00E9\u00E9n");
    window.SetPlaceText("Ko\u0161ice");
    EXPECT_EQ(window.Text2()->text().toStdString(), "Ko\u0161ice");
    window.SetForecastPlaceText("Verwachting voor: Ko\u0161ice");
    EXPECT_EQ(window.Label4()->text().toStdString(), "Verwachting voor: Ko\u0161ice");
    window.SetPlaceMatches({"a", "b"});
    EXPECT_EQ(window.Combo1()->count(), 2);
    window.SetPlaceMatches({});
    EXPECT_EQ(window.Combo1()->count(), 0);
    window.SetPlaceSearchEnabled(false);
    EXPECT_FALSE(window.Text2()->isEnabled() || window.Command3()->isEnabled() ||
                 window.Combo1()->isEnabled());
}

TEST(MainWindow, TemplatesAndCellsOfAnyLengthComeBackWhole) {
    MainWindow window;
    window.SetTemplateText(LongText());
    EXPECT_TRUE(IsLongTextWhole(window.TemplateText()));
    window.SetupList(Headers());
    window.AddRow(LongText());
    window.SetCell(1, 7, LongText());
    EXPECT_TRUE(IsLongTextWhole(window.CellText(1, 0)));
    EXPECT_TRUE(IsLongTextWhole(window.CellText(1, 7)));
    // The user can type on at its end.
    window.show();
    window.Text1()->setFocus();
    window.Text1()->end(false);
    QTest::keyClicks(window.Text1(), "!");
    EXPECT_TRUE(window.TemplateText() == LongText() + "!") << window.TemplateText().size();
}

// What a control needs to show its whole caption.
int NeededWidth(QWidget* control) {
    const QFontMetrics metrics = control->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return metrics.horizontalAdvance(label->text()) + 2 * label->margin() + label->indent();
    }
    // Buttons and check boxes: the text, beside the frame or the box.
    auto* button = qobject_cast<QAbstractButton*>(control);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement textArea = qobject_cast<QCheckBox*>(control)
                                            ? QStyle::SE_CheckBoxContents
                                            : QStyle::SE_PushButtonContents;
    const QRect contents = button->style()->subElementRect(textArea, &option, button);
    return metrics.horizontalAdvance(button->text()) + (button->width() - contents.width());
}

TEST(MainWindow, EveryCaptionShowsWhole) {
    MainWindow window;
    window.show();
    for (QWidget* control : std::initializer_list<QWidget*>{
             window.Label1(), window.Label2(), window.Command1(), window.Check1(), window.Check2(),
             window.Command2(), window.Check3(), window.Command3(),
             window.ControlWidget(layout::Control::Label3),
             window.ControlWidget(layout::Control::Label5), window.Check4()}) {
        EXPECT_LE(NeededWidth(control), control->width()) << control->objectName().toStdString();
    }
}

TEST(MainWindow, ButtonsAndCloseAreForwarded) {
    MainWindow window;
    std::vector<std::string> events;
    WindowEvents handlers;
    handlers.formUnload = [&] { events.push_back("unload"); };
    handlers.command1Click = [&] { events.push_back("command1"); };
    handlers.command2Click = [&] { events.push_back("command2"); };
    handlers.command3Click = [&] { events.push_back("search " + window.PlaceText()); };
    handlers.combo1Click = [&] {
        events.push_back("match " + std::to_string(*window.ChosenMatch()));
    };
    handlers.combo1CloseUp = [&] { events.push_back("list closed"); };
    handlers.check4Click = [&] { events.push_back("check4"); };
    window.SetEvents(handlers);
    window.show();
    QTest::mouseClick(window.Command1(), Qt::LeftButton);
    QTest::mouseClick(window.Command2(), Qt::LeftButton);
    window.SetPlaceText("Ede");
    QTest::mouseClick(window.Command3(), Qt::LeftButton);
    QTest::keyClick(window.Text2(), Qt::Key_Return);  // Enter in the place box searches too
    window.SetPlaceMatches({"Ede (Gelderland, Nederland)", "Ede (Osun, Nigeria)"});
    window.Combo1()->hidePopup();
    EXPECT_EQ(window.ChosenMatch(), std::nullopt);  // filling the list chooses nothing
    window.Combo1()->setFocus();
    QTest::keyClick(window.Combo1(), Qt::Key_Down);  // the user picks the first entry
    QTest::mouseClick(window.Check4(), Qt::LeftButton);
    window.SetChecked(CheckBox::Check4, false);  // Form1 setting it is no click
    window.close();
    window.close();  // unload runs once
    EXPECT_THAT(events, ElementsAre("command1", "command2", "search Ede", "search Ede",
                                    "list closed", "match 0", "check4", "unload"));
}

TEST(MainWindow, EndingUnloadsOnceWhereverTheWindowIs) {
    // A session ends the program by closing the window (SIGTERM), or through a session manager
    // by quitting the application: that closes the visible windows, but not one hidden in the
    // tray.
    for (bool byQuitting : {false, true}) {
        for (bool hiddenInTray : {false, true}) {
            MainWindow window;
            int unloads = 0;
            WindowEvents handlers;
            handlers.formUnload = [&] { ++unloads; };
            window.SetEvents(handlers);
            window.Show();
            if (hiddenInTray) {
                window.SetWindowState(WindowState::Minimized);
                window.Hide();
            }
            if (byQuitting) {
                QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
                QCoreApplication::exec();
            } else {
                window.close();
            }
            EXPECT_EQ(unloads, 1) << "quitting: " << byQuitting
                                  << ", in the tray: " << hiddenInTray;
            window.close();
            EXPECT_EQ(unloads, 1);
        }
    }
}

TEST(MainWindow, MinimizingReportsAResizeAndTheStateReadsBack) {
    MainWindow window;
    std::vector<WindowState> states;
    WindowEvents events;
    events.formResize = [&] { states.push_back(window.GetWindowState()); };
    window.SetEvents(events);
    window.show();
    window.SetWindowState(WindowState::Minimized);
    EXPECT_EQ(window.GetWindowState(), WindowState::Minimized);
    window.SetWindowState(WindowState::Normal);
    EXPECT_EQ(window.GetWindowState(), WindowState::Normal);
    EXPECT_THAT(states, ElementsAre(WindowState::Minimized, WindowState::Normal));
    // Nothing moves when the state changes.
    EXPECT_EQ(window.ListView1()->geometry(), QRect(8, 8, 505, 113));
    EXPECT_EQ(window.size(), QSize(519, 257));
}

TEST(MainWindow, HideAndShowFollowFormOne) {
    {
        MainWindow window;
        EXPECT_TRUE(window.IsShown());
        window.Show();
        EXPECT_TRUE(window.isVisible());
        window.Hide();
        EXPECT_FALSE(window.IsShown());
        EXPECT_FALSE(window.isVisible());
        window.SetWindowState(WindowState::Normal);
        window.Show();
        EXPECT_TRUE(window.IsShown());
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.GetWindowState(), WindowState::Normal);
    }
    {
        // No notification area: start-up minimizes and shows, so the window is minimized.
        MainWindow window;
        window.SetWindowState(WindowState::Minimized);
        window.Show();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.GetWindowState(), WindowState::Minimized);
    }
}

TEST(MainWindow, MessagesGoThroughThePresenter) {
    MainWindow window;
    std::vector<std::tuple<std::string, std::string, MessageIcon>> shown;
    window.SetMessagePresenter([&](const std::string& text, const std::string& title,
                                   MessageIcon icon) { shown.emplace_back(text, title, icon); });
    window.ShowMessage("a\r\nb", "Zonbode", MessageIcon::Critical);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(std::get<0>(shown[0]), "a\r\nb");
    EXPECT_EQ(std::get<1>(shown[0]), "Zonbode");
    EXPECT_EQ(std::get<2>(shown[0]), MessageIcon::Critical);
}

}  // namespace
}  // namespace zonbode::app::qt
