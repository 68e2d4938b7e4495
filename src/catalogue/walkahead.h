#pragma once
// Lists the music folder's subfolders on worker threads ahead of the walk. The walk still
// goes through the tree in its own order, on its own thread, and decides everything (which
// folders it enters, which it leaves out); it only takes each folder's listing from the
// workers when they have made it, instead of waiting for the file system itself. Folders
// are listed the way the walk goes, depth first, so the listing it asks for next is
// usually ready or being made.
#include "catalogue/filelisting.h"
#include "catalogue/nativefolder.h"
#include "catalogue/pseudofilesystem.h"
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace sonavue {

// How long folder listings took, and so whether the disk was waited for.
class DiskPace {
public:
    void addListing(std::chrono::steady_clock::duration took) {
        m_time += took;
        ++m_folders;
    }
    void addEntries(long long entries) { m_entries += entries; }
    int foldersListed() const { return m_folders; }
    // A folder listed from memory takes microseconds; one the disk must be asked for takes
    // a good part of a millisecond or more. A big folder takes longer from memory too:
    // every 64 entries count as one more folder, so that folders of a thousand files read
    // from memory are not taken for a cold disk.
    bool waitedForTheDisk() const {
        constexpr auto ColdListing = std::chrono::microseconds(60);
        constexpr long long EntriesPerFolder = 64;
        const long long weight = m_folders + m_entries / EntriesPerFolder;
        return weight > 0 && m_time / weight >= ColdListing;
    }

private:
    std::chrono::steady_clock::duration m_time{};
    int m_folders = 0;
    long long m_entries = 0;
};

// One folder as listed for the walk.
struct FolderListing {
    enum class Outcome {
        Unreadable,   // could not be opened, or gave no stamp
        NotEntered,   // on a pseudo file system
        ListedBefore, // opened, but a worker had already listed it by another path: not read
        Listed,
    };
    Outcome outcome = Outcome::Unreadable;
    NativeFolder::Stamp stamp;
    NameList files;
    NameList subfolders;
    std::chrono::steady_clock::duration took{}; // opening and reading, for the disk's pace
};

// Opens and reads the folder at path: its music files (by pattern) and subfolders.
// readIf, when given, decides from the stamp whether the folder is read at all
// (ListedBefore when not).
template <class ReadIf>
FolderListing listFolder(const QByteArray& path, const FilePattern& pattern,
                         FileSystemFilter& fileSystems, ReadIf readIf) {
    const auto started = std::chrono::steady_clock::now();
    FolderListing out;
    {
        NativeFolder folder(path);
        if (!folder.isOpen() || !folder.stamp(out.stamp))
            out.outcome = FolderListing::Outcome::Unreadable;
        else if (!fileSystems.mayEnter(folder.fd(), out.stamp.device))
            out.outcome = FolderListing::Outcome::NotEntered;
        else if (!readIf(out.stamp))
            out.outcome = FolderListing::Outcome::ListedBefore;
        else {
            folder.read(&pattern, &out.files, &out.subfolders);
            out.outcome = FolderListing::Outcome::Listed;
        }
    }
    out.took = std::chrono::steady_clock::now() - started;
    return out;
}

class WalkAhead {
public:
    // Subfolders deeper than maxDepth below the music folder, or with longer paths than
    // maxPathBytes, are left to the walk (which leaves them out).
    struct Limits {
        int maxDepth = 0;
        int maxPathBytes = 0;
    };
    // No worker runs until startWorkers(): until then take() lists every folder itself.
    WalkAhead(const FilePattern& pattern, Limits limits, int capacity = 4096);
    ~WalkAhead(); // stops and joins the workers
    WalkAhead(const WalkAhead&) = delete;
    WalkAhead& operator=(const WalkAhead&) = delete;

    // The listing of the folder at path, depth levels below the music folder: the
    // workers' when they have made it or are making it, else made here. Its subfolders
    // are then listed ahead. A folder the workers had listed by another path comes back
    // ListedBefore: the walk lists it itself if it needs it.
    // readIf decides, when the listing is made here, whether the folder is read at all.
    FolderListing take(const QByteArray& path, int depth,
                       const std::function<bool(const NativeFolder::Stamp&)>& readIf);

    // Starts the workers (once); they list ahead from the next folder take() lists itself.
    void startWorkers(int threads);
    bool workersStarted() const { return !m_workers.empty(); }

    // Ends the workers now; take() then lists everything itself. Safe to call twice.
    void stop();
    int runningWorkers() const;

private:
    enum class State { Pending, Listing, Done };
    struct Entry {
        State state = State::Pending;
        int depth = 0;
        FolderListing listing;
    };
    using FolderId = std::pair<quint64, quint64>;

    void work();
    bool nextFolder(std::unique_lock<std::mutex>& lock, QByteArray& path, int& depth);
    // Under the lock: the subfolders of a folder just listed are to be listed next.
    void listSubfoldersNext(const QByteArray& path, int depth, const NameList& subfolders);
    // Under the lock: true when no listing of this folder has been made before.
    bool firstListing(const NativeFolder::Stamp& stamp);

    const FilePattern& m_pattern;
    const Limits m_limits;
    const int m_capacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_workersWake; // a folder to list, room, or the end
    std::condition_variable m_listed;      // a listing the walk waits for is made
    QHash<QByteArray, Entry> m_entries;
    std::vector<QByteArray> m_toList; // the last pushed is listed first
    QSet<FolderId> m_listedIds;
    int m_done = 0; // listings made and not yet taken
    bool m_stopped = false;
    int m_running = 0;
    FileSystemFilter m_fileSystems; // the walk thread's
    std::vector<std::thread> m_workers;
};

} // namespace sonavue
