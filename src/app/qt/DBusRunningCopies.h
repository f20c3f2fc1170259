#pragma once

#include <QObject>
#include <functional>

#include "app/RunningCopy.h"

namespace zonbode::app::qt {

// The running copy owns the session-bus name nl.kavelo.Zonbode and answers Activate() on
// /nl/kavelo/Zonbode. The bus lets go of the name when the process ends, however it ends. Without
// a session bus every start runs.
class DBusRunningCopies final : public QObject, public RunningCopies {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "nl.kavelo.Zonbode")

public:
    static constexpr char kService[] = "nl.kavelo.Zonbode";
    static constexpr char kObjectPath[] = "/nl/kavelo/Zonbode";
    static constexpr char kInterface[] = "nl.kavelo.Zonbode";

    bool ClaimRunningCopy() override;
    void WakeRunningCopy() override;
    // What a later start's Activate does here; nothing until it is set.
    void SetOnActivate(std::function<void()> onActivate) { onActivate_ = std::move(onActivate); }

public slots:
    Q_SCRIPTABLE void Activate();

private:
    std::function<void()> onActivate_;
};

}  // namespace zonbode::app::qt
