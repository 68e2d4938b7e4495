#pragma once
// Writes the containers of the opt-in file types byte by byte, for the tests: FLAC metadata
// blocks, Ogg pages and MP4 atoms, well formed or built to be hostile.
#include <QByteArray>
#include <QList>
#include <utility>

namespace sonavue::test {

inline QByteArray bigEndianBytes(quint64 value, int bytes) {
    QByteArray out(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        out[i] = char(value & 0xFF);
    return out;
}

inline QByteArray littleEndianBytes(quint64 value, int bytes) {
    QByteArray out(bytes, '\0');
    for (int i = 0; i < bytes; ++i, value >>= 8)
        out[i] = char(value & 0xFF);
    return out;
}

// A Vorbis comment packet's body: vendor string, then "KEY=value" comments.
inline QByteArray vorbisComments(const QList<QByteArray>& comments) {
    QByteArray out = littleEndianBytes(6, 4) + "sonavu" + littleEndianBytes(comments.size(), 4);
    for (const QByteArray& c : comments)
        out += littleEndianBytes(quint64(c.size()), 4) + c;
    return out;
}

// One FLAC metadata block (type 0 STREAMINFO, 4 VORBIS_COMMENT, ...).
inline QByteArray flacBlock(int type, const QByteArray& body, bool last) {
    return char((last ? 0x80 : 0) | type) + bigEndianBytes(quint64(body.size()), 3) + body;
}

// A FLAC file's head: the marker, a STREAMINFO block, then the given blocks.
inline QByteArray flacHead(const QByteArray& blocks) {
    QByteArray info(34, '\0');
    info[0] = 0x10; // 4096-sample blocks
    info[3] = 0x10;
    info[10] = char(0x0A); // 44.1 kHz, stereo, 16 bits
    info[11] = char(0xC4);
    info[12] = char(0x42);
    info[13] = char(0xF0);
    return "fLaC" + flacBlock(0, info, blocks.isEmpty()) + blocks;
}

// A FLAC PICTURE block's body, which a Vorbis comment METADATA_BLOCK_PICTURE holds in base64:
// the picture type (3 front cover, 4 back cover, ...), the MIME type and the picture's bytes.
inline QByteArray flacPicture(int type, const QByteArray& mime, const QByteArray& data) {
    return bigEndianBytes(quint64(type), 4) + bigEndianBytes(quint64(mime.size()), 4) + mime +
           QByteArray(20, '\0') + bigEndianBytes(quint64(data.size()), 4) + data;
}

// A FLAC file whose only tag is a Vorbis comment with these comments.
inline QByteArray flacFile(const QList<QByteArray>& comments) {
    return flacHead(flacBlock(4, vorbisComments(comments), true));
}

// The Ogg page checksum (CRC-32, polynomial 0x04C11DB7, no reflection).
inline quint32 oggCrc(const QByteArray& page) {
    quint32 crc = 0;
    for (const char c : page) {
        crc ^= quint32(quint8(c)) << 24;
        for (int k = 0; k < 8; ++k)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// One Ogg page with these lacing values and body.
inline QByteArray oggRawPage(const QByteArray& laces, const QByteArray& body, quint32 sequence,
                             int flags, quint64 granule, quint32 serial = 1) {
    QByteArray page = "OggS" + QByteArray(1, '\0') + char(flags) + littleEndianBytes(granule, 8) +
                      littleEndianBytes(serial, 4) + littleEndianBytes(sequence, 4) +
                      QByteArray(4, '\0') + char(laces.size()) + laces + body;
    page.replace(22, 4, littleEndianBytes(oggCrc(page), 4));
    return page;
}

// One Ogg page holding whole packets (at most 255 laces in all).
inline QByteArray oggPage(const QList<QByteArray>& packets, quint32 sequence, int flags = 0,
                          quint64 granule = 0) {
    QByteArray laces, body;
    for (const QByteArray& p : packets) {
        laces += QByteArray(p.size() / 255, char(255));
        laces += char(p.size() % 255); // a packet ends with a lace below 255
        body += p;
    }
    return oggRawPage(laces, body, sequence, flags, granule);
}

// One packet spread over pages of one lace each, from page sequence on: a packet continued
// over as many pages as its size makes (the pages before its end have no granule position).
inline QByteArray oggSpreadPacket(const QByteArray& packet, quint32 sequence) {
    QByteArray out;
    for (qsizetype at = 0;; at += 255, ++sequence) {
        const QByteArray piece = packet.mid(at, 255);
        const bool ends = piece.size() < 255;
        out += oggRawPage(QByteArray(1, char(piece.size())), piece, sequence, at > 0 ? 0x01 : 0,
                          ends ? 0 : ~quint64(0));
        if (ends)
            return out;
    }
}

// The first page of an Ogg Vorbis stream: its identification packet.
inline QByteArray oggVorbisIdentPage() {
    const QByteArray id = "\x01vorbis" + littleEndianBytes(0, 4) + char(2) +
                          littleEndianBytes(44100, 4) + QByteArray(12, '\0') + char(0xB8) + char(1);
    return oggPage({id}, 0, 0x02);
}

// An Ogg Vorbis comment packet.
inline QByteArray vorbisCommentPacket(const QList<QByteArray>& comments) {
    return "\x03vorbis" + vorbisComments(comments) + char(1);
}

// The first two packets of an Ogg Vorbis stream: identification and comments.
inline QByteArray oggVorbisHead(const QList<QByteArray>& comments) {
    return oggVorbisIdentPage() + oggPage({vorbisCommentPacket(comments)}, 1);
}

// The first page of an Ogg Opus stream: its identification packet.
inline QByteArray oggOpusIdentPage() {
    const QByteArray id = "OpusHead\x01\x02" + QByteArray(2, '\0') + littleEndianBytes(48000, 4) +
                          QByteArray(3, '\0');
    return oggPage({id}, 0, 0x02);
}

// The first two packets of an Ogg Opus stream: identification and comments.
inline QByteArray oggOpusHead(const QList<QByteArray>& comments) {
    return oggOpusIdentPage() + oggPage({"OpusTags" + vorbisComments(comments)}, 1);
}

// One MP4 atom: 32-bit size, type, body.
inline QByteArray atom(const QByteArray& type, const QByteArray& body) {
    return bigEndianBytes(quint64(8 + body.size()), 4) + type + body;
}

// One iTunes-style item ("\xA9nam", "covr") whose data atom holds bytes of this class: 1 text,
// 13 JPEG, 14 PNG.
inline QByteArray mp4Item(const QByteArray& type, const QByteArray& bytes, int dataClass = 1) {
    return atom(type,
                atom("data", bigEndianBytes(quint64(dataClass), 4) + bigEndianBytes(0, 4) + bytes));
}

// An M4A file with an iTunes-style tag of these text items, then moreItems as they are.
inline QByteArray mp4File(const QList<std::pair<QByteArray, QByteArray>>& texts,
                          const QByteArray& moreItems = {}) {
    QByteArray list;
    for (const auto& [type, text] : texts)
        list += mp4Item(type, text);
    const QByteArray handler = atom("hdlr", QByteArray(8, '\0') + "mdirappl" + QByteArray(9, '\0'));
    const QByteArray meta =
        atom("meta", QByteArray(4, '\0') + handler + atom("ilst", list + moreItems));
    return atom("ftyp", "M4A " + bigEndianBytes(0, 4) + "M4A mp42isom") +
           atom("moov", atom("udta", meta)) + atom("mdat", QByteArray(64, '\x21'));
}

// depth atoms each holding the next and the innermost nothing, without building the nest
// in memory twice: the sizes are known from the depth.
inline QByteArray nestedAtoms(const QByteArray& type, int depth) {
    QByteArray out;
    out.reserve(qsizetype(depth) * 8);
    for (int i = 0; i < depth; ++i)
        out += bigEndianBytes(quint64(depth - i) * 8, 4) + type;
    return out;
}

} // namespace sonavue::test
