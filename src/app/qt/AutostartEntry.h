#pragma once

#include <QString>

#include "app/Ports.h"

namespace zonbode::app::qt {

// The freedesktop autostart entry $XDG_CONFIG_HOME/autostart/zonbode.desktop (~/.config when
// the variable is not set). Its Exec names the program by the path it runs from, so a copy
// that has moved finds its entry "elsewhere" and writes it anew.
class AutostartEntry final : public SignInEntry {
public:
    // programPath: the running program's own file (QCoreApplication::applicationFilePath()).
    explicit AutostartEntry(QString programPath) : programPath_(std::move(programPath)) {}

    static QString FilePath();
    // The Exec value that starts programPath: quoted and escaped as desktop entries need.
    QString ExecValue() const;

    State Look() const override;
    void Put() override;
    void Remove() override;

private:
    QString programPath_;
};

}  // namespace zonbode::app::qt
