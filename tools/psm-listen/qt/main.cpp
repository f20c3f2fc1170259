// psm-listen: a stand-in messenger client on the session bus.
//   psm-listen [--decode] [--name SUFFIX] [--version]
// Owns the bus name nl.kavelo.MsnMsgrUIManager.SUFFIX (default psm_listen_<pid>), exports
// CopyData(u dwData, ay data) at /MsnMsgrUIManager, prints "ready" once the name is owned
// and then one line per record received.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QStringList>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "MessengerReceiver.h"
#include "RecordFormat.h"
#include "options/VersionOption.h"

namespace {

constexpr char kUsage[] =
    "usage: psm-listen [--decode] [--name SUFFIX] [--version]\n"
    "  Receives status records on the session bus as nl.kavelo.MsnMsgrUIManager.SUFFIX\n"
    "  (default SUFFIX: psm_listen_<pid>) and prints one line per record:\n"
    "  dwData and the record bytes in lowercase hex, or with --decode its pieces.\n";

void PrintLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> exitCode =
            zonbode::AnswerVersion("psm-listen", std::vector<std::string>(argv + 1, argv + argc))) {
        return *exitCode;
    }
    QCoreApplication application(argc, argv);
    bool decode = false;
    QString suffix = QStringLiteral("psm_listen_%1").arg(QCoreApplication::applicationPid());
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--decode")) {
            decode = true;
        } else if (arguments[i] == QLatin1String("--name") && i + 1 < arguments.size()) {
            suffix = arguments[++i];
        } else if (arguments[i] == QLatin1String("--help") || arguments[i] == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "psm-listen: unknown option '%s'\n%s",
                         arguments[i].toLocal8Bit().constData(), kUsage);
            return 2;
        }
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "psm-listen: no D-Bus session bus: %s\n",
                     bus.lastError().message().toLocal8Bit().constData());
        return 1;
    }
    MessengerReceiver receiver([decode](uint dwData, const QByteArray& data) {
        const std::span<const std::uint8_t> record(
            reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size()));
        PrintLine(decode ? zonbode::psmlisten::DecodedLine(dwData, record)
                         : zonbode::psmlisten::HexLine(dwData, record));
    });
    if (!bus.registerObject(QStringLiteral("/MsnMsgrUIManager"), &receiver,
                            QDBusConnection::ExportAllSlots)) {
        std::fprintf(stderr, "psm-listen: cannot export /MsnMsgrUIManager\n");
        return 1;
    }
    const QString name = QStringLiteral("nl.kavelo.MsnMsgrUIManager.") + suffix;
    if (!bus.registerService(name)) {
        std::fprintf(stderr, "psm-listen: cannot own the bus name %s: %s\n",
                     name.toLocal8Bit().constData(),
                     bus.lastError().message().toLocal8Bit().constData());
        return 1;
    }
    PrintLine("ready");
    return application.exec();
}
