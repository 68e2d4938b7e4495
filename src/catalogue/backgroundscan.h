// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The folder scan on a thread of its own, into a catalogue and group lists of its own: a kept
// library is brought up to date while the user browses the one shown, which the result then
// replaces in one step on the user-interface thread.
#include "catalogue/catalogue.h"
#include "catalogue/filepattern.h"
#include "catalogue/grouplists.h"
#include "tags/tagreading.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace sonavue {

// What a scan found: the rows and group lists it filled, and whether they differ from the
// rows it was asked to compare with.
struct ScannedLibrary {
    Catalogue catalogue;
    GroupLists groups;
    bool changed = true;
};

// Whether two catalogues hold the same rows (the group lists follow from the rows).
bool sameRows(const Catalogue& a, const Catalogue& b);
// Whether the files of two catalogues' rows have the same stamps.
bool sameStamps(const Catalogue& a, const Catalogue& b);
// Whether two libraries hold the same rows and the same group lists.
bool sameLibrary(const Catalogue& catalogue, const GroupLists& groups,
                 const ScannedLibrary& scanned);

class BackgroundScan : public QObject {
    Q_OBJECT
public:
    struct Request {
        QString musicFolder;
        QString folderPrefix;
        FilePattern pattern;
        TagReading reading;
        // The rows shown now, compared with on the scan's thread (null: always changed) and
        // taken from there for files whose stamps are the same (not read again), and
        // what is done there with rows that changed (keeping them, say) before they are given.
        std::shared_ptr<const Catalogue> shown;
        std::function<void(const Catalogue&)> whenChanged;
    };
    explicit BackgroundScan(QObject* parent = nullptr);
    // Stops a scan under way and waits for its thread.
    ~BackgroundScan() override;

    // Scans request's folder; a scan under way is stopped first, and its result never comes.
    void start(const Request& request);
    // A scan under way gives way at its next pause; its result never comes.
    void stop();

signals:
    // On this object's thread: the last started scan has ended, with what it found.
    void finished(std::shared_ptr<ScannedLibrary> library);

private:
    std::thread m_thread;
    // Shared with the scan's thread, which may outlive neither this object nor its flags.
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
    int m_generation = 0;
};

} // namespace sonavue
