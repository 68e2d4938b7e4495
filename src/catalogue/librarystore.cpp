// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/librarystore.h"

#include "base/filedescriptor.h"
#include "base/nativepath.h"
#include "base/report.h"
#include "catalogue/keptcatalogue.h"
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace sonavue {
namespace {

// How long a store another thread or process is writing is waited for.
constexpr int BusyTimeoutMs = 10000;
// A store neither read nor written for this long is of a folder or settings no longer used.
constexpr qint64 UnusedAfterSeconds = 30LL * 24 * 60 * 60;

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The store file, made first (mode 0600 whatever the umask: SQLite would make it 0644, and
// its journal takes the store's mode) when create is set.
Database openStore(const QString& path, bool create) {
    const QByteArray native = pathToNative(path);
    if (create) {
        const FileDescriptor fd(
            ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (fd.get() < 0 || ::fchmod(fd.get(), 0600) != 0)
            throw StoreFailure{StoreFailure::Unreadable, errnoText()};
    }
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(native.constData(), &raw,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    Database db(raw);
    checkSqlite(db.get(), code);
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), BusyTimeoutMs);
    return db;
}

// Makes folder and the folders above it as needed; folder ends with mode 0700 (it holds
// what the user listens to), whatever it had.
bool makeFolder(const QByteArray& folder) {
    for (qsizetype slash = folder.indexOf('/', 1); slash > 0;
         slash = folder.indexOf('/', slash + 1))
        if (::mkdir(folder.left(slash).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return ::chmod(folder.constData(), 0700) == 0;
}

// Moves the store and what SQLite keeps beside it out of the way (a journal left beside a
// new store would be played back into it); says how it went, for the one line reported.
QString setAside(const QString& path) {
    const QString aside = path + QStringLiteral(".damaged");
    QString outcome = QStringLiteral("set aside as %1").arg(readableText(aside));
    if (::rename(pathToNative(path).constData(), pathToNative(aside).constData()) != 0)
        outcome = QStringLiteral("cannot be set aside: %1").arg(errnoText());
    for (const char* suffix : {"-journal", "-wal"})
        ::rename(pathToNative(path + QLatin1String(suffix)).constData(),
                 pathToNative(aside + QLatin1String(suffix)).constData());
    ::unlink(pathToNative(path + QStringLiteral("-shm")).constData());
    return outcome;
}

// Removes the stores (and what was set aside) that went unused for UnusedAfterSeconds, but
// the one in use: the folder would otherwise grow with every music folder and code page tried.
void removeUnused(const QString& folder, const QString& inUse) {
    const QString used = QFileInfo(inUse).fileName();
    const qint64 before = QDateTime::currentSecsSinceEpoch() - UnusedAfterSeconds;
    const QFileInfoList stores =
        QDir(folder).entryInfoList({QStringLiteral("library-*")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& store : stores)
        if (store.fileName() != used && !store.fileName().startsWith(used + QLatin1Char('-')) &&
            store.lastModified().toSecsSinceEpoch() < before)
            ::unlink(pathToNative(store.filePath()).constData());
}

QString troubleText(const StoreFailure& failure) {
    switch (failure.kind) {
    case StoreFailure::OtherVersion:
        return QStringLiteral("is of another format (%1)").arg(failure.why);
    case StoreFailure::OtherKey:
        return QStringLiteral("was kept for %1").arg(failure.why);
    case StoreFailure::Damaged:
        return QStringLiteral("is damaged (%1)").arg(failure.why);
    case StoreFailure::Unreadable:
        break;
    }
    return QStringLiteral("cannot be read (%1)").arg(failure.why);
}

bool isNotADatabase(const StoreFailure& failure) {
    const int primary = failure.sqliteCode & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

} // namespace

LibraryStore::LibraryStore(QString folder) : m_folder(std::move(folder)) {
    while (m_folder.size() > 1 && m_folder.endsWith(QLatin1Char('/')))
        m_folder.chop(1);
}

QString LibraryStore::pathFor(const LibraryKey& key) const {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto addBytes = [&](const void* data, std::size_t size) {
        hash.addData(QByteArrayView(static_cast<const char*>(data), qsizetype(size)));
    };
    for (const QString* text : {&key.musicFolder, &key.folderPrefix, &key.pattern}) {
        const qint64 size = text->size(); // a length first: no two keys run together alike
        addBytes(&size, sizeof size);
        addBytes(text->utf16(), std::size_t(size) * sizeof(char16_t));
    }
    const qint64 numbers[] = {qint64(key.codePage), key.id3v2 ? 1 : 0, qint64(key.extraTypes)};
    addBytes(numbers, sizeof numbers);
    return m_folder + QStringLiteral("/library-") +
           QString::fromLatin1(hash.result().toHex().left(16)) + QStringLiteral(".sqlite");
}

bool LibraryStore::load(const LibraryKey& key, Catalogue& catalogue, GroupLists& groups) const {
    const QString path = pathFor(key);
    struct stat info {};
    if (::stat(pathToNative(path).constData(), &info) != 0) {
        if (errno != ENOENT) // else nothing is kept yet
            reportLine(QStringLiteral("the kept library %1 cannot be read (%2)")
                           .arg(readableText(path), errnoText()));
        return false;
    }
    try {
        // Filled apart and handed over whole: a store found damaged half-way leaves the
        // caller's catalogue as it was.
        Catalogue kept;
        GroupLists keptGroups;
        {
            const Database db = openStore(path, false);
            if (!readKeptCatalogue(db.get(), key, kept, keptGroups))
                return false;
        }
        catalogue.swap(kept);
        for (int g = 0; g < GroupCount; ++g)
            groups[g].takeEntriesFrom(keptGroups[g]);
        ::utimensat(AT_FDCWD, pathToNative(path).constData(), nullptr, 0); // in use
        return true;
    } catch (const StoreFailure& failure) {
        const QString trouble = troubleText(failure);
        if (failure.kind == StoreFailure::Unreadable)
            reportLine(QStringLiteral("the kept library %1 %2").arg(readableText(path), trouble));
        else
            reportLine(QStringLiteral("the kept library %1 %2; it is %3")
                           .arg(readableText(path), trouble, setAside(path)));
    } catch (const std::exception& e) {
        reportLine(QStringLiteral("the kept library %1 cannot be read: %2")
                       .arg(readableText(path), QString::fromLocal8Bit(e.what())));
    }
    return false;
}

bool LibraryStore::save(const LibraryKey& key, const Catalogue& catalogue) const {
    const QString path = pathFor(key);
    try {
        if (!makeFolder(pathToNative(m_folder)))
            throw StoreFailure{
                StoreFailure::Unreadable,
                QStringLiteral("cannot make %1 (%2)").arg(readableText(m_folder), errnoText())};
        // A file that is no database at all is set aside once, and the store made anew.
        for (int attempt = 0;; ++attempt) {
            try {
                const Database db = openStore(path, true);
                writeKeptCatalogue(db.get(), key, catalogue);
                removeUnused(m_folder, path);
                return true;
            } catch (const StoreFailure& failure) {
                if (attempt > 0 || !isNotADatabase(failure))
                    throw;
                reportLine(QStringLiteral("the kept library %1 %2; it is %3")
                               .arg(readableText(path), troubleText(failure), setAside(path)));
            }
        }
    } catch (const StoreFailure& failure) {
        reportLine(QStringLiteral("the library cannot be kept in %1: %2")
                       .arg(readableText(path), failure.why));
    } catch (const std::exception& e) {
        reportLine(QStringLiteral("the library cannot be kept in %1: %2")
                       .arg(readableText(path), QString::fromLocal8Bit(e.what())));
    }
    return false;
}

} // namespace sonavue
