// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// How well codepage=auto reads a mixed library: the hand-written corpus
// (tests/catalogue/tagcorpus.txt) of Western European albums in code page 1252 and
// Japanese albums in code page 932, one folder each, scanned as the player scans it.
//
//   sonavue-bench-codepage [CORPUS]
//
// Prints, per script, the share of text fields (title, artist, album, year, comment) the
// catalogue shows exactly as their own code page reads them, of all fields and of those
// with some non-ASCII byte, and the share the single-file readers (the player's record,
// the tag card) show the same as the catalogue. Then the same for one folder holding the
// whole library (a collection of singles), where the choice has less to go on.
#include "catalogue/folderscan.h"
#include "tagcorpus.h"
#include "tags/filetags.h"
#include "tags/id3v1.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

struct Counts {
    int fields = 0, exact = 0, nonAscii = 0, nonAsciiExact = 0, shown = 0, shownSame = 0;
    QStringList wrong;
};

bool isAsciiBytes(const QByteArray& bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Compares the catalogue's row r with what the track's bytes should read as.
void countRow(const Catalogue& catalogue, int r, const TagFields& tag, bool japanese,
              Counts& counts) {
    const std::pair<const QByteArray*, int> fields[] = {{&tag.title, ColTitle},
                                                        {&tag.artist, ColArtist},
                                                        {&tag.album, ColAlbum},
                                                        {&tag.year, ColYear},
                                                        {&tag.comment, ColComment}};
    for (const auto& [bytes, column] : fields) {
        const QString expected = corpusText(*bytes, japanese);
        const QString shown = catalogue.cell(column, r);
        const bool exact = shown == expected;
        ++counts.fields;
        counts.exact += exact;
        if (!isAsciiBytes(*bytes)) {
            ++counts.nonAscii;
            counts.nonAsciiExact += exact;
        }
        if (!exact && counts.wrong.size() < 12)
            counts.wrong << expected + QStringLiteral(" -> ") + shown;
    }
    // The player's record and the tag card read the file alone.
    const QString path = catalogue.cell(ColPath, r);
    ID3v1Record record;
    readID3TAG(path, record, TagCodePage::Auto);
    QString artist, album, title;
    std::uint8_t number = 0;
    getMP3TAG(path, artist, album, title, number, TagCodePage::Auto);
    const QString row[] = {catalogue.cell(ColTitle, r), catalogue.cell(ColArtist, r),
                           catalogue.cell(ColAlbum, r)};
    const QString alone[] = {cleanTagText(record.Title), cleanTagText(record.Artist),
                             cleanTagText(record.Album), cleanTagText(title),
                             cleanTagText(artist),       cleanTagText(album)};
    for (int k = 0; k < 6; ++k) {
        ++counts.shown;
        counts.shownSame += alone[k] == row[k % 3];
    }
}

void print(const char* name, const Counts& c) {
    const auto share = [](int part, int whole) { return whole ? 100.0 * part / whole : 100.0; };
    std::printf("  %-8s fields %4d exact %5.1f%%   non-ASCII %4d exact %5.1f%%   "
                "single-file readers agree %5.1f%%\n",
                name, c.fields, share(c.exact, c.fields), c.nonAscii,
                share(c.nonAsciiExact, c.nonAscii), share(c.shownSame, c.shown));
    for (const QString& w : c.wrong)
        std::printf("      %s\n", qPrintable(w));
}

// Writes the corpus below root (one folder per album, or all in one), scans it with
// codepage=auto and counts per script.
void run(const QList<CorpusFolder>& corpus, bool oneFolder) {
    QTemporaryDir dir;
    const QByteArray root = dir.path().toUtf8();
    QHash<QString, std::pair<TagFields, bool>> expected; // by path
    for (int i = 0; i < corpus.size(); ++i) {
        for (int t = 0; t < corpus[i].tracks.size(); ++t) {
            const QByteArray folder = oneFolder ? root + "/all" : corpusFolderPath(root, corpus, i);
            const QByteArray name =
                oneFolder ? corpusFolderPath("", corpus, i).mid(1) + '-' + corpusTrackName(t)
                          : corpusTrackName(t);
            const TagFields tag = corpusTag(corpus[i].tracks[t], corpus[i].japanese);
            writeMusicFile(folder + '/' + name, 400, tag);
            expected.insert(QString::fromUtf8(folder + '/' + name), {tag, corpus[i].japanese});
        }
    }
    Catalogue catalogue;
    GroupLists groups;
    FolderScan scan(catalogue, groups);
    scan.setTagReading({TagCodePage::Auto, false, 0});
    ScanObserver quiet;
    scan.run(dir.path(), dir.path() + QLatin1Char('/'), FilePattern(), quiet);
    Counts western, japanese;
    for (int r = 0; r < catalogue.rowCount(); ++r) {
        const auto it = expected.constFind(catalogue.cell(ColPath, r));
        if (it == expected.cend())
            continue;
        countRow(catalogue, r, it->first, it->second, it->second ? japanese : western);
    }
    std::printf("%s (%d rows)\n",
                oneFolder ? "The whole library in one folder" : "One folder per album",
                catalogue.rowCount());
    print("Western", western);
    print("Japanese", japanese);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString path = argc > 1
                             ? QString::fromLocal8Bit(argv[1])
                             : QStringLiteral(SONAVUE_SOURCE_DIR "/tests/catalogue/tagcorpus.txt");
    const QList<CorpusFolder> corpus = loadCorpus(path);
    if (corpus.isEmpty()) {
        std::fprintf(stderr, "cannot read the corpus %s\n", qPrintable(path));
        return 1;
    }
    run(corpus, false);
    run(corpus, true);
    return 0;
}
