// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/folderscan.h"

#include "base/nativepath.h"
#include "base/report.h"
#include "catalogue/diskpace.h"
#include "catalogue/enteredfolders.h"
#include "catalogue/nativefolder.h"
#include "catalogue/pseudofilesystem.h"
#include "catalogue/scanrows.h"
#include "catalogue/scanthreads.h"
#include "catalogue/walkahead.h"
#include "tags/codepagechoice.h"
#include "tags/containertags.h"
#include "tags/filetags.h"
#include <QHash>
#include <algorithm>
#include <chrono>
#include <climits>
#include <optional>
#include <utility>

namespace sonavue {
namespace {

using Clock = std::chrono::steady_clock;

// The walk goes down by recursion, and every level holds its path: these bound the stack
// and the memory (which grows with depth times path length) against a tree built to be
// endless. Paths past PATH_MAX are walked (folders are opened piece by piece).
constexpr int MaxWalkDepth = 1024;
constexpr int MaxWalkPathBytes = 8 * PATH_MAX;
constexpr WalkAhead::Limits WalkLimits{MaxWalkDepth, MaxWalkPathBytes};
// Levels of the walk that hold their folder open for the folders below (one descriptor
// each, far below any process's limit).
constexpr int HeldFolderLevels = 64;

// A music folder's listing from the walk, used again by the reading loop when the
// folder's entries have not changed since (its change time is the same): the folder is
// then not read a second time.
struct KeptListing {
    QByteArray path; // the folder the walk listed
    NativeFolder::Stamp stamp;
    NameList files;
};

} // namespace

struct FolderScan::Pass {
    Pass(FolderScan& owner, ScanObserver& watcher, const FilePattern& files,
         const QString& folderPrefix, int passGeneration, int passWorkersScan, int intervalMs)
        : scan(owner), observer(watcher), pattern(files), prefix(folderPrefix),
          generation(passGeneration), workersScan(passWorkersScan),
          interval(std::chrono::milliseconds(std::max(0, intervalMs))),
          codePage(owner.m_reading.codePage), id3v2(owner.m_reading.id3v2),
          extraTypes(owner.m_reading.extraTypes) {}

    FolderScan& scan;
    ScanObserver& observer;
    const FilePattern& pattern;
    const QString prefix;
    const int generation;
    const int workersScan; // this pass's number with the scan's workers
    const Clock::duration interval;
    // ID3v1 text's code page, or auto's choice for each record (and its folder).
    const TagCodePage codePage;
    const bool id3v2;          // MP3s' ID3v2 tags fill in what ID3v1 says
    const unsigned extraTypes; // opt-in file types whose container tags are read
    // The library brought up to date, whose unchanged files are not read; may be null.
    const std::shared_ptr<const KnownFiles> known = scan.m_known;
    Clock::time_point lastYield = Clock::now();
    ScanRowWriter rows{scan.m_catalogue, scan.m_groups, scan.m_seen};

    // The walk's listings of the music folders, by folder-list entry, until the reading
    // starts; then the tag readers own them.
    QHash<QString, KeptListing> kept;
    // Shared with the scan's workers' owner, which stops them when a newer scan begins.
    std::shared_ptr<TagReadAhead> reader;
    // Lists folders ahead of the walk once the disk is seen to be slow.
    std::shared_ptr<WalkAhead> walkAhead;
    // Every folder the walk has entered, and which file systems it may enter.
    EnteredFolders enteredFolders;
    FileSystemFilter fileSystems;
    int beyondLimits = 0;
    QByteArray firstBeyondLimits;
    // Time spent opening and listing folders during the walk (not in its pauses), and how
    // many were listed: whether the disk was waited for.
    DiskPace pace;
    // The reading loop's folders are opened and looked at from their parent.
    ParentFolder parentFolder;

    bool current() const { return scan.m_generation == generation; }

    // A yield point: pending window events run; false once a newer scan has started.
    bool yield() {
        observer.letEventsRun();
        lastYield = Clock::now();
        return current();
    }

    bool yieldIfDue() {
        if (Clock::now() - lastYield < interval)
            return true;
        return yield();
    }

