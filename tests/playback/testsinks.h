// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Audio sinks for tests of the real GStreamer element: one that keeps real time without a
// sound card, and one that never takes a buffer, so a play stands still at its start.
#include <gst/gst.h>

namespace sonavue::testing {

GstElement* realTimeFakeSink();
GstElement* sinkThatNeverPrerolls();

} // namespace sonavue::testing
