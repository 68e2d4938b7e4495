// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/fileuri.h"

#include "base/nativepath.h"

#include <QDir>
#include <QUrl>

namespace sonavue {
namespace {

bool keptAsIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

} // namespace

QString fileUriFor(const QString& path) {
    QByteArray bytes = pathToNative(path);
    if (!bytes.startsWith('/')) {
        QByteArray base = pathToNative(QDir::currentPath());
        if (!base.endsWith('/'))
            base += '/';
        bytes.prepend(base);
    }
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    uri.reserve(uri.size() + bytes.size() * 3);
    for (const char ch : std::as_const(bytes)) {
        const auto c = static_cast<unsigned char>(ch);
        if (keptAsIs(c)) {
            uri += ch;
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 0x0F];
        }
    }
    return QString::fromLatin1(uri);
}

std::optional<QString> pathOfFileUri(const QUrl& uri) {
    if (!uri.isValid() || uri.scheme() != QLatin1String("file") || uri.hasQuery() ||
        uri.hasFragment())
        return std::nullopt;
    const QString host = uri.host();
    if (!host.isEmpty() && host != QLatin1String("localhost"))
        return std::nullopt;
    // The encoded path decoded byte by byte: names that are not UTF-8 stay exact.
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(uri.path(QUrl::FullyEncoded).toLatin1());
    if (bytes.isEmpty())
        return std::nullopt;
    return pathFromNative(bytes);
}

std::optional<QString> pathOfFileUri(const QString& uri) {
    return pathOfFileUri(QUrl(uri, QUrl::StrictMode));
}

} // namespace sonavue
