// The installed program: `cmake --install` into a temporary prefix lays out a program that
// starts from its launcher, a catalogue tool that scans, and a valid desktop entry and icon.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run run(const QString& program, const QStringList& arguments, int timeoutMs = 60000) {
    QProcess process;
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QByteArray tagged(const QByteArray& title, const QByteArray& artist) {
    auto field = [](QByteArray text, int width) { return text.leftJustified(width, '\0', true); };
    return QByteArray(300, '\x55') + "TAG" + field(title, 30) + field(artist, 30) +
           field("Album", 30) + "1999" + QByteArray(30, '\0') + QByteArray(1, char(17));
}

} // namespace

class InstallTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_prefix;
    QString path(const QString& relative) const { return m_prefix.filePath(relative); }

private slots:
    void initTestCase() {
        QVERIFY(m_prefix.isValid());
        const Run install =
            run(QStringLiteral(SONAVUE_CMAKE_COMMAND),
                {QStringLiteral("--install"), qEnvironmentVariable("SONAVUE_BUILD_DIR"),
                 QStringLiteral("--prefix"), m_prefix.path()},
                180000);
        QVERIFY2(install.exitCode == 0, install.err.constData());
    }

    void layout_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("executable");
        QTest::newRow("player") << "lib/sonavue/Sonavue" << true;
        QTest::newRow("page beside it") << "lib/sonavue/index.htm" << false;
        QTest::newRow("catalogue tool") << "lib/sonavue/sonavue-catalogue" << true;
        QTest::newRow("player launcher") << "bin/sonavue" << true;
        QTest::newRow("tool launcher") << "bin/sonavue-catalogue" << true;
        QTest::newRow("desktop entry") << "share/applications/sonavue.desktop" << false;
        QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/sonavue.svg" << false;
    }
    void layout() {
        QFETCH(QString, file);
        QFETCH(bool, executable);
        const QFileInfo info(path(file));
        QVERIFY2(info.isFile(), qPrintable(file));
        QCOMPARE(info.isExecutable(), executable);
    }

    void launcherStartsTheInstalledPlayer_data() {
        QTest::addColumn<QString>("launcher");
        QTest::newRow("bin/sonavue") << "bin/sonavue";
        QTest::newRow("through a link elsewhere") << "elsewhere/player";
    }
    void launcherStartsTheInstalledPlayer() {
        QFETCH(QString, launcher);
        if (launcher.startsWith(QLatin1String("elsewhere"))) {
            QDir().mkpath(path(QStringLiteral("elsewhere")));
            QFile::link(path(QStringLiteral("bin/sonavue")), path(launcher));
        }
        const Run version = run(path(launcher), {QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.out.startsWith("Sonavue 1."), version.out.constData());
        // The self-check finds the page in the program folder, not beside the launcher.
        const Run check = run(path(launcher), {QStringLiteral("--self-check")});
        QVERIFY2(check.exitCode == 0, check.out.constData());
        const QString folder = QFileInfo(path(QStringLiteral("lib/sonavue"))).canonicalFilePath();
        QVERIFY2(check.out.contains(("program folder: " + folder).toUtf8()), check.out.constData());
        QVERIFY(check.out.contains("index.htm: found"));
    }

    void selfCheckNoticesAMissingPage() {
        QTemporaryDir copy;
        QVERIFY(QFile::copy(path(QStringLiteral("lib/sonavue/Sonavue")),
                            copy.filePath(QStringLiteral("Sonavue"))));
        const Run check =
            run(copy.filePath(QStringLiteral("Sonavue")), {QStringLiteral("--self-check")});
        QCOMPARE(check.exitCode, 1);
        QVERIFY(check.out.contains("index.htm: missing"));
    }

    void catalogueToolScans() {
        QTemporaryDir music;
        QVERIFY(QDir(music.path()).mkpath(QStringLiteral("Rock")));
        QFile tagged1(music.filePath(QStringLiteral("Rock/one.mp3")));
        QVERIFY(tagged1.open(QIODevice::WriteOnly));
        tagged1.write(tagged("Tiny Song", "Someone"));
        tagged1.close();
        // A name that is not UTF-8 comes back byte for byte as \udcXX.
        const QByteArray oddName = QFile::encodeName(music.path()) + "/odd\xff.mp3";
        const int fd = ::open(oddName.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, QByteArray(200, 'x').constData(), 200), ssize_t(200));
        QCOMPARE(::close(fd), 0);

        const Run scan = run(path(QStringLiteral("bin/sonavue-catalogue")), {music.path()});
        QVERIFY2(scan.exitCode == 0, scan.err.constData());
        QVERIFY2(scan.out.contains("odd\\udcff.mp3"), scan.out.constData());
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(scan.out, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonObject root = document.object();
        QCOMPARE(root.value(QStringLiteral("folderPrefix")).toString(),
                 music.path() + QLatin1Char('/'));
        const QJsonArray tracks = root.value(QStringLiteral("tracks")).toArray();
        QCOMPARE(tracks.size(), 2);
        bool foundTagged = false;
        for (const QJsonValue& row : tracks) {
            const QJsonArray columns = row.toArray();
            QCOMPARE(columns.size(), 8);
            if (columns.at(0).toString() == music.filePath(QStringLiteral("Rock/one.mp3"))) {
                foundTagged = true;
                QCOMPARE(columns.at(1).toString(), QStringLiteral("Tiny Song"));
                QCOMPARE(columns.at(3).toString(), QStringLiteral("Someone"));
            }
        }
        QVERIFY(foundTagged);
        QCOMPARE(root.value(QStringLiteral("groups"))
                     .toObject()
                     .value(QStringLiteral("artist"))
                     .toArray(),
                 QJsonArray{QStringLiteral("Someone")});
        // A folder that is not there is bad usage.
        QCOMPARE(run(path(QStringLiteral("bin/sonavue-catalogue")),
                     {music.filePath(QStringLiteral("gone"))})
                     .exitCode,
                 2);
    }

    void desktopEntryIsValid() {
        const QString validator =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        QVERIFY2(!validator.isEmpty(), "desktop-file-validate (desktop-file-utils) is needed");
        const QString entry = path(QStringLiteral("share/applications/sonavue.desktop"));
        const Run validate = run(validator, {entry});
        QVERIFY2(validate.exitCode == 0 && validate.out.isEmpty(), validate.out.constData());
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        for (const char* line :
             {"Exec=sonavue %F", "Icon=sonavue", "Categories=AudioVideo;Audio;Player;Qt;",
              "MimeType=audio/mpeg;audio/midi;audio/x-wav;"})
            QVERIFY2(text.contains(QByteArray(line) + '\n'), line);
    }

    void iconIsAnSvgImage() {
        QFile icon(path(QStringLiteral("share/icons/hicolor/scalable/apps/sonavue.svg")));
        QVERIFY(icon.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&icon);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name(), QStringLiteral("svg"));
        QCOMPARE(xml.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 256 256"));
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }
};

QTEST_MAIN(InstallTest)
#include "test_install.moc"
