#include "SettingsStore.h"

#include "Failure.h"
#include "NumberText.h"

#include <QSettings>

namespace vt {

namespace {
constexpr char Organisation[] = "Quillmere";
constexpr char Application[] = "Vellumtone";
constexpr char Group[] = "Vellumtone";
} // namespace

QString SettingsStore::read(const QString& key, const QString& defaultValue) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Organisation, Application);
    settings.beginGroup(Group);
    const QVariant value = settings.value(key);
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsStore::write(const QString& key, const QString& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Organisation, Application);
    settings.beginGroup(Group);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw Failure(QStringLiteral("The setting \"%1\" could not be stored in %2")
                          .arg(key, settings.fileName()));
    }
}

int SettingsStore::readWholeNumber(const QString& key, const QString& defaultValue) const {
    return roundHalfEven(Val(read(key, defaultValue)));
}

} // namespace vt
