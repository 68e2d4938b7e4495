// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The settings dialog of the opt-in keys through the real main window: opened from the
// settings frame's context menu and by Ctrl+,; a change is written to the settings file at
// once and taken at once where the player can, else marked as waiting for the folder to be
// read again (which the dialog offers) or for the next start; a value the player does not
// take as written is shown as it is and kept; and it is used from the keyboard alone.
#include "mainwindowfixture.h"
#include "support/datarow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueSettingsDialogTest");
const QString NextStart = QStringLiteral("次回の起動から");
const QString Rescan = QStringLiteral("読み直すと有効");

template <typename W> W* inDialog(QDialog* dialog, const QString& name) {
    W* control = dialog ? dialog->findChild<W*>(name) : nullptr;
    if (!control)
        qWarning("no control %s in the dialog", qPrintable(name));
    return control;
}

// The focused control's name: a number box's, not its text field's.
QString controlName(const QWidget* widget) {
    while (widget && (widget->objectName().isEmpty() ||
                      widget->objectName().startsWith(QLatin1String("qt_"))))
        widget = widget->parentWidget();
    return widget ? widget->objectName() : QString();
}

// A click on a check box's mark.
void clickBox(QCheckBox* box) {
    QVERIFY(box);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
}

QString stateOf(QDialog* dialog, const char* key) {
    auto* state = inDialog<QLabel>(dialog, QStringLiteral("state_") + QLatin1String(key));
    return state ? state->text() : QStringLiteral("<none>");
}
} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<SettingsFile> m_settings;
    std::unique_ptr<StartedWindow> m_window;
    QTemporaryDir m_music;

    MainWindow& form() { return *m_window->form; }
    QDialog* dialog() { return form().findChild<QDialog*>(QStringLiteral("SettingsDialog")); }

    bool start() {
        m_settings->set(QStringLiteral("Folder"), m_music.path());
        m_window = startWindow(App);
        form().activateWindow();
        return QTest::qWaitForWindowActive(&form());
    }

    // Ctrl+, pressed on the window, as the display server sends it: the dialog is shown and
    // active.
    bool openByKey() {
        QTest::keyClick(form().windowHandle(), Qt::Key_Comma, Qt::ControlModifier);
        return QTest::qWaitFor([this] { return dialog() && dialog()->isVisible(); }) &&
               QTest::qWaitForWindowActive(dialog());
    }

