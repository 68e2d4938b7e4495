// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Playlist files as other programs write them (M3U, M3U8, PLS; relative, absolute and URI
// entries; BOM, CRLF, comments, Shift-JIS), entries that are no file of this system, the
// bounds on a file from outside, and the M3U8 the player writes read back.
#include "catalogue/playlistfile.h"
#include "support/datarow.h"
#include "tags/codepage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString Folder = QStringLiteral("/music/lists");

// "path|title" for each entry, then "!line:why" for each note.
QStringList outline(const Playlist& playlist) {
    QStringList out;
    for (const PlaylistEntry& entry : playlist.entries)
        out << entry.path + QLatin1Char('|') + entry.title;
    for (const PlaylistNote& note : playlist.notes)
        out << QStringLiteral("!%1:%2").arg(note.line).arg(note.why);
    return out;
}
} // namespace

class PlaylistFileTest : public QObject {
    Q_OBJECT

private slots:
    void readsEntries_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const int m3u = int(PlaylistFormat::M3U), m3u8 = int(PlaylistFormat::M3U8),
                  pls = int(PlaylistFormat::PLS);
        dataRow("relative, absolute, URI", m3u8,
                QByteArray("a.mp3\n../up/b.mp3\n/abs/c.mp3\nfile:///u/d%20e.mp3\nsub/./f.mp3\n"),
                QStringList{"/music/lists/a.mp3|", "/music/up/b.mp3|", "/abs/c.mp3|", "/u/d e.mp3|",
                            "/music/lists/sub/f.mp3|"});
        dataRow("EXTINF titles, BOM, CRLF, comments and blank lines", m3u8,
                QByteArray("\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:123,Artist - Café\r\n  a.mp3  \r\n\r\n"
                           "# a comment\r\nb.mp3\r\n#EXTINF:5\r\nc.mp3"),
                QStringList{"/music/lists/a.mp3|Artist - Café", "/music/lists/b.mp3|",
                            "/music/lists/c.mp3|"});
        dataRow("no files of this system", m3u8,
                QByteArray("http://radio.example/stream\nC:\\Music\\a.mp3\n\\\\server\\a.mp3\n"
                           "file://server/a.mp3\nok.mp3\n"),
                QStringList{"/music/lists/ok.mp3|", "!1:not a file of this system",
                            "!2:not a file of this system", "!3:not a file of this system",
                            "!4:not a local file's URI"});
        dataRow("Windows separators in a relative entry", m3u, QByteArray("disc 1\\01.mp3\n"),
                QStringList{"/music/lists/disc 1/01.mp3|"});
        dataRow("M3U in Shift-JIS", m3u,
                "#EXTINF:1," + encodeCodePage(QStringLiteral("日本語")) + '\n' +
                    encodeCodePage(QStringLiteral("曲.mp3")) + '\n',
                QStringList{QStringLiteral("/music/lists/曲.mp3|日本語")});
        dataRow("M3U that is UTF-8", m3u, QByteArray("\xE6\x9B\xB2.mp3\n"),
                QStringList{QStringLiteral("/music/lists/曲.mp3|")});
        dataRow("PLS in number order, titles beside files", pls,
                QByteArray("[playlist]\r\nFile2=b.mp3\r\nTitle1=First\r\nfile1=/x/a.mp3\r\n"
                           "Length1=-1\r\nNumberOfEntries=2\r\nVersion=2\r\n"),
                QStringList{"/x/a.mp3|First", "/music/lists/b.mp3|"});
        dataRow("empty", m3u8, QByteArray(), QStringList{});
    }
    void readsEntries() {
        QFETCH(int, format);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(outline(parsePlaylist(bytes, PlaylistFormat(format), Folder)), expected);
    }

    // Past the bound, entries are only noted; notes past theirs are only counted.
    void boundsEntriesAndNotes() {
        QByteArray bytes;
        for (int i = 0; i < MaxPlaylistEntries + 60; ++i)
            bytes += "t" + QByteArray::number(i) + ".mp3\n";
        const Playlist playlist = parsePlaylist(bytes, PlaylistFormat::M3U8, Folder);
        QCOMPARE(int(playlist.entries.size()), MaxPlaylistEntries);
        QCOMPARE(int(playlist.notes.size()), MaxPlaylistNotes);
        QCOMPARE(playlist.notesLeftOut, 60 - MaxPlaylistNotes);
    }

    void takesOnlyARegularPlaylistWithinBounds() {
        QTemporaryDir dir;
        const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
        QFile small(path("ok.m3u8"));
        QVERIFY(small.open(QIODevice::WriteOnly));
        small.write("a.mp3\n");
        small.close();
        QFile big(path("big.m3u"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(MaxPlaylistBytes + 1));
        big.close();
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe.m3u")).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(path("folder.pls")));

        Playlist read;
        QCOMPARE(readPlaylist(path("ok.m3u8"), read), QString());
        QCOMPARE(outline(read), QStringList{dir.filePath(QStringLiteral("a.mp3|"))});
        const QList<std::pair<QString, const char*>> refused{
            {path("big.m3u"), "larger than"},
            {path("pipe.m3u"), "not a regular file"},
            {path("folder.pls"), "not a regular file"},
            {path("gone.m3u8"), "no such file"},
            {path("ok.txt"), "not a playlist"},
            {QStringLiteral("ok.m3u8"), "not an absolute path"},
            {path("ok") + QChar(u'\0') + QStringLiteral(".m3u8"), "NUL"}};
        for (const auto& [file, why] : refused)
            QVERIFY2(readPlaylist(file, read).contains(QLatin1String(why)), why);
    }

    // What the player writes reads back as it was, a name with a line break included.
    void writesM3U8ThatReadsBack() {
        QTemporaryDir dir;
        const std::vector<PlaylistEntry> entries{
            {QStringLiteral("/m/曲 one.mp3"), QStringLiteral("Title\nwith a break"), 0},
            {QStringLiteral("/m/line\nbreak.mp3"), QString(), 0},
            {QStringLiteral("/m/#hash.mp3"), QStringLiteral("Hash"), 0}};
        const QString file = dir.filePath(QStringLiteral("out.m3u8"));
        QCOMPARE(writePlaylistFile(file, m3u8Text(entries)), QString());
        Playlist read;
        QCOMPARE(readPlaylist(file, read), QString());
        QCOMPARE(outline(read), (QStringList{QStringLiteral("/m/曲 one.mp3|Title with a break"),
                                             QStringLiteral("/m/line\nbreak.mp3|"),
                                             QStringLiteral("/m/#hash.mp3|Hash")}));
        // A folder cannot be written over.
        QVERIFY(!writePlaylistFile(dir.path(), "x").isEmpty());
    }
};

QTEST_MAIN(PlaylistFileTest)
#include "test_catalogue_playlistfile.moc"
