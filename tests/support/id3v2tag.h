// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// ID3v2 tags written byte by byte: frames of versions 2.2, 2.3 and 2.4 in the four text
// encodings, headers with any flags, whole-tag unsynchronisation.
#include "bytes.h"

#include <QString>
#include <QStringList>

namespace sonavue::testing::id3v2 {

enum Encoding : char { Latin1 = 0, Utf16Bom = 1, Utf16Be = 2, Utf8 = 3 };

QByteArray encoded(Encoding encoding, const QString& text);
// A text frame's body: the encoding byte, then the text.
QByteArray textBody(Encoding encoding, const QString& text);
// A comment frame's body in English with an empty description.
QByteArray commentBody(Encoding encoding, const QString& text);
// One frame as the given major version lays it out; flags are the frame header's two flag
// bytes (2.3 and 2.4).
QByteArray frame(int version, const QByteArray& id, const QByteArray& body, quint16 flags = 0);
QByteArray header(int version, quint8 flags, quint32 bodySize);
QByteArray tag(int version, const QByteArray& frames, quint8 flags = 0);
// The six frames that fill the catalogue (title, artist, album, year, genre, comment), in
// the ids of the version.
QByteArray sixFrames(int version, Encoding encoding, const QStringList& texts);
// Every 0xFF gets a 0x00 after it (whole-tag unsynchronisation).
QByteArray unsynchronised(const QByteArray& bytes);

} // namespace sonavue::testing::id3v2
