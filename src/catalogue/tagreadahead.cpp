// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/tagreadahead.h"

#include "tags/containertags.h"

#include <algorithm>
#include <cstring>

namespace sonavue {

// Files are handed out, and their results handed over, a batch at a time: a lock taken per
// file costs more than reading the file from a warm cache.
constexpr int BatchFiles = 32;
// The row thread hands its taken slots back (and sees newly read ones) at least this often.
constexpr long long VisibleRun = 64;
// A waiting row thread is woken once this many results in a row are ready for it (or once
// no batch is being read any more): it builds rows faster than files are read, and woken
// for every batch it would cost two system calls or more per folder.
constexpr long long WakeRun = 32;

struct TagReadAhead::Batch {
    std::shared_ptr<NativeFolder> folder; // open while any of its files is being read
    int folderIndex = 0;
    int firstFile = 0;
    int count = 0;
    long long firstSequence = 0;
};

TagReadAhead::TagReadAhead(std::vector<WalkedFolder> folders, const ReadAheadOptions& options)
    : m_folders(std::move(folders)), m_options(options),
      m_ring(std::size_t(std::max(1, options.capacity))),
      m_states(m_folders.size(), FolderState::Pending) {
    long long files = 0;
    for (const WalkedFolder& f : m_folders)
        files += f.files.count();
    // No more workers than files: a small library starts few threads or none.
    const int count = int(std::min<long long>(std::max(0, options.threads), files));
    if (count == 0) {
        std::fill(m_states.begin(), m_states.end(), FolderState::NotRead);
        return;
    }
    m_workers.start(count, [this](int) { work(); });
}

TagReadAhead::~TagReadAhead() {
    stop();
}

void TagReadAhead::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_workersWake.notify_all();
    m_resultReady.notify_all();
    m_workers.join();
}

int TagReadAhead::runningWorkers() const {
    return m_workers.running();
}

void TagReadAhead::work() {
    std::unique_lock lock(m_mutex);
    Batch batch;
    while (nextBatch(lock, batch)) {
        lock.unlock();
        readBatch(batch);
        lock.lock();
        for (int k = 0; k < batch.count; ++k)
            slotAt(batch.firstSequence + k).ready = true;
        --m_batchesReading;
        if (m_rowThreadWaiting && enoughReadyToWake())
            m_resultReady.notify_one();
    }
}

// Without the lock: the batch's slots are this worker's until it marks them ready.
void TagReadAhead::readBatch(Batch& batch) {
    const WalkedFolder& walked = m_folders[std::size_t(batch.folderIndex)];
    for (int k = 0; k < batch.count; ++k) {
        const int file = batch.firstFile + k;
        const char* name = walked.files.native(file);
        const int size = walked.files.nativeSize(file);
        Slot& slot = slotAt(batch.firstSequence + k);
        slot.keptRow = m_options.known ? m_options.known->unchangedRow(batch.folder->fd(),
                                                                       walked.text, name, size)
                                       : -1;
        if (slot.keptRow >= 0) {
            slot.read = false;
            slot.hasID3v2 = false;
            continue;
        }
        if (m_options.beforeRead)
            m_options.beforeRead(walked.path, name);
        FileTagBytes tags;
        // The walk's listing saw a regular file; the read looks again after opening and
        // never blocks, so a FIFO or device put in its place is not read.
        const bool withID3v2 = m_options.id3v2 && isMp3Name(name, size);
        const unsigned extraType =
            m_options.extraTypes ? m_options.extraTypes & extraTypeOfName(name, size) : 0;
        const bool read = readFileTagsAt(batch.folder->fd(), name, /*knownRegular=*/true, withID3v2,
                                         tags, extraType);
        if (tags.tailRead)
            std::memcpy(slot.tag, tags.tail, TagSize);
        slot.stamp = tags.stamp;
        slot.read = read && tags.tailRead;
        slot.hasID3v2 = tags.id3v2.any();
        if (slot.hasID3v2)
            slot.id3v2 = std::move(tags.id3v2);
    }
    batch.folder.reset(); // the last reader of a folder closes it
}

