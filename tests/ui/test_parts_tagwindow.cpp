// The tag card: what it shows for different files, its fade timeline, and what closes it.
#include "parts_cards.h"
#include "tags/id3v2writer.h"
#include "ui/tagwindow.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>

using namespace sonavue;

namespace {

// A 128-byte trailing record; texts are copied byte for byte (NUL padding after them).
QByteArray tagRecord(const QByteArray& title, const QByteArray& artist, const QByteArray& album) {
    QByteArray record(128, '\0');
    record.replace(0, 3, "TAG");
    record.replace(3, qMin<qsizetype>(title.size(), 30), title.left(30));
    record.replace(33, qMin<qsizetype>(artist.size(), 30), artist.left(30));
    record.replace(63, qMin<qsizetype>(album.size(), 30), album.left(30));
    return record;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QByteArray TaggedRecord =
    tagRecord(QByteArrayLiteral("Night Train  "),
              QByteArrayLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"), QByteArray("Blue\0Skies", 10));

QByteArray pngOf(const QColor& colour) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// An MP3 with an ID3v2.3 tag holding only a front cover, and the trailing record.
QByteArray mp3WithCover(const QByteArray& picture) {
    using namespace sonavue::test;
    const QByteArray apic = QByteArray(1, '\0') + "image/png" + '\0' + char(3) + '\0' + picture;
    return tag(3, frame(3, "APIC", apic)) + QByteArray(300, char(0x5A)) + TaggedRecord;
}

} // namespace

class TagWindowTest : public QObject {
    Q_OBJECT
private slots:
    void layoutBeforeReading();
    void textsForFile_data();
    void textsForFile();
    void unchangedCaptionDoesNotReadAgain();
    void longPathWraps();
    void timelineTickByTick();
    void timelineWithRealTimers();
    void clickClosesAtOnce_data();
    void clickClosesAtOnce();
    void losingFocusCloses();
    void showsTheTracksPicture();

private:
    QTemporaryDir m_dir;
};

void TagWindowTest::layoutBeforeReading() {
    QWidget owner;
    auto* card = new Form3(&owner);
    QCOMPARE(card->size(), QSize(312, 111));
    QCOMPARE(card->pos(), QPoint(174, 533));
    QCOMPARE(card->Label1()->text(), QString());
    QCOMPARE(card->Label4()->text(), QStringLiteral("test"));
    QCOMPARE(card->Label2()->text(), QString());
    QCOMPARE(card->Label3()->text(), QString());
    QCOMPARE(card->Label1()->geometry(), QRect(8, 0, 297, 105));
    QCOMPARE(card->Label4()->geometry(), QRect(28, 40, 257, 25));
    QCOMPARE(card->Label2()->geometry().top(), 64);
    QCOMPARE(card->Label3()->geometry().top(), 80);
    QCOMPARE(card->Label1()->palette().color(QPalette::WindowText), QColor(64, 0, 64));
    QCOMPARE(card->Label4()->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    // The path label lies in front of the three tag lines.
    const QObjectList children = card->children();
    QVERIFY(children.indexOf(card->Label1()) > children.indexOf(card->Label2()));
    QVERIFY(children.indexOf(card->Label1()) > children.indexOf(card->Label4()));
    QCOMPARE(card->holdTimer().interval(), 3000);
    QCOMPARE(card->fadeTimer().interval(), 50);
    QVERIFY(card->holdTimer().isActive() && card->fadeTimer().isActive());
    QVERIFY(card->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(card->testAttribute(Qt::WA_DeleteOnClose));
    delete card;
}

void TagWindowTest::textsForFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("album");
    const QByteArray audio(300, char(0x5A));
    // Title keeps its trailing spaces; a field of 30 bytes is read whole; a NUL ends a text.
    QTest::newRow("tagged mp3") << "song.mp3" << audio + TaggedRecord << "Night Train  "
                                << "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"
                                << "Blue";
    QTest::newRow("tagged MP3 in capitals")
        << "SONG2.MP3" << audio + TaggedRecord << "Night Train  "
        << "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"
        << "Blue";
    QTest::newRow("wav") << "song.wav" << audio + TaggedRecord << ""
                         << ""
                         << "";
    QTest::newRow("mp3 under 256 bytes") << "short.mp3" << QByteArray(100, 'x') + TaggedRecord << ""
                                         << ""
                                         << "";
    QTest::newRow("mp3 without a record") << "untagged.mp3" << QByteArray(400, 'x') << ""
                                          << ""
                                          << "";
    QTest::newRow("missing mp3") << "missing.mp3" << QByteArray() << ""
                                 << ""
                                 << "";
}

void TagWindowTest::textsForFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, title);
    QFETCH(QString, artist);
    QFETCH(QString, album);
    const QString path = m_dir.filePath(name);
    if (!content.isEmpty())
        QVERIFY(writeFile(path, content));

    QWidget owner;
    auto* card = new Form3(&owner);
    card->setLabel1Tag(path);
    card->setLabel1Caption(path);
    QCOMPARE(card->Label1()->text(), path);
    QCOMPARE(card->label1Tag(), path);
    QCOMPARE(card->Label4()->text(), title);
    QCOMPARE(card->Label2()->text(), artist);
    QCOMPARE(card->Label3()->text(), album);

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

void TagWindowTest::unchangedCaptionDoesNotReadAgain() {
    const QString first = m_dir.filePath(QStringLiteral("first.mp3"));
    const QString second = m_dir.filePath(QStringLiteral("second.mp3"));
    QVERIFY(writeFile(first, QByteArray(300, 0) + tagRecord("First", "One", "A")));
    QVERIFY(writeFile(second, QByteArray(300, 0) + tagRecord("Second", "Two", "B")));
    QWidget owner;
    auto* card = new Form3(&owner);
    card->setLabel1Tag(first);
    card->setLabel1Caption(QStringLiteral("the caption"));
    QCOMPARE(card->Label4()->text(), QStringLiteral("First"));
    // Same caption: no new read, even with a new tag text.
    card->setLabel1Tag(second);
    card->setLabel1Caption(QStringLiteral("the caption"));
    QCOMPARE(card->Label4()->text(), QStringLiteral("First"));
    // A new caption reads the tag text's file.
    card->setLabel1Caption(second);
    QCOMPARE(card->Label4()->text(), QStringLiteral("Second"));
    QCOMPARE(card->Label2()->text(), QStringLiteral("Two"));
    QCOMPARE(card->Label3()->text(), QStringLiteral("B"));
    delete card;
}

void TagWindowTest::longPathWraps() {
    // A path without spaces, far wider than the card: its second line must appear in the
    // band between the first line and the title line.
    QWidget owner;
    auto* card = new Form3(&owner);
    const QString path = QStringLiteral("/music/") + QString(120, QLatin1Char('W')) + ".mp3";
    card->setLabel1Tag(path);
    card->setLabel1Caption(path);
    card->show();
    QVERIFY(QTest::qWaitForWindowExposed(card));
    const QImage picture = card->grab().toImage();
    const int lineHeight = QFontMetrics(card->Label1()->font()).height();
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

void TagWindowTest::timelineTickByTick() {
    QWidget owner;
    auto* card = new Form3(&owner);
    card->show();
    QList<int> seen;
    cardtest::driveTimeline(card, 7, seen);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(seen, (QList<int>{63, 111, 159, 207, 240, 240, 240, 240, 208, 176, 144, 112, 80, 48,
                               16, -16}));
}

void TagWindowTest::timelineWithRealTimers() {
    QWidget owner;
    auto* card = new Form3(&owner);
    card->show();
    QList<int> seen;
    cardtest::runTimeline(card, 600, seen);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(seen.count(240) >= 2, "the card holds at 240");
    QCOMPARE(cardtest::foldCeiling(seen, 240),
             (QList<int>{63, 111, 159, 207, 240, 208, 176, 144, 112, 80, 48, 16, -16}));
}

void TagWindowTest::clickClosesAtOnce_data() {
    QTest::addColumn<bool>("onLabel1");
    QTest::addColumn<QPoint>("where");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("on the path label") << true << QPoint(100, 50) << Qt::LeftButton;
    QTest::newRow("on the card's left edge") << false << QPoint(3, 50) << Qt::LeftButton;
    QTest::newRow("right button on the path label") << true << QPoint(20, 90) << Qt::RightButton;
}

void TagWindowTest::clickClosesAtOnce() {
    QFETCH(bool, onLabel1);
    QFETCH(QPoint, where);
    QFETCH(Qt::MouseButton, button);
    QWidget owner;
    QPointer<Form3> card = new Form3(&owner);
    card->show();
    QVERIFY(QTest::qWaitForWindowExposed(card));
    card->fadeTimer().stop();
    card->Timer2_Timer(); // fading in: 111
    QSignalSpy closed(card.data(), &Form3::closed);
    QTest::mousePress(onLabel1 ? static_cast<QWidget*>(card->Label1()) : card.data(), button, {},
                      where);
    QCOMPARE(closed.size(), 1);          // at once
    QCOMPARE(card->opacityLevel(), 111); // without fading
    QVERIFY(!card->isVisible());
    QTRY_VERIFY(card.isNull());
}

void TagWindowTest::losingFocusCloses() {
    QWidget owner;
    owner.setGeometry(10, 10, 300, 200);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QPointer<Form3> card = new Form3(&owner);
    card->holdTimer().stop();
    card->fadeTimer().stop();
    card->show();
    card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(card));
    QSignalSpy closed(card.data(), &Form3::closed);
    owner.activateWindow();
    QTRY_COMPARE(closed.size(), 1);
    QTRY_VERIFY(card.isNull());
}

void TagWindowTest::showsTheTracksPicture() {
    const QString folder = m_dir.filePath(QStringLiteral("pictures"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeFile(folder + "/Cover.PNG", pngOf(Qt::red)));
    QVERIFY(writeFile(folder + "/plain.mp3", QByteArray(300, char(0x5A)) + TaggedRecord));
    QVERIFY(writeFile(folder + "/embedded.mp3", mp3WithCover(pngOf(Qt::blue))));
    const QString bare = m_dir.filePath(QStringLiteral("song.mp3"));
    QVERIFY(writeFile(bare, QByteArray(300, char(0x5A)) + TaggedRecord));

    QWidget owner;
    const auto shownColour = [](Form3* card) {
        if (!card->coverLabel()->isVisibleTo(card))
            return QColor();
        return card->coverLabel()->pixmap().toImage().pixelColor(12, 12);
    };
    const auto open = [](Form3* card, const QString& path) {
        card->setLabel1Tag(path);
        card->setLabel1Caption(path);
    };
    TagReading withID3v2;
    withID3v2.id3v2 = true;
    auto* card = new Form3(&owner, withID3v2);
    // The embedded cover comes before the folder's picture.
    open(card, folder + "/embedded.mp3");
    QCOMPARE(shownColour(card), QColor(Qt::blue));
    open(card, folder + "/plain.mp3");
    QCOMPARE(shownColour(card), QColor(Qt::red));
    QCOMPARE(card->Label4()->text(), QStringLiteral("Night Train  "));
    // Small, at the left edge, clear of the tag lines, which stay where they were.
    const QRect cover = card->coverLabel()->geometry();
    QVERIFY(cover.width() <= 24 && cover.height() <= 24 && cover.left() >= 0);
    for (const QLabel* line : {card->Label2(), card->Label3(), card->Label4()})
        QVERIFY(!cover.intersects(line->geometry()));
    QCOMPARE(card->Label4()->geometry(), QRect(28, 40, 257, 25));
    card->show();
    QVERIFY(QTest::qWaitForWindowExposed(card));
    QCOMPARE(card->grab().toImage().pixelColor(cover.center()), QColor(Qt::red));
    // A track without a picture: none shown.
    open(card, bare);
    QCOMPARE(shownColour(card), QColor());
    delete card;

    // With the ID3v2 setting off only the folder's picture counts.
    card = new Form3(&owner);
    open(card, folder + "/embedded.mp3");
    QCOMPARE(shownColour(card), QColor(Qt::red));
    delete card;
}

QTEST_MAIN(TagWindowTest)
#include "test_parts_tagwindow.moc"
