// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/cards/fadesequence.h"

namespace sonavue {

bool advanceFade(FadeCard& card) {
    card.opacity += card.step;
    if (card.opacity > card.ceiling)
        card.opacity = card.ceiling;
    return card.opacity > 0;
}

} // namespace sonavue
