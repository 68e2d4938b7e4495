// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// sonavue-catalogue run as a process: its JSON, its folder argument, --types, bad input.
#include "base/nativepath.h"
#include "base/version.h"
#include "catalogue/folderscan.h"
#include "cataloguejson.h"
#include "scanoutcome.h"
#include "support/datarow.h"
#include "support/processrun.h"
#include "tags/genre.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

using Run = ProcessRun;

Run runTool(const QStringList& arguments, const QString& workingFolder = QString()) {
    return runProcess(builtProgram("sonavue-catalogue"), arguments, 30000,
                      QProcessEnvironment::systemEnvironment(), workingFolder);
}

QJsonObject parsed(const QByteArray& out) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "JSON error:" << error.errorString() << "at" << error.offset;
    return doc.object();
}

QStringList strings(const QJsonValue& value) {
    QStringList out;
    for (const QJsonValue& v : value.toArray())
        out << v.toString();
    return out;
}

QStringList titles(const QJsonObject& json) {
    QStringList out;
    for (const QJsonValue& track : json.value("tracks").toArray())
        out << track.toArray().at(ColTitle).toString();
    return out;
}

// A small library: tagged and untagged files, three types, two folders.
void makeLibrary(const QByteArray& root) {
    QVERIFY(writeMusicFile(root + "/one.mp3", 200,
                           tagOf("One \"quoted\"", "Art\\ist", "Alb", "1999", 8)));
    QVERIFY(writeMusicFile(root + "/two.mid", 200));
    QVERIFY(writeMusicFile(root + "/Sub/three.wav", 200, tagOf("Three", "B", "C", "2000", 1)));
    QVERIFY(writeMusicFile(root + "/Sub/four.MP3", 200));
}

} // namespace

