#include "common/TestConfigHome.h"

#include <QTemporaryDir>
#include <cstdlib>

namespace zonbode::app::qt {

const QString& TestConfigHome() {
    static QTemporaryDir directory;
    static const QString path = [] {
        setenv("XDG_CONFIG_HOME", directory.path().toLocal8Bit().constData(), 1);
        return directory.path();
    }();
    return path;
}

QString TestIniPath() {
    return TestConfigHome() + QStringLiteral("/Kavelo/Zonbode.ini");
}

}  // namespace zonbode::app::qt
