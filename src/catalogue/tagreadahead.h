// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Reads the trailing tag bytes of the walk's music files on worker threads, ahead of the
// thread that builds the rows, which takes the results strictly in listing order. On a
// cold cache a scan mostly waits on the disk, one file at a time; a disk serves many
// requests at once. The workers touch only the files and their own bookkeeping: never
// the catalogue or the group lists.
#include "catalogue/knownfiles.h"
#include "catalogue/nativefolder.h"
#include "catalogue/workerthreads.h"
#include "tags/filetags.h"
#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace sonavue {

// How the read-ahead runs; the defaults suit the scan.
struct ReadAheadOptions {
    // Auto: chosen by the scan from how long the walk's own folder listings took
    // (scanthreads.h). 0 reads every tag on the row-building thread, as a scan without
    // read-ahead.
    static constexpr int Auto = -1;
    int threads = Auto;
    // Threads listing folders ahead of the walk. Auto: none while the walk's own listings
    // come from memory, scanthreads::ColdListers once they are seen waiting on the disk.
    int listingThreads = Auto;
    // Results read but not yet taken, at most (bounds the memory whatever the library).
    int capacity = 4096;
    // MP3s' ID3v2 tags are read too (from the same open file).
    bool id3v2 = false;
    // The opt-in file types whose container tags are read (ExtraType bits).
    unsigned extraTypes = 0;
    // The library being brought up to date: a file it holds with the same stamp is not read
    // (takeTag gives its row there instead).
    std::shared_ptr<const KnownFiles> known;
    // Test seam: runs on a worker just before it opens a file (folder path, file name).
    std::function<void(const QByteArray& folder, const char* name)> beforeRead;
};

// One music folder as the walk left it: where it is, what its entries were and the
// music files it listed.
struct WalkedFolder {
    QByteArray path;
    QString text; // the path as the rows hold it, with a final '/' (for the known library)
    NativeFolder::Stamp stamp;
    NameList files;
    bool listed = false; // false: the walk has no listing of it (the reader lists it anew)
};

class TagReadAhead {
public:
    // Starts the workers on folders, in that order.
    TagReadAhead(std::vector<WalkedFolder> folders, const ReadAheadOptions& options);
    ~TagReadAhead(); // stops and joins the workers
    TagReadAhead(const TagReadAhead&) = delete;
    TagReadAhead& operator=(const TagReadAhead&) = delete;

    // The walk's record of folder index (valid until the next beginFolder).
    const WalkedFolder& walked(int index) const { return m_folders[std::size_t(index)]; }

    // Moves to folder index (each index once, ascending). True when the workers are
    // reading its files as listed in walked(index): take each with takeTag, or
    // skipFolder them all. False when they are not (the folder was changed, or could
    // not be opened again) or the read-ahead is stopped: the caller reads it itself.
    bool beginFolder(int index);
    // The next file's tags, in listing order: its trailing 128 bytes (out.tailRead false
    // when they could not be read, or the read-ahead is stopped), its ID3v2 texts (empty
    // unless the options ask for them) and its stamp. keptRow, when given, takes the known
    // library's row of a file not read because it has not changed (-1 for a file read).
    // Returns out.tailRead.
    bool takeTag(FileTagBytes& out, int* keptRow = nullptr);
    // Drops the results of the folder begun (its entries changed since the workers read).
    void skipFolder();

    // Ends the workers now (a newer scan, or the window going away); later calls return
    // false at once. Safe to call more than once.
    void stop();
    // How many workers are running (for tests: none after stop()).
    int runningWorkers() const;

private:
    enum class FolderState { Pending, Reading, NotRead };
    struct Slot {
        char tag[TagSize];
        ID3v2Fields id3v2;
        FileStamp stamp;
        int keptRow = -1;
        bool hasID3v2 = false;
        bool read = false;
        bool ready = false; // set under the lock; then the slot is the row thread's
    };
    struct Batch; // consecutive files of one folder, read by one worker

    void work();
    bool nextBatch(std::unique_lock<std::mutex>& lock, Batch& batch);
    bool shouldPrepare() const;
    void prepareFolder(std::unique_lock<std::mutex>& lock);
    bool dispatchFilesLeft();
    void readBatch(Batch& batch);
    Slot& slotAt(long long sequence) {
        return m_ring[std::size_t(sequence % static_cast<long long>(m_ring.size()))];
    }
    // Under the lock: hands back the slots taken so far and waits for the next result.
    bool waitForResults(std::unique_lock<std::mutex>& lock);
    void handBackTaken(bool rowThreadWillWait);
    bool enoughReadyToWake();
    void seeReadyResults();

    std::vector<WalkedFolder> m_folders;
    const ReadAheadOptions m_options;

    mutable std::mutex m_mutex;
    std::condition_variable m_workersWake; // room in the ring, or a folder opened or to open
    std::condition_variable m_resultReady; // a slot or a folder state for the row thread
    std::vector<Slot> m_ring;
    std::vector<FolderState> m_states;
    // The workers' side: the folder being handed out, its open handle and next file, and
    // the folders opened and checked after it, to be handed out in turn.
    struct PreparedFolder {
        int index = 0;
        std::shared_ptr<NativeFolder> handle;
    };
    int m_nextFolder = 0;
    int m_dispatchFolder = -1;
    int m_nextFile = 0;
    std::shared_ptr<NativeFolder> m_dispatchHandle;
    std::deque<PreparedFolder> m_prepared;
    ParentFolder m_parentFolder; // used by the one worker preparing a folder
    bool m_preparing = false;
    long long m_nextSequence = 0;
    long long m_handedBack = 0; // slots the row thread has taken and handed back
    int m_workersWaiting = 0;
    int m_workersWaitingForRowThread = 0; // of those waiting: for room, or the row thread
    int m_batchesReading = 0;             // handed out and not yet marked ready
    bool m_rowThreadWaiting = false;
    // The row thread's side, touched by it alone: results it has seen ready (to take
    // without the lock) end at m_visibleEnd.
    int m_consumerFolder = -1;
    int m_consumerLeft = 0; // files of the folder begun still to take
    long long m_takenSequence = 0;
    long long m_visibleEnd = 0;
    std::atomic<bool> m_stopped{false};
    WorkerThreads m_workers;
};

} // namespace sonavue
