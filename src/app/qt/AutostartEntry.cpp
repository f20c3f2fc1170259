#include "app/qt/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace zonbode::app::qt {
namespace {

// The value of key in the file's [Desktop Entry] group, as written (escapes kept); a null
// string when the key is not there.
QString EntryValue(const QString& fileText, const QString& key) {
    bool inMainGroup = false;
    for (const QString& raw : fileText.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inMainGroup && equals > 0 && line.left(equals).trimmed() == key) {
            return line.mid(equals + 1).trimmed();
        }
    }
    return {};
}

}  // namespace

QString AutostartEntry::FilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/zonbode.desktop");
}

// One quoted argument: inside the quotes " ` $ and \ take a backslash and % is doubled; the
// value as a whole then escapes its backslashes (and any line break) once more.
QString AutostartEntry::ExecValue() const {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : programPath_) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        } else if (c == QLatin1Char('%')) {
            quoted += QLatin1Char('%');
        }
        quoted += c;
    }
    quoted += QLatin1Char('"');
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    quoted.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return quoted;
}

SignInEntry::State AutostartEntry::Look() const {
    QFile file(FilePath());
    if (!file.exists()) {
        return State::Missing;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return State::Elsewhere;  // there, but not one we can vouch for
    }
    const QString text = QString::fromUtf8(file.readAll());
    // A hidden entry is one the desktop does not start.
    const bool hidden = EntryValue(text, QStringLiteral("Hidden")) == QLatin1String("true");
    return !hidden && EntryValue(text, QStringLiteral("Exec")) == ExecValue() ? State::InPlace
                                                                              : State::Elsewhere;
}

void AutostartEntry::Put() {
    const QString path = FilePath();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);  // whole or not at all
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    const QString text = QStringLiteral(
                             "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Zonbode\n"
                             "Exec=%1\n"
                             "Icon=zonbode\n"
                             "Terminal=false\n")
                             .arg(ExecValue());
    file.write(text.toUtf8());
    file.commit();
}

void AutostartEntry::Remove() {
    QFile::remove(FilePath());
}

}  // namespace zonbode::app::qt
