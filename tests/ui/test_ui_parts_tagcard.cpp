// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The tag card: what it shows for different files, its fade timeline, and what closes it.
#include "parts_cards.h"
#include "support/containers.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "support/musicfiles.h"
#include "tags/containertags.h"
#include "tags/replaygain.h"
#include "ui/cards/tagcard.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

// Texts are copied byte for byte, NUL padding after them.
const QByteArray TaggedRecord =
    tagRecord({"Night Train  ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", QByteArray("Blue\0Skies", 10)});

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray pngOf(const QColor& colour) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(colour);
    return pngOf(image);
}

// A two-colour (1-bit) picture of black and white columns one pixel wide.
QByteArray stripedPng() {
    QImage image(200, 200, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, uint(x % 2));
    return pngOf(image);
}

// An MP3 with an ID3v2.3 tag holding only a front cover, and the trailing record.
QByteArray mp3WithCover(const QByteArray& picture) {
    using namespace sonavue::testing::id3v2;
    const QByteArray apic = QByteArray(1, '\0') + "image/png" + '\0' + char(3) + '\0' + picture;
    return tag(3, frame(3, "APIC", apic)) + QByteArray(300, char(0x5A)) + TaggedRecord;
}

// The same texts in each opt-in type's tags.
const QList<QByteArray> Comments{"TITLE=Vorbis Title", "ARTIST=Vorbis Artist",
                                 "ALBUM=Vorbis Album"};
const QByteArray AudioPage = oggPage({QByteArray(40, '\x11')}, 3, 0, 4096);

} // namespace

