// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The opt-in file types (FLAC, Ogg Vorbis, Opus, M4A): not listed unless the reading names
// them; then listed with their container tags' texts, in the group lists, by file name when
// untagged, and a damaged file costs its row only. The catalogue tool's --types as well.
#include "catalogue/folderscan.h"
#include "scanoutcome.h"
#include "support/datarow.h"
#include "support/musicfiles.h"
#include "support/processrun.h"
#include "tags/containertags.h"
#include "tags/filetags.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <fileref.h>
#include <tpropertymap.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

std::unique_ptr<ScanRig> scan(const QString& folder, unsigned types, int readers = 0) {
    const FilePattern pattern(filePatternFor(true, true, true, types));
    return scanned(folder, {DefaultTagCodePage, false, types}, readers, pattern);
}

// File name, title, album, artist, year, genre and comment of row r.
QStringList row(const ScanRig& s, int r) {
    return cellsOf(s.catalogue, r, ColPath, ColComment);
}

bool hasElement(const QString& element) {
    return runProcess(QStringLiteral("gst-inspect-1.0"), {element}, 30000).exitCode == 0;
}

// A short tone encoded by the given GStreamer elements (encoder and muxer).
bool encode(const QString& path, const QString& elements) {
    const QString pipeline = QStringLiteral("audiotestsrc num-buffers=8 ! audioconvert ! ") +
                             elements + QStringLiteral(" ! filesink location=") + path;
    return QProcess::execute(QStringLiteral("gst-launch-1.0"),
                             QStringList{QStringLiteral("-q")} +
                                 pipeline.split(QLatin1Char(' '))) == 0;
}

// Title, artist, album, year, genre, comment written by TagLib in the file's own format,
// in place of every tag the file had (the encoders add some): blank texts are left out.
bool writeTags(const QString& path, const QStringList& texts) {
    TagLib::FileRef file(QFile::encodeName(path).constData());
    if (file.isNull())
        return false;
    static const char* const keys[] = {"TITLE", "ARTIST", "ALBUM", "DATE", "GENRE", "COMMENT"};
    TagLib::PropertyMap map;
    for (int i = 0; i < 6; ++i)
        if (!texts[i].isEmpty())
            map.insert(keys[i], TagLib::String(texts[i].toStdString(), TagLib::String::UTF8));
    file.file()->setProperties(map);
    return file.save();
}

QByteArray runTool(const QStringList& arguments, int* exitCode = nullptr) {
    const ProcessRun tool = runProcess(builtProgram("sonavue-catalogue"), arguments, 30000);
    if (exitCode)
        *exitCode = tool.exitCode;
    return tool.exitCode == 0 ? tool.out : QByteArray("failed");
}

} // namespace

class TestExtraTypes : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    bool m_m4a = false;