// Under the lock: hands out the next batch, keeping a few folders opened ahead of the
// hand-out. False when there is nothing left to do, or the read-ahead is stopped.
bool TagReadAhead::nextBatch(std::unique_lock<std::mutex>& lock, Batch& batch) {
    const auto capacity = static_cast<long long>(m_ring.size());
    for (;;) {
        if (m_stopped)
            return false;
        if (shouldPrepare()) {
            prepareFolder(lock);
            continue;
        }
        const bool dispatching = dispatchFilesLeft();
        if (dispatching) {
            const int filesLeft =
                m_folders[std::size_t(m_dispatchFolder)].files.count() - m_nextFile;
            const long long wanted =
                std::min({capacity, (long long)BatchFiles, (long long)filesLeft});
            if (capacity - (m_nextSequence - m_handedBack) >= wanted) {
                batch = {m_dispatchHandle, m_dispatchFolder, m_nextFile, int(wanted),
                         m_nextSequence};
                m_nextFile += int(wanted);
                m_nextSequence += wanted;
                ++m_batchesReading;
                return true;
            }
        } else if (!m_preparing && m_nextFolder >= int(m_folders.size())) {
            return false;
        }
        // Waiting for the row thread (to free room in the ring, or to catch up) or for the
        // worker opening the next folder: the row thread wakes only those waiting for it.
        const bool forRowThread = dispatching || !m_preparing;
        ++m_workersWaiting;
        m_workersWaitingForRowThread += forRowThread;
        m_workersWake.wait(lock);
        m_workersWaitingForRowThread -= forRowThread;
        --m_workersWaiting;
    }
}

// Under the lock: whether this worker opens the next folder now. A folder is opened while
// others are still being read, so that a worker finishing one seldom waits for the next
// to be opened (a wait and a wake-up for every folder would cost more than its files'
// reads); one worker opens folders at a time, and only so far ahead of the row thread.
bool TagReadAhead::shouldPrepare() const {
    constexpr std::size_t PrepareAhead = 2;
    return !m_preparing && m_prepared.size() < PrepareAhead &&
           m_nextFolder < int(m_folders.size()) &&
           m_nextFolder - m_consumerFolder <= static_cast<long long>(m_ring.size());
}

// Under the lock: whether the folder being handed out has files left, moving on to the
// next folder opened when it has none. A folder handed out whole is let go: the last of
// its batches to be read closes it.
bool TagReadAhead::dispatchFilesLeft() {
    for (;;) {
        if (m_dispatchHandle && m_nextFile < m_folders[std::size_t(m_dispatchFolder)].files.count())
            return true;
        m_dispatchHandle.reset();
        if (m_prepared.empty())
            return false;
        m_dispatchFolder = m_prepared.front().index;
        m_dispatchHandle = std::move(m_prepared.front().handle);
        m_nextFile = 0;
        m_prepared.pop_front();
    }
}

// Under the lock (released while the folder is opened): opens the next folder again and
// checks that it is the walk's folder with the walk's entries. Only then are its files
// handed out: nothing is opened that the listing did not accept.
void TagReadAhead::prepareFolder(std::unique_lock<std::mutex>& lock) {
    const int index = m_nextFolder++;
    m_preparing = true;
    const WalkedFolder& walked = m_folders[std::size_t(index)];
    lock.unlock();
    std::shared_ptr<NativeFolder> handle;
    if (walked.listed && !walked.files.isEmpty()) {
        handle = std::make_shared<NativeFolder>(m_parentFolder.placeOf(walked.path));
        NativeFolder::Stamp now;
        if (!handle->stamp(now) || !now.sameEntries(walked.stamp))
            handle.reset();
    }
    lock.lock();
    m_preparing = false;
    m_states[std::size_t(index)] = handle ? FolderState::Reading : FolderState::NotRead;
    const bool notRead = !handle;
    if (handle)
        m_prepared.push_back({index, std::move(handle)});
    if (m_workersWaiting > 0)
        m_workersWake.notify_all();
    // A folder being read wakes the row thread with its first results (see work()).
    if (notRead && m_rowThreadWaiting)
        m_resultReady.notify_all();
}

