// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The "codepage" setting through the real start-up: a Latin-1 tag shows right in the track
// list, the tag card, the now-playing label and the media-control metadata with "auto",
// and as Shift-JIS (the default) without the key.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "app/mprisplayer.h"
#include "support/id3v2tag.h"
#include "ui/cards/tagcard.h"

#include <QLabel>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueTagCodePageWindowTest");
const QString LongTitle = QString::fromUtf8("Café au lait, a title longer than thirty letters");
const QString Artist = QString::fromUtf8("Sigur Rós");

// One track whose title and artist are Latin-1 bytes, as European taggers write them.
QByteArray latinTrack(const QByteArray& leadingTag = {}) {
    return leadingTag + musicBytes(400, TagFields{"Caf\xE9", "Bj\xF6rk", "Album", "1999", {}, 8});
}
} // namespace

class TagCodePageWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SettingsFile m_settings{App};

    // Starts the program, starts the first track and presses the mouse on it; returns the
    // texts shown: track list title, now playing, card title, card artist, MPRIS title.
    QStringList shownTexts() {
        auto started = startWindow(App);
        MainWindow& form = *started->form;
        MprisPlayer mpris(form.core(), {});
        const QStringList titles = form.core().browsing().trackTitles();
        if (titles.size() != 1)
            return {QStringLiteral("track list holds %1 titles").arg(titles.size())};
        form.core().player().continuousStart();
        // The media double has no states of its own: it tells of the opened track as the
        // real element does.
        emit form.core().media().stateChanged(MediaControl::State::Playing);
        form.core().browsing().selectTrack(0);
        form.library().showSelectedTrackTags();
        TagCard* card = form.tagWindow();
        if (!card)
            return {QStringLiteral("no tag card")};
        return {titles.at(0), control<QLabel>(form, QStringLiteral("title"))->text(),
                card->titleLabel()->text(), card->artistLabel()->text(),
                mpris.metadata().value(QStringLiteral("xesam:title")).toString()};
    }

private slots:
    void initTestCase() {
        QVERIFY(writeFile(m_dir.filePath("music/latin.mp3"), latinTrack()));
        // The same track with an ID3v2 tag in front, as current taggers write it.
        using namespace sonavue::testing::id3v2;
        QVERIFY(writeFile(m_dir.filePath("tagged/both.mp3"),
                          latinTrack(tag(3, frame(3, "TIT2", textBody(Utf16Bom, LongTitle)) +
                                                frame(3, "TPE1", textBody(Utf16Bom, Artist))))));
    }

    void init() {
        m_settings.remove();
        m_settings.set(QStringLiteral("Folder"), m_dir.filePath("music"));
    }

    void autoReadsLatin1Everywhere() {
        m_settings.set(QStringLiteral("codepage"), QStringLiteral("auto"));
        const QString cafe = QString::fromUtf8("Café");
        QCOMPARE(shownTexts(), QStringList({cafe, cafe, cafe, QString::fromUtf8("Björk"), cafe}));
    }

    void defaultAndUnknownValuesKeepShiftJis() {
        const QString shiftJisCafe = QStringLiteral("Caf") + QChar(0xFFFD);
        for (const QString& value : {QStringLiteral("<none>"), QStringLiteral("latin1")}) {
            if (value != QLatin1String("<none>"))
                m_settings.set(QStringLiteral("codepage"), value);
            const QStringList shown = shownTexts();
            QVERIFY2(shown.size() == 5, qPrintable(shown.join(',')));
            QCOMPARE(shown.at(0), shiftJisCafe);
            QCOMPARE(shown.at(1), shiftJisCafe);
            QCOMPARE(shown.at(2), shiftJisCafe);
            QCOMPARE(shown.at(4), shiftJisCafe);
        }
    }

    // "id3v2=1": the ID3v2 texts, whole, in the list, the label and the media controls, and
    // on the card as far as its line goes, then "…"; without it the ID3v1 record as before.
    void id3v2SettingShowsTheID3v2TagEverywhere() {
        m_settings.set(QStringLiteral("Folder"), m_dir.filePath("tagged"));
        m_settings.set(QStringLiteral("id3v2"), QStringLiteral("1"));
        QStringList shown = shownTexts();
        QVERIFY2(shown.size() == 5, qPrintable(shown.join(',')));
        QVERIFY2(shown.at(2).endsWith(u'…') && LongTitle.startsWith(shown.at(2).chopped(1)),
                 qPrintable(shown.at(2)));
        shown[2] = LongTitle;
        QCOMPARE(shown, QStringList({LongTitle, LongTitle, LongTitle, Artist, LongTitle}));
        m_settings.set(QStringLiteral("id3v2"), QStringLiteral("0"));
        const QString shiftJisCafe = QStringLiteral("Caf") + QChar(0xFFFD);
        QCOMPARE(shownTexts().value(0), shiftJisCafe);
    }
};

QTEST_MAIN(TagCodePageWindowTest)
#include "test_ui_tagcodepagewindow.moc"