private slots:
    void initTestCase() {
        const QString d = m_dir.path();
        QVERIFY(writeMusicFile(d + "/a.mp3", 400, tagOf("Mp3 title", "Mp3 artist", "Mp3 album")));
        QVERIFY(encode(d + "/b.flac", "flacenc"));
        QVERIFY(writeTags(d + "/b.flac",
                          {"Flac title", "Ärtist", "Flac album", "1999", "Jazz", "flac comment"}));
        QVERIFY(encode(d + "/c.ogg", "vorbisenc ! oggmux"));
        QVERIFY(writeTags(d + "/c.ogg", {"Ogg title", "Ärtist", "Ogg album", "2004", "Rock", ""}));
        QVERIFY(encode(d + "/d.flac", "flacenc"));
        QVERIFY(writeTags(d + "/d.flac", {"", "", "", "", "", ""})); // no tags at all
        QVERIFY(encode(d + "/e.opus", "opusenc ! oggmux"));
        QVERIFY(writeTags(d + "/e.opus", {"Opus title", "Opus artist", "", "2010", "", ""}));
        m_m4a = hasElement("voaacenc") && hasElement("mp4mux");
        if (m_m4a) {
            QVERIFY(encode(d + "/f.m4a", "voaacenc ! mp4mux"));
            QVERIFY(writeTags(d + "/f.m4a", {"M4a title", "M4a artist", "M4a album", "2020", "Pop",
                                             "m4a comment"}));
        }
        // Random bytes under a FLAC name, and a FLAC header with nothing sane after it.
        QByteArray noise(3000, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QVERIFY(writeFile(d + "/x-noise.flac", noise));
        QVERIFY(writeFile(d + "/y-cut.flac", QByteArray("fLaC\x00\xff\xff\xff", 8)));
    }

    void typeListsAndPatterns() {
        QCOMPARE(parseExtraTypes(QString()), 0u);
        QCOMPARE(parseExtraTypes(" FLAC , ogg,wma,,mp3"), unsigned(ExtraFlac | ExtraOgg));
        QCOMPARE(parseExtraTypes("opus,M4A"), unsigned(ExtraOpus | ExtraM4a));
        const FilePattern pattern(filePatternFor(true, false, true, ExtraFlac));
        QCOMPARE(pattern.text(), QStringLiteral("*.MP3;*.wav;*.flac"));
        QVERIFY(pattern.matches("Song.FLAC"));
        QVERIFY(!pattern.matches("song.ogg") && !pattern.matches("song.mid"));
        QCOMPARE(extraTypeOfName(QStringLiteral("x.Opus")), unsigned(ExtraOpus));
        QCOMPARE(extraTypeOfName("a.m4a", 5), unsigned(ExtraM4a));
        QCOMPARE(extraTypeOfName("flac", 4), 0u);
        QCOMPARE(extraTypeOfName("a.mp3", 5), 0u);
    }

    void noTypesListsAsBefore() {
        const auto s = scan(m_dir.path(), 0);
        QCOMPARE(s->catalogue.rowCount(), 1);
        QCOMPARE(row(*s, 0).mid(0, 4),
                 (QStringList{"a.mp3", "Mp3 title", "Mp3 album", "Mp3 artist"}));
        QCOMPARE(s->groups[GroupArtist].entries(), QStringList{"Mp3 artist"});
    }

    void addedTypesGiveTheirTags_data() {
        QTest::addColumn<int>("readers");
        dataRow("read on the scan's thread", 0);
        dataRow("read ahead on 4 threads", 4);
    }

    void addedTypesGiveTheirTags() {
        QFETCH(int, readers);
        const auto s = scan(m_dir.path(), ExtraFlac | ExtraOgg, readers);
        QCOMPARE(s->catalogue.rowCount(), 6); // no .opus nor .m4a
        QCOMPARE(row(*s, 1), (QStringList{"b.flac", "Flac title", "Flac album", "Ärtist", "1999",
                                          "Jazz", "flac comment"}));
        QCOMPARE(row(*s, 2),
                 (QStringList{"c.ogg", "Ogg title", "Ogg album", "Ärtist", "2004", "Rock", ""}));
        // Untagged and damaged files are listed by name and the scan goes on past them.
        QCOMPARE(row(*s, 3), (QStringList{"d.flac", "d.flac", "", "", "", "", ""}));
        QCOMPARE(row(*s, 4)[1], QStringLiteral("x-noise.flac"));
        QCOMPARE(row(*s, 5)[1], QStringLiteral("y-cut.flac"));
        QCOMPARE(s->groups[GroupAlbum].entries(),
                 (QStringList{"Mp3 album", "Flac album", "Ogg album"}));
        QCOMPARE(s->groups[GroupArtist].entries(), (QStringList{"Mp3 artist", "Ärtist"}));
        QCOMPARE(s->groups[GroupYear].entries(), (QStringList{"1999", "2004"}));
        QVERIFY(s->groups[GroupGenre].entries().contains(QStringLiteral("Jazz")));
    }

    void opusAndM4a() {
        const auto s = scan(m_dir.path(), ExtraOpus | ExtraM4a);
        QCOMPARE(s->catalogue.rowCount(), m_m4a ? 3 : 2);
        QCOMPARE(row(*s, 1),
                 (QStringList{"e.opus", "Opus title", "", "Opus artist", "2010", "", ""}));
        if (!m_m4a)
            QSKIP("no AAC encoder element on this machine");
        QCOMPARE(row(*s, 2), (QStringList{"f.m4a", "M4a title", "M4a album", "M4a artist", "2020",
                                          "Pop", "m4a comment"}));
    }

    // What the player shows of a file: the container tags only when the reading lists it.
    void shownTags() {
        const QString flac = m_dir.path() + "/b.flac";
        QCOMPARE(readShownTags(flac, {}).title().trimmed(), QStringLiteral("b.flac"));
        const ShownTags shown = readShownTags(flac, {DefaultTagCodePage, false, ExtraFlac});
        QVERIFY(shown.hasTag());
        QCOMPARE(shown.title(), QStringLiteral("Flac title"));
        QCOMPARE(shown.album(), QStringLiteral("Flac album"));
        QVERIFY(
            !readShownTags(m_dir.path() + "/x-noise.flac", {DefaultTagCodePage, false, ExtraFlac})
                 .id3v2.any());
    }

    void catalogueToolTypes() {
        const QByteArray plain = runTool({m_dir.path()});
        QVERIFY(plain.contains("/a.mp3\"") && plain.contains("\"Mp3 title\""));
        QVERIFY(!plain.contains(".flac") && !plain.contains(".ogg"));
        QCOMPARE(runTool({"--types", "mp3,mid,wav", m_dir.path()}), plain);
        const QByteArray withFlac = runTool({"--types", "mp3,flac", m_dir.path()});
        QVERIFY(withFlac.contains("\"Flac title\""));
        QVERIFY(withFlac.contains("/d.flac\", \"d.flac\""));
        QVERIFY(!withFlac.contains("Ogg title"));
        int exitCode = 0;
        runTool({"--types", "mp3,wma", m_dir.path()}, &exitCode);
        QCOMPARE(exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestExtraTypes)
#include "test_catalogue_extratypes.moc"
