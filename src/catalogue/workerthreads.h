// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A set of worker threads with one life: started together, joined together (at the latest
// when the set goes). Telling the workers to end is their owner's part: it sets its stop
// flag and wakes them under its own lock, then calls join().
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace sonavue {

class WorkerThreads {
public:
    WorkerThreads() = default;
    ~WorkerThreads() { join(); }
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Starts count threads running body(index), index 0 to count - 1. Once per set.
    void start(int count, const std::function<void(int index)>& body) {
        m_started = count > 0;
        m_running = std::max(0, count);
        m_threads.reserve(std::size_t(m_running.load()));
        for (int i = 0; i < count; ++i)
            m_threads.emplace_back([this, body, i] {
                body(i);
                --m_running;
            });
    }
    // Safe from the workers themselves: true before the first one runs.
    bool started() const { return m_started; }
    // Threads whose body has not returned yet.
    int running() const { return m_running; }
    void join() {
        for (std::thread& thread : m_threads)
            if (thread.joinable())
                thread.join();
    }

private:
    std::atomic<bool> m_started{false};
    std::atomic<int> m_running{0};
    std::vector<std::thread> m_threads;
};

} // namespace sonavue
