// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/folderscan.h"

#include "base/nativepath.h"
#include "catalogue/diskpace.h"
#include "catalogue/enteredfolders.h"
#include "catalogue/nativefolder.h"
#include "catalogue/pseudofilesystem.h"
#include "catalogue/scanthreads.h"
#include "catalogue/walkahead.h"
#include "tags/codepagechoice.h"
#include "tags/containertags.h"
#include "tags/filetags.h"
#include "tags/genre.h"
#include "tags/id3v1.h"
#include "tags/tagtext.h"
#include <QHash>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

constexpr int TitleWidth = TitleField.width;

bool isAscii(const char* bytes, int size) {
    // Eight bytes at a time: every name and tag field is looked at.
    std::uint64_t high = 0;
    int i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + i, sizeof word);
        high |= word;
    }
    for (; i < size; ++i)
        high |= static_cast<unsigned char>(bytes[i]);
    return (high & 0x8080808080808080ull) == 0;
}

// cleanTagText(decodeTagText(field)), with one allocation instead of two for the common
// field of plain ASCII (which every code page maps to itself): the padding is cut off as bytes.
QString cleanedField(const char* tag, TagField field, TagCodePage codePage) {
    const char* begin = tag + field.offset;
    const char* end = begin + field.width;
    if (!isAscii(begin, field.width))
        return cleanTagText(decodeTagText(begin, field.width, codePage));
    while (begin < end && (*begin == '\0' || *begin == ' '))
        ++begin;
    while (end > begin && (end[-1] == '\0' || end[-1] == ' '))
        --end;
    if (begin == end)
        return {};
    QString text = QString::fromLatin1(begin, end - begin);
    if (std::memchr(begin, 0, std::size_t(end - begin)))
        text.replace(QChar(u'\0'), QLatin1Char(' '));
    return text;
}

// The field's text straight from its bytes when it is plain ASCII with no NUL between its
// ends: what cleanedField would make of it, without making a string (an empty view for a
// blank field). Nothing when the field needs decoding.
std::optional<QLatin1StringView> plainAsciiField(const char* tag, TagField field) {
    const char* begin = tag + field.offset;
    const char* end = begin + field.width;
    if (!isAscii(begin, field.width))
        return std::nullopt;
    while (begin < end && (*begin == '\0' || *begin == ' '))
        ++begin;
    while (end > begin && (end[-1] == '\0' || end[-1] == ' '))
        --end;
    if (std::memchr(begin, 0, std::size_t(end - begin)))
        return std::nullopt;
    return QLatin1StringView(begin, end - begin);
}

// The file's name as a title: cut to the title field's width (never inside a surrogate
// pair), then cleaned like the field it stands in for.
QString nameAsTitle(const QString& readableName) {
    return cleanTagText(fixedWidth(readableName, TitleWidth));
}

