// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// File URIs both ways, byte for byte: names with spaces, "#", "%", Japanese text or bytes
// that are not UTF-8 reach the file system unchanged.
#include <QString>
#include <optional>

class QUrl;

namespace sonavue {

// A file:// URI made from the path's bytes (a relative path from the working folder).
QString fileUriFor(const QString& path);

// The path a local file URI names (file:///... or file://localhost/...), with its bytes
// exactly as percent-encoded; nullopt for any other URI.
std::optional<QString> pathOfFileUri(const QUrl& uri);
std::optional<QString> pathOfFileUri(const QString& uri);

} // namespace sonavue