private slots:
    void init() { m_settings = std::make_unique<SettingsFile>(App); }
    void cleanup() {
        m_window.reset();
        m_settings.reset();
    }

    // A right click on the settings frame's caption "検索パス" offers "設定…", which opens the
    // dialog; the palette keeps the right button to itself.
    void opensFromTheFramesContextMenu() {
        QVERIFY(start());
        auto* caption = form().findChild<QLabel*>(QStringLiteral("Label2"));
        QVERIFY(caption);
        const QPoint at = caption->mapTo(&form(), caption->rect().center());
        QTest::mouseClick(form().windowHandle(), Qt::RightButton, {}, at);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        QCOMPARE(menu->actions().size(), 2); // the other writes the track list out
        QAction* item = menu->actions().first();
        QCOMPARE(item->text(), QStringLiteral("設定…"));
        QVERIFY(!dialog());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        QTRY_VERIFY(dialog() && dialog()->isVisible());
    }

    // Ctrl+, opens it wherever the focus is in the window; pressed again it keeps the one
    // dialog. Shift or Alt with the comma opens nothing.
    void opensByCtrlComma() {
        QVERIFY(start());
        QTest::keyClick(form().windowHandle(), Qt::Key_Comma,
                        Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(form().windowHandle(), Qt::Key_Comma);
        QVERIFY(!dialog());
        QVERIFY(openByKey());
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        QVERIFY(openByKey());
        QCOMPARE(form().findChildren<QDialog*>(QStringLiteral("SettingsDialog")).size(), 1);
    }

    // A switched box is written to the file at once, with nothing else. Its row is marked
    // while the value differs from the one the player runs with: never for a key taken at
    // once, until a rescan for one that changes what a scan reads, until the next start for
    // one read only at the start.
    void aChangeIsWrittenAndMarked_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("mark");
        dataRow("taken at once", QStringLiteral("gapless"), QString());
        dataRow("with a rescan", QStringLiteral("id3v2"), Rescan);
        dataRow("from the next start", QStringLiteral("keeplibrary"), NextStart);
    }
    void aChangeIsWrittenAndMarked() {
        QFETCH(QString, key);
        QFETCH(QString, mark);
        QVERIFY(start());
        QVERIFY(openByKey());
        auto* box = inDialog<QCheckBox>(dialog(), key);
        QVERIFY(box && !box->isChecked());
        QCOMPARE(stateOf(dialog(), qPrintable(key)), QString());
        clickBox(box);
        QCOMPARE(m_settings->get(key), QStringLiteral("1"));
        QCOMPARE(stateOf(dialog(), qPrintable(key)), mark);
        QCOMPARE(inDialog<QPushButton>(dialog(), QStringLiteral("rescanButton"))->isEnabled(),
                 mark == Rescan);
        QCOMPARE(m_settings->get(QStringLiteral("notify")), QStringLiteral("<missing>"));
        clickBox(box);
        QCOMPARE(m_settings->get(key), QStringLiteral("0"));
        QCOMPARE(stateOf(dialog(), qPrintable(key)), QString());
    }

    // Gapless play, ReplayGain, cover art and resume are taken as they change: the player
    // prepares the next file, the next file opened plays at its ReplayGain level, cards show
    // pictures, and the session is kept from now on.
    void theRunningPlayerTakesItAtOnce() {
        QTemporaryDir state;
        const QByteArray stateHome = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        QVERIFY(start());
        QVERIFY(openByKey());
        PlayerCore& core = form().core();
        QVERIFY(!core.player().gapless());
        clickBox(inDialog<QCheckBox>(dialog(), QStringLiteral("gapless")));
        QVERIFY(core.player().gapless());
        clickBox(inDialog<QCheckBox>(dialog(), QStringLiteral("coverart")));
        QVERIFY(core.tagReading().coverArt);
        auto* gain = inDialog<QComboBox>(dialog(), QStringLiteral("replaygain"));
        gain->setFocus();
        QTest::keyClick(gain, Qt::Key_End);
        QCOMPARE(core.tagReading().replayGain, ReplayGainMode::Album);
        auto* resume = inDialog<QComboBox>(dialog(), QStringLiteral("resume"));
        resume->setFocus();
        QTest::keyClick(resume, Qt::Key_Down);
        QVERIFY(QFileInfo::exists(state.filePath(QStringLiteral("Sonavue/resume.json"))));
        for (const char* key : {"gapless", "coverart", "replaygain", "resume"})
            QCOMPARE(stateOf(dialog(), key), QString());
        qputenv("XDG_STATE_HOME", stateHome);
    }

    // A changed code page is offered a rescan: pressed, the folder is read again, the title
    // shows as the new code page reads it, and the mark and the offer are gone.
    void aRescanTakesTheNewCodePage() {
        QVERIFY(writeMusicFile(m_music.filePath(QStringLiteral("a.mp3")), 400,
                               tagOf("Caf\xe9 au lait")));
        QVERIFY(start());
        const auto title = [this] {
            const Catalogue& rows = form().core().catalogue();
            return rows.rowCount() == 1 ? rows.cell(ColTitle, 0) : QString();
        };
        QVERIFY(title() != QStringLiteral("Café au lait"));
        QVERIFY(openByKey());
        auto* codePage = inDialog<QComboBox>(dialog(), QStringLiteral("codepage"));
        codePage->setFocus();
        QTest::keyClick(codePage, Qt::Key_Down); // 1252
        QCOMPARE(m_settings->get(QStringLiteral("codepage")), QStringLiteral("1252"));
        QCOMPARE(stateOf(dialog(), "codepage"), Rescan);
        auto* rescan = inDialog<QPushButton>(dialog(), QStringLiteral("rescanButton"));
        QVERIFY(rescan->isEnabled());
        QTest::mouseClick(rescan, Qt::LeftButton);
        QTRY_COMPARE(title(), QStringLiteral("Café au lait"));
        QCOMPARE(stateOf(dialog(), "codepage"), QString());
        QVERIFY(!rescan->isEnabled());
    }

    // Values the player does not take as written are shown as they are and stay in the file
    // while other keys change; a list keeps its unknown words when a known one is added.
    void aHandEditedValueIsKept() {
        m_settings->set(QStringLiteral("coverart"), QStringLiteral("yes"));
        m_settings->set(QStringLiteral("librarycheck"), QStringLiteral("5000"));
        m_settings->set(QStringLiteral("types"), QStringLiteral("flac, mp4"));
        QVERIFY(start());
        QVERIFY(openByKey());
        QVERIFY(stateOf(dialog(), "coverart").contains(QStringLiteral("「yes」")));
        QVERIFY(!inDialog<QCheckBox>(dialog(), QStringLiteral("coverart"))->isChecked());
        QVERIFY(stateOf(dialog(), "librarycheck").contains(QStringLiteral("「5000」")));
        QVERIFY(stateOf(dialog(), "types").contains(QStringLiteral("「flac, mp4」")));
        QVERIFY(inDialog<QCheckBox>(dialog(), QStringLiteral("types_flac"))->isChecked());

        clickBox(inDialog<QCheckBox>(dialog(), QStringLiteral("notify")));
        clickBox(inDialog<QCheckBox>(dialog(), QStringLiteral("types_ogg")));
        dialog()->close();
        QCOMPARE(m_settings->get(QStringLiteral("notify")), QStringLiteral("1"));
        QCOMPARE(m_settings->get(QStringLiteral("coverart")), QStringLiteral("yes"));
        QCOMPARE(m_settings->get(QStringLiteral("librarycheck")), QStringLiteral("5000"));
        QCOMPARE(m_settings->get(QStringLiteral("types")), QStringLiteral("flac,ogg,mp4"));
    }

    // From the keyboard alone: the first option has the focus, Tab goes through every control
    // once, each named for the screen reader, Space switches the focused box, and
    // the last stop is 閉じる, which Space presses.
    void keyboardOnly() {
        QVERIFY(start());
        QVERIFY(openByKey());
        QWidget* first = QApplication::focusWidget();
        QVERIFY(first && first->window() == dialog());
        QStringList round{controlName(first)};
        for (int press = 0; press < 30; ++press) {
            const QString name = controlName(QApplication::focusWidget());
            QWidget* control = dialog()->findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(!face->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(name));
            if (name == QLatin1String("keeplibrary")) {
                QTest::keyClick(dialog()->windowHandle(), Qt::Key_Space);
                QCOMPARE(m_settings->get(QStringLiteral("keeplibrary")), QStringLiteral("1"));
                // The screen reader hears the mark with the box.
                QVERIFY(face->text(QAccessible::Description).contains(NextStart));
            }
            QTest::keyClick(dialog()->windowHandle(), Qt::Key_Tab);
            if (QApplication::focusWidget() == first)
                break;
            round << controlName(QApplication::focusWidget());
        }
        const QStringList expected{"codepage",     "id3v2",      "types_flac",       "types_ogg",
                                   "types_opus",   "types_m4a",  "coverart",         "notify",
                                   "gapless",      "replaygain", "replaygainpreamp", "keeplibrary",
                                   "librarycheck", "resume",     "closeButton"};
        QVERIFY2(round == expected, qPrintable(round.join(QLatin1Char(' '))));
        QCOMPARE(stateOf(dialog(), "keeplibrary"), NextStart);

        QTest::keyClick(dialog()->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(controlName(QApplication::focusWidget()), QStringLiteral("closeButton"));
        QTest::keyClick(dialog()->windowHandle(), Qt::Key_Space);
        QTRY_VERIFY(!dialog());
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "test_ui_settingsdialog.moc"
