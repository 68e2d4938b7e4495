// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Picking up where the user left off (resume): a window closed while a track plays keeps the
// reserved list, the group entry shown, the selected track and the playing track with its
// position; the next start brings them back, paused there (1) or playing (2), passing over
// what is gone. Off, nothing is kept; a damaged file starts afresh.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "support/datarow.h"

#include <QListView>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueResumeTest");

// Plays as the test says, and logs pauses and seeks beside the fake's own calls.
class ResumingMedia : public StatefulMedia {
public:
    ResumingMedia(QStringList& log) : StatefulMedia(log), m_log(log) {}
    qint64 positionMs() const override { return 42000; }
    void pause() override { m_log << QStringLiteral("Pause"); }
    void seekMs(qint64 ms) override { m_log << QStringLiteral("Seek %1").arg(ms); }

private:
    QStringList& m_log;
};

struct Window {
    RunningWindow form;
    ResumingMedia* media = nullptr;
    QStringList log;
};

std::unique_ptr<Window> startWindow() {
    auto window = std::make_unique<Window>();
    auto media = std::make_unique<ResumingMedia>(window->log);
    window->media = media.get();
    window->form = startProgram(testOptions(App, std::move(media)));
    return window;
}
} // namespace

class ResumeTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SettingsFile m_settings{App};
    QString m_music, m_kept;

    QString track(const char* name) const {
        return m_music + QLatin1Char('/') + QLatin1String(name);
    }

    // A run that leaves off playing two.mp3 from the artist "Ann", one.mp3 and a file that
    // will be gone reserved, one.mp3 selected.
    void leaveOff() {
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("gone.mp3")), QByteArray(300, 'x')));
        auto w = startWindow();
        MainWindow& f = *w->form;
        BrowsingModel& browsing = f.core().browsing();
        browsing.selectGroupEntry(GroupArtist, browsing.groupList(GroupArtist).indexOf("Ann"));
        browsing.selectTrack(1);
        f.core().transport().selectStart();
        w->media->playState = MediaControl::State::Playing;
        browsing.reserved().append(track("A/one.mp3"));
        browsing.reserved().append(m_dir.filePath(QStringLiteral("gone.mp3")));
        browsing.selectTrack(0);
        f.close();
        w->form.reset();
        QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("gone.mp3"))));
    }

private slots:
    void initTestCase() {
        m_music = m_dir.filePath(QStringLiteral("music"));
        writeTrack(m_music, {QStringLiteral("A/one.mp3"), QStringLiteral("One"), "Ann"});
        writeTrack(m_music, {QStringLiteral("A/two.mp3"), QStringLiteral("Two"), "Ann"});
        writeTrack(m_music, {QStringLiteral("B/three.mp3"), QStringLiteral("Three"), "Bob"});
        m_settings.set(QStringLiteral("Folder"), m_music);
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("state"))));
        m_kept = m_dir.filePath(QStringLiteral("state/Sonavue/resume.json"));
    }
    void init() { QFile::remove(m_kept); }

    void picksUpWhereItLeftOff_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("start"); // what the media element is told, in order
        dataRow("paused", "1", QStringList{"Open two.mp3", "Play", "Pause", "Seek 42000"});
        dataRow("playing", "2", QStringList{"Open two.mp3", "Play", "Seek 42000"});
    }
    void picksUpWhereItLeftOff() {
        QFETCH(QString, mode);
        QFETCH(QStringList, start);
        m_settings.set(QStringLiteral("resume"), mode);
        leaveOff();
        QVERIFY(QFileInfo::exists(m_kept));
        QCOMPARE(QFileInfo(QFileInfo(m_kept).path()).permissions() & QFile::ReadOther,
                 QFileDevice::Permissions());

        auto w = startWindow();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QCOMPARE(w->log.mid(w->log.indexOf("Open two.mp3")), start);
        QCOMPARE(f.core().browsing().reserved().paths(), QStringList{track("A/one.mp3")});
        QCOMPARE(rows(ui.titlesList), (QStringList{"One", "Two"}));
        QCOMPARE(highlighted(ui.titlesList), 0);
        // The step goes on as after any other track: the reserved list, then the track after
        // the resumed one (past Ann's last, Bob's first).
        w->media->finish(PlayEnd::Reached);
        w->media->finish(PlayEnd::Reached);
        QCOMPARE(openedNames(w->log).mid(1), (QStringList{"one.mp3", "three.mp3"}));
    }

    void offKeepsNothingAndDamageStartsAfresh() {
        m_settings.set(QStringLiteral("resume"), QStringLiteral("0"));
        leaveOff();
        QVERIFY(!QFileInfo::exists(m_kept));

        m_settings.set(QStringLiteral("resume"), QStringLiteral("1"));
        QVERIFY(writeFile(m_kept, "{\"version\": 1, \"reserved\": {\"x\": 1"));
        auto w = startWindow();
        QCOMPARE(openedNames(w->log), QStringList());
        QCOMPARE(w->form->core().browsing().reserved().count(), 0);
    }
};

QTEST_MAIN(ResumeTest)
#include "test_ui_resume.moc"
