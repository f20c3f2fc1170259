#include "app/qt/QtSettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include "app/StoredSettings.h"

namespace zonbode::app::qt {
namespace {

QSettings OpenSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kavelo"),
                     QStringLiteral("Zonbode"));
}

}  // namespace

std::optional<QString> QtSettingsStore::KeyOf(const std::string& valuePath) {
    const std::string root(settings::kSettingsKey);
    if (valuePath.size() <= root.size() || valuePath.compare(0, root.size(), root) != 0) {
        return std::nullopt;
    }
    QString key = QString::fromStdString(valuePath.substr(root.size()));
    if (key.endsWith(QLatin1Char('\\'))) {
        return std::nullopt;  // names a key, not a value
    }
    // Sub-keys become INI groups.
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return key;
}

QString QtSettingsStore::FilePath() {
    return OpenSettings().fileName();
}

std::string QtSettingsStore::ReadRegValue(const std::string& valuePath) {
    const std::optional<QString> key = KeyOf(valuePath);
    if (!key) {
        return {};
    }
    QSettings settings = OpenSettings();
    // QSettings keeps a file's contents per process; a file removed meanwhile holds nothing.
    if (!QFileInfo(settings.fileName()).isFile() || settings.status() != QSettings::NoError) {
        return {};
    }
    const QVariant value = settings.value(*key);
    // A hand-edited value with an unquoted comma reads as a list; give back its text.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    }
    if (!value.canConvert<QString>()) {
        return {};
    }
    return value.toString().toStdString();
}

void QtSettingsStore::WriteRegString(const std::string& valuePath, const std::string& text) {
    WriteRegValues({{valuePath, text}});
}

void QtSettingsStore::WriteRegDword(const std::string& valuePath, std::int16_t value) {
    WriteRegValues({{valuePath, value}});
}

// One write of the whole file: QSettings writes a new file beside the old one and puts it in
// its place only when it is whole, so a full or read-only disk leaves the old set as it was.
void QtSettingsStore::WriteRegValues(const std::vector<StoredValue>& values) {
    QSettings settings = OpenSettings();
    settings.setAtomicSyncRequired(true);
    for (const StoredValue& stored : values) {
        if (const std::optional<QString> key = KeyOf(stored.valuePath)) {
            if (const auto* text = std::get_if<std::string>(&stored.value)) {
                settings.setValue(*key, QString::fromStdString(*text));
            } else {
                settings.setValue(*key, static_cast<int>(std::get<std::int16_t>(stored.value)));
            }
        }
    }
    settings.sync();
}

}  // namespace zonbode::app::qt
