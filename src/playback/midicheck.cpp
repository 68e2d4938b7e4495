// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The MIDI pre-check. A standard MIDI file is a header chunk ("MThd": format, track count,
// time division) followed by chunks of which "MTrk" hold the events. The rules below refuse
// what the parser is known to mishandle; anything the parser only reports as an error is
// refused too when it is a plain structural fault (a chunk that does not fit the file).
#include "playback/midicheck.h"

#include <QtEndian>
#include <fcntl.h>
#include <unistd.h>

namespace sonavue {
namespace {

constexpr qsizetype ChunkHeaderBytes = 8;
constexpr quint32 HeaderBodyBytes = 6;
constexpr int MaxNumberBytes = 4; // a variable-length number has at most four bytes

quint32 be32(const char* p) {
    return qFromBigEndian<quint32>(p);
}
quint16 be16(const char* p) {
    return qFromBigEndian<quint16>(p);
}

// Walks the events of one track chunk.
class TrackReader {
public:
    explicit TrackReader(QByteArrayView data) : m_data(data) {}

    std::optional<const char*> defect() {
        while (m_pos < m_data.size()) {
            if (!readNumber())
                return "an event time runs past its track or is too long";
            if (m_pos >= m_data.size())
                return "a track ends after an event time";
            const auto status = quint8(m_data[m_pos]);
            if (status == 0xFF) {
                if (const auto fault = skipMeta())
                    return fault;
            } else if (status == 0xF0 || status == 0xF7) {
                ++m_pos;
                if (const auto fault = skipSized())
                    return fault;
            } else if (status >= 0xF0) {
                return "a system or real-time status byte in a track";
            } else if (const auto fault = skipChannelEvent(status)) {
                return fault;
            }
        }
        return std::nullopt;
    }

private:
    // A variable-length number; false when it runs past the track or has over four bytes.
    bool readNumber(quint32* value = nullptr) {
        quint32 result = 0;
        for (int i = 0; i < MaxNumberBytes; ++i) {
            if (m_pos >= m_data.size())
                return false;
            const auto byte = quint8(m_data[m_pos++]);
            result = (result << 7) | (byte & 0x7Fu);
            if ((byte & 0x80u) == 0) {
                if (value)
                    *value = result;
                return true;
            }
        }
        return false;
    }

    // A length and that many bytes, all inside the track.
    std::optional<const char*> skipSized() {
        quint32 length = 0;
        if (!readNumber(&length) || length > quint64(m_data.size() - m_pos))
            return "a message length runs past its track";
        m_pos += qsizetype(length);
        return std::nullopt;
    }

    std::optional<const char*> skipMeta() {
        m_pos += 1; // 0xFF
        if (m_pos >= m_data.size())
            return "a track ends inside a meta event";
        ++m_pos; // the type; the parser reads on after an end of track, so this does too
        return skipSized();
    }

    std::optional<const char*> skipChannelEvent(quint8 byte) {
        if (byte & 0x80u) {
            m_running = byte;
            ++m_pos;
        } else if (m_running == 0) {
            return "event data without a status byte";
        }
        const quint8 kind = m_running & 0xF0u;
        const qsizetype dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        // A last event cut short is harmless: the parser stops at the track's end.
        m_pos = std::min(m_pos + dataBytes, m_data.size());
        return std::nullopt;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    quint8 m_running = 0;
};

std::optional<const char*> headerDefect(QByteArrayView bytes, qsizetype* bodyStart) {
    if (bytes.size() < ChunkHeaderBytes + qsizetype(HeaderBodyBytes))
        return "the header chunk is cut short";
    const quint32 length = be32(bytes.data() + 4);
    if (length < HeaderBodyBytes || length > quint64(bytes.size() - ChunkHeaderBytes))
        return "the header chunk's length does not fit the file";
    const quint16 format = be16(bytes.data() + 8);
    const quint16 division = be16(bytes.data() + 12);
    if (format > 2)
        return "an unknown file format";
    if (division == 0)
        return "a time division of zero";
    *bodyStart = ChunkHeaderBytes + qsizetype(length);
    return std::nullopt;
}

// A standard MIDI file: the header, then whole chunks to the end of the file.
std::optional<const char*> standardMidiDefect(QByteArrayView bytes) {
    qsizetype pos = 0;
    if (const auto fault = headerDefect(bytes, &pos))
        return fault;
    while (pos < bytes.size()) {
        if (bytes.size() - pos < ChunkHeaderBytes)
            return "the file ends inside a chunk header";
        const quint32 length = be32(bytes.data() + pos + 4);
        const qsizetype start = pos + ChunkHeaderBytes;
        if (length > quint64(bytes.size() - start))
            return "a chunk's length runs past the end of the file";
        if (bytes.sliced(pos, 4) == "MTrk") {
            if (const auto fault = TrackReader(bytes.sliced(start, length)).defect())
                return fault;
        }
        pos = start + qsizetype(length);
    }
    return std::nullopt;
}

// A RIFF "RMID" file: the standard MIDI file inside its "data" chunk.
std::optional<const char*> riffMidiDefect(QByteArrayView bytes) {
    qsizetype pos = 12;
    while (bytes.size() - pos >= ChunkHeaderBytes) {
        const quint32 length = qFromLittleEndian<quint32>(bytes.data() + pos + 4);
        const qsizetype start = pos + ChunkHeaderBytes;
        if (length > quint64(bytes.size() - start))
            return "a RIFF chunk's length runs past the end of the file";
        if (bytes.sliced(pos, 4) == "data") {
            const QByteArrayView inner = bytes.sliced(start, length);
            if (!inner.startsWith("MThd"))
                return "the RIFF MIDI data holds no MIDI header";
            return standardMidiDefect(inner);
        }
        pos = start + qsizetype(length) + (length & 1u); // chunks are padded to even sizes
    }
    return "the RIFF MIDI file holds no data chunk";
}

bool isRiffMidi(QByteArrayView bytes) {
    return bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.sliced(8, 4) == "RMID";
}

} // namespace

std::optional<const char*> midiDefect(QByteArrayView bytes) {
    if (bytes.startsWith("MThd"))
        return standardMidiDefect(bytes);
    if (isRiffMidi(bytes))
        return riffMidiDefect(bytes);
    return std::nullopt;
}

std::optional<const char*> midiFileDefect(const QByteArray& nativePath) {
    // O_NONBLOCK: the caller has checked for a regular file, but it may have been swapped.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes;
    char block[65536];
    bool tooLarge = false;
    for (;;) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got <= 0)
            break;
        bytes.append(block, qsizetype(got));
        // Only MIDI files are read to their end.
        if (bytes.size() >= 12 && !bytes.startsWith("MThd") && !isRiffMidi(bytes))
            break;
        if (bytes.size() > MaxMidiFileBytes) {
            tooLarge = true;
            break;
        }
    }
    ::close(fd);
    if (tooLarge)
        return "too large for a MIDI file";
    return midiDefect(bytes);
}

bool isMidiFile(const QByteArray& nativePath) {
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    char head[12];
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    const QByteArray bytes(head, got > 0 ? qsizetype(got) : 0);
    return bytes.startsWith("MThd") || (bytes.size() == 12 && isRiffMidi(bytes));
}

} // namespace sonavue
