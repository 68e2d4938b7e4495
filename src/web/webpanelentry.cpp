// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "web/webpanelentry.h"
#include "web/webpanel.h"

#include <type_traits>

extern "C" Q_DECL_EXPORT sonavue::WebPanelControl* sonavueMakeWebPanel(QWidget* parent) {
    return new sonavue::WebPanel(parent);
}

static_assert(std::is_same_v<decltype(&sonavueMakeWebPanel), sonavue::MakeWebPanel>);
