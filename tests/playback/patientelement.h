// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The element as the player makes it, but patient: the player gives up a play whose position
// stands still for 8 s, which a synthesizer's start can take on a loaded machine under the
// sanitizers. Tests of other things make this one and wait as long as they do; the stall
// limit has tests of its own.
#include "playback/gstmediaelement.h"

#include <utility>

namespace sonavue::testing {

class PatientElement : public GstMediaElement {
public:
    static constexpr int StallLimitMs = 60000;
    explicit PatientElement(SinkFactory sinkFactory = {})
        : GstMediaElement(std::move(sinkFactory)) {
        setStallLimitMs(StallLimitMs);
    }
};

} // namespace sonavue::testing
