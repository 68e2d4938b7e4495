// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The folder scan: walks the music folder, reads every music file's trailing tag, fills
// the catalogue and the five value group lists. Toolkit-independent: the window binds
// the observer to its progress bars, lists and QCoreApplication::processEvents.
#include "catalogue/catalogue.h"
#include "catalogue/filelisting.h"
#include "catalogue/grouplists.h"
#include "catalogue/knownfiles.h"
#include "catalogue/scanrows.h"
#include "catalogue/scanworkers.h"
#include "catalogue/tagreadahead.h"
#include "tags/tagreading.h"

namespace sonavue {

class ScanObserver {
public:
    virtual ~ScanObserver() = default;
    // A yield point: the window lets pending events run here.
    virtual void letEventsRun() {}
    // The folder list is complete and has entries: select its first entry.
    virtual void selectFirstFolder() {}
    // Tag reading starts: show the progress bars; folderCount is Progress1's maximum.
    virtual void readingStarted(int folderCount) { (void)folderCount; }
    // Folder index starts; Progress2's maximum is fileCount + 1.
    virtual void folderStarted(int index, int fileCount) {
        (void)index;
        (void)fileCount;
    }
    // File fileIndex of the current folder has its row (Progress2's value).
    virtual void fileRead(int fileIndex) { (void)fileIndex; }
    // Folder index is read (Progress1's value).
    virtual void folderRead(int index) { (void)index; }
    // Tag reading is over: hide the progress bars.
    virtual void readingFinished() {}
};

class FolderScan {
public:
    enum class Result { Finished, Superseded };

    FolderScan(Catalogue& catalogue, GroupLists& groups);
    ~FolderScan();

    // The scan: empties the group lists, walks the folders, then empties the catalogue and
    // reads the tags into it (the last scan's rows serve until the walk is over). The window
    // then selects the Folder tab and the folder list's entry itself. A scan started from
    // inside a yield of a running scan supersedes it: the running one returns Superseded at
    // its next yield and never touches the catalogue again.
    Result run(const QString& musicFolder, const QString& folderPrefix, const FilePattern& pattern,
               ScanObserver& observer);
    bool running() const { return m_depth > 0; }
    // While the program is still starting: brings musicFolder's folders and tags (files
    // matching pattern) into the page cache on background threads, if the disk turns out
    // to be cold. The next run() or stop() ends it first.
    void warmUp(const QString& musicFolder, const QString& pattern);
    // A running scan gives way at its next yield, as to a newer scan (Superseded); its
    // tag readers are ended before this returns.
    void stop();

    // Subfolders the last walk left out for being too deep (over 1,024 levels below the
    // music folder) or too long a path (over 32 KiB); the walk names the first on stderr.
    int foldersBeyondLimits() const { return m_beyondLimits; }

    // How often the reading loop yields inside a large folder (after complete rows only).
    void setYieldIntervalMs(int ms) { m_yieldIntervalMs = ms; }
    // How the tags are read ahead of the rows (the next scan on).
    void setReadAhead(const ReadAheadOptions& options) { m_readAheadOptions = options; }
    // How tags are read: the code page of ID3v1 text, and whether MP3s' ID3v2 tags count.
    void setTagReading(const TagReading& reading) { m_reading = reading; }
    // The library that the next scans bring up to date (scanned with the same pattern and tag
    // reading): a file it holds whose stamp is the same is not read again, its row is taken
    // from there. Null: every file is read.
    void setKnownFiles(std::shared_ptr<const KnownFiles> known) { m_known = std::move(known); }
    // Folder listers and tag readers of the running scan still alive (none once it is
    // stopped or superseded).
    int runningReaders() const;

private:
    // One run of the scan; it gives way as soon as a newer run has started.
    struct Pass;
    Catalogue& m_catalogue;
    GroupLists& m_groups;
    SeenGroupValues m_seen;
    int m_generation = 0;
    int m_depth = 0;
    int m_yieldIntervalMs = 20;
    int m_beyondLimits = 0;
    ReadAheadOptions m_readAheadOptions;
    TagReading m_reading;
    std::shared_ptr<const KnownFiles> m_known;
    ScanWorkers m_workers;
};

} // namespace sonavue
