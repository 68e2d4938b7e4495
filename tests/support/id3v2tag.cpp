// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "id3v2tag.h"

namespace sonavue::testing::id3v2 {

QByteArray encoded(Encoding encoding, const QString& text) {
    QByteArray out;
    switch (encoding) {
    case Latin1:
        return text.toLatin1();
    case Utf8:
        return text.toUtf8();
    case Utf16Bom:
        out = "\xFF\xFE";
        for (const QChar c : text)
            out += char(c.unicode() & 0xFF), out += char(c.unicode() >> 8);
        return out;
    case Utf16Be:
        for (const QChar c : text)
            out += char(c.unicode() >> 8), out += char(c.unicode() & 0xFF);
        return out;
    }
    return out;
}

QByteArray textBody(Encoding encoding, const QString& text) {
    return char(encoding) + encoded(encoding, text);
}

QByteArray commentBody(Encoding encoding, const QString& text) {
    const QByteArray terminator(encoding == Utf16Bom || encoding == Utf16Be ? 2 : 1, '\0');
    return char(encoding) + QByteArray("eng") + encoded(encoding, QString()) + terminator +
           encoded(encoding, text);
}

QByteArray frame(int version, const QByteArray& id, const QByteArray& body, quint16 flags) {
    if (version == 2)
        return id + bigEndian(quint32(body.size()), 3) + body;
    const int bits = version == 4 ? 7 : 8; // 2.4 frame sizes are syncsafe
    return id + bigEndian(quint32(body.size()), 4, bits) + bigEndian(flags, 2) + body;
}

QByteArray header(int version, quint8 flags, quint32 bodySize) {
    return QByteArray("ID3") + char(version) + '\0' + char(flags) + bigEndian(bodySize, 4, 7);
}

QByteArray tag(int version, const QByteArray& frames, quint8 flags) {
    return header(version, flags, quint32(frames.size())) + frames;
}

QByteArray sixFrames(int version, Encoding encoding, const QStringList& texts) {
    static const char* const ids[2][6] = {{"TT2", "TP1", "TAL", "TYE", "TCO", "COM"},
                                          {"TIT2", "TPE1", "TALB", "TYER", "TCON", "COMM"}};
    QByteArray out;
    for (int i = 0; i < 6; ++i) {
        QByteArray id = ids[version == 2 ? 0 : 1][i];
        if (version == 4 && id == "TYER")
            id = "TDRC";
        out += frame(version, id,
                     i == 5 ? commentBody(encoding, texts[i]) : textBody(encoding, texts[i]));
    }
    return out;
}

QByteArray unsynchronised(const QByteArray& bytes) {
    QByteArray out;
    for (const char c : bytes) {
        out += c;
        if (quint8(c) == 0xFF)
            out += '\0';
    }
    return out;
}

} // namespace sonavue::testing::id3v2
