// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The browsing model over a hand-made catalogue and group lists: what each pick lists, the
// folder view on real files, the selections kept in step, and the reserved list.
#include "catalogue/browsingmodel.h"
#include "support/datarow.h"
#include "support/modeltesters.h"
#include "support/musicfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

struct Fixture {
    QTemporaryDir dir;
    Catalogue catalogue;
    GroupLists groups;
    BrowsingModel model{catalogue, groups};
    ModelTesters testers{model};

    Fixture() { model.setFolderPrefix(folderPrefixFor(dir.path())); }
    QString file(const QString& name) const { return dir.filePath(name); }
    // Adds a row titled "T<row>"; its file is written when the path is below the fixture's
    // folder.
    void add(const QString& path, const QString& artist = {}, const QString& album = {},
             const QString& year = {}, const QString& genre = {}) {
        const int row = catalogue.appendRow();
        const QString cells[] = {path, QStringLiteral("T%1").arg(row), album, artist, year, genre};
        for (int column = 0; column < 6; ++column)
            catalogue.setCell(column, row, cells[column]);
        if (path.startsWith(dir.path()))
            QVERIFY(writeFile(path, "music"));
    }
    QStringList numbers() const { return model.trackNumbers(); }
};

QStringList numberTexts(std::initializer_list<int> rows) {
    QStringList out;
    for (int row : rows)
        out << QString::number(row);
    return out;
}

} // namespace

class TestBrowsingModel : public QObject {
    Q_OBJECT

private slots:
    void allListsEveryRowAndKeepsTheSource() {
        Fixture f;
        for (int i = 0; i < 4; ++i)
            f.add(f.file(QStringLiteral("%1.mp3").arg(i)), QStringLiteral("A%1").arg(i % 2));
        f.groups[GroupArtist].add(QStringLiteral("A0"));
        f.groups[GroupArtist].add(QStringLiteral("A1"));
        f.model.selectGroupEntry(GroupArtist, 1);

        f.model.showAllTracks();

        QCOMPARE(f.numbers(), numberTexts({0, 1, 2, 3}));
        QCOMPARE(f.model.trackTitles(), (QStringList{"T0", "T1", "T2", "T3"}));
        QCOMPARE(f.model.sourceList(), int(GroupArtist));
        QCOMPARE(f.model.rememberedGroupEntry(GroupArtist), 1);
    }

    // A pick lists the rows whose column for that list equals the entry, in catalogue order.
    void pickListsTheEntrysRows_data() {
        QTest::addColumn<int>("list");
        dataRow("album", int(GroupAlbum));
        dataRow("artist", int(GroupArtist));
        dataRow("year", int(GroupYear));
        dataRow("genre", int(GroupGenre));
    }
    void pickListsTheEntrysRows() {
        QFETCH(int, list);
        Fixture f;
        // Rows 1, 3, 4 carry "x" in every group column; rows 0 and 2 "w" (sorted first).
        for (const char* value : {"w", "x", "w", "x", "x"}) {
            const QString v = QString::fromLatin1(value);
            f.add(f.file(QStringLiteral("%1.mp3").arg(f.catalogue.rowCount())), v, v, v, v);
        }
        // Only the picked list's own column decides: the others say "w" for row 3.
        for (int column = ColAlbum; column <= ColGenre; ++column)
            if (column != list + 1)
                f.catalogue.setCell(column, 3, QStringLiteral("w"));
        f.groups[list].add(QStringLiteral("w"));
        f.groups[list].add(QStringLiteral("x"));

        f.model.selectGroupEntry(list, 1);

        QCOMPARE(f.numbers(), numberTexts({1, 3, 4}));
        QCOMPARE(f.model.selectedTrack(), 0);
        QCOMPARE(f.model.selectedRow(), std::optional<int>(1));
        QCOMPARE(f.model.sourceList(), list);
        QCOMPARE(f.model.rememberedGroupEntry(list), 1);
        QCOMPARE(f.model.rememberedGroupEntry(GroupFolder), -1);
    }

    void valuesDifferingInCaseAreApart() {
        Fixture f;
        for (const char* artist : {"abc", "ABC", "abc", "Abc"})
            f.add(f.file(QStringLiteral("%1.mp3").arg(f.catalogue.rowCount())),
                  QString::fromLatin1(artist));
        for (const char* artist : {"abc", "ABC", "Abc"})
            f.groups[GroupArtist].add(QString::fromLatin1(artist));
        const int abc = int(f.groups[GroupArtist].entries().indexOf(QStringLiteral("abc")));
        const int upper = int(f.groups[GroupArtist].entries().indexOf(QStringLiteral("ABC")));

        f.model.selectGroupEntry(GroupArtist, abc);
        QCOMPARE(f.numbers(), numberTexts({0, 2}));
        f.model.selectGroupEntry(GroupArtist, upper);
        QCOMPARE(f.numbers(), numberTexts({1}));
    }

