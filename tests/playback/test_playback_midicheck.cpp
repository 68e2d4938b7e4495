// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The MIDI pre-check on crafted files: sound files (and files that are no MIDI) pass, and
// every fault that makes GStreamer's MIDI parser spin, crash or read past the file is
// refused.
#include "audiofiles.h"
#include "midifiles.h"

#include "base/nativepath.h"
#include "playback/midicheck.h"
#include "support/datarow.h"

#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testmidi;
using sonavue::testing::dataRow;

namespace {

QByteArray withTrack(QByteArrayView events) {
    return singleTrackFile(events);
}
const QByteArray EndOfTrack = number(0) + QByteArray("\xFF\x2F\x00", 3);

// A text event of `size` bytes: sound, however long.
QByteArray longText(qsizetype size) {
    return number(0) + "\xFF\x01" + number(quint32(size)) + QByteArray(size, 'a');
}

} // namespace

class TestMidiCheck : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        const QByteArray notes = noteTrackBody();
        const QByteArray good = singleTrackFile(notes);

        // Sound, or left to other parsers.
        dataRow("one track", good, false);
        dataRow("two tracks of format 1",
                header(1, 2) + chunk("MTrk", notes) + chunk("MTrk", notes), false);
        dataRow("an unknown chunk is skipped",
                header() + chunk("XFIH", "abc") + chunk("MTrk", notes), false);
        dataRow("longer header", header(0, 1, 96, 8) + QByteArray(2, '\0') + chunk("MTrk", notes),
                false);
        dataRow("track count above the chunks (the parser copes)",
                header(1, 3) + chunk("MTrk", notes), false);
        dataRow("running status",
                withTrack(number(0) + "\x90\x3C\x64" + number(10) + QByteArray("\x3C\x00", 2) +
                          EndOfTrack),
                false);
        dataRow("no end-of-track event", withTrack(number(0) + "\x90\x3C\x64"), false);
        dataRow("events after the end of track", withTrack(EndOfTrack + notes), false);
        dataRow("last event cut short", withTrack(number(0) + "\x90\x3C"), false);
        dataRow("empty track", withTrack({}), false);
        dataRow("SMPTE division", header(0, 1, 0xE728) + chunk("MTrk", notes), false);
        dataRow("RIFF MIDI", riffMidi(good), false);
        dataRow("WAV", testaudio::wavBytes(20), false);
        dataRow("empty file", QByteArray(), false);
        dataRow("text", QByteArray("MTh"), false);

        // Refused.
        dataRow("track length 0xFFFFFFFF",
                header() + chunk("MTrk", QByteArray("\x00\xFF\x2F\x00", 4), 0xFFFFFFFFu), true);
        dataRow("track length one past the end",
                header() + chunk("MTrk", notes, quint32(notes.size() + 1)), true);
        dataRow("track length 0xFFFFFFF0", header() + chunk("MTrk", notes, 0xFFFFFFF0u), true);
        dataRow("ID3 tag after the tracks", good + "TAG" + QByteArray(125, 'x'), true);
        dataRow("chunk header cut short", good + "MTr", true);
        dataRow("header only 10 bytes", header().left(10), true);
        dataRow("header length 0", header(0, 1, 96, 0) + chunk("MTrk", notes), true);
        dataRow("header length 0xFFFFFFFF", header(0, 1, 96, 0xFFFFFFFFu), true);
        dataRow("format 7", header(7, 1) + chunk("MTrk", notes), true);
        dataRow("division 0", header(0, 1, 0) + chunk("MTrk", notes), true);
        dataRow("event time past the track", withTrack(notes + "\x81\x81"), true);
        dataRow("event time of five bytes",
                withTrack(QByteArray("\xFF\xFF\xFF\xFF\x7F\x90\x3C\x64", 8) + EndOfTrack), true);
        dataRow("event time, then the track ends", withTrack(number(5)), true);
        dataRow("meta length past the track",
                withTrack(number(0) + "\xFF\x01" + number(1000) + "abc"), true);
        dataRow("meta cut after its marker", withTrack(number(0) + "\xFF"), true);
        dataRow("system-exclusive length past the track",
                withTrack(number(0) + "\xF0" + number(5000) + "ab"), true);
        dataRow("real-time byte", withTrack(number(0) + "\xF8" + notes), true);
        dataRow("real-time byte after the end of track", withTrack(EndOfTrack + number(0) + "\xF8"),
                true);
        dataRow("system-common byte", withTrack(number(0) + QByteArray("\xF4\x00", 2) + notes),
                true);
        dataRow("data without a status", withTrack(number(0) + "\x3C\x64" + EndOfTrack), true);
        dataRow("RIFF MIDI around a broken file",
                riffMidi(header() + chunk("MTrk", QByteArray("\x00\xFF\x2F\x00", 4), 0xFFFFFFFFu)),
                true);
        dataRow("RIFF MIDI data past the end", riffMidi(good).chopped(3), true);
        dataRow("RIFF MIDI without data", QByteArray("RIFF\x04\0\0\0RMID", 12), true);
    }
    void verdicts() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        const std::optional<const char*> defect = midiDefect(bytes);
        QVERIFY2(defect.has_value() == refused, defect ? *defect : "accepted");
    }
    void everyCutOfASoundFileIsRefused() {
        // A file cut anywhere but between chunks ends inside its header or a chunk.
        const QByteArray first = chunk("MTrk", noteTrackBody());
        const QByteArray good = header(1, 2) + first + chunk("MTrk", noteTrackBody(50));
        const QList<qsizetype> chunkEnds{header().size(), header().size() + first.size()};
        QVERIFY(!midiDefect(good));
        for (qsizetype size = 4; size < good.size(); ++size) {
            if (!chunkEnds.contains(size))
                QVERIFY2(midiDefect(good.left(size)), qPrintable(QString::number(size)));
        }
        for (const qsizetype size : chunkEnds)
            QVERIFY(!midiDefect(good.left(size)));
    }
    void files_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        dataRow("sound", singleTrackFile(noteTrackBody()), false);
        dataRow("broken", header() + chunk("MTrk", QByteArray("\0\xFF\x2F\0", 4), 0xFFFFFFFFu),
                true);
        // A fault far into a big file is still found: the whole file is read.
        QByteArray big = header(1, 2) + chunk("MTrk", longText(2 << 20) + EndOfTrack);
        dataRow("big, sound", big + chunk("MTrk", noteTrackBody()), false);
        dataRow("big, broken at the end", big + chunk("MTrk", "x", 100), true);
        QByteArray huge = header() + chunk("MTrk", longText(MaxMidiFileBytes) + EndOfTrack);
        dataRow("larger than any MIDI file", huge, true);
        dataRow("big WAV", testaudio::wavBytes(120000, 44100), false);
    }
    void files() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("file.mid"));
        QVERIFY(testaudio::writeFile(path, bytes));
        const std::optional<const char*> defect = midiFileDefect(pathToNative(path));
        QVERIFY2(defect.has_value() == refused, defect ? *defect : "accepted");
        QVERIFY(!midiFileDefect(pathToNative(dir.filePath(QStringLiteral("missing.mid")))));
    }
};

QTEST_GUILESS_MAIN(TestMidiCheck)
#include "test_playback_midicheck.moc"
