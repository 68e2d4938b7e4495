// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "containers.h"

namespace sonavue::testing {

QByteArray vorbisComments(const QList<QByteArray>& comments) {
    QByteArray out = littleEndian(6, 4) + "sonavu" + littleEndian(comments.size(), 4);
    for (const QByteArray& c : comments)
        out += littleEndian(quint64(c.size()), 4) + c;
    return out;
}

QByteArray flacBlock(int type, const QByteArray& body, bool last) {
    return char((last ? 0x80 : 0) | type) + bigEndian(quint64(body.size()), 3) + body;
}

QByteArray flacHead(const QByteArray& blocks) {
    QByteArray info(34, '\0');
    info[0] = 0x10; // 4096-sample blocks
    info[3] = 0x10;
    info[10] = char(0x0A); // 44.1 kHz, stereo, 16 bits
    info[11] = char(0xC4);
    info[12] = char(0x42);
    info[13] = char(0xF0);
    return "fLaC" + flacBlock(0, info, blocks.isEmpty()) + blocks;
}

QByteArray flacPicture(int type, const QByteArray& mime, const QByteArray& data) {
    return bigEndian(quint64(type), 4) + bigEndian(quint64(mime.size()), 4) + mime +
           QByteArray(20, '\0') + bigEndian(quint64(data.size()), 4) + data;
}

QByteArray flacFile(const QList<QByteArray>& comments) {
    return flacHead(flacBlock(4, vorbisComments(comments), true));
}

namespace {

// The Ogg page checksum (CRC-32, polynomial 0x04C11DB7, no reflection).
quint32 oggCrc(const QByteArray& page) {
    quint32 crc = 0;
    for (const char c : page) {
        crc ^= quint32(quint8(c)) << 24;
        for (int k = 0; k < 8; ++k)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

} // namespace

QByteArray oggRawPage(const QByteArray& laces, const QByteArray& body, quint32 sequence, int flags,
                      quint64 granule, quint32 serial) {
    QByteArray page = "OggS" + QByteArray(1, '\0') + char(flags) + littleEndian(granule, 8) +
                      littleEndian(serial, 4) + littleEndian(sequence, 4) + QByteArray(4, '\0') +
                      char(laces.size()) + laces + body;
    page.replace(22, 4, littleEndian(oggCrc(page), 4));
    return page;
}

QByteArray oggPage(const QList<QByteArray>& packets, quint32 sequence, int flags, quint64 granule) {
    QByteArray laces, body;
    for (const QByteArray& p : packets) {
        laces += QByteArray(p.size() / 255, char(255));
        laces += char(p.size() % 255); // a packet ends with a lace below 255
        body += p;
    }
    return oggRawPage(laces, body, sequence, flags, granule);
}

QByteArray oggSpreadPacket(const QByteArray& packet, quint32 sequence) {
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

QByteArray oggVorbisIdentPage() {
    const QByteArray id = "\x01vorbis" + littleEndian(0, 4) + char(2) + littleEndian(44100, 4) +
                          QByteArray(12, '\0') + char(0xB8) + char(1);
    return oggPage({id}, 0, 0x02);
}

QByteArray oggOpusIdentPage() {
    const QByteArray id =
        "OpusHead\x01\x02" + QByteArray(2, '\0') + littleEndian(48000, 4) + QByteArray(3, '\0');
    return oggPage({id}, 0, 0x02);
}

QByteArray vorbisCommentPacket(const QList<QByteArray>& comments) {
    return "\x03vorbis" + vorbisComments(comments) + char(1);
}

QByteArray oggVorbisHead(const QList<QByteArray>& comments) {
    return oggVorbisIdentPage() + oggPage({vorbisCommentPacket(comments)}, 1);
}

QByteArray oggOpusHead(const QList<QByteArray>& comments) {
    return oggOpusIdentPage() + oggPage({"OpusTags" + vorbisComments(comments)}, 1);
}

QByteArray atom(const QByteArray& type, const QByteArray& body) {
    return bigEndian(quint64(8 + body.size()), 4) + type + body;
}

QByteArray mp4Item(const QByteArray& type, const QByteArray& bytes, int dataClass) {
    return atom(type, atom("data", bigEndian(quint64(dataClass), 4) + bigEndian(0, 4) + bytes));
}

QByteArray mp4File(const QList<std::pair<QByteArray, QByteArray>>& texts,
                   const QByteArray& moreItems) {
    QByteArray list;
    for (const auto& [type, text] : texts)
        list += mp4Item(type, text);
    const QByteArray handler = atom("hdlr", QByteArray(8, '\0') + "mdirappl" + QByteArray(9, '\0'));
    const QByteArray meta =
        atom("meta", QByteArray(4, '\0') + handler + atom("ilst", list + moreItems));
    return atom("ftyp", "M4A " + bigEndian(0, 4) + "M4A mp42isom") +
           atom("moov", atom("udta", meta)) + atom("mdat", QByteArray(64, '\x21'));
}

QByteArray nestedAtoms(const QByteArray& type, int depth) {
    QByteArray out; // the sizes are known from the depth: the nest is built once
    out.reserve(qsizetype(depth) * 8);
    for (int i = 0; i < depth; ++i)
        out += bigEndian(quint64(depth - i) * 8, 4) + type;
    return out;
}

} // namespace sonavue::testing
