// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "testsinks.h"

namespace sonavue::testing {

GstElement* realTimeFakeSink() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

GstElement* sinkThatNeverPrerolls() {
    GstElement* sink = realTimeFakeSink();
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(
        pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM,
        [](GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_OK; }, nullptr, nullptr);
    gst_object_unref(pad);
    return sink;
}

} // namespace sonavue::testing
