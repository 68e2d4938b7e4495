// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Appearance options, folder chooser, picture buttons, size label, about line and the tag
// pop-up, through the real main window; settings survive a restart of the window.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "support/artifacts.h"
#include "support/datarow.h"
#include "support/queuedcalls.h"
#include "ui/controls/imagebutton.h"
#include "ui/style/colours.h"
#include "ui/style/twips.h"
#include "ui/window/layoutrules.h"
#include "web/webenginesetup.h"
#include "web/webpaneltesting.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWebEngineView>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueAppearanceTest");

QColor textColourOf(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}
QColor backgroundOf(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}
} // namespace

class AppearanceWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_music;
    SettingsFile m_settings{App};
    QStringList m_messages;
    QString m_dialogAnswer;
    QString m_dialogInitial;
    QString m_dialogTitle;

    std::unique_ptr<StartedWindow> start(bool withWeb = false) {
        auto started = std::make_unique<StartedWindow>();
        auto media = std::make_unique<FakeMediaControl>(started->mediaLog);
        started->media = media.get();
        StartOptions options = testOptions(App, std::move(media), withWeb);
        options.window.showMessage = [this](const QString& text) { m_messages << text; };
        options.window.folderDialog = [this](QWidget*, const QString& title,
                                             const QString& initial) -> QString {
            m_dialogTitle = title;
            m_dialogInitial = initial;
            return m_dialogAnswer;
        };
        started->form = startProgram(std::move(options));
        return started;
    }

    void saveArtifact(QWidget* widget, const QString& name) {
        QVERIFY(widget->grab().save(artifactPath(name)));
    }

