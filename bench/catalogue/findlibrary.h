// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A synthetic catalogue for the find benchmark: albums of ten tracks by a few thousand
// artists, about one album in six Japanese (kanji, hiragana and katakana, some of it in
// half-width katakana), some Latin titles in full-width letters.
#include "catalogue/catalogue.h"

namespace sonavue::bench {

void fillFindLibrary(Catalogue& catalogue, int tracks);

} // namespace sonavue::bench
