// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The background window: which picture it shows and where it lies.
#include "support/artifacts.h"
#include "support/datarow.h"
#include "ui/window/backgroundwindow.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

// A picture with a red left half and a blue right half.
QImage twoColourPicture(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width() / 2, size.height(), QColor(220, 0, 0));
    painter.fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(),
                     QColor(0, 0, 220));
    return image;
}

bool reddish(const QColor& c) {
    return c.red() > 150 && c.blue() < 80;
}
bool bluish(const QColor& c) {
    return c.blue() > 150 && c.red() < 80;
}

// Makes the current folder a fresh temporary one for the test's lifetime.
class CurrentFolder {
public:
    CurrentFolder() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~CurrentFolder() { QDir::setCurrent(m_previous); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace

class BackgroundTest : public QObject {
    Q_OBJECT
private slots:
    void builtInPicture() {
        const QImage picture = BackgroundWindow::builtInPicture();
        QCOMPARE(picture.size(), QSize(1181, 869));
        QCOMPARE(BackgroundWindow::builtInPicture(), picture); // the same every time
        // A picture, not a flat fill: many colours, lighter towards the horizon.
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 17)
            for (int x = 0; x < picture.width(); x += 13)
                colours.insert(picture.pixel(x, y));
        QVERIFY(colours.size() > 500);
        QVERIFY(picture.pixelColor(20, 20).lightness() < picture.pixelColor(20, 560).lightness());
        QVERIFY(picture.save(artifactPath(QStringLiteral("background-built-in.png"))));
    }
    void pictureChoice_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("builtIn");
        QTest::addColumn<QSize>("size");
        dataRow("no file", "none", true, QSize(1181, 869));
        dataRow("a JPEG picture", "jpeg", false, QSize(40, 30));
        dataRow("a PNG picture named .jpg", "png", false, QSize(40, 30));
        dataRow("a text file", "text", true, QSize(1181, 869));
        dataRow("an empty file", "empty", true, QSize(1181, 869));
        dataRow("a truncated JPEG", "truncated", true, QSize(1181, 869));
        dataRow("a folder of that name", "folder", true, QSize(1181, 869));
        dataRow("a pipe of that name", "pipe", true, QSize(1181, 869));
    }
    void pictureChoice() {
        QFETCH(QString, kind);
        QFETCH(bool, builtIn);
        QFETCH(QSize, size);
        CurrentFolder folder;
        const QString path = folder.filePath(QStringLiteral("backimage.jpg"));
        QByteArray jpeg;
        {
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(twoColourPicture(QSize(40, 30)).save(&buffer, "JPG"));
        }
        QFile file(path);
        if (kind == QLatin1String("jpeg") || kind == QLatin1String("truncated") ||
            kind == QLatin1String("text") || kind == QLatin1String("empty")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (kind == QLatin1String("jpeg"))
                file.write(jpeg);
            else if (kind == QLatin1String("truncated"))
                file.write(jpeg.left(20));
            else if (kind == QLatin1String("text"))
                file.write("this is not a picture\n");
            file.close();
        } else if (kind == QLatin1String("png")) {
            QVERIFY(twoColourPicture(QSize(40, 30)).save(path, "PNG"));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }

        QWidget main;
        main.setGeometry(50, 60, 400, 300);
        BackgroundWindow background(&main);
        QCOMPARE(background.usingBuiltInPicture(), builtIn);
        QCOMPARE(background.picture().size(), size);
        if (builtIn) {
            QCOMPARE(background.picture(), BackgroundWindow::builtInPicture());
        } else {
            QVERIFY(reddish(background.picture().pixelColor(5, 15)));
            QVERIFY(bluish(background.picture().pixelColor(35, 15)));
        }
    }
    void pictureStretchedToWindow() {
        CurrentFolder folder;
        QVERIFY(twoColourPicture(QSize(40, 30))
                    .save(folder.filePath(QStringLiteral("backimage.jpg")), "JPG"));
        QWidget main(nullptr, Qt::FramelessWindowHint); // as the real main window
        main.setGeometry(50, 60, 400, 300);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        BackgroundWindow background(&main);
        background.show();
        QVERIFY(QTest::qWaitForWindowExposed(&background));
        QCOMPARE(background.geometry(), QRect(50, 60, 400, 300));
        const QImage shown = background.grab().toImage();
        QCOMPARE(shown.size(), QSize(400, 300));
        // The 40 x 30 picture fills the whole window: red to the middle, blue after it.
        for (const QPoint& p : {QPoint(2, 2), QPoint(190, 150), QPoint(2, 297)})
            QVERIFY2(reddish(shown.pixelColor(p)), qPrintable(QString::number(p.x())));
        for (const QPoint& p : {QPoint(397, 2), QPoint(210, 150), QPoint(397, 297)})
            QVERIFY2(bluish(shown.pixelColor(p)), qPrintable(QString::number(p.x())));
    }
    void initTakesMainWindowPlace() {
        CurrentFolder folder;
        QWidget main;
        main.setGeometry(120, 90, 500, 360);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        BackgroundWindow background(&main);
        QCOMPARE(background.geometry(), main.frameGeometry());
        QVERIFY(background.windowFlags().testFlag(Qt::WindowStaysOnBottomHint));
        QVERIFY(background.windowFlags().testFlag(Qt::FramelessWindowHint));
        background.show();
        QVERIFY(QTest::qWaitForWindowExposed(&background));
        QTRY_VERIFY(main.isActiveWindow()); // the main window keeps the focus

        main.setGeometry(30, 40, 640, 420);
        QVERIFY(background.geometry() != main.frameGeometry());
        background.init();
        QCOMPARE(background.geometry(), main.frameGeometry());
        QTRY_VERIFY(main.isActiveWindow());
    }
    void mainWindowGone() {
        CurrentFolder folder;
        auto main = std::make_unique<QWidget>();
        main->setGeometry(10, 20, 300, 200);
        BackgroundWindow background(main.get());
        const QRect before = background.geometry();
        main.reset();
        background.init(); // nothing to align with: stays where it is
        QCOMPARE(background.geometry(), before);
    }
};

QTEST_MAIN(BackgroundTest)
#include "test_ui_parts_background.moc"