// The four value group lists and their columns, in the order the scan offers them.
struct GroupColumn {
    int group;
    int column;
};
constexpr GroupColumn GroupColumns[] = {
    {GroupAlbum, ColAlbum}, {GroupArtist, ColArtist}, {GroupYear, ColYear}, {GroupGenre, ColGenre}};

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
    // Fixed for the pass: the repeated-field cache below compares raw bytes.
    const TagCodePage codePage;
    // The code page of the row being written: codePage, or auto's choice for its record.
    TagCodePage rowPage = codePage;
    const bool id3v2;          // MP3s' ID3v2 tags fill in what ID3v1 says
    const unsigned extraTypes; // opt-in file types whose container tags are read
    Clock::time_point lastYield = Clock::now();
    // The value last offered to each value group list: a track of the same album as the
    // one before it needs no look-up in the seen sets.
    QString lastOffered[4];
    // The raw album, artist and year fields of the last tagged file and their cleaned text:
    // the tracks of one album repeat them, and then cost no decoding and no allocation.
    struct RepeatedField {
        RepeatedField(TagField tagField, int catalogueColumn)
            : field(tagField), column(catalogueColumn) {}
        TagField field;
        int column;
        char raw[30] = {};
        TagCodePage page = DefaultTagCodePage;
        QString value;
        bool valid = false;
    };
    RepeatedField repeated[3] = {
        {AlbumField, ColAlbum}, {ArtistField, ColArtist}, {YearField, ColYear}};

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

    QSet<QString>& seenSet(int group) {
        switch (group) {
        case GroupAlbum:
            return scan.m_seenAlbums;
        case GroupArtist:
            return scan.m_seenArtists;
        case GroupYear:
            return scan.m_seenYears;
        default:
            return scan.m_seenGenres;
        }
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
        if (pace.waitedForTheDisk())
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
        std::fprintf(stderr,
                     "sonavue: %d folder(s) deeper than %d levels or with paths longer than %d "
                     "bytes are not catalogued, such as %s\n",
                     beyondLimits, MaxWalkDepth, MaxWalkPathBytes, firstBeyondLimits.constData());
    }

    // Appends the row of listed file j (its trailing bytes in tag when read, else null)
    // and offers its values to the group lists; the row is complete before anything else
    // can run.
    void writeRow(const QString& folderPath, const NameList& files, int j, const char* tag,
                  const ID3v2Fields& id3v2Tags) {
        Catalogue& catalogue = scan.m_catalogue;
        const int r = catalogue.appendRow();
        // The catalogue keeps the folder once and the name apart; an ASCII name goes in
        // straight from its bytes (no text of the name alone is needed unless it becomes
        // the title).
        const char* native = files.native(j);
        const int size = files.nativeSize(j);
        const bool asciiName = isAscii(native, size);
        const QString nonAsciiName = asciiName ? QString() : pathFromNative(native, size);
        if (asciiName)
            catalogue.setPathLatin1(r, folderPath, QLatin1StringView(native, size));
        else
            catalogue.setPath(r, folderPath, nonAsciiName);
        const auto name = [&] {
            return asciiName ? QString::fromLatin1(native, size) : readableText(nonAsciiName);
        };
        const auto nameIsTitle = [&] {
            if (asciiName)
                catalogue.setCellLatin1(ColTitle, r, QLatin1StringView(native, size));
            else
                catalogue.setCell(ColTitle, r, name());
        };
        const bool hasID3v1 = tag && std::memcmp(tag, "TAG", 3) == 0;
        if (!hasID3v1 && !id3v2Tags.any()) {
            nameIsTitle();
            return;
        }
        if (hasID3v1) {
            writeTextColumn(tag, TitleField, ColTitle, r, [&] { return nameAsTitle(name()); });
            writeTagColumns(tag, r);
        } else {
            nameIsTitle();
        }
        if (id3v2Tags.any())
            writeID3v2Columns(id3v2Tags, r);
        offerGroupValues(r);
    }

    // The ID3v2 tag's texts stand before ID3v1's, whole (not cut to a field's width).
    void writeID3v2Columns(const ID3v2Fields& tags, int r) {
        Catalogue& catalogue = scan.m_catalogue;
        const std::pair<const std::optional<QString>*, CatalogueColumn> cells[] = {
            {&tags.title, ColTitle}, {&tags.album, ColAlbum}, {&tags.artist, ColArtist},
            {&tags.year, ColYear},   {&tags.genre, ColGenre}, {&tags.comment, ColComment}};
        for (const auto& [text, column] : cells) {
            if (!*text)
                continue;
            const QString cleaned = cleanTagText(**text);
            if (!cleaned.isEmpty())
                catalogue.setCell(column, r, cleaned);
        }
    }

    void writeTagColumns(const char* tag, int r) {
        Catalogue& catalogue = scan.m_catalogue;
        for (RepeatedField& f : repeated) {
            const char* raw = tag + f.field.offset;
            const auto width = std::size_t(f.field.width);
            if (!f.valid || f.page != rowPage || std::memcmp(f.raw, raw, width) != 0) {
                std::memcpy(f.raw, raw, width);
                f.page = rowPage;
                catalogue.setCell(f.column, r, cleanedField(tag, f.field, rowPage));
                f.value = catalogue.cell(f.column, r); // the catalogue's shared copy
                f.valid = true;
            } else {
                catalogue.setCell(f.column, r, f.value);
            }
        }
        catalogue.setCell(ColGenre, r, genreName(static_cast<unsigned char>(tag[GenreOffset])));
        writeTextColumn(tag, CommentField, ColComment, r, [] { return QString(); });
    }

    // A title or comment field of the ID3v1 tag; ifEmpty() stands in for an empty field.
    template <class IfEmpty>
    void writeTextColumn(const char* tag, TagField field, int column, int r, IfEmpty ifEmpty) {
        Catalogue& catalogue = scan.m_catalogue;
        const auto plain = plainAsciiField(tag, field);
        if (plain && !plain->isEmpty()) {
            catalogue.setCellLatin1(column, r, *plain);
            return;
        }
        QString text = plain ? QString() : cleanedField(tag, field, rowPage);
        if (text.isEmpty())
            text = ifEmpty();
        catalogue.setCell(column, r, text);
    }

    void offerGroupValues(int r) {
        for (int k = 0; k < 4; ++k) {
            const GroupColumn gc = GroupColumns[k];
            const QString value = scan.m_catalogue.cell(gc.column, r);
            if (value == lastOffered[k])
                continue;
            lastOffered[k] = value;
            const QString added = newGroupValue(value, seenSet(gc.group));
            if (!added.isEmpty())
                scan.m_groups[gc.group].add(added);
        }
    }

    // File j's tags, from the read-ahead (takeAhead) or read here from the open folder.
    void readTags(const NameList& files, int j, const std::optional<NativeFolder>& folder,
                  bool takeAhead, FileTagBytes& tags) {
        // The listing has already seen a regular file; the read checks again after opening.
        if (takeAhead)
            tags.tailRead = reader->takeTag(tags.tail, &tags.id3v2);
        else
            readFileTagsAt(folder->fd(), files.native(j), /*knownRegular=*/true,
                           id3v2 && isMp3Name(files.native(j), files.nativeSize(j)), tags,
                           extraTypes & extraTypeOfName(files.native(j), files.nativeSize(j)));
    }

    // Reads and writes the folder's rows one file at a time. False when superseded.
    bool writeRows(const QString& folderPath, const NameList& files,
                   const std::optional<NativeFolder>& folder, bool takeAhead) {
        for (int j = 0; j < files.count(); ++j) {
            FileTagBytes tags;
            readTags(files, j, folder, takeAhead, tags);
            if (!current()) // a stopped read-ahead has no more tags
                return false;
            writeRow(folderPath, files, j, tags.tailRead ? tags.tail : nullptr, tags.id3v2);
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
        std::vector<const char*> records;
        for (int j = 0; j < files.count(); ++j) {
            FileTagBytes& t = tags[std::size_t(j)];
            readTags(files, j, folder, takeAhead, t);
            t.id3v2.frontCover.reset(); // not shown by the catalogue: no need to hold it
            if (!current() || !yieldIfDue())
                return false;
            if (t.tailRead)
                records.push_back(t.tail);
        }
        const TagCodePage folderPage = autoFolderCodePage(records);
        NativeFolder::Stamp stamp;
        if (NativeFolder::stampOf(nativeFolder, stamp))
            rememberFolderCodePage(stamp.device, stamp.inode, folderPage);
        for (int j = 0; j < files.count(); ++j) {
            const FileTagBytes& t = tags[std::size_t(j)];
            rowPage = t.tailRead ? autoRecordCodePage(t.tail, folderPage) : folderPage;
            writeRow(folderPath, files, j, t.tailRead ? t.tail : nullptr, t.id3v2);
            observer.fileRead(j);
            if (!current() || !yieldIfDue())
                return false;
        }
        return true;
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
        reader = scan.m_workers.startReading(std::move(walked), options);
    }

    ~Pass() { scan.m_workers.endScan(workersScan); }

    Result run(const QString& musicFolder) {
        for (int g = 0; g < GroupCount; ++g)
            scan.m_groups[g].clear();
        scan.m_seenAlbums.clear();
        scan.m_seenArtists.clear();
        scan.m_seenYears.clear();
        scan.m_seenGenres.clear();

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
