// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The program's settings keys: the names users' settings files already hold, one name per
// key, and the starting values each reader has always used.
#include "base/settings.h"
#include "base/settingskeys.h"
#include "base/userfolders.h"

#include <QFile>
#include <QSet>
#include <QTest>

using namespace sonavue;

namespace {
const QString App = QStringLiteral("SonavueSettingsKeysTest");
} // namespace

class SettingsKeysTest : public QObject {
    Q_OBJECT
    const ProgramSettings m_settings{App};

    void removeFile() { QFile::remove(settingsFilePath(App)); }

private slots:
    void init() { removeFile(); }
    void cleanup() { removeFile(); }

    // The file matches names regardless of case, so two keys must differ in more than case.
    void everyKeyHasItsOwnName() {
        QSet<QString> names;
        for (const SettingKey* key : Setting::All)
            names.insert(QString(key->name).toLower());
        QCOMPARE(names.size(), qsizetype(Setting::All.size()));
    }

    // A file written by earlier versions of the program reads back key by key.
    void existingFileReadsBack() {
        QFile file(settingsFilePath(App));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[init]\ncolor=255\noption1=False\nalph=100\nfilter0=1\nfilter1=0\n"
                   "filter2=0\nFontsize=2\nback=0\nFolder=/music\ncodepage=auto\nid3v2=1\n"
                   "types=flac, OGG\ncoverart=1\nnotify=1\ngapless=1\nReplayGain=album\n"
                   "replaygainpreamp=-3.5\nkeeplibrary=1\nlibrarycheck=30\n"
                   "shuffle=1\nrepeat=one\nresume=2\n");
        file.close();
        const QList<QPair<const SettingKey*, QString>> expected{
            {&Setting::Colour, "255"},
            {&Setting::TrackChange, "False"},
            {&Setting::Opacity, "100"},
            {&Setting::FileType(0), "1"},
            {&Setting::FileType(1), "0"},
            {&Setting::FileType(2), "0"},
            {&Setting::FontSize, "2"},
            {&Setting::Background, "0"},
            {&Setting::Folder, "/music"},
            {&Setting::CodePage, "auto"},
            {&Setting::ID3v2, "1"},
            {&Setting::ExtraTypes, "flac, OGG"},
            {&Setting::CoverArt, "1"},
            {&Setting::Notify, "1"},
            {&Setting::Gapless, "1"},
            {&Setting::ReplayGain, "album"},
            {&Setting::ReplayGainPreamp, "-3.5"},
            {&Setting::KeepLibrary, "1"},
            {&Setting::LibraryCheckMinutes, "30"},
            {&Setting::Shuffle, "1"},
            {&Setting::Repeat, "one"},
            {&Setting::Resume, "2"}};
        QCOMPARE(expected.size(), qsizetype(Setting::All.size()));
        for (const auto& [key, value] : expected)
            QCOMPARE(m_settings.read(*key), value);
    }

    void missingFileGivesStartingValues() {
        QCOMPARE(m_settings.read(Setting::Colour), QStringLiteral("&Hffffff"));
        QCOMPARE(m_settings.read(Setting::TrackChange), QStringLiteral("true"));
        QCOMPARE(m_settings.read(Setting::Opacity), QStringLiteral("250"));
        for (int i = 0; i < Setting::FileTypeCount; ++i)
            QCOMPARE(m_settings.read(Setting::FileType(i)), QStringLiteral("1"));
        QCOMPARE(m_settings.read(Setting::FontSize), QStringLiteral("0"));
        QCOMPARE(m_settings.read(Setting::ExtraTypes), QString());         // no opt-in types
        QCOMPARE(m_settings.read(Setting::CoverArt), QStringLiteral("0")); // no pictures
        QCOMPARE(m_settings.read(Setting::Background), QStringLiteral("1"));
        QCOMPARE(m_settings.read(Setting::Folder), defaultMusicFolder());
        QCOMPARE(m_settings.read(Setting::CodePage), QStringLiteral("932"));
        QVERIFY(!QFile::exists(settingsFilePath(App)));
    }

    void writeGoesUnderTheKeysName() {
        QVERIFY(m_settings.write(Setting::FontSize, QStringLiteral("1")));
        QCOMPARE(readSetting(App, QStringLiteral("init"), QStringLiteral("Fontsize"),
                             QStringLiteral("<missing>")),
                 QStringLiteral("1"));
    }

    // The typed keys read their text by their own rule, and write what they read back.
    void typedKeysReadByTheirRule() {
        const auto stored = [this](const SettingKey& key, const char* text) {
            QVERIFY(m_settings.write(key, QString::fromLatin1(text)));
        };
        stored(Setting::Opacity, "");
        QCOMPARE(Setting::Opacity.read(m_settings), 250); // reads 0: out of range
        stored(Setting::Opacity, "64.5");
        QCOMPARE(Setting::Opacity.read(m_settings), 64); // half to even
        stored(Setting::Background, "");
        QCOMPARE(Setting::Background.read(m_settings), 0); // an empty value shows the picture
        stored(Setting::TrackChange, "maybe");
        QCOMPARE(Setting::TrackChange.read(m_settings), true);
        stored(Setting::Colour, "&H10000000000");
        QCOMPARE(Setting::Colour.read(m_settings), 0xFFFFFF); // beyond 32 bits: white
        stored(Setting::Colour, "-2.5");
        QCOMPARE(Setting::Colour.read(m_settings), -2);
        QVERIFY(Setting::TrackChange.write(m_settings, false));
        QCOMPARE(m_settings.read(Setting::TrackChange), QStringLiteral("False"));
        QVERIFY(Setting::FontSize.write(m_settings, 2));
        QCOMPARE(Setting::FontSize.read(m_settings), 2);
    }
};

QTEST_GUILESS_MAIN(SettingsKeysTest)
#include "test_base_settingskeys.moc"
