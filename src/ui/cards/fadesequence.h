// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The fade of the splash and tag cards: opacity rises by 48 per 50 ms tick up to a
// ceiling, holds, and after the hold falls by 32 per tick until it reaches 0 or below.
namespace sonavue {

struct FadeCard {
    int opacity = 63;
    int step = 48;
    int ceiling = 250;
};

constexpr FadeCard splashFadeStart() {
    return {63, 48, 250};
}
constexpr FadeCard tagFadeStart() {
    return {63, 48, 240};
}
constexpr int FadeTickMs = 50;
constexpr int SplashHoldMs = 2000;
constexpr int TagHoldMs = 3000;

// One tick: opacity += step, capped at the ceiling. Returns false when the card closes
// (opacity 0 or below).
bool advanceFade(FadeCard& card);
// The hold's end: from now on the opacity falls by 32 a tick.
inline void endFadeHold(FadeCard& card) {
    card.step = -32;
}

} // namespace sonavue
