// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Takes pipelines the media element is done with to NULL and releases them, each on a thread
// of its own: the change to NULL joins the pipeline's streaming threads, and a decoder stuck
// in a loop would otherwise hold the user-interface thread for good. A reap that never ends
// costs one parked thread, never the program.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

typedef struct _GstElement GstElement;

namespace sonavue {

class PipelineReaper {
public:
    PipelineReaper();
    // Waits a moment for reaps under way (so a normal exit releases everything), then leaves
    // any that hang to their threads.
    ~PipelineReaper();
    PipelineReaper(const PipelineReaper&) = delete;
    PipelineReaper& operator=(const PipelineReaper&) = delete;

    // Takes over the caller's reference to the pipeline. `beforeStop`, if any, runs on the
    // reaping thread first (to wait for the pipeline to be ready to stop).
    void reap(GstElement* pipeline, std::function<void()> beforeStop = {});
    // Reaps started and not yet finished.
    int pending() const;

private:
    struct Shared {
        mutable std::mutex lock;
        std::condition_variable finished;
        int pending = 0;
    };
    std::shared_ptr<Shared> m_shared; // also held by each reaping thread
};

} // namespace sonavue