    // Walks folder and everything below it; folders whose listing holds at least one
    // music file join the folder list (each after the folders below it). A folder that
    // cannot be read is skipped, and so is one on a pseudo file system (/proc, /sys, ...)
    // and one this scan has already entered by another path: a web of links, however
    // many routes it offers, costs one visit per real folder, and that folder is listed
    // under the path that reached it first. False when a newer scan has started.
    bool walk(const QByteArray& path, const QString& entry, int depth, int parentFd = -1,
              const char* name = nullptr) {
        if (!yield())
            return false;
        const auto notEnteredYet = [this](const NativeFolder::Stamp& stamp) {
            return !enteredFolders.contains(stamp);
        };
        // Held open while the folders below are walked, which are opened from it; the
        // deepest levels go by path, so that a deep tree holds few descriptors.
        std::unique_ptr<NativeFolder> open;
        std::unique_ptr<NativeFolder>* const keepOpen = depth < HeldFolderLevels ? &open : nullptr;
        const FolderPlace place(path, parentFd, name);
        FolderListing listing = walkAhead->take(place, depth, notEnteredYet, keepOpen);
        pace.addListing(listing.took);
        listAheadIfTheDiskIsSlow();
        if (listing.outcome == FolderListing::Outcome::Unreadable ||
            listing.outcome == FolderListing::Outcome::NotEntered ||
            !enteredFolders.enter(listing.stamp))
            return true;
        if (listing.outcome == FolderListing::Outcome::ListedBefore) {
            // The workers met this folder first by another path; the walk meets it here
            // first, so it is listed under this path.
            const NativeFolder::Stamp first = listing.stamp;
            listing = listFolder(
                place, pattern, fileSystems, [](const auto&) { return true; }, keepOpen);
            if (listing.outcome != FolderListing::Outcome::Listed ||
                !listing.stamp.sameFolder(first))
                return true;
        }
        NameList& subfolders = listing.subfolders;
        pace.addEntries(listing.files.count() + subfolders.count());
        const int fd = open ? open->fd() : -1;
        for (int k = subfolders.count() - 1; k >= 0; --k) {
            const QString childEntry = entry + subfolders.name(k) + QLatin1Char('/');
            const QByteArray childPath =
                joinNative(path, subfolders.native(k), std::size_t(subfolders.nativeSize(k)));
            if (depth >= MaxWalkDepth || childPath.size() > MaxWalkPathBytes) {
                noteBeyondLimits(childPath);
                continue;
            }
            if (!walk(childPath, childEntry, depth + 1, fd, subfolders.native(k)))
                return false;
        }
        if (!listing.files.isEmpty()) {
            listing.files.releaseNames();
            // emplace: insert() would copy the listing
            kept.emplace(entry, KeptListing{path, listing.stamp, std::move(listing.files)});
            scan.m_groups[GroupFolder].add(entry);
        }
        return true;
    }

    // From memory the walk lists folders faster alone than with helpers handing listings
    // over; once its listings show that the disk is being waited for, folders are listed
    // ahead on worker threads.
    void listAheadIfTheDiskIsSlow() {
        if (scan.m_readAheadOptions.listingThreads != ReadAheadOptions::Auto ||
            walkAhead->workersStarted() || pace.foldersListed() % DiskPace::FoldersToJudge != 0)
            return;
        if (pace.waitedForTheDisk() && pace.mostRecentListingsWaited())
            walkAhead->startWorkers(scanthreads::ColdListers);
    }

    // A folder past the walk's limits: counted, and the first one named on stderr at
    // the end of the walk.
    void noteBeyondLimits(const QByteArray& path) {
        if (beyondLimits++ == 0) // its own name is at the end: that part is shown
            firstBeyondLimits = path.size() > 200 ? "..." + path.right(200) : path;
    }

    void reportBeyondLimits() const {
        if (beyondLimits == 0)
            return;
        reportLine(QStringLiteral("%1 folder(s) deeper than %2 levels or with paths longer than %3 "
                                  "bytes are not catalogued, such as %4")
                       .arg(beyondLimits)
                       .arg(MaxWalkDepth)
                       .arg(MaxWalkPathBytes)
                       .arg(readableText(pathFromNative(firstBeyondLimits))));
    }

    // File j of folderPath's tags, from the read-ahead (takeAhead) or read here from the open
    // folder. A file the known library holds unchanged is not read: its row there is
    // returned, else -1.
    int readTags(const NameList& files, int j, const std::optional<NativeFolder>& folder,
                 bool takeAhead, const QString& folderPath, FileTagBytes& tags) {
        int keptRow = -1;
        if (takeAhead) {
            reader->takeTag(tags, &keptRow);
            return keptRow;
        }
        if (known)
            keptRow =
                known->unchangedRow(folder->fd(), folderPath, files.native(j), files.nativeSize(j));
        if (keptRow < 0)
            readTagsHere(folder->fd(), files, j, tags);
        return keptRow;
    }

    void readTagsHere(int folderFd, const NameList& files, int j, FileTagBytes& tags) const {
        // The listing has already seen a regular file; the read checks again after opening.
        readFileTagsAt(
            folderFd, files.native(j), /*knownRegular=*/true,
            id3v2 && isMp3Name(files.native(j), files.nativeSize(j)), tags,
            extraTypes ? extraTypes & extraTypeOfName(files.native(j), files.nativeSize(j)) : 0);
    }

