// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/settingskeys.h"

#include "base/numbers.h"
#include "base/settings.h"

#include <cmath>

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

int WholeNumberKey::read(const ProgramSettings& settings) const {
    return wholeNumberOr(settings.read(*this), fallback, low, high);
}

bool WholeNumberKey::write(const ProgramSettings& settings, int value) const {
    return settings.write(*this, QString::number(value));
}

bool TruthKey::read(const ProgramSettings& settings) const {
    return truthValue(settings.read(*this)).value_or(fallback);
}

bool TruthKey::write(const ProgramSettings& settings, bool value) const {
    return settings.write(*this, value ? QStringLiteral("True") : QStringLiteral("False"));
}

std::int32_t ColourKey::read(const ProgramSettings& settings) const {
    const double value = leadingNumber(settings.read(*this));
    if (!(std::abs(value) <= 2147483647.0))
        return fallback;
    return std::int32_t(roundHalfEven(value));
}

bool ColourKey::write(const ProgramSettings& settings, std::int32_t value) const {
    return settings.write(*this, QString::number(value));
}

} // namespace sonavue
