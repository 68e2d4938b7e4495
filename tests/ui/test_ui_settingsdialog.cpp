// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The settings dialog of the opt-in keys through the real main window: opened from the
// settings frame's context menu and by Ctrl+,; a change is written to the settings file at
// once and marked as taking effect from the next start; a value the player does not take as
// written is shown as it is and kept; and it is used from the keyboard alone.
#include "mainwindowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueSettingsDialogTest");
const QString NextStart = QStringLiteral("次回の起動から");

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

    // A switched box is written to the file at once, with nothing else; the row says from the
    // next start until the value is the one the run started with again.
    void aChangeIsWrittenAndTakesEffectNextStart() {
        QVERIFY(start());
        QVERIFY(openByKey());
        auto* id3v2 = inDialog<QCheckBox>(dialog(), QStringLiteral("id3v2"));
        QVERIFY(id3v2 && !id3v2->isChecked());
        QCOMPARE(stateOf(dialog(), "id3v2"), QString());
        clickBox(id3v2);
        QCOMPARE(m_settings->get(QStringLiteral("id3v2")), QStringLiteral("1"));
        QCOMPARE(stateOf(dialog(), "id3v2"), NextStart);
        QCOMPARE(m_settings->get(QStringLiteral("notify")), QStringLiteral("<missing>"));

        auto* codePage = inDialog<QComboBox>(dialog(), QStringLiteral("codepage"));
        QVERIFY(codePage);
        codePage->setFocus();
        QTest::keyClick(codePage, Qt::Key_End);
        QCOMPARE(m_settings->get(QStringLiteral("codepage")), QStringLiteral("auto"));

        clickBox(id3v2);
        QCOMPARE(m_settings->get(QStringLiteral("id3v2")), QStringLiteral("0"));
        QCOMPARE(stateOf(dialog(), "id3v2"), QString());
        QCOMPARE(stateOf(dialog(), "codepage"), NextStart);
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
            if (name == QLatin1String("gapless")) {
                QTest::keyClick(dialog()->windowHandle(), Qt::Key_Space);
                QCOMPARE(m_settings->get(QStringLiteral("gapless")), QStringLiteral("1"));
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
        QCOMPARE(stateOf(dialog(), "gapless"), NextStart);

        QTest::keyClick(dialog()->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(controlName(QApplication::focusWidget()), QStringLiteral("closeButton"));
        QTest::keyClick(dialog()->windowHandle(), Qt::Key_Space);
        QTRY_VERIFY(!dialog());
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "test_ui_settingsdialog.moc"