    void writeRow(const QString& folderPath, const NameList& files, int j, int keptRow,
                  const FileTagBytes& tags, TagCodePage rowPage) {
        if (keptRow >= 0)
            return rows.writeKnown(folderPath, files, j, known->catalogue(), keptRow);
        rows.write(folderPath, files, j, tags.tailRead ? tags.tail : nullptr, tags.id3v2, rowPage);
        scan.m_catalogue.setStamp(scan.m_catalogue.rowCount() - 1, tags.stamp);
    }

    // Reads and writes the folder's rows one file at a time. False when superseded.
    bool writeRows(const QString& folderPath, const NameList& files,
                   const std::optional<NativeFolder>& folder, bool takeAhead) {
        for (int j = 0; j < files.count(); ++j) {
            FileTagBytes tags;
            const int keptRow = readTags(files, j, folder, takeAhead, folderPath, tags);
            if (!current()) // a stopped read-ahead has no more tags
                return false;
            writeRow(folderPath, files, j, keptRow, tags, codePage);
            observer.fileRead(j);
            if (!current() || !yieldIfDue())
                return false;
        }
        return true;
    }

    // codepage=auto: reads all the folder's tags first, for the folder's choice of code page
    // (kept for the readers of one file), then writes the rows. False when superseded.
    bool writeJudgedRows(const QString& folderPath, const NameList& files,
                         const std::optional<NativeFolder>& folder, bool takeAhead,
                         const QByteArray& nativeFolder) {
        std::vector<FileTagBytes> tags(std::size_t(files.count()));
        std::vector<int> keptRows(std::size_t(files.count()));
        for (int j = 0; j < files.count(); ++j) {
            FileTagBytes& t = tags[std::size_t(j)];
            keptRows[std::size_t(j)] = readTags(files, j, folder, takeAhead, folderPath, t);
            t.id3v2.frontCover.reset(); // not shown by the catalogue: no need to hold it
            if (!current() || !yieldIfDue())
                return false;
        }
        // Every record of the folder decides its code page: unless the folder holds just the
        // files it held, all unchanged, the unchanged ones are read after all.
        const bool allKept =
            known && files.count() == known->rowsIn(folderPath) &&
            std::all_of(keptRows.begin(), keptRows.end(), [](int row) { return row >= 0; });
        if (!allKept)
            readKeptTags(files, folder, nativeFolder, keptRows, tags);
        std::vector<const char*> records;
        for (const FileTagBytes& t : tags)
            if (t.tailRead)
                records.push_back(t.tail);
        const TagCodePage folderPage = autoFolderCodePage(records);
        NativeFolder::Stamp stamp;
        if (!allKept && NativeFolder::stampOf(nativeFolder, stamp))
            rememberFolderCodePage(stamp.device, stamp.inode, folderPage);
        for (int j = 0; j < files.count(); ++j) {
            const FileTagBytes& t = tags[std::size_t(j)];
            const TagCodePage rowPage =
                t.tailRead ? autoRecordCodePage(t.tail, folderPage) : folderPage;
            writeRow(folderPath, files, j, keptRows[std::size_t(j)], t, rowPage);
            observer.fileRead(j);
            if (!current() || !yieldIfDue())
                return false;
        }
        return true;
    }

    // The tags of the files left unread because the known library holds them unchanged.
    void readKeptTags(const NameList& files, const std::optional<NativeFolder>& folder,
                      const QByteArray& nativeFolder, std::vector<int>& keptRows,
                      std::vector<FileTagBytes>& tags) {
        std::optional<NativeFolder> opened;
        for (int j = 0; j < files.count(); ++j) {
            if (keptRows[std::size_t(j)] < 0)
                continue;
            if (!folder && !opened)
                opened.emplace(nativeFolder);
            readTagsHere(folder ? folder->fd() : opened->fd(), files, j, tags[std::size_t(j)]);
            tags[std::size_t(j)].id3v2.frontCover.reset();
            keptRows[std::size_t(j)] = -1;
        }
    }