// Under the lock, while the row thread waits (it has handed back every slot it took): whether
// the results it waits for are ready in a run worth waking it for.
bool TagReadAhead::enoughReadyToWake() {
    const long long limit = std::min(m_handedBack + WakeRun, m_nextSequence);
    long long end = m_handedBack;
    while (end < limit && slotAt(end).ready)
        ++end;
    const long long run = end - m_handedBack;
    return run > 0 && (run >= WakeRun || m_batchesReading == 0);
}

// Under the lock: the slots taken so far are free for the workers again. Workers waiting
// for room are woken once half the ring is free, or when the row thread is about to wait
// itself: waking them for every batch taken would cost more than the reads.
void TagReadAhead::handBackTaken(bool rowThreadWillWait) {
    m_handedBack = m_takenSequence;
    const auto capacity = static_cast<long long>(m_ring.size());
    const bool roomEnough = 2 * (capacity - (m_nextSequence - m_handedBack)) >= capacity;
    if (m_workersWaitingForRowThread > 0 && (rowThreadWillWait || roomEnough))
        m_workersWake.notify_all();
}

bool TagReadAhead::beginFolder(int index) {
    if (m_consumerLeft > 0)
        skipFolder();
    std::unique_lock lock(m_mutex);
    if (m_consumerFolder >= 0) // its files have all been taken: the names can go
        m_folders[std::size_t(m_consumerFolder)].files = NameList();
    m_consumerFolder = index; // the folder bound moved
    handBackTaken(true);
    // A folder being read is waited for until its first results are in (its first slot is
    // the next one to take): one wait, not one for its state and another for its files.
    const FolderState& state = m_states[std::size_t(index)];
    const auto ready = [&] {
        return m_stopped || state == FolderState::NotRead ||
               (state == FolderState::Reading && slotAt(m_takenSequence).ready);
    };
    if (!ready()) {
        m_rowThreadWaiting = true;
        m_resultReady.wait(lock, ready);
        m_rowThreadWaiting = false;
    }
    if (m_stopped || state != FolderState::Reading)
        return false;
    m_consumerLeft = m_folders[std::size_t(index)].files.count();
    seeReadyResults();
    return true;
}

bool TagReadAhead::waitForResults(std::unique_lock<std::mutex>& lock) {
    handBackTaken(!slotAt(m_takenSequence).ready);
    m_rowThreadWaiting = true;
    m_resultReady.wait(lock, [&] { return m_stopped || slotAt(m_takenSequence).ready; });
    m_rowThreadWaiting = false;
    if (m_stopped)
        return false;
    seeReadyResults();
    return true;
}

// Under the lock, with the next slot ready: every slot seen ready here can be taken without
// the lock. Slots seen ready before and not yet taken are still ready: the look goes on
// from the first slot not seen ready.
void TagReadAhead::seeReadyResults() {
    const long long limit = std::min(m_takenSequence + VisibleRun, m_nextSequence);
    long long end = std::max(m_takenSequence + 1, m_visibleEnd);
    while (end < limit && slotAt(end).ready)
        ++end;
    m_visibleEnd = end;
}

bool TagReadAhead::takeTag(FileTagBytes& out, int* keptRow) {
    out.tailRead = false;
    out.stamp = {};
    if (keptRow)
        *keptRow = -1;
    if (m_consumerLeft <= 0)
        return false;
    if (m_takenSequence == m_visibleEnd || m_stopped.load(std::memory_order_relaxed)) {
        std::unique_lock lock(m_mutex);
        if (m_stopped || !waitForResults(lock)) {
            m_consumerLeft = 0;
            return false;
        }
    }
    Slot& slot = slotAt(m_takenSequence);
    out.tailRead = slot.read;
    if (slot.read)
        std::memcpy(out.tail, slot.tag, TagSize);
    out.stamp = slot.stamp;
    if (keptRow)
        *keptRow = slot.keptRow;
    if (slot.hasID3v2) {
        out.id3v2 = std::move(slot.id3v2);
        slot.id3v2 = {};
        slot.hasID3v2 = false;
    }
    slot.ready = false;
    ++m_takenSequence;
    --m_consumerLeft;
    return out.tailRead;
}

void TagReadAhead::skipFolder() {
    FileTagBytes ignored;
    while (m_consumerLeft > 0) // takeTag counts down, or ends it once stopped
        takeTag(ignored);
}

} // namespace sonavue