    void folderView() {
        Fixture f;
        f.add(f.file(QStringLiteral("b.mp3")));
        f.add(f.file(QStringLiteral("sub/c.mp3")));
        f.add(f.file(QStringLiteral("a.wav")));
        f.add(f.file(QStringLiteral("sub/a.WAV")));
        f.groups[GroupFolder].add(QString()); // the music folder itself
        f.groups[GroupFolder].add(QStringLiteral("sub"));

        // The empty entry lists the music folder's own tracks, in file-name order.
        f.model.selectGroupEntry(GroupFolder, 0);
        QCOMPARE(f.numbers(), numberTexts({2, 0}));
        QCOMPARE(f.model.sourceList(), int(GroupFolder));
        f.model.selectGroupEntry(GroupFolder, 1);
        QCOMPARE(f.numbers(), numberTexts({3, 1}));

        // With WAV dropped from the pattern, the folder no longer lists WAV tracks.
        f.model.setFilePattern(FilePattern(filePatternFor(true, true, false)));
        f.model.pickGroupEntry(GroupFolder);
        QCOMPARE(f.numbers(), numberTexts({1}));

        // A folder that vanished shows nothing.
        QVERIFY(QDir(f.file(QStringLiteral("sub"))).removeRecursively());
        f.model.pickGroupEntry(GroupFolder);
        QCOMPARE(f.model.trackCount(), 0);
        QCOMPARE(f.model.selectedTrack(), -1);
        QCOMPARE(f.model.selectedRow(), std::nullopt);
    }

    // Selecting through the selection model runs the pick, as a click does; clearing it
    // does not.
    void selectionModelRunsThePick() {
        Fixture f;
        for (const char* year : {"1999", "2001", "1999"})
            f.add(f.file(QStringLiteral("%1.mp3").arg(f.catalogue.rowCount())), {}, {},
                  QString::fromLatin1(year));
        f.groups[GroupYear].add(QStringLiteral("1999"));
        f.groups[GroupYear].add(QStringLiteral("2001"));
        QItemSelectionModel& selection = f.model.groupSelection(GroupYear);

        selection.select(f.groups[GroupYear].index(1), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(f.numbers(), numberTexts({1}));
        QCOMPARE(f.model.sourceList(), int(GroupYear));
        selection.setCurrentIndex(f.groups[GroupYear].index(0),
                                  QItemSelectionModel::ClearAndSelect);
        QCOMPARE(f.numbers(), numberTexts({0, 2}));
        QCOMPARE(f.model.selectedGroupEntry(GroupYear), 0);

        selection.clearSelection();
        QCOMPARE(f.numbers(), numberTexts({0, 2}));
        QCOMPARE(f.model.rememberedGroupEntry(GroupYear), 0);
    }

    // The number column follows the titles' selection and the titles follow the numbers';
    // a refill of the list clears both.
    void columnsSelectInStep() {
        Fixture f;
        for (int i = 0; i < 4; ++i)
            f.add(f.file(QStringLiteral("%1.mp3").arg(i)));
        f.model.showAllTracks();
        const auto numberSelected = [&f] {
            const QModelIndexList selected = f.model.numberSelection().selectedIndexes();
            return selected.isEmpty() ? -1 : selected.first().row();
        };

        f.model.titleSelection().setCurrentIndex(f.model.titleColumn().index(2, 0),
                                                 QItemSelectionModel::ClearAndSelect);
        QCOMPARE(numberSelected(), 2);
        QCOMPARE(f.model.selectedRow(), std::optional<int>(2));
        f.model.numberSelection().setCurrentIndex(f.model.numberColumn().index(1, 0),
                                                  QItemSelectionModel::ClearAndSelect);
        QCOMPARE(f.model.selectedTrack(), 1);
        f.model.selectTrack(99); // out of range: nothing selected
        QCOMPARE(f.model.selectedTrack(), -1);
        QCOMPARE(numberSelected(), -1);

        f.model.selectTrack(3);
        f.model.showAllTracks();
        QCOMPARE(f.model.selectedTrack(), -1);
        QCOMPARE(numberSelected(), -1);
        QCOMPARE(f.model.selectedRow(), std::nullopt);
    }

    // A list index outside the six lists is ignored, never read.
    void listIndexOutsideTheListsIsIgnored() {
        Fixture f;
        f.add(f.file(QStringLiteral("0.mp3")), QStringLiteral("a"));
        f.groups[GroupArtist].add(QStringLiteral("a"));
        f.model.selectGroupEntry(GroupArtist, 0);
        for (int list : {-1, GroupCount, 9}) {
            f.model.selectGroupEntry(list, 0);
            f.model.pickGroupEntry(list);
            QCOMPARE(f.model.groupEntryCount(list), 0);
            QCOMPARE(f.model.selectedGroupEntry(list), -1);
            QCOMPARE(f.model.rememberedGroupEntry(list), -1);
        }
        QCOMPARE(f.model.sourceList(), int(GroupArtist));
        QCOMPARE(f.numbers(), numberTexts({0}));
        f.model.selectGroupEntry(GroupArtist, 5); // beyond the list: cleared
        QCOMPARE(f.model.selectedGroupEntry(GroupArtist), -1);
    }

    void reservedListHoldsFiveInOrder() {
        ReservedList reserved;
        const QStringList paths{"/m/a.mp3", "/m/b.mp3", "/m/a.mp3", "/m/c.mp3", "/m/a.mp3"};
        for (const QString& path : paths)
            QVERIFY(reserved.append(path));
        QVERIFY(reserved.isFull());
        QVERIFY(!reserved.append(QStringLiteral("/m/d.mp3")));
        QCOMPARE(reserved.paths(), paths); // duplicates and order kept, the sixth refused
        QCOMPARE(reserved.rowCount(), 5);

        reserved.removeAt(1);
        reserved.removeAt(7); // outside: nothing happens
        QCOMPARE(reserved.paths(), (QStringList{"/m/a.mp3", "/m/a.mp3", "/m/c.mp3", "/m/a.mp3"}));
        QCOMPARE(reserved.at(2), QStringLiteral("/m/c.mp3"));
        QCOMPARE(reserved.at(4), QString());
        QVERIFY(reserved.append(QStringLiteral("/m/d.mp3")));
        reserved.clear();
        QCOMPARE(reserved.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestBrowsingModel)
#include "test_catalogue_browsingmodel.moc"
