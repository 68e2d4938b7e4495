// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/filelisting.h"

#include "base/nativepath.h"
#include "catalogue/nativefolder.h"

namespace sonavue {

QStringList listFiles(const QString& folder, const FilePattern& pattern, bool* ok) {
    NativeFolder dir(pathToNative(folder));
    if (ok)
        *ok = dir.isOpen();
    NameList files;
    dir.read(&pattern, &files, nullptr);
    QStringList out;
    out.reserve(files.count());
    for (int i = 0; i < files.count(); ++i)
        out.append(files.name(i));
    return out;
}

QStringList listSubfolders(const QString& folder, bool* ok) {
    NativeFolder dir(pathToNative(folder));
    if (ok)
        *ok = dir.isOpen();
    NameList folders;
    dir.read(nullptr, nullptr, &folders);
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList out;
    out.reserve(folders.count());
    for (int i = 0; i < folders.count(); ++i)
        out.append(base + folders.name(i));
    return out;
}

} // namespace sonavue