private slots:
    void initTestCase() {
        m_music = m_dir.path() + QStringLiteral("/music");
        writeTrack(m_music, {QStringLiteral("Band/song.mp3"), QStringLiteral("Song Title"),
                             QStringLiteral("The Artist"), QStringLiteral("The Album"),
                             QStringLiteral("2020")});
        writeTrack(m_music, {QStringLiteral("Band/other.wav"), {}, {}, {}, {}, 0, false});
    }
    void init() {
        m_settings.remove();
        m_settings.set(QStringLiteral("Folder"), m_music);
        m_messages.clear();
    }

    void coloursAndTheirThresholds() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        // White from the settings default: dark green text, light green strip.
        QCOMPARE(textColourOf(ui.reservedLabel), QColor(0, 64, 0));
        QCOMPARE(backgroundOf(ui.titleStrip), QColor(128, 255, 128));
        QCOMPARE(backgroundOf(ui.titlesList), QColor(255, 255, 255));
        saveArtifact(&f, QStringLiteral("main-window-white.png"));

        f.setColour(0);
        QCOMPARE(textColourOf(ui.reservedLabel), QColor(224, 255, 224));
        QCOMPARE(backgroundOf(ui.stopButton), QColor(0, 0, 0));
        QCOMPARE(backgroundOf(ui.titleStrip), QColor(128, 255, 128));

        // 352 counts as light, 351 as dark.
        f.setColour(100 + 200 * 256 + 52 * 65536);
        QCOMPARE(textColourOf(ui.reservedLabel), QColor(0, 64, 0));
        f.setColour(100 + 200 * 256 + 51 * 65536);
        QCOMPARE(textColourOf(ui.reservedLabel), QColor(224, 255, 224));
        saveArtifact(&f, QStringLiteral("main-window-dark.png"));

        // The palette: a left release picks the pixel's colour and writes it at once.
        const QImage palette = paletteImage();
        f.appearance().pickColour(Qt::LeftButton, {70, 20});
        const std::int32_t picked = fromQColor(palette.pixelColor(70, 20));
        QCOMPARE(f.currentColour(), picked);
        QCOMPARE(m_settings.get(QStringLiteral("color")), QString::number(picked));
        // A right release changes and writes nothing.
        f.appearance().pickColour(Qt::RightButton, {5, 5});
        QCOMPARE(f.currentColour(), picked);
        // Released outside: -1, backgrounds kept, pale green text, "-1" written.
        const QColor before = backgroundOf(ui.stopButton);
        f.appearance().pickColour(Qt::LeftButton, {300, 5});
        QCOMPARE(m_settings.get(QStringLiteral("color")), QStringLiteral("-1"));
        QCOMPARE(backgroundOf(ui.stopButton), before);
        QCOMPARE(textColourOf(ui.reservedLabel), QColor(224, 255, 224));
        // The control is 2 pixels wider and taller than the picture: a click in that strip
        // picks the picture's nearest edge pixel.
        QCOMPARE(ui.palette->size(), QSize(102, 34));
        for (const auto& [at, pixel] : {std::pair{QPoint(101, 12), QPoint(99, 12)},
                                        {QPoint(30, 33), QPoint(30, 31)},
                                        {QPoint(100, 32), QPoint(99, 31)}}) {
            QTest::mouseClick(f.windowHandle(), Qt::LeftButton, {}, ui.palette->mapTo(&f, at));
            const std::int32_t edge = fromQColor(palette.pixelColor(pixel));
            QCOMPARE(f.currentColour(), edge);
            QCOMPARE(m_settings.get(QStringLiteral("color")), QString::number(edge));
        }
    }

    void theKeyColourIsSeeThrough() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        f.setColour(KeyColour);
        QCOMPARE(backgroundOf(ui.reservedLabel).alpha(), 0);
        QImage image(f.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        f.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        QCOMPARE(qAlpha(image.pixel(f.width() - 3, f.height() / 2)), 0);

        // Of the stacked group lists only the one in front shows, opaque in the key colour:
        // with the empty ALL list in front nothing of the others' entries shows through it.
        QWidget* allTab = ui.tabs[GroupAll];
        QTest::mouseClick(f.windowHandle(), Qt::LeftButton, {},
                          allTab->mapTo(&f, allTab->rect().center()));
        QCOMPARE(f.library().currentTab(), int(GroupAll));
        QCOMPARE(ui.groupLists[GroupAll]->model()->rowCount(), 0);
        QVERIFY(ui.groupLists[GroupFolder]->model()->rowCount() > 0);
        image.fill(Qt::transparent);
        f.render(&image);
        const QWidget* list = ui.groupLists[GroupAll]->viewport();
        const QRect area(list->mapTo(&f, QPoint()), list->size());
        int shown = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                shown += image.pixel(x, y) != qRgb(15, 15, 15);
        QCOMPARE(shown, 0);
    }

    // The key colour, or one next to it, stored by hand: the track list is no see-through
    // hole, and the number column's edge under the titles does not run through them.
    void aStoredKeyColourLeavesTheListsWhole_data() {
        QTest::addColumn<QString>("stored");
        dataRow("the key colour", QStringLiteral("986895"));
        dataRow("the key colour in hexadecimal", QStringLiteral("&H0F0F0F"));
        dataRow("one step from it", QStringLiteral("986896"));
    }
    void aStoredKeyColourLeavesTheListsWhole() {
        QFETCH(QString, stored);
        m_settings.set(QStringLiteral("color"), stored);
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QVERIFY(rows(ui.titlesList).contains(QStringLiteral("Song Title")));
        QImage image(f.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        f.render(&image);
        saveArtifact(&f, QStringLiteral("key-colour-%1.png").arg(QTest::currentDataTag()));
        const QWidget* titles = ui.titlesList->viewport();
        const QRect area(titles->mapTo(&f, QPoint()), titles->size());
        int seeThrough = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                seeThrough += qAlpha(image.pixel(x, y)) != 255;
        QCOMPARE(seeThrough, 0);
        // Down the column where the number column's right edge lies under the titles, only
        // the titles' letters differ from the list's own colour.
        const int edge = ui.numbersList->mapTo(&f, QPoint(ui.numbersList->width() - 1, 0)).x();
        QVERIFY(edge > area.left() && edge < area.right());
        const QRgb list = image.pixel(area.right() - 2, area.bottom() - 2);
        int marked = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            marked += image.pixel(edge, y) != list;
        QVERIFY2(marked < area.height() / 4, qPrintable(QString::number(marked)));
    }

    void settingsSurviveARestart() {
        {
            auto w = start();
            MainWindow& f = *w->form;
            const WindowControls ui(f);
            f.appearance().pickColour(Qt::LeftButton, {10, 3});
            ui.opacityBar->setValue(64);
            QCOMPARE(m_settings.get(QStringLiteral("alph")), QStringLiteral("64"));
            QCOMPARE(f.windowOpacity(), 64 / 255.0);
            ui.trackChangeOptions[1]->setChecked(true);
            ui.fontSizeOptions[1]->setChecked(true);
            QCOMPARE(ui.titlesList->font().pointSizeF(), 12.0);
            ui.backgroundOptions[0]->setChecked(true);
            QVERIFY(f.backgroundWindow() && f.backgroundWindow()->isVisible());
            QCOMPARE(f.backgroundWindow()->geometry().size(), f.frameGeometry().size());
            ui.fileTypeBoxes[1]->setChecked(false);
            f.close();
        }
        const QString colour = m_settings.get(QStringLiteral("color"));
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QCOMPARE(QString::number(f.currentColour()), colour);
        QCOMPARE(ui.settingsFrame->opacity(), 64);
        QVERIFY(ui.settingsFrame->immediateChange());
        QCOMPARE(ui.settingsFrame->fontSizeIndex(), 1);
        QCOMPARE(ui.titlesList->font().pointSizeF(), 12.0);
        QVERIFY(ui.settingsFrame->backgroundShown());
        QVERIFY(f.backgroundWindow());
        QVERIFY(!ui.settingsFrame->fileType(1));
        // "無し" closes the background window.
        ui.backgroundOptions[1]->setChecked(true);
        QVERIFY(!f.backgroundWindow());
        QCOMPARE(m_settings.get(QStringLiteral("back")), QStringLiteral("1"));
    }

    void folderChooser() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QTemporaryDir other;
        writeTrack(other.path() + QStringLiteral("/ab"),
                   {QStringLiteral("x.mp3"), QStringLiteral("X")});
        const QString shortName = other.path() + QStringLiteral("/ab");

        // Cancelled: nothing changes.
        m_dialogAnswer.clear();
        f.musicFolder().choose();
        QCOMPARE(m_dialogInitial, m_music);
        QCOMPARE(m_dialogTitle, QStringLiteral("フォルダを指定してください。"));
        QCOMPARE(ui.settingsFrame->folderText(), m_music);
        QCOMPARE(m_settings.get(QStringLiteral("Folder")), m_music);

        // A folder with a two-character name is a valid choice: scanned, then stored.
        m_dialogAnswer = shortName;
        f.musicFolder().choose();
        QCOMPARE(ui.settingsFrame->folderText(), shortName);
        QCOMPARE(f.core().browsing().folderPrefix(), shortName + QLatin1Char('/'));
        QCOMPARE(f.core().catalogue().rowCount(), 1);
        QCOMPARE(m_settings.get(QStringLiteral("Folder")), shortName);
        QVERIFY(m_messages.isEmpty());

        // A folder that does not exist: the message, nothing else.
        m_dialogAnswer = other.path() + QStringLiteral("/gone");
        f.musicFolder().choose();
        QCOMPARE(m_messages, QStringList{QStringLiteral(
                                 "不正なドライブもしくはディレクトリが選択されました。")});
        QCOMPARE(ui.settingsFrame->folderText(), shortName);
        QCOMPARE(m_settings.get(QStringLiteral("Folder")), shortName);
    }

    void sizeLabelAboutLineAndButtons() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        f.toggleCompactSize();
        QCOMPARE(f.size(), QSize(px(CompactWidth), px(TitleStripHeight)));
        f.toggleCompactSize();
        QCOMPARE(f.size(), QSize(px(DesignedClientWidth), px(DesignedClientHeight)));
        f.resize(700, 300); // 4500 twips high: the label restores the full size
        f.toggleCompactSize();
        QCOMPARE(f.size(), QSize(px(DesignedClientWidth), px(DesignedClientHeight)));

        f.showAboutLine();
        QVERIFY(f.splashWindow());
        QCOMPARE(f.splashWindow()->versionLabel()->text(), QStringLiteral("Sonavue ver1.0"));
        QCOMPARE(f.splashWindow()->buildLabel()->text(), QStringLiteral("build 17"));

        // A double-click on the title strip is the W action.
        QTest::mouseDClick(ui.titleStrip, Qt::LeftButton, {}, QPoint(300, 5));
        QVERIFY(f.windowState() & Qt::WindowMaximized);
        f.handleKey(Qt::Key_W, Qt::NoModifier);

        // The close button closes the window.
        QSignalSpy unloaded(&f, &MainWindow::unloaded);
        QTest::mousePress(ui.closeButton, Qt::RightButton);
        QVERIFY(ui.closeButton->isPressedLook());
        QTest::mouseRelease(ui.closeButton, Qt::RightButton);
        QCOMPARE(unloaded.count(), 0);
        QTest::mouseClick(ui.closeButton, Qt::LeftButton);
        QCOMPARE(unloaded.count(), 1);
    }

    // The Home button, clicked on a scrolled home page, shows it again from its top.
    void homeButtonShowsTheTopOfTheHomePage() {
        auto w = start(true);
        MainWindow& f = *w->form;
        QVERIFY(webPanelAdded(f));
        const WindowControls ui(f);
        auto* const web = qobject_cast<QWebEngineView*>(ui.webPanel);
        QVERIFY(web);
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTRY_COMPARE_WITH_TIMEOUT(web->title(), QStringLiteral("Sonavue"), 15000);
        const QString scrollDown =
            QStringLiteral("window.scrollTo(0, document.body.scrollHeight); window.scrollY");
        QVERIFY2(evaluate(*web, scrollDown).toDouble() > 50, "the page does not scroll");
        QVERIFY(loadAndWait(*web, [&] {
            QTest::mouseClick(f.windowHandle(), Qt::LeftButton, {},
                              ui.homeButton->mapTo(&f, ui.homeButton->rect().center()));
        }));
        QCOMPARE(evaluate(*web, QStringLiteral("window.scrollY")).toDouble(), 0.0);
    }

    void titleStripDragHidesAndRealignsTheBackground() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        ui.backgroundOptions[0]->setChecked(true);
        QVERIFY(f.backgroundWindow()->isVisible());
        // A right-button press does nothing.
        QTest::mousePress(ui.titleStrip, Qt::RightButton, {}, QPoint(400, 10));
        QTest::mouseRelease(ui.titleStrip, Qt::RightButton, {}, QPoint(400, 10));
        QVERIFY(f.backgroundWindow()->isVisible());
        // A left-button drag: a press alone starts nothing (it may be the first half of a
        // double-click); once the pointer moves the background hides, then follows the window.
        const QPoint before = f.pos();
        QTest::mousePress(ui.titleStrip, Qt::LeftButton, {}, QPoint(400, 10));
        QVERIFY(f.backgroundWindow()->isVisible());
        QMouseEvent move(QEvent::MouseMove, QPointF(440, 30),
                         ui.titleStrip->mapToGlobal(QPointF(440, 30)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(ui.titleStrip, &move);
        QVERIFY(!f.backgroundWindow()->isVisible());
        QTest::mouseRelease(ui.titleStrip, Qt::LeftButton, {}, QPoint(440, 30));
        QTRY_VERIFY(f.backgroundWindow()->isVisible());
        QVERIFY(f.pos() != before);
        QCOMPARE(f.backgroundWindow()->pos(), f.frameGeometry().topLeft());
    }

    void doubleClickOnTheBackgroundShowsTheVersion() {
        auto w = start();
        MainWindow& f = *w->form;
        QVERIFY(!f.childAt(QPoint(500, 40)));
        QTest::mouseDClick(&f, Qt::LeftButton, {}, QPoint(500, 40));
        QVERIFY(f.splashWindow());
        QCOMPARE(f.splashWindow()->buildLabel()->text(), QStringLiteral("build 17"));
    }

    void tagPopUpFromTheTrackList() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        f.library().showTab(GroupAll);
        QCOMPARE(f.core().browsing().trackTitles(),
                 (QStringList{QStringLiteral("other.wav"), QStringLiteral("Song Title")}));
        QWindow* window = f.windowHandle();
        const auto rowInWindow = [&](int row) {
            const QRect rect = ui.titlesList->visualRect(ui.titlesList->model()->index(row, 0));
            return ui.titlesList->viewport()->mapTo(&f, rect.center());
        };
        QTest::mouseClick(window, Qt::RightButton, {}, rowInWindow(1));
        QVERIFY(f.tagWindow());
        TagCard& card = *f.tagWindow();
        QCOMPARE(card.pathLabel()->text(), m_music + QStringLiteral("/Band/song.mp3"));
        QCOMPARE(card.titleLabel()->text(), QStringLiteral("Song Title"));
        QCOMPARE(card.artistLabel()->text(), QStringLiteral("The Artist"));
        QCOMPARE(card.albumLabel()->text(), QStringLiteral("The Album"));
        saveArtifact(&card, QStringLiteral("tag-popup.png"));
        // From here only a press can close the card.
        card.holdTimer().stop();
        card.fadeTimer().stop();

        // A press on another track shows it on the same card: a WAV track, its path with
        // empty lines.
        const QPointer<TagCard> shown(&card);
        QTest::mouseClick(window, Qt::LeftButton, {}, rowInWindow(0));
        QVERIFY(deliverQueuedCalls()); // the check made after each press has run
        QVERIFY2(shown && f.tagWindow() == shown, "the press on another track closed the card");
        QCOMPARE(card.titleLabel()->text(), QString());
        QCOMPARE(card.artistLabel()->text(), QString());

        // A press anywhere else in the window closes it at once (with or without the focus),
        // and its closing arms the main window's focus timer.
        QSignalSpy closed(&card, &TagCard::closed);
        QTest::mouseClick(window, Qt::LeftButton, {}, ui.reservedLabel->geometry().center());
        QTRY_COMPARE(closed.size(), 1);
        QVERIFY(ui.focusTimer->isActive());
        QTRY_VERIFY(!f.tagWindow());
    }
};

int main(int argc, char* argv[]) {
    static QTemporaryDir home;
    prepareWebEngine();
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());
    QApplication app(argc, argv);
    AppearanceWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ui_appearancewindow.moc"