class TagWindowTest : public QObject {
    Q_OBJECT
private slots:
    void layoutBeforeReading() {
        QWidget owner;
        auto* card = new TagCard(&owner);
        QCOMPARE(card->size(), QSize(312, 111));
        QCOMPARE(card->pos(), QPoint(174, 533));
        QCOMPARE(card->pathLabel()->text(), QString());
        QCOMPARE(card->titleLabel()->text(), QStringLiteral("test"));
        QCOMPARE(card->artistLabel()->text(), QString());
        QCOMPARE(card->albumLabel()->text(), QString());
        QCOMPARE(card->pathLabel()->geometry(), QRect(8, 0, 297, 105));
        QCOMPARE(card->titleLabel()->geometry(), QRect(28, 40, 257, 25));
        QCOMPARE(card->artistLabel()->geometry().top(), 64);
        QCOMPARE(card->albumLabel()->geometry().top(), 80);
        QCOMPARE(card->pathLabel()->palette().color(QPalette::WindowText), QColor(64, 0, 64));
        QCOMPARE(card->titleLabel()->palette().color(QPalette::WindowText), QColor(64, 64, 64));
        // The path label lies in front of the three tag lines.
        const QObjectList children = card->children();
        QVERIFY(children.indexOf(card->pathLabel()) > children.indexOf(card->artistLabel()));
        QVERIFY(children.indexOf(card->pathLabel()) > children.indexOf(card->titleLabel()));
        QCOMPARE(card->holdTimer().interval(), 3000);
        QCOMPARE(card->fadeTimer().interval(), 50);
        QVERIFY(card->holdTimer().isActive() && card->fadeTimer().isActive());
        QVERIFY(card->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(card->testAttribute(Qt::WA_DeleteOnClose));
        delete card;
    }
    void textsForFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("album");
        QTest::addColumn<QString>("types"); // the opt-in types read
        const QByteArray audio(300, char(0x5A));
        const auto row = [](const char* label, const QString& name, const QByteArray& content,
                            const QString& title = {}, const QString& artist = {},
                            const QString& album = {}, const QString& types = {}) {
            dataRow(label, name, content, title, artist, album, types);
        };
        const QString tagged[] = {"Night Train  ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "Blue"};
        // Title keeps its trailing spaces; a field of 30 bytes is read whole; a NUL ends a text.
        row("tagged mp3", "song.mp3", audio + TaggedRecord, tagged[0], tagged[1], tagged[2]);
        row("tagged MP3 in capitals", "SONG2.MP3", audio + TaggedRecord, tagged[0], tagged[1],
            tagged[2]);
        row("wav", "song.wav", audio + TaggedRecord);
        row("mp3 under 256 bytes", "short.mp3", QByteArray(100, 'x') + TaggedRecord);
        row("mp3 without a record", "untagged.mp3", QByteArray(400, 'x'));
        row("missing mp3", "missing.mp3", QByteArray());
        const QString vorbis[] = {"Vorbis Title", "Vorbis Artist", "Vorbis Album"};
        row("flac", "song.flac", flacFile(Comments) + audio, vorbis[0], vorbis[1], vorbis[2],
            "flac");
        row("flac not listed", "unlisted.flac", flacFile(Comments) + audio, "", "", "", "ogg");
        row("ogg with only a trailing record", "record.ogg",
            oggVorbisHead({}) + AudioPage + TaggedRecord, tagged[0], tagged[1], tagged[2], "ogg");
        row("ogg vorbis", "song.ogg", oggVorbisHead(Comments) + AudioPage, vorbis[0], vorbis[1],
            vorbis[2], "ogg");
        row("opus", "song.opus", oggOpusHead(Comments) + AudioPage, vorbis[0], vorbis[1], vorbis[2],
            "opus");
        row("m4a", "song.m4a",
            mp4File({{"\xA9nam", "MP4 Title"},
                     {"\xA9"
                      "ART",
                      "MP4 Artist"},
                     {"\xA9"
                      "alb",
                      "MP4 Album"}}),
            "MP4 Title", "MP4 Artist", "MP4 Album", "m4a");
        // A title past the line's width ends in an ellipsis (the expected text's start shown).
        const QByteArray longTitle = "TITLE=" + QByteArray("Across the Wide Water ").repeated(20);
        row("long title", "long.flac", flacFile({longTitle}) + audio, "Across the Wide…", "", "",
            "flac");
    }
    void textsForFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(QString, types);
        const QString path = m_dir.filePath(name);
        if (!content.isEmpty())
            QVERIFY(writeFile(path, content));

        QWidget owner;
        TagReading reading;
        reading.extraTypes = parseExtraTypes(types);
        auto* card = new TagCard(&owner, reading);
        card->setTrackPath(path);
        card->setCaption(path);
        QCOMPARE(card->pathLabel()->text(), path);
        QCOMPARE(card->trackPath(), path);
        const QString shown = card->titleLabel()->text();
        if (title.endsWith(u'…')) {
            QVERIFY2(shown.startsWith(title.chopped(1)) && shown.endsWith(u'…'), qPrintable(shown));
            QVERIFY(QFontMetrics(card->titleLabel()->font()).horizontalAdvance(shown) <=
                    card->titleLabel()->width());
        } else {
            QCOMPARE(shown, title);
        }
        QCOMPARE(card->artistLabel()->text(), artist);
        QCOMPARE(card->albumLabel()->text(), album);

        if (QByteArray(QTest::currentDataTag()) == "tagged mp3") {
            card->show();
            QVERIFY(QTest::qWaitForWindowExposed(card));
            const QImage picture = card->grab().toImage();
            QVERIFY(picture.save(cardtest::artifactPath(QStringLiteral("tag-window.png"))));
            QCOMPARE(picture.pixelColor(150, 100), QColor(255, 224, 192));
            QCOMPARE(picture.pixelColor(150, 108).alpha(), 0); // below the card: see-through
        }
        delete card;
    }
    void unchangedCaptionDoesNotReadAgain() {
        const QString first = m_dir.filePath(QStringLiteral("first.mp3"));
        const QString second = m_dir.filePath(QStringLiteral("second.mp3"));
        QVERIFY(writeFile(first, QByteArray(300, 0) + tagRecord({"First", "One", "A"})));
        QVERIFY(writeFile(second, QByteArray(300, 0) + tagRecord({"Second", "Two", "B"})));
        QWidget owner;
        auto* card = new TagCard(&owner);
        card->setTrackPath(first);
        card->setCaption(QStringLiteral("the caption"));
        QCOMPARE(card->titleLabel()->text(), QStringLiteral("First"));
        // Same caption: no new read, even with a new tag text.
        card->setTrackPath(second);
        card->setCaption(QStringLiteral("the caption"));
        QCOMPARE(card->titleLabel()->text(), QStringLiteral("First"));
        // A new caption reads the tag text's file.
        card->setCaption(second);
        QCOMPARE(card->titleLabel()->text(), QStringLiteral("Second"));
        QCOMPARE(card->artistLabel()->text(), QStringLiteral("Two"));
        QCOMPARE(card->albumLabel()->text(), QStringLiteral("B"));
        delete card;
    }
    void longPathWraps() {
        // A path without spaces, far wider than the card: its second line must appear in the
        // band between the first line and the title line.
        QWidget owner;
        auto* card = new TagCard(&owner);
        const QString path = QStringLiteral("/music/") + QString(120, QLatin1Char('W')) + ".mp3";
        card->setTrackPath(path);
        card->setCaption(path);
        card->show();
        QVERIFY(QTest::qWaitForWindowExposed(card));
        const QImage picture = card->grab().toImage();
        const int lineHeight = QFontMetrics(card->pathLabel()->font()).height();
        int inked = 0;
        for (int y = lineHeight + 1; y < 40 && y < lineHeight * 2; ++y) {
            for (int x = 10; x < 300; ++x) {
                const QColor c = picture.pixelColor(x, y);
                if (c.alpha() == 255 && c.green() < 150)
                    ++inked;
            }
        }
        QVERIFY2(inked > 20, "the path continues on a second line");
        delete card;
    }
    void timelineTickByTick() {
        QWidget owner;
        auto* card = new TagCard(&owner);
        card->show();
        QList<int> seen;
        cardtest::driveTimeline(card, 7, seen);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(seen, (QList<int>{63, 111, 159, 207, 240, 240, 240, 240, 208, 176, 144, 112, 80,
                                   48, 16, -16}));
    }
    void timelineWithRealTimers() {
        QWidget owner;
        auto* card = new TagCard(&owner);
        card->show();
        QList<int> seen;
        cardtest::runTimeline(card, 600, seen);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(seen.count(240) >= 2, "the card holds at 240");
        QCOMPARE(cardtest::foldCeiling(seen, 240),
                 (QList<int>{63, 111, 159, 207, 240, 208, 176, 144, 112, 80, 48, 16, -16}));
    }
    void clickClosesAtOnce_data() {
        QTest::addColumn<bool>("onPathLabel");
        QTest::addColumn<QPoint>("where");
        QTest::addColumn<Qt::MouseButton>("button");
        dataRow("on the path label", true, QPoint(100, 50), Qt::LeftButton);
        dataRow("on the card's left edge", false, QPoint(3, 50), Qt::LeftButton);
        dataRow("right button on the path label", true, QPoint(20, 90), Qt::RightButton);
    }
    void clickClosesAtOnce() {
        QFETCH(bool, onPathLabel);
        QFETCH(QPoint, where);
        QFETCH(Qt::MouseButton, button);
        QWidget owner;
        QPointer<TagCard> card = new TagCard(&owner);
        card->show();
        QVERIFY(QTest::qWaitForWindowExposed(card));
        card->fadeTimer().stop();
        card->fadeStep(); // fading in: 111
        QSignalSpy closed(card.data(), &TagCard::closed);
        QTest::mousePress(onPathLabel ? static_cast<QWidget*>(card->pathLabel()) : card.data(),
                          button, {}, where);
        QCOMPARE(closed.size(), 1);          // at once
        QCOMPARE(card->opacityLevel(), 111); // without fading
        QVERIFY(!card->isVisible());
        QTRY_VERIFY(card.isNull());
    }
    void losingFocusCloses() {
        QWidget owner;
        owner.setGeometry(10, 10, 300, 200);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QPointer<TagCard> card = new TagCard(&owner);
        card->holdTimer().stop();
        card->fadeTimer().stop();
        card->show();
        card->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(card));
        QSignalSpy closed(card.data(), &TagCard::closed);
        owner.activateWindow();
        QTRY_COMPARE(closed.size(), 1);
        QTRY_VERIFY(card.isNull());
    }
    void showsTheTracksPicture_data() {
        QTest::addColumn<QByteArray>("track");  // an MP3
        QTest::addColumn<QByteArray>("beside"); // Cover.PNG beside it; empty: none
        QTest::addColumn<bool>("coverArt");     // the setting
        QTest::addColumn<QColor>("expected");   // the picture's middle; invalid: no picture
        const QByteArray plain = QByteArray(300, char(0x5A)) + TaggedRecord;
        const QByteArray embedded = mp3WithCover(pngOf(Qt::blue));
        dataRow("embedded cover before the folder's", embedded, pngOf(Qt::red), true,
                QColor(Qt::blue));
        dataRow("folder's picture", plain, pngOf(Qt::red), true, QColor(Qt::red));
        dataRow("undecodable embedded cover: the folder's", mp3WithCover("no picture at all"),
                pngOf(Qt::red), true, QColor(Qt::red));
        dataRow("none", plain, QByteArray(), true, QColor());
        dataRow("setting off: no folder picture", plain, pngOf(Qt::red), false, QColor());
        dataRow("setting off: no embedded cover", embedded, QByteArray(), false, QColor());
        // Scaled smoothly, never dithered: even grey, not black and white dots.
        dataRow("two-colour picture", plain, stripedPng(), true, QColor(128, 128, 128));
    }
    void showsTheTracksPicture() {
        QFETCH(QByteArray, track);
        QFETCH(QByteArray, beside);
        QFETCH(bool, coverArt);
        QFETCH(QColor, expected);
        const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeFile(folder + "/track.mp3", track));
        if (!beside.isEmpty())
            QVERIFY(writeFile(folder + "/Cover.PNG", beside));

        QWidget owner;
        TagReading reading;
        reading.id3v2 = true;
        reading.coverArt = coverArt;
        auto* card = new TagCard(&owner, reading);
        QWidget* lines[] = {card->pathLabel(), card->artistLabel(), card->albumLabel(),
                            card->titleLabel()};
        QList<QRect> designed;
        for (QWidget* line : lines)
            designed << line->geometry();
        const QPoint place = card->pos();
        const QSize size = card->size();
        const auto open = [card](const QString& path) {
            card->setTrackPath(path);
            card->setCaption(path);
        };
        open(folder + "/track.mp3");
        QCOMPARE(card->titleLabel()->text(), QStringLiteral("Night Train  "));
        // The design's texts stay where they are, the card where it is.
        for (int i = 0; i < 4; ++i)
            QCOMPARE(lines[i]->geometry(), designed[i]);
        QCOMPARE(card->pos(), place);
        QLabel* cover = card->coverLabel();
        if (!expected.isValid()) {
            QVERIFY(!cover->isVisibleTo(card));
            QCOMPARE(card->size(), size);
            delete card;
            return;
        }
        QVERIFY(cover->isVisibleTo(card));
        const QRect area = cover->geometry();
        const QSizeF picture = cover->pixmap().deviceIndependentSize();
        QVERIFY2(picture.width() >= 80 && picture.height() >= 80, "big enough to be seen");
        QVERIFY(card->rect().contains(area));
        for (QWidget* line : lines)
            QVERIFY(!area.intersects(line->geometry()));
        card->show();
        QVERIFY(QTest::qWaitForWindowExposed(card));
        const QImage shown = card->grab().toImage();
        const QColor middle = shown.pixelColor(area.center());
        QVERIFY2(qAbs(middle.red() - expected.red()) <= 24 &&
                     qAbs(middle.green() - expected.green()) <= 24 &&
                     qAbs(middle.blue() - expected.blue()) <= 24,
                 qPrintable(middle.name()));
        // On the card, which has grown to hold it.
        QCOMPARE(shown.pixelColor(area.right() + 2, area.center().y()), QColor(255, 224, 192));
        if (QByteArray(QTest::currentDataTag()) == "folder's picture")
            QVERIFY(shown.save(cardtest::artifactPath(QStringLiteral("tag-window-cover.png"))));
        // Another track without a picture: none, and the card as designed.
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("bare.mp3")), TaggedRecord.repeated(3)));
        open(m_dir.filePath(QStringLiteral("bare.mp3")));
        QVERIFY(!cover->isVisibleTo(card));
        QCOMPARE(card->size(), size);
        delete card;
    }

    // With ReplayGain on, the file name's tool tip says what is applied to the track, and
    // why that is less than the tagged gain.
    void toolTipTellsTheReplayGain_data() {
        QTest::addColumn<int>("mode"); // ReplayGainMode
        QTest::addColumn<QByteArray>("gain");
        QTest::addColumn<QByteArray>("peak"); // empty: none tagged
        QTest::addColumn<QString>("expected");
        dataRow("track", int(ReplayGainMode::Track), QByteArray("-6.50 dB"), QByteArray(),
                QStringLiteral("ReplayGain: track -6.50 dB"));
        dataRow("album, none tagged: the track's", int(ReplayGainMode::Album),
                QByteArray("-6.50 dB"), QByteArray(), QStringLiteral("ReplayGain: track -6.50 dB"));
        dataRow("off", int(ReplayGainMode::Off), QByteArray("-6.50 dB"), QByteArray(), QString());
        dataRow("a raise without a peak", int(ReplayGainMode::Track), QByteArray("+99.00 dB"),
                QByteArray(),
                QStringLiteral("ReplayGain: track +0.00 dB (tagged +99.00 dB, not raised without "
                               "a peak)"));
        dataRow(
            "a cut of a peak above full scale", int(ReplayGainMode::Track), QByteArray("-1.00 dB"),
            QByteArray("1.200000"),
            QStringLiteral("ReplayGain: track -1.58 dB (tagged -1.00 dB, limited by the peak)"));
    }
    void toolTipTellsTheReplayGain() {
        QFETCH(int, mode);
        QFETCH(QByteArray, gain);
        QFETCH(QByteArray, peak);
        QFETCH(QString, expected);
        using namespace sonavue::testing::id3v2;
        const auto txxx = [](const QByteArray& description, const QByteArray& value) {
            return frame(3, "TXXX", QByteArray(1, '\0') + description + '\0' + value);
        };
        QByteArray frames = txxx("REPLAYGAIN_TRACK_GAIN", gain);
        if (!peak.isEmpty())
            frames += txxx("REPLAYGAIN_TRACK_PEAK", peak);
        const QString path = m_dir.filePath(QStringLiteral("gain.mp3"));
        QVERIFY(writeFile(path, tag(3, frames) + QByteArray(300, char(0x5A)) + TaggedRecord));
        QWidget owner;
        TagReading reading;
        reading.replayGain = ReplayGainMode(mode);
        auto* card = new TagCard(&owner, reading);
        card->setTrackPath(path);
        card->setCaption(path);
        QCOMPARE(card->pathLabel()->toolTip(), expected);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TagWindowTest)
#include "test_ui_parts_tagcard.moc"
