#include "base/settingskeys.h"

#include "base/settings.h"

namespace sonavue {
namespace {
QString section() {
    return QStringLiteral("init");
}
} // namespace

QString ProgramSettings::read(const SettingKey& key) const {
    return readSetting(m_appName, section(), QString(key.name), key.defaultValue());
}

bool ProgramSettings::write(const SettingKey& key, const QString& value) const {
    return writeSetting(m_appName, section(), QString(key.name), value);
}

} // namespace sonavue
