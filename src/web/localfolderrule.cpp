// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "web/localfolderrule.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace sonavue {
namespace {

// The real place a path names: "." and ".." folded away and links resolved as far as the
// path exists (a link inside the folder may point anywhere; a missing file is judged by the
// real folder it would be in).
QString realPath(const QString& path) {
    QString existing = QDir::cleanPath(path);
    QString rest;
    for (;;) {
        const QString canonical = QFileInfo(existing).canonicalFilePath();
        if (!canonical.isEmpty())
            return rest.isEmpty() ? canonical : QDir::cleanPath(canonical + rest);
        const qsizetype cut = existing.lastIndexOf(QLatin1Char('/'));
        if (cut < 0 || existing == QLatin1String("/"))
            break;
        rest.prepend(existing.mid(cut));
        existing.truncate(std::max<qsizetype>(cut, 1)); // "/name" goes on to "/"
    }
    return QDir::cleanPath(path);
}

} // namespace

LocalFolderRule::LocalFolderRule(const QString& folder)
    : m_folder(folder.isEmpty() ? QString() : realPath(folder)) {}

bool LocalFolderRule::allows(const QUrl& url) const {
    // "view-source:file:///..." shows the file it wraps.
    if (url.scheme() == QLatin1String("view-source"))
        return allows(QUrl(url.path()));
    if (url.scheme() != QLatin1String("file"))
        return true;
    // A file address naming another machine is no file of this folder.
    if (!url.host().isEmpty() && url.host() != QLatin1String("localhost"))
        return false;
    return allowsPath(url.path(QUrl::FullyDecoded));
}

bool LocalFolderRule::allowsPath(const QString& path) const {
    if (m_folder.isEmpty() || path.isEmpty())
        return false;
    if (m_folder == QLatin1String("/"))
        return true;
    const QString real = realPath(path);
    return real == m_folder || real.startsWith(m_folder + QLatin1Char('/'));
}

} // namespace sonavue