class TestCatalogueTool : public QObject {
    Q_OBJECT

private slots:
    void jsonHoldsTheScan() {
        QTemporaryDir dir;
        makeLibrary(pathToNative(dir.path()));
        const Run run = runTool({dir.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QJsonObject json = parsed(run.out);
        QCOMPARE(json.keys(), QStringList({"folderPrefix", "groups", "tracks"}));
        QCOMPARE(json.value("folderPrefix").toString(), dir.path() + "/");

        ScanRig rig;
        const Catalogue& catalogue = rig.catalogue;
        ScanObserver quiet;
        rig.scan.run(dir.path(), dir.path() + "/", FilePattern(), quiet);

        const QJsonArray tracks = json.value("tracks").toArray();
        QCOMPARE(tracks.size(), catalogue.rowCount());
        for (int r = 0; r < catalogue.rowCount(); ++r) {
            const QJsonArray row = tracks.at(r).toArray();
            QCOMPARE(row.size(), Catalogue::ColumnCount);
            for (int c = 0; c < Catalogue::ColumnCount; ++c) {
                QVERIFY(row.at(c).isString());
                QCOMPARE(row.at(c).toString(), catalogue.cell(c, r));
            }
        }
        const QJsonObject jsonGroups = json.value("groups").toObject();
        const QStringList keys = {"folder", "album", "artist", "year", "genre"};
        QCOMPARE(jsonGroups.size(), keys.size());
        for (int g = 0; g < keys.size(); ++g)
            QCOMPARE(strings(jsonGroups.value(keys[g])), rig.group(g));
        QCOMPARE(titles(json).first(), QStringLiteral("One \"quoted\""));
    }
    void folderArgument_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("prefixUnderParent");
        dataRow("relative", "lib", "lib/");
        dataRow("relative with dot segments", "./lib/../lib/.", "lib/");
        dataRow("trailing slashes", "lib//", "lib/");
        dataRow("link not resolved", "alias", "alias/");
        dataRow("absolute", "<parent>/lib", "lib/");
    }
    void folderArgument() {
        QFETCH(QString, argument);
        QFETCH(QString, prefixUnderParent);
        QTemporaryDir parent;
        makeLibrary(pathToNative(parent.path() + "/lib"));
        QCOMPARE(::symlink("lib", pathToNative(parent.path() + "/alias").constData()), 0);
        argument.replace("<parent>", parent.path());

        const Run run = runTool({argument}, parent.path());
        QCOMPARE(run.exitCode, 0);
        const QJsonObject json = parsed(run.out);
        const QString prefix = parent.path() + "/" + prefixUnderParent;
        QCOMPARE(json.value("folderPrefix").toString(), prefix);
        const QJsonArray tracks = json.value("tracks").toArray();
        QCOMPARE(tracks.size(), 4);
        for (const QJsonValue& track : tracks)
            QVERIFY(track.toArray().at(ColPath).toString().startsWith(prefix));
    }
    void types_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("titles");
        dataRow("default", QStringList(),
                QStringList({"One \"quoted\"", "two.mid", "four.MP3", "Three"}));
        dataRow("mp3", QStringList({"--types", "mp3"}),
                QStringList({"One \"quoted\"", "four.MP3"}));
        dataRow("mid brings mp3", QStringList({"--types", "mid"}),
                QStringList({"One \"quoted\"", "two.mid", "four.MP3"}));
        dataRow("wav, equals form", QStringList({"--types=wav"}),
                QStringList({"One \"quoted\"", "four.MP3", "Three"}));
        dataRow("all, any case", QStringList({"--types", "MP3,Mid,wav"}),
                QStringList({"One \"quoted\"", "two.mid", "four.MP3", "Three"}));
    }
    void types() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, titles);
        QTemporaryDir dir;
        makeLibrary(pathToNative(dir.path()));
        const Run run = runTool(arguments << dir.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(::titles(parsed(run.out)), titles);
    }
    void codePage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("titles"); // of latin1.mp3, sjis.mp3, utf8.mp3
        QTest::addColumn<QString>("latinArtist");
        const QString dawn = QString::fromUtf8("夜明け");
        const QString cafe = QString::fromUtf8("Café");
        const QString bjork = QString::fromUtf8("Björk");
        const QString bad(QChar(0xFFFD));
        dataRow("932", QStringList({"--codepage", "932"}),
                QStringList({"Caf" + bad, dawn, "Caf" + QString(QChar(0xFF83)) + QChar(0xFF69)}),
                "Bj" + QString(QChar(0xE49A)) + "k");
        dataRow("1252", QStringList({"--codepage", "1252"}),
                QStringList({cafe, QString::fromUtf8("–é–¾‚¯"), QString::fromUtf8("CafÃ©")}),
                bjork);
        dataRow("65001", QStringList({"--codepage=65001"}),
                QStringList({"Caf" + bad, bad + QChar(0x95BE) + bad + bad, cafe}),
                "Bj" + bad + "rk");
        dataRow("auto", QStringList({"--codepage", "Auto"}), QStringList({cafe, dawn, cafe}),
                bjork);
    }
    void codePage() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, titles);
        QFETCH(QString, latinArtist);
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        QVERIFY(writeMusicFile(root + "/latin1.mp3", 200, tagOf("Caf\xE9", "Bj\xF6rk")));
        QVERIFY(writeMusicFile(root + "/sjis.mp3", 200, tagOf("\x96\xE9\x96\xBE\x82\xAF")));
        QVERIFY(writeMusicFile(root + "/utf8.mp3", 200, tagOf("Caf\xC3\xA9")));
        const Run run = runTool(arguments << dir.path());
        QCOMPARE(run.exitCode, 0);
        const QJsonObject json = parsed(run.out);
        QCOMPARE(::titles(json), titles);
        QCOMPARE(json.value("tracks").toArray().at(0).toArray().at(ColArtist).toString(),
                 latinArtist);
        QVERIFY(strings(json.value("groups").toObject().value("artist")).contains(latinArtist));
        // Without the option the output is the Shift-JIS one, byte for byte.
        if (arguments.first() == "--codepage" && arguments.at(1) == "932")
            QCOMPARE(runTool({dir.path()}).out, run.out);
    }
    void badInput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        dataRow("missing folder", QStringList({"<dir>/missing"}), "No such file");
        dataRow("a file, not a folder", QStringList({"<dir>/file.mp3"}), "not a folder");
        dataRow("no folder", QStringList(), "usage:");
        dataRow("two folders", QStringList({"<dir>", "<dir>"}), "usage:");
        dataRow("unknown option", QStringList({"--fast", "<dir>"}), "usage:");
        dataRow("unknown type", QStringList({"--types", "wma", "<dir>"}), "usage:");
        dataRow("types without list", QStringList({"--types"}), "usage:");
        dataRow("unknown code page", QStringList({"--codepage", "1251", "<dir>"}), "usage:");
        dataRow("code page without value", QStringList({"--codepage"}), "usage:");
        dataRow("code page twice", QStringList({"--codepage=auto", "--codepage", "932", "<dir>"}),
                "usage:");
    }
    void badInput() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(writeMusicFile(dir.path() + "/file.mp3", 200));
        arguments.replaceInStrings("<dir>", dir.path());
        const Run run = runTool(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
        if (!message.startsWith("usage"))
            QCOMPARE(run.err.count('\n'), 1); // one clear line
    }
    void pathsThatAreNotUtf8() {
        TemporaryTree dir; // names QDir cannot remove
        const QByteArray native = pathToNative(dir.path()) + "/\xff\xfe/caf\xe9.mp3";
        QVERIFY(writeMusicFile(native, 200, tagOf("Caf\xb1")));
        const Run run = runTool({dir.path()});
        QCOMPARE(run.exitCode, 0);
        // Each byte that is not UTF-8 is the escape \udcXX in the raw output.
        QVERIFY(run.out.contains("/\\udcff\\udcfe/caf\\udce9.mp3\""));
        const QJsonObject json = parsed(run.out);
        const QString path = json.value("tracks").toArray().at(0).toArray().at(ColPath).toString();
        QCOMPARE(pathToNative(path), native);
        QCOMPARE(readNativeFile(pathToNative(path)).size(), 200 + 128);
        // The tag's own text is decoded from the code page, not escaped.
        QCOMPARE(titles(json), QStringList({QString::fromUtf8("Caf\uFF71")}));
    }
    void namesBeginningWithByteOrderMark() {
        TemporaryTree dir; // names QDir cannot remove
        const QByteArray bom = "\xEF\xBB\xBF";
        const QByteArray native = pathToNative(dir.path()) + "/" + bom + "A/" + bom + "\xfe.mp3";
        QVERIFY(writeMusicFile(native, 200));
        const Run run = runTool({dir.path()});
        QCOMPARE(run.exitCode, 0);
        // The mark is escaped (a reader decoding the string as UTF-8 would drop it at the
        // string's start), and so is the stray byte.
        QVERIFY(run.out.contains("/\\ufeffA/\\ufeff\\udcfe.mp3\""));
        QVERIFY(!run.out.contains(bom));
        const QJsonObject json = parsed(run.out);
        const QString path = json.value("tracks").toArray().at(0).toArray().at(ColPath).toString();
        QCOMPARE(pathToNative(path), native);
        QCOMPARE(strings(json.value("groups").toObject().value("folder")),
                 QStringList({QChar(0xFEFF) + QStringLiteral("A/")}));
    }
    void linkWebListsEachFolderOnce() {
        // Eleven folders, each with two links to the next: 1,024 routes to the last one.
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        constexpr int Last = 10;
        for (int i = 0; i <= Last; ++i) {
            const QByteArray folder = root + "/d" + QByteArray::number(i);
            QVERIFY(writeMusicFile(folder + "/t" + QByteArray::number(i) + ".mp3", 200));
            if (i < Last) {
                const QByteArray next = "../d" + QByteArray::number(i + 1);
                QCOMPARE(::symlink(next.constData(), (folder + "/x").constData()), 0);
                QCOMPARE(::symlink(next.constData(), (folder + "/y").constData()), 0);
            }
        }
        const Run run = runTool({dir.path() + "/d0"});
        QCOMPARE(run.exitCode, 0);
        const QStringList names = titles(parsed(run.out));
        QCOMPARE(names.size(), Last + 1);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), Last + 1);
    }
    // Past a megabyte the output is written in pieces: it must still be one JSON document with
    // every row, and a full disk must be reported, not taken for success.
    void outputOfManyPieces() {
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        const QByteArray padding(200, 'x');
        constexpr int Files = 6000;
        for (int i = 0; i < Files; ++i)
            QVERIFY(writeMusicFile(root + "/F" + QByteArray::number(i % 7) + "/" + padding +
                                       QByteArray::number(100000 + i) + ".mp3",
                                   130, tagOf("Title " + QByteArray::number(i), "Artist")));
        const Run run = runTool({dir.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.size() > 3 * 1024 * 1024 / 2);
        const QJsonObject json = parsed(run.out);
        const QStringList all = titles(json);
        QCOMPARE(all.size(), Files);
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), Files);
        QVERIFY(all.contains(QStringLiteral("Title 5999")));
        QCOMPARE(strings(json.value("groups").toObject().value("folder")).size(), 7);

        QProcess full;
        full.setStandardOutputFile(QStringLiteral("/dev/full"));
        full.start(qEnvironmentVariable("SONAVUE_BUILD_DIR") + "/sonavue-catalogue", {dir.path()});
        QVERIFY(full.waitForFinished(30000));
        QCOMPARE(full.exitCode(), 1);
        QVERIFY(full.readAllStandardError().contains("cannot write the output"));
    }
    // Texts are written eight units at a time where all are plain: every kind of unit that
    // needs more than a copy, at every place in and around such a step, in both forms the
    // catalogue keeps text in (one byte or two a unit), reads back as the text.
    void everyTextReadsBackAsWritten() {
        const QString specials[] = {"\"",
                                    "\\",
                                    "\n",
                                    QString(QChar(1)),
                                    QString(QChar(0x1F)),
                                    QString(QChar(0x7F)),
                                    QString(QChar(0xE9)),
                                    QString(QChar(0xFF)),
                                    QString(QChar(0x3042)),
                                    QString(QChar(0xFEFF)),
                                    QString(QChar(0xD800)),
                                    QString(QChar(0xDC80)),
                                    QString::fromUtf8("\U0001F600")};
        for (const QString& special : specials)
            for (int length = 1; length <= 19; ++length)
                for (int at = 0; at < length; ++at) {
                    QString text(length, QLatin1Char('a' + at % 26));
                    text.replace(at, 1, special);
                    std::string out;
                    appendJsonString(out, text);
                    if (text.size() == length && !special.front().isSurrogate() &&
                        special.front() < QChar(0x100)) {
                        const QByteArray latin = text.toLatin1(); // as the catalogue's bytes
                        const CellPieces pieces{{{latin.constData(), latin.size(), false}}, 1};
                        std::string fromBytes;
                        appendJsonPieces(fromBytes, pieces);
                        QCOMPARE(fromBytes, out);
                    }
                    const QByteArray array = "[" + QByteArray::fromStdString(out) + "]";
                    const QJsonDocument doc = QJsonDocument::fromJson(array);
                    QVERIFY2(doc.isArray(), array.constData());
                    QCOMPARE(doc.array().at(0).toString(), text);
                }
    }

    void help() {
        const Run run = runTool({"--help"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("usage: sonavue-catalogue"));
        QVERIFY(run.out.contains("\\udcXX"));
        QVERIFY(run.out.contains("--types"));
        QVERIFY(run.out.contains("Exit status: 0 done, 1 the output could not be written"));
        const Run version = runTool({"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("sonavue-catalogue ") + VersionText + "\n");
    }
};

QTEST_GUILESS_MAIN(TestCatalogueTool)
#include "test_catalogue_tool.moc"
