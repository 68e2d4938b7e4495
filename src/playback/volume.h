// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The volume level 0..255 and the relative volume a tag comment may carry.
#include <QString>
#include <cstdint>
#include <optional>

namespace sonavue {

constexpr int MiddleLevel = 128;

// Clamps to 0..255 (a fraction rounds half to even first).
int clampLevel(double level);
// The 32-bit wave-out value: left channel high 16 bits, right low, both level * 257
// (every byte equals the level: 128 -> 0x80808080).
std::uint32_t waveOutVolumeValue(double level);
// The output's linear gain 0.0..1.0 at a level: one 16-bit channel of its wave-out value,
// over 65535.
double levelGain(double level);

// The level a comment's relative volume asks for: "RVA=" searched from the comment's 22nd
// character (exact case), the last four characters of the 30-character comment read as a
// signed number, clamped to +-127, level 128 + r. Nullopt when there is no "RVA=" or the
// value is not a number (the level then stays as it is). A fraction rounds half to even.
std::optional<int> relativeVolumeLevel(const QString& comment);

} // namespace sonavue
