#pragma once

#include <QString>

namespace zonbode::app::qt {

// A temporary XDG_CONFIG_HOME for the whole test process (QSettings reads it only once), and
// the settings file inside it.
const QString& TestConfigHome();
QString TestIniPath();

}  // namespace zonbode::app::qt
