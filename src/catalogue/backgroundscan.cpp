// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/backgroundscan.h"

#include "catalogue/folderscan.h"

#include <QThread>
#include <cstring>

namespace sonavue {
namespace {

// The scan's pauses are where it learns that it is no longer wanted.
class StopWatch : public ScanObserver {
public:
    StopWatch(FolderScan& scan, const std::atomic<bool>& stop) : m_scan(scan), m_stop(stop) {}
    void letEventsRun() override {
        if (m_stop.load() && !m_stopped) {
            m_stopped = true;
            m_scan.stop();
        }
    }

private:
    FolderScan& m_scan;
    const std::atomic<bool>& m_stop;
    bool m_stopped = false;
};

} // namespace

namespace {

char16_t unitAt(const TextPiece& piece, qsizetype i) {
    return piece.wide ? static_cast<const char16_t*>(piece.data)[i]
                      : char16_t(static_cast<const unsigned char*>(piece.data)[i]);
}

bool samePiece(const TextPiece& a, const TextPiece& b) {
    if (a.size != b.size)
        return false;
    if (a.wide == b.wide)
        return std::memcmp(a.data, b.data, std::size_t(a.size) * (a.wide ? 2 : 1)) == 0;
    for (qsizetype i = 0; i < a.size; ++i)
        if (unitAt(a, i) != unitAt(b, i))
            return false;
    return true;
}

// Compared where the texts lie; pieces split differently are compared as strings.
bool sameCell(const Catalogue& a, const Catalogue& b, int column, int row) {
    const CellPieces x = a.cellPieces(column, row);
    const CellPieces y = b.cellPieces(column, row);
    if (x.count == y.count) {
        bool same = true;
        for (int k = 0; k < x.count && same; ++k)
            same = samePiece(x.pieces[k], y.pieces[k]);
        if (same)
            return true;
    }
    return a.cell(column, row) == b.cell(column, row);
}

} // namespace

bool sameRows(const Catalogue& a, const Catalogue& b) {
    const int rows = a.rowCount();
    if (rows != b.rowCount())
        return false;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < ColReserved; ++column)
            if (!sameCell(a, b, column, row))
                return false;
    return true;
}

bool sameStamps(const Catalogue& a, const Catalogue& b) {
    const int rows = a.rowCount();
    if (rows != b.rowCount())
        return false;
    for (int row = 0; row < rows; ++row)
        if (a.stamp(row) != b.stamp(row))
            return false;
    return true;
}

bool sameLibrary(const Catalogue& catalogue, const GroupLists& groups,
                 const ScannedLibrary& scanned) {
    for (int g = 0; g < GroupCount; ++g)
        if (groups[g].entries() != scanned.groups[g].entries())
            return false;
    return sameRows(catalogue, scanned.catalogue);
}

BackgroundScan::BackgroundScan(QObject* parent) : QObject(parent) {}

BackgroundScan::~BackgroundScan() {
    stop();
}

void BackgroundScan::stop() {
    ++m_generation; // a result already on its way is dropped
    m_stop->store(true);
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundScan::start(const Request& request) {
    stop();
    m_stop = std::make_shared<std::atomic<bool>>(false);
    const int generation = m_generation;
    QThread* const home = thread();
    m_thread = std::thread([this, request, generation, home, stopFlag = m_stop] {
        auto library = std::make_shared<ScannedLibrary>();
        FolderScan scan(library->catalogue, library->groups);
        scan.setTagReading(request.reading);
        // Files the rows shown hold unchanged are not read again.
        if (request.shown)
            scan.setKnownFiles(std::make_shared<const KnownFiles>(request.shown));
        StopWatch watch(scan, *stopFlag);
        const FolderScan::Result result =
            scan.run(request.musicFolder, request.folderPrefix, request.pattern, watch);
        if (result == FolderScan::Result::Finished && !stopFlag->load()) {
            library->catalogue.squeeze();
            // A file touched but read the same is a change too: its new stamp is kept, or it
            // would be read again at every look.
            library->changed = !request.shown || !sameRows(*request.shown, library->catalogue) ||
                               !sameStamps(*request.shown, library->catalogue);
            if (library->changed && request.whenChanged)
                request.whenChanged(library->catalogue);
            // The lists are models: they live on with the window's thread from now on.
            for (int g = 0; g < GroupCount; ++g)
                library->groups[g].moveToThread(home);
            // Dropped unread when this object is gone first (it joins this thread before).
            QMetaObject::invokeMethod(
                this,
                [this, library, generation] {
                    if (generation == m_generation)
                        emit finished(library);
                },
                Qt::QueuedConnection);
        }
    });
}

} // namespace sonavue
