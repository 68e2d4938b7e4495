// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/settingslocation.h"

#include "base/nativepath.h"

#include <QCoreApplication>
#include <climits>
#include <optional>
#include <unistd.h>
#include <vector>

namespace sonavue {
namespace {

// The executable's path as the kernel names it, kept losslessly. A program whose file was
// replaced while it runs (an upgrade, a rebuild) is named "<path> (deleted)"; the path is
// what counts.
std::optional<QString> executablePath() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return std::nullopt;
        if (std::size_t(n) < buffer.size()) {
            QString path = pathFromNative(buffer.data(), n);
            const QLatin1String deleted(" (deleted)");
            if (path.endsWith(deleted))
                path.chop(deleted.size());
            return path;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

QString programFolder() {
    QString folder;
    if (const std::optional<QString> exe = executablePath())
        folder = exe->left(std::max<qsizetype>(exe->lastIndexOf(QLatin1Char('/')), 0));
    else if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    // One trailing separator goes, so that the root folder joins with a single '/'.
    if (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString programName() {
    const std::optional<QString> exe = executablePath();
    QString name = fileNamePart(exe ? *exe : QCoreApplication::applicationFilePath());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return name.isEmpty() ? QStringLiteral("Sonavue") : name;
}

QString userConfigFolder() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && configured.startsWith(QLatin1Char('/')))
        return configured;
    return qEnvironmentVariable("HOME") + QLatin1String("/.config");
}

SettingsLocation settingsLocationFor(const QString& programFolder, const QString& appName,
                                     bool programFolderWritable, const QString& configFolder) {
    const QString beside = programFolder + QLatin1Char('/') + appName + QLatin1String(".ini");
    if (programFolderWritable)
        return {beside, QString()};
    // A file beside a read-only program may belong to whoever installed it; each user keeps
    // their own changes, starting from its values.
    return {configFolder + QLatin1String("/Sonavue/") + appName + QLatin1String(".ini"), beside};
}

bool folderWritable(const QString& folder) {
    const QByteArray native = pathToNative(folder.isEmpty() ? QStringLiteral("/") : folder);
    return ::access(native.constData(), W_OK | X_OK) == 0;
}

SettingsLocation settingsLocation(const QString& appName) {
    const QString folder = programFolder();
    return settingsLocationFor(folder, appName, folderWritable(folder), userConfigFolder());
}

QString settingsFilePath(const QString& appName) {
    return settingsLocation(appName).file;
}

} // namespace sonavue
