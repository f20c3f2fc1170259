#pragma once

#include <QDialog>
#include <array>
#include <string_view>

#include "app/WindowLayout.h"
#include "messengers/slack/SlackLink.h"

class QLabel;
class QLineEdit;

namespace zonbode::app::qt {

// The "Slack..." dialog, drawn from its layout table: the token box, "Test" and
// "Loskoppelen". What they do is the link's.
class SlackDialog : public QDialog {
    Q_OBJECT
public:
    SlackDialog(QWidget* parent, messengers::SlackLink& link);

    QWidget* ControlWidget(layout::SlackControl control) const {
        return controls_[static_cast<std::size_t>(control)];
    }
    QLineEdit* TokenBox() const;
    QLabel* Answer() const;

private:
    void Test();
    void Disconnect();
    // Test and Loskoppelen run off the window's thread; meanwhile the buttons wait.
    void Busy(std::string_view text);
    void Answered(const messengers::SlackLink::Answer& answer);

    messengers::SlackLink& link_;
    std::array<QWidget*, layout::kSlackDialog.size()> controls_{};
};

}  // namespace zonbode::app::qt
