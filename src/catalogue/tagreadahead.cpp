#include "catalogue/tagreadahead.h"

#include "tags/containertags.h"

#include <algorithm>
#include <cstring>

namespace sonavue {

struct TagReadAhead::Task {
    std::shared_ptr<NativeFolder> folder; // open while any of its files is being read
    int folderIndex = 0;
    int fileIndex = 0;
    long long sequence = 0;
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
    m_running = count;
    m_workers.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        m_workers.emplace_back([this] { work(); });
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
    for (std::thread& worker : m_workers)
        if (worker.joinable())
            worker.join();
}

int TagReadAhead::runningWorkers() const {
    const std::lock_guard lock(m_mutex);
    return m_running;
}

int ReadAheadOptions::parsingThreads() {
    const int cores = int(std::thread::hardware_concurrency());
    return std::clamp(2 * cores, 2, ColdThreads);
}

void TagReadAhead::work() {
    std::unique_lock lock(m_mutex);
    Task task;
    while (nextTask(lock, task)) {
        lock.unlock();
        const WalkedFolder& walked = m_folders[std::size_t(task.folderIndex)];
        const char* name = walked.files.native(task.fileIndex);
        if (m_options.beforeRead)
            m_options.beforeRead(walked.path, name);
        FileTagBytes tags;
        // The walk's listing saw a regular file; the read looks again after opening and
        // never blocks, so a FIFO or device put in its place is not read.
        const bool withID3v2 =
            m_options.id3v2 && isMp3Name(name, walked.files.nativeSize(task.fileIndex));
        const unsigned extraType =
            m_options.extraTypes & extraTypeOfName(name, walked.files.nativeSize(task.fileIndex));
        const bool read = readFileTagsAt(task.folder->fd(), name, /*knownRegular=*/true, withID3v2,
                                         tags, extraType);
        task.folder.reset(); // the last reader of a folder closes it
        lock.lock();
        finishTask(task, tags, read);
    }
    --m_running;
}

// Under the lock: hands out the next file, preparing folders as the hand-out reaches
// them. False when there is nothing left to do, or the read-ahead is stopped.
bool TagReadAhead::nextTask(std::unique_lock<std::mutex>& lock, Task& task) {
    const auto capacity = static_cast<long long>(m_ring.size());
    for (;;) {
        if (m_stopped)
            return false;
        const bool filesLeft =
            m_dispatchHandle && m_nextFile < m_folders[std::size_t(m_dispatchFolder)].files.count();
        if (filesLeft) {
            if (m_nextSequence - m_takenSequence < capacity) {
                task = {m_dispatchHandle, m_dispatchFolder, m_nextFile++, m_nextSequence++};
                return true;
            }
        } else if (m_preparing) {
            // another worker is opening the next folder: its files may be many
        } else if (m_nextFolder >= int(m_folders.size())) {
            return false;
        } else if (m_nextFolder - m_consumerFolder <= capacity) {
            prepareFolder(lock);
            continue;
        }
        m_workersWake.wait(lock);
    }
}

// Under the lock (released while the folder is opened): opens the next folder again and
// checks that it is the walk's folder with the walk's entries. Only then are its files
// handed out: nothing is opened that the listing did not accept.
void TagReadAhead::prepareFolder(std::unique_lock<std::mutex>& lock) {
    const int index = m_nextFolder++;
    m_preparing = true;
    m_dispatchHandle.reset();
    const WalkedFolder& walked = m_folders[std::size_t(index)];
    lock.unlock();
    std::shared_ptr<NativeFolder> handle;
    if (walked.listed && !walked.files.isEmpty()) {
        handle = std::make_shared<NativeFolder>(walked.path);
        NativeFolder::Stamp now;
        if (!handle->stamp(now) || !now.sameEntries(walked.stamp))
            handle.reset();
    }
    lock.lock();
    m_preparing = false;
    m_states[std::size_t(index)] = handle ? FolderState::Reading : FolderState::NotRead;
    m_dispatchFolder = index;
    m_nextFile = 0;
    m_dispatchHandle = std::move(handle);
    m_workersWake.notify_all();
    m_resultReady.notify_all();
}

void TagReadAhead::finishTask(const Task& task, FileTagBytes& read, bool wasRead) {
    Slot& slot = m_ring[std::size_t(task.sequence % static_cast<long long>(m_ring.size()))];
    if (read.tailRead)
        std::memcpy(slot.tag, read.tail, TagSize);
    slot.id3v2 = std::move(read.id3v2);
    slot.read = wasRead && read.tailRead;
    slot.hasID3v2 = slot.id3v2.any();
    slot.ready = true;
    if (task.sequence == m_takenSequence)
        m_resultReady.notify_all();
}

bool TagReadAhead::beginFolder(int index) {
    if (m_consumerLeft > 0)
        skipFolder();
    std::unique_lock lock(m_mutex);
    if (m_consumerFolder >= 0) // its files have all been taken: the names can go
        m_folders[std::size_t(m_consumerFolder)].files = NameList();
    m_consumerFolder = index;
    m_workersWake.notify_all(); // the folder bound moved
    m_resultReady.wait(
        lock, [&] { return m_stopped || m_states[std::size_t(index)] != FolderState::Pending; });
    if (m_stopped || m_states[std::size_t(index)] != FolderState::Reading)
        return false;
    m_consumerLeft = m_folders[std::size_t(index)].files.count();
    return true;
}

bool TagReadAhead::takeTag(char out[TagSize], ID3v2Fields* id3v2) {
    std::unique_lock lock(m_mutex);
    if (m_consumerLeft <= 0)
        return false;
    Slot& slot = m_ring[std::size_t(m_takenSequence % static_cast<long long>(m_ring.size()))];
    m_resultReady.wait(lock, [&] { return m_stopped || slot.ready; });
    if (m_stopped) {
        m_consumerLeft = 0;
        return false;
    }
    const bool read = slot.read;
    if (read)
        std::memcpy(out, slot.tag, TagSize);
    if (slot.hasID3v2) {
        if (id3v2)
            *id3v2 = std::move(slot.id3v2);
        slot.id3v2 = {};
        slot.hasID3v2 = false;
    }
    slot.ready = false;
    ++m_takenSequence;
    --m_consumerLeft;
    m_workersWake.notify_one(); // room for one more
    return read;
}

void TagReadAhead::skipFolder() {
    char ignored[TagSize];
    while (m_consumerLeft > 0) // takeTag counts down, or ends it once stopped
        takeTag(ignored);
}

} // namespace sonavue