    // Reads folder-list entry i: one row per listed music file. False when superseded.
    bool readFolder(int i) {
        const QString folderPath = prefix + scan.m_groups[GroupFolder].at(i);
        const bool readAhead = reader->beginFolder(i);
        const WalkedFolder& walked = reader->walked(i);
        // The scan's own listing: nothing done during its pauses changes these files. The
        // walk's listing serves when the folder's entries have not changed since. With the
        // tags read ahead, a look at the folder's stamp is enough to know; the folder is
        // opened only to be read here.
        NativeFolder::Stamp now;
        const FolderPlace place = parentFolder.placeOf(walked.path);
        bool unchanged =
            readAhead && NativeFolder::stampOf(place, now) && now.sameEntries(walked.stamp);
        std::optional<NativeFolder> folder;
        if (!unchanged) {
            folder.emplace(place);
            unchanged = walked.listed && folder->stamp(now) && now.sameEntries(walked.stamp);
        }
        NameList listedNow;
        if (!unchanged)
            folder->read(&pattern, &listedNow, nullptr);
        const NameList& files = unchanged ? walked.files : listedNow;
        if (readAhead && !unchanged)
            reader->skipFolder(); // read from a listing that no longer holds
        const bool takeAhead = readAhead && unchanged;
        if (!yield())
            return false;
        observer.folderStarted(i, files.count());
        if (!current())
            return false;
        const bool written =
            codePage == TagCodePage::Auto
                ? writeJudgedRows(folderPath, files, folder, takeAhead, walked.path)
                : writeRows(folderPath, files, folder, takeAhead);
        if (!written)
            return false;
        observer.folderRead(i);
        if (!current())
            return false;
        return yield();
    }

    // Hands the walk's listings, in folder-list order, to the tag readers and starts them.
    void startReadAhead(const GroupList& folders) {
        std::vector<WalkedFolder> walked(std::size_t(folders.count()));
        for (int i = 0; i < folders.count(); ++i) {
            const QString& entry = folders.at(i);
            WalkedFolder& w = walked[std::size_t(i)];
            if (known)
                w.text = prefix + entry;
            const auto keptIt = kept.find(entry);
            if (keptIt == kept.end()) {
                w.path = pathToNative(prefix + entry);
                continue;
            }
            w.path = std::move(keptIt->path);
            w.stamp = keptIt->stamp;
            w.files = std::move(keptIt->files);
            w.listed = true;
        }
        kept.clear();
        ReadAheadOptions options = scan.m_readAheadOptions;
        if (options.threads == ReadAheadOptions::Auto)
            options.threads = scanthreads::readers(pace.waitedForTheDisk(), id3v2 || extraTypes);
        options.id3v2 = id3v2;
        options.extraTypes = extraTypes;
        options.known = known;
        reader = scan.m_workers.startReading(std::move(walked), options);
    }

    ~Pass() { scan.m_workers.endScan(workersScan); }

    Result run(const QString& musicFolder) {
        for (int g = 0; g < GroupCount; ++g)
            scan.m_groups[g].clear();
        scan.m_seen.clear();

        walkAhead = scan.m_workers.startListing(pattern, WalkLimits,
                                                scan.m_readAheadOptions.listingThreads);
        const bool walked = walk(pathToNative(musicFolder), QString(), 0);
        if (!walked)
            return Result::Superseded;
        scan.m_workers.endListing(); // the listers end before the tags are read
        walkAhead.reset();
        scan.m_beyondLimits = beyondLimits;
        reportBeyondLimits();
        // The rows of the last scan stay until the walk is over: the track list keeps showing
        // them, readable and playable, until it is refilled from the new rows.
        scan.m_catalogue.clear();

        // The folder list is complete before the first tag is read.
        GroupList& folders = scan.m_groups[GroupFolder];
        folders.publishPending();
        if (folders.count() == 0)
            return Result::Finished;
        startReadAhead(folders);
        observer.selectFirstFolder();
        if (!current())
            return Result::Superseded;
        observer.readingStarted(folders.count());
        if (!current())
            return Result::Superseded;
        for (int i = 0; i < folders.count(); ++i)
            if (!readFolder(i))
                return Result::Superseded;
        for (int g = 0; g < GroupCount; ++g)
            scan.m_groups[g].publishPending();
        observer.readingFinished();
        if (!current())
            return Result::Superseded;
        scan.m_catalogue.squeeze();
        return Result::Finished;
    }
};

FolderScan::FolderScan(Catalogue& catalogue, GroupLists& groups)
    : m_catalogue(catalogue), m_groups(groups) {}

FolderScan::~FolderScan() = default;

void FolderScan::warmUp(const QString& musicFolder, const QString& pattern) {
    m_workers.warmUp(pathToNative(musicFolder), pattern, WalkLimits);
}

void FolderScan::stop() {
    ++m_generation;
    m_workers.stop();
}

int FolderScan::runningReaders() const {
    return m_workers.running();
}

FolderScan::Result FolderScan::run(const QString& musicFolder, const QString& folderPrefix,
                                   const FilePattern& pattern, ScanObserver& observer) {
    // A running scan's workers end before the new one starts its own.
    const int workersScan = m_workers.beginScan();
    // A newer generation tells every older run, at its next yield, to give way.
    const int generation = ++m_generation;
    ++m_depth;
    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{m_depth};
    Pass pass(*this, observer, pattern, folderPrefix, generation, workersScan, m_yieldIntervalMs);
    return pass.run(musicFolder);
}

} // namespace sonavue
