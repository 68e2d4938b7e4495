// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// codepage=auto over a whole library: the hand-written corpus of Western European albums
// (code page 1252) and Japanese albums (code page 932), one folder each, reads back exactly
// in the catalogue, and the readers of one file (the player's record, the tag card, the
// media controls) read each record as the catalogue does, before a scan and after it.
#include "catalogue/folderscan.h"
#include "scanoutcome.h"
#include "tagcorpus.h"
#include "tags/filetags.h"

#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

const TagReading Auto{TagCodePage::Auto, false, 0};

// Title, artist and album as each reader of one file shows them.
QStringList singleFileTexts(const QString& path) {
    ID3v1Record record;
    readID3TAG(path, record, TagCodePage::Auto);
    QString artist, album, title;
    std::uint8_t number = 0;
    getMP3TAG(path, artist, album, title, number, TagCodePage::Auto);
    const ShownTags shown = readShownTags(path, Auto);
    return {cleanTagText(record.Title),  cleanTagText(record.Artist),  cleanTagText(record.Album),
            cleanTagText(title),         cleanTagText(artist),         cleanTagText(album),
            cleanTagText(shown.title()), cleanTagText(shown.artist()), cleanTagText(shown.album())};
}

} // namespace

class AutoCodePageTest : public QObject {
    Q_OBJECT
private slots:
    void corpusReadsBackExactly() {
        const QList<CorpusFolder> corpus = loadCorpus(qEnvironmentVariable("SONAVUE_SOURCE_DIR") +
                                                      "/tests/catalogue/tagcorpus.txt");
        QVERIFY(corpus.size() > 40);
        TemporaryTree dir;
        const QByteArray root = dir.path().toUtf8();
        QVERIFY(writeCorpus(root, corpus));

        // Read alone before any scan has seen the folders: each folder is judged when first asked.
        QHash<QString, std::pair<TagFields, bool>> tags; // by path: the record, and its script
        QHash<QString, QStringList> before;
        for (int i = 0; i < corpus.size(); ++i)
            for (int t = 0; t < corpus[i].tracks.size(); ++t) {
                const QString path =
                    QString::fromUtf8(corpusFolderPath(root, corpus, i) + '/' + corpusTrackName(t));
                tags.insert(
                    path, {corpusTag(corpus[i].tracks[t], corpus[i].japanese), corpus[i].japanese});
                before.insert(path, singleFileTexts(path));
            }

        const auto rig = scanned(dir.path(), Auto, 2);
        const Catalogue& catalogue = rig->catalogue;
        QCOMPARE(catalogue.rowCount(), tags.size());
        for (int r = 0; r < catalogue.rowCount(); ++r) {
            const QString path = catalogue.cell(ColPath, r);
            const auto& [tag, japanese] = tags.value(path);
            const QStringList expected = {
                corpusText(tag.title, japanese), corpusText(tag.artist, japanese),
                corpusText(tag.album, japanese), corpusText(tag.year, japanese),
                corpusText(tag.comment, japanese)};
            const QStringList row = {catalogue.cell(ColTitle, r), catalogue.cell(ColArtist, r),
                                     catalogue.cell(ColAlbum, r), catalogue.cell(ColYear, r),
                                     catalogue.cell(ColComment, r)};
            QCOMPARE(row, expected);
            const QStringList alone = singleFileTexts(path);
            QCOMPARE(alone, expected.mid(0, 3) + expected.mid(0, 3) + expected.mid(0, 3));
            QCOMPARE(before.value(path), alone);
        }
    }
};

QTEST_GUILESS_MAIN(AutoCodePageTest)
#include "test_catalogue_autocodepage.moc"
