// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// File names on Linux are bytes. The program keeps paths as QString; bytes that are
// not valid UTF-8 are kept losslessly as the lone surrogates U+DC80..U+DCFF (one per
// byte, as Python's "surrogateescape"), so a path read from disk always opens again.
#include <QByteArray>
#include <QString>

namespace sonavue {

// Bytes from the file system -> program text (lossless).
QString pathFromNative(const char* bytes, qsizetype size);
inline QString pathFromNative(const QByteArray& bytes) {
    return pathFromNative(bytes.constData(), bytes.size());
}
// Program text -> bytes for the file system (inverse of pathFromNative).
QByteArray pathToNative(const QString& path);
// Text for people, on a window or a terminal: escaped bytes shown as U+FFFD; control
// characters, which a terminal would obey (an escape sequence) or which break a line, as
// their pictures (U+2400 on: "\x1b" shows as U+241B); C1 controls, line and paragraph
// separators and the marks that turn the direction of text, as U+FFFD.
QString readableText(const QString& path);
// The part after the last '/'.
QString fileNamePart(const QString& path);

} // namespace sonavue
