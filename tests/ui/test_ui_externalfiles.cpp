// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Files from outside the music folder (the command line, a second start, media controls, a
// drop on the window) go to the reserved list after the scan's checks; play starts with
// them when nothing plays.
#include "mainwindowfixture.h"

#include "base/fileuri.h"
#include "base/nativepath.h"
#include "catalogue/externalfiles.h"
#include "support/datarow.h"
#include "support/queuedcalls.h"
#include "ui/settings/settingsframe.h"

#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>
#include <sys/stat.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueExternalFilesTest");

struct Window {
    RunningWindow form;
    StatefulMedia* media = nullptr;
    QStringList log;
};

std::unique_ptr<Window> startWindow() {
    auto window = std::make_unique<Window>();
    auto media = std::make_unique<StatefulMedia>(window->log);
    window->media = media.get();
    window->form = startProgram(testOptions(App, std::move(media)));
    return window;
}

// Sends a drag of urls onto the window's middle, then drops it; whether the drop was taken.
bool dropOn(MainWindow& form, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint centre = form.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    return drop.isAccepted();
}
} // namespace

class ExternalFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SettingsFile m_settings{App};
    QString m_outside; // files that are not in the music folder

    QString outside(const QString& name) const { return m_outside + QLatin1Char('/') + name; }
    void makeFile(const QString& name) {
        QFile file(outside(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300, 'x'));
    }

