// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The installed program: `cmake --install` into a temporary prefix (with a space in its path)
// lays out a program that starts from its launcher, a catalogue tool that scans, a valid
// desktop entry naming the launcher by its installed path, icons in every size, AppStream
// metadata and manual pages that list the options --help does; the uninstall the README
// gives leaves nothing behind, after the installed player has run once.
#include "base/playabletypes.h"
#include "support/datarow.h"
#include "support/musicfiles.h"
#include "support/processrun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <QtEndian>

using namespace sonavue::testing;

namespace {

using Run = ProcessRun;

Run run(const QString& program, const QStringList& arguments, int timeoutMs = 60000,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    return runProcess(program, arguments, timeoutMs, environment);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString toolPath(const char* name) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (found.isEmpty())
        qWarning("%s is needed (scripts/install-deps.sh --tests installs it)", name);
    return found;
}

// The options ("-h", "--self-check", ...) named in text.
QStringList optionsIn(const QString& text) {
    QStringList options;
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*"));
    for (const QRegularExpressionMatch& match : option.globalMatch(text))
        options << match.captured();
    return options;
}

// The options --help lists: those its indented option lines begin with.
QStringList optionsOfUsage(const QByteArray& help) {
    QStringList options;
    static const QRegularExpression line(QStringLiteral("^ +(-\\S.*?)(?: {2,}|$)"),
                                         QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& match : line.globalMatch(QString::fromUtf8(help)))
        options += optionsIn(match.captured(1));
    options.removeDuplicates();
    options.sort();
    return options;
}

// The options a manual page lists: the tags of its OPTIONS and COMMANDS sections (roff
// writes "\-" for a dash).
QStringList optionsOfManualPage(const QByteArray& page) {
    QStringList options;
    QString section;
    bool tagNext = false;
    for (QString line : QString::fromUtf8(page).split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\\'));
        if (line.startsWith(QLatin1String(".SH ")))
            section = line.mid(4).trimmed();
        else if (tagNext &&
                 (section == QLatin1String("OPTIONS") || section == QLatin1String("COMMANDS")))
            options += optionsIn(line);
        tagNext = line.startsWith(QLatin1String(".TP"));
    }
    options.removeDuplicates();
    options.sort();
    return options;
}

} // namespace

class InstallTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_prefix{QDir::tempPath() + QStringLiteral("/sonavue install-XXXXXX")};
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
        dataRow("player", "lib/sonavue/Sonavue", true);
        dataRow("page beside it", "lib/sonavue/index.htm", false);
        dataRow("web panel beside it", "lib/sonavue/sonavue-webpanel.so", false);
        dataRow("catalogue tool", "lib/sonavue/sonavue-catalogue", true);
        dataRow("player launcher", "bin/sonavue", true);
        dataRow("tool launcher", "bin/sonavue-catalogue", true);
        dataRow("desktop entry", "share/applications/org.sonavue.Sonavue.desktop", false);
        // Installed into a live prefix, the desktop's caches know of it.
        dataRow("file-type cache", "share/applications/mimeinfo.cache", false);
        dataRow("icon", "share/icons/hicolor/scalable/apps/sonavue.svg", false);
        for (int pixels : {16, 32, 48, 64, 128, 256})
            QTest::addRow("%d px icon", pixels)
                << QStringLiteral("share/icons/hicolor/%1x%1/apps/sonavue.png").arg(pixels)
                << false;
        dataRow("metainfo", "share/metainfo/org.sonavue.Sonavue.metainfo.xml", false);
        dataRow("manual page", "share/man/man1/sonavue.1", false);
        dataRow("tool manual page", "share/man/man1/sonavue-catalogue.1", false);
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
        dataRow("bin/sonavue", "bin/sonavue");
        dataRow("through a link elsewhere", "elsewhere/player");
    }
    void launcherStartsTheInstalledPlayer() {
        QFETCH(QString, launcher);
        // A link outside the prefix, as a user's own ~/bin/player may be.
        QTemporaryDir elsewhere;
        if (launcher.startsWith(QLatin1String("elsewhere"))) {
            QDir(elsewhere.path()).mkpath(QStringLiteral("elsewhere"));
            QFile::link(path(QStringLiteral("bin/sonavue")), elsewhere.filePath(launcher));
            launcher = elsewhere.filePath(launcher);
        } else {
            launcher = path(launcher);
        }
        const Run version = run(launcher, {QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.out.startsWith("Sonavue 1."), version.out.constData());
        // The self-check finds the page in the program folder, not beside the launcher.
        const Run check = run(launcher, {QStringLiteral("--self-check")});
        QVERIFY2(check.exitCode == 0, check.out.constData());
        const QString folder = QFileInfo(path(QStringLiteral("lib/sonavue"))).canonicalFilePath();
        QVERIFY2(check.out.contains(("program folder: " + folder).toUtf8()), check.out.constData());
        QVERIFY(check.out.contains("index.htm: found"));
        QVERIFY(check.out.contains("sonavue-webpanel.so: found"));
    }

    void selfCheckNoticesAMissingPage() {
        QTemporaryDir copy;
        QVERIFY(QFile::copy(path(QStringLiteral("lib/sonavue/Sonavue")),
                            copy.filePath(QStringLiteral("Sonavue"))));
        const Run check =
            run(copy.filePath(QStringLiteral("Sonavue")), {QStringLiteral("--self-check")});
        QCOMPARE(check.exitCode, 1);
        QVERIFY(check.out.contains("index.htm: missing"));
        QVERIFY(check.out.contains("sonavue-webpanel.so: missing"));
    }

    void catalogueToolScans() {
        QTemporaryDir music;
        QVERIFY(writeMusicFile(music.filePath(QStringLiteral("Rock/one.mp3")), 300,
                               TagFields{"Tiny Song", "Someone", "Album", "1999", {}, 17}));
        // A name that is not UTF-8 comes back byte for byte as \udcXX.
        QVERIFY(writeNativeFile(QFile::encodeName(music.path()) + "/odd\xff.mp3",
                                QByteArray(200, 'x')));

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
        const QString entry =
            path(QStringLiteral("share/applications/org.sonavue.Sonavue.desktop"));
        const Run validate = run(validator, {entry});
        QVERIFY2(validate.exitCode == 0 && validate.out.isEmpty() && validate.err.isEmpty(),
                 (validate.out + validate.err).constData());
        const QByteArray text = readAll(entry);
        // The launcher by its installed path, whether or not its folder is on the PATH; the
        // space in the path makes Exec quote it.
        const QByteArray launcher = QFile::encodeName(path(QStringLiteral("bin/sonavue")));
        QVERIFY2(text.contains("\nExec=\"" + launcher + "\" %F\n"), text.constData());
        QVERIFY2(text.contains("\nTryExec=" + launcher + '\n'), text.constData());
        // The MIME types of the playable types and the playlists, as the media controls
        // report them.
        const QByteArray mimeTypes = "MimeType=" +
                                     (sonavue::playableMimeTypes() + sonavue::playlistMimeTypes())
                                         .join(QLatin1Char(';'))
                                         .toUtf8() +
                                     ';';
        for (const QByteArray& line :
             {QByteArray("Icon=sonavue"), QByteArray("Categories=AudioVideo;Audio;Player;Qt;"),
              mimeTypes, QByteArray("Name[ja]=ソナビュー")})
            QVERIFY2(text.contains(line + '\n'), line.constData());
        QVERIFY(QRegularExpression(QStringLiteral("\nKeywords=([^;\n]+;)+\n"))
                    .match(QString::fromUtf8(text))
                    .hasMatch());
    }

    void pngIconsHaveTheirSizes() {
        for (int pixels : {16, 32, 48, 64, 128, 256}) {
            const QByteArray png = readAll(
                path(QStringLiteral("share/icons/hicolor/%1x%1/apps/sonavue.png").arg(pixels)));
            // The signature, then the header chunk: width and height, big-endian.
            QVERIFY2(png.startsWith("\x89PNG\r\n\x1a\n") && png.mid(12, 4) == "IHDR",
                     qPrintable(QString::number(pixels)));
            QCOMPARE(qFromBigEndian<quint32>(png.constData() + 16), quint32(pixels));
            QCOMPARE(qFromBigEndian<quint32>(png.constData() + 20), quint32(pixels));
        }
    }

    void metainfoIsValidAndNamesTheDesktopEntry() {
        const QString validator = toolPath("appstreamcli");
        QVERIFY(!validator.isEmpty());
        const QString metainfo =
            path(QStringLiteral("share/metainfo/org.sonavue.Sonavue.metainfo.xml"));
        // Neither an error nor a warning.
        const Run validate =
            run(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
        QVERIFY2(validate.exitCode == 0 && !validate.out.contains("W:") &&
                     !validate.out.contains("E:") && !validate.out.contains("P:"),
                 validate.out.constData());

        QFile file(metainfo);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString id, launchable, screenshot;
        QStringList mediaTypes;
        int paragraphs = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QStringView name = xml.name();
            if (name == QLatin1String("id"))
                id = xml.readElementText();
            else if (name == QLatin1String("launchable"))
                launchable = xml.readElementText();
            else if (name == QLatin1String("image"))
                screenshot = xml.readElementText();
            else if (name == QLatin1String("p"))
                ++paragraphs;
            else if (name == QLatin1String("mediatype"))
                mediaTypes += xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(launchable, QStringLiteral("org.sonavue.Sonavue.desktop"));
        QVERIFY(QFileInfo::exists(path(QStringLiteral("share/applications/") + launchable)));
        QCOMPARE(id + QStringLiteral(".desktop"), launchable);
        QVERIFY2(screenshot.endsWith(QLatin1String("/docs/screenshot.png")),
                 qPrintable(screenshot));
        QVERIFY(QFileInfo::exists(qEnvironmentVariable("SONAVUE_SOURCE_DIR") +
                                  QStringLiteral("/docs/screenshot.png")));
        QVERIFY(paragraphs >= 1);
        QCOMPARE(mediaTypes, sonavue::playableMimeTypes() + sonavue::playlistMimeTypes());
    }

    void manPagesAreCleanRoffListingTheOptions_data() {
        QTest::addColumn<QString>("launcher");
        dataRow("sonavue", "sonavue");
        dataRow("sonavue-catalogue", "sonavue-catalogue");
    }
    void manPagesAreCleanRoffListingTheOptions() {
        QFETCH(QString, launcher);
        const QString page = path(QStringLiteral("share/man/man1/%1.1").arg(launcher));
        const QString groff = toolPath("groff");
        QVERIFY(!groff.isEmpty());
        const Run format = run(groff, {QStringLiteral("-man"), QStringLiteral("-Tutf8"),
                                       QStringLiteral("-ww"), QStringLiteral("-z"), page});
        QVERIFY2(format.exitCode == 0 && format.err.isEmpty(), format.err.constData());

        // The page lists the options the program's own usage lists, no more and no fewer.
        const QByteArray text = readAll(page);
        QVERIFY(!text.contains('@')); // the build filled in every value
        const Run help = run(path(QStringLiteral("bin/") + launcher), {QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        const QStringList options = optionsOfUsage(help.out);
        QVERIFY2(options.size() >= 3, help.out.constData());
        QCOMPARE(optionsOfManualPage(text), options);
    }

    // The player's launcher picks the X11 platform when there is an X display (XWayland
    // under Wayland) and the user chose none; the user's choice and a machine without X
    // are left alone. Stand-in programs print what they were given.
    void launcherPrefersX11_data() {
        QTest::addColumn<QString>("launcher");
        QTest::addColumn<QString>("userPlatform");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QByteArray>("expected");
        dataRow("X display, no choice", "sonavue", "", ":7", QByteArray("xcb"));
        dataRow("user's choice kept", "sonavue", "wayland", ":7", QByteArray("wayland"));
        dataRow("no X display", "sonavue", "", "", QByteArray("unset"));
        dataRow("catalogue tool untouched", "sonavue-catalogue", "", ":7", QByteArray("unset"));
    }
    void launcherPrefersX11() {
        QFETCH(QString, launcher);
        QFETCH(QString, userPlatform);
        QFETCH(QString, display);
        QFETCH(QByteArray, expected);
        QTemporaryDir tree;
        QVERIFY(QDir(tree.path()).mkpath(QStringLiteral("bin")));
        QVERIFY(QFile::copy(path(QStringLiteral("bin/") + launcher),
                            tree.filePath(QStringLiteral("bin/") + launcher)));
        const QString program = tree.filePath(
            launcher == QLatin1String("sonavue") ? QStringLiteral("lib/sonavue/Sonavue")
                                                 : QStringLiteral("lib/sonavue/sonavue-catalogue"));
        QVERIFY(writeFile(program,
                          "#!/bin/sh\nprintf 'platform=%s\\n' \"${QT_QPA_PLATFORM-unset}\"\n"));
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
        if (!userPlatform.isEmpty())
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), userPlatform);
        if (!display.isEmpty())
            environment.insert(QStringLiteral("DISPLAY"), display);
        const Run started =
            run(tree.filePath(QStringLiteral("bin/") + launcher), {}, 60000, environment);
        QCOMPARE(started.exitCode, 0);
        QCOMPARE(started.out, "platform=" + expected + '\n');
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

    // The README's uninstall, after the installed player has run once and written its
    // settings into its program folder (writable here, as in a ~/.local install), leaves
    // nothing under the prefix: no file, no desktop cache, no folder. It runs last.
    void uninstallLeavesNothing() {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("runtime")));
        QVERIFY(QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                           home.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=") + home.filePath(QStringLiteral("no-bus")));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                           QStringLiteral("--disable-gpu --no-sandbox"));
        QProcess player;
        player.setProcessEnvironment(environment);
        player.setProcessChannelMode(QProcess::ForwardedChannels);
        player.start(path(QStringLiteral("bin/sonavue")), {});
        QVERIFY(player.waitForStarted());
        // The start-up writes the settings as it applies them.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("lib/sonavue/Sonavue.ini"))),
                                 60000);
        player.terminate(); // closes the window as Ctrl+Q does
        QVERIFY(player.waitForFinished(30000));
        QCOMPARE(player.exitCode(), 0);

        const Run uninstall =
            run(QStringLiteral(SONAVUE_CMAKE_COMMAND),
                {QStringLiteral("--build"), qEnvironmentVariable("SONAVUE_BUILD_DIR"),
                 QStringLiteral("--target"), QStringLiteral("uninstall")},
                180000);
        QVERIFY2(uninstall.exitCode == 0, (uninstall.out + uninstall.err).constData());
        QStringList left;
        QDirIterator entries(m_prefix.path(),
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            left << entries.next();
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(InstallTest)
#include "test_app_install.moc"
