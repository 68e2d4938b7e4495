// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playback/pipelinereaper.h"

#include "base/report.h"

#include <gst/gst.h>

#include <chrono>
#include <malloc.h>
#include <thread>

namespace sonavue {
namespace {

constexpr auto ExitWait = std::chrono::seconds(3);

} // namespace

PipelineReaper::PipelineReaper() : m_shared(std::make_shared<Shared>()) {}

PipelineReaper::~PipelineReaper() {
    std::unique_lock lock(m_shared->lock);
    if (!m_shared->finished.wait_for(lock, ExitWait, [this] { return m_shared->pending == 0; }))
        reportLine(
            QStringLiteral("%1 pipeline(s) did not stop; left behind").arg(m_shared->pending));
}

void PipelineReaper::reap(GstElement* pipeline, std::function<void()> beforeStop) {
    if (!pipeline)
        return;
    {
        const std::lock_guard lock(m_shared->lock);
        ++m_shared->pending;
    }
    std::thread([shared = m_shared, pipeline, beforeStop = std::move(beforeStop)] {
        if (beforeStop)
            beforeStop();
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        // A decoder frees megabytes (a MIDI sound font) across the allocator's per-thread
        // arenas, which otherwise keep them: hand them back, so memory stays flat.
        malloc_trim(0);
        const std::lock_guard lock(shared->lock);
        --shared->pending;
        shared->finished.notify_all();
    }).detach();
}

int PipelineReaper::pending() const {
    const std::lock_guard lock(m_shared->lock);
    return m_shared->pending;
}

} // namespace sonavue