private slots:
    void initTestCase() {
        const QString music = m_dir.filePath(QStringLiteral("music"));
        m_outside = m_dir.filePath(QStringLiteral("outside"));
        writeTrack(music, {QStringLiteral("A/one.mp3"), QStringLiteral("One")});
        QVERIFY(QDir().mkpath(m_outside));
        for (const char* name : {"a.mp3", "b.MP3", "c.wav", "d.mid", "e.mp3", "f2.mp3", "g.mp3",
                                 "h.flac", "notes.txt"})
            makeFile(QString::fromLatin1(name));
        QCOMPARE(::mkfifo(QFile::encodeName(outside("f.mp3")).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(outside("folder.mp3")));
        m_settings.set(QStringLiteral("Folder"), music);
    }

    // Each of these is refused with its reason and leaves the list and the player alone.
    void refusesWhatTheScanWouldNotList_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        dataRow("pipe named like a track", outside("f.mp3"), "not a regular file");
        dataRow("folder", outside("folder.mp3"), "a folder");
        dataRow("missing file", outside("gone.mp3"), "no such file");
        dataRow("other type", outside("notes.txt"), "not a type that plays here");
        dataRow("relative path", QStringLiteral("a.mp3"), "not an absolute path");
        dataRow("NUL before a music name",
                QStringLiteral("/etc/passwd") + QChar(u'\0') + QStringLiteral(".mp3"), "NUL");
    }
    void refusesWhatTheScanWouldNotList() {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        auto w = startWindow();
        w->log.clear();
        const QStringList answers = w->form->core().transport().openFiles({path});
        QCOMPARE(answers.size(), 1);
        QVERIFY2(answers[0].contains(reason), qPrintable(answers[0]));
        QVERIFY(deliverQueuedCalls()); // a start, had one been planned, has run
        QCOMPARE(w->form->core().browsing().reserved().paths(), QStringList());
        QCOMPARE(w->log, QStringList());
    }

    // With nothing playing the reserved list's head starts as continuous start plays it;
    // the rest wait on the list. Any type the player plays is taken, in any letter case,
    // whatever the scan lists: a WAV with its box off, a FLAC without the types setting.
    void startsPlayWhenNothingPlays() {
        auto w = startWindow();
        w->form->settingsFrame().setFileType(2, false);
        w->form->musicFolder().applyFileTypes();
        w->log.clear();
        const QStringList files{outside("a.mp3"), outside("b.MP3"), outside("c.wav"),
                                outside("h.flac")};
        const QStringList answers = w->form->core().transport().openFiles(files);
        QCOMPARE(answers, QStringList(4, QString()));
        QCOMPARE(w->form->core().browsing().reserved().paths(), files);
        QTRY_COMPARE(w->media->opened(), QStringList{outside("a.mp3")});
        QCOMPARE(w->form->core().browsing().reserved().paths(), files.mid(1));
        QVERIFY(w->form->core().player().reservedPlaying());
        QCOMPARE(w->log.mid(w->log.indexOf("Open a.mp3")), (QStringList{"Open a.mp3", "Play"}));
    }

    // While a track plays the files only queue ("終了後"), at most five; the rest are
    // refused as a sixth double-click is.
    void queuesWhilePlayingUpToFive() {
        auto w = startWindow();
        w->form->settingsFrame().setImmediateChange(false);
        w->media->playState = MediaControl::State::Playing;
        w->log.clear();
        const QStringList files{outside("a.mp3"), outside("b.MP3"),  outside("a.mp3"),
                                outside("e.mp3"), outside("f2.mp3"), outside("g.mp3")};
        const QStringList answers = w->form->core().transport().openFiles(files);
        QCOMPARE(answers.mid(0, 5), QStringList(5, QString()));
        QVERIFY2(answers[5].contains("reserved list is full"), qPrintable(answers[5]));
        QCOMPARE(w->form->core().browsing().reserved().paths(), files.mid(0, 5));
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(w->log, QStringList());
        QVERIFY(!w->form->core().player().fading());
    }

    // Under "即時" a file added while a track plays fades that track out, as a double-click
    // does.
    void immediateModeFadesThePlayingTrack() {
        auto w = startWindow();
        w->form->settingsFrame().setImmediateChange(true);
        w->media->playState = MediaControl::State::Playing;
        QCOMPARE(w->form->core().transport().openFiles({outside("a.mp3")}), QStringList{QString()});
        QVERIFY(w->form->core().player().fading());
        QVERIFY(w->form->core().player().reservedPlaying());
    }

    // A real drop on the window: files are added, the folder and a remote URL are not.
    void dropAddsFiles() {
        auto w = startWindow();
        QVERIFY(w->form->acceptDrops());
        w->media->playState = MediaControl::State::Playing;
        QVERIFY(dropOn(*w->form, {QUrl::fromLocalFile(outside("a.mp3")),
                                  QUrl::fromLocalFile(outside("folder.mp3")),
                                  QUrl(QStringLiteral("https://example.com/x.mp3")),
                                  QUrl::fromLocalFile(outside("e.mp3"))}));
        QCOMPARE(w->form->core().browsing().reserved().paths(),
                 (QStringList{outside("a.mp3"), outside("e.mp3")}));
        // Only folders: nothing taken, the drop is refused.
        QVERIFY(!dropOn(*w->form, {QUrl::fromLocalFile(outside("folder.mp3"))}));
        QCOMPARE(w->form->core().browsing().reserved().paths().size(), 2);
    }

    void readsFileUris_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QByteArray>("bytes"); // empty: not a local file
        dataRow("plain", "file:///etc/passwd", QByteArray("/etc/passwd"));
        dataRow("localhost", "file://localhost/a%20b.mp3", QByteArray("/a b.mp3"));
        dataRow("bytes not UTF-8", "file:///m/%E9t%C3%A9.mp3", QByteArray("/m/\xE9t\xC3\xA9.mp3"));
        dataRow("hash in a name", "file:///m/%23.mp3", QByteArray("/m/#.mp3"));
        dataRow("other host", "file://server/a.mp3", QByteArray());
        dataRow("web", "https://example.com/a.mp3", QByteArray());
        dataRow("no scheme", "/etc/passwd", QByteArray());
        dataRow("with a query", "file:///a.mp3?x=1", QByteArray());
    }
    void readsFileUris() {
        QFETCH(QString, uri);
        QFETCH(QByteArray, bytes);
        const std::optional<QString> path = pathOfFileUri(uri);
        QCOMPARE(path.has_value(), !bytes.isEmpty());
        if (path)
            QCOMPARE(pathToNative(*path), bytes);
    }
};

QTEST_MAIN(ExternalFilesTest)
#include "test_ui_externalfiles.moc"
