#pragma once
// Writes ID3v2 tags byte by byte, for the tests: frames of versions 2.2, 2.3 and 2.4 in
// the four text encodings, headers with any flags, whole-tag unsynchronisation.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sonavue::test {

enum Encoding : char { Latin1 = 0, Utf16Bom = 1, Utf16Be = 2, Utf8 = 3 };

inline QByteArray encoded(Encoding encoding, const QString& text) {
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

inline QByteArray terminator(Encoding encoding) {
    return QByteArray(encoding == Utf16Bom || encoding == Utf16Be ? 2 : 1, '\0');
}

inline QByteArray textBody(Encoding encoding, const QString& text) {
    return char(encoding) + encoded(encoding, text);
}

inline QByteArray commentBody(Encoding encoding, const QString& text) {
    return char(encoding) + QByteArray("eng") + encoded(encoding, QString()) +
           terminator(encoding) + encoded(encoding, text);
}

inline QByteArray bigEndian(quint32 value, int bytes, int bitsPerByte = 8) {
    QByteArray out(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= bitsPerByte)
        out[i] = char(value & ((1u << bitsPerByte) - 1));
    return out;
}

// One frame as the given major version lays it out.
// flags: the frame header's two flag bytes (2.3 and 2.4).
inline QByteArray frame(int version, const QByteArray& id, const QByteArray& body,
                        quint16 flags = 0) {
    if (version == 2)
        return id + bigEndian(quint32(body.size()), 3) + body;
    const int bits = version == 4 ? 7 : 8; // 2.4 frame sizes are syncsafe
    return id + bigEndian(quint32(body.size()), 4, bits) + bigEndian(flags, 2) + body;
}

inline QByteArray header(int version, quint8 flags, quint32 bodySize) {
    return QByteArray("ID3") + char(version) + '\0' + char(flags) + bigEndian(bodySize, 4, 7);
}

inline QByteArray tag(int version, const QByteArray& frames, quint8 flags = 0) {
    return header(version, flags, quint32(frames.size())) + frames;
}

// The six frames that fill the catalogue, in the ids of the version.
inline QByteArray sixFrames(int version, Encoding encoding, const QStringList& texts) {
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

// Every 0xFF gets a 0x00 after it (whole-tag unsynchronisation).
inline QByteArray unsynchronised(const QByteArray& bytes) {
    QByteArray out;
    for (const char c : bytes) {
        out += c;
        if (quint8(c) == 0xFF)
            out += '\0';
    }
    return out;
}

} // namespace sonavue::test
