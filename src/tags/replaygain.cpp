// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/replaygain.h"

#include "base/filedescriptor.h"
#include "base/nativepath.h"

#include <fileref.h>
#include <mp4file.h>
#include <tfilestream.h>
#include <tpropertymap.h>

#include <cmath>
#include <memory>

namespace sonavue {
namespace {

constexpr char16_t MinusSign = u'\u2212';

// A signed decimal number filling the whole text (no exponent, no other characters).
std::optional<double> decimal(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (text.front() == u'+' || text.front() == u'-' || text.front() == MinusSign) {
        negative = text.front() != u'+';
        text = text.mid(1);
    }
    bool digits = false;
    bool point = false;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 0x80)
            digits = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    const double value = text.toString().toDouble();
    return negative ? -value : value;
}

// TagLib reads through a descriptor opened here: only a regular file is read, and a FIFO put
// in its place cannot block the reading. The stream keeps the path's name, by whose extension
// TagLib chooses the file's type as it would opening the path.
class RegularFileStream : public TagLib::FileStream {
public:
    RegularFileStream(int fd, QByteArray native)
        : FileStream(fd, true), m_name(std::move(native)) {}
    TagLib::FileName name() const override { return m_name.constData(); }

private:
    const QByteArray m_name;
};

std::unique_ptr<RegularFileStream> openForTagLib(const QByteArray& native) {
    FileDescriptor fd = openRegularFile(native);
    if (fd.get() < 0)
        return nullptr;
    auto stream = std::make_unique<RegularFileStream>(fd.get(), native);
    if (!stream->isOpen())
        return nullptr; // the descriptor is still ours, and closed here
    fd.release();       // the stream closes it
    return stream;
}

void take(ReplayGainValues& values, const QString& key, const QString& text) {
    const QString name = key.toUpper();
    if (name == QLatin1String("REPLAYGAIN_TRACK_GAIN"))
        values.trackGainDb = parseGainDb(text);
    else if (name == QLatin1String("REPLAYGAIN_TRACK_PEAK"))
        values.trackPeak = parsePeak(text);
    else if (name == QLatin1String("REPLAYGAIN_ALBUM_GAIN"))
        values.albumGainDb = parseGainDb(text);
    else if (name == QLatin1String("REPLAYGAIN_ALBUM_PEAK"))
        values.albumPeak = parsePeak(text);
}

QString text(const TagLib::String& string) {
    return QString::fromStdWString(string.toWString());
}

double decibels(double linear) {
    return 20.0 * std::log10(linear);
}

} // namespace

ReplayGainMode replayGainModeSetting(const QString& text) {
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("track"))
        return ReplayGainMode::Track;
    if (word == QLatin1String("album"))
        return ReplayGainMode::Album;
    return ReplayGainMode::Off;
}

std::optional<double> parseGainDb(QStringView text) {
    text = text.trimmed();
    if (text.endsWith(QLatin1String("db"), Qt::CaseInsensitive))
        text.chop(2);
    const std::optional<double> value = decimal(text);
    // Beyond any real correction: a damaged tag.
    if (!value || std::abs(*value) > 100.0)
        return std::nullopt;
    return value;
}

std::optional<double> parsePeak(QStringView text) {
    const std::optional<double> value = decimal(text);
    if (!value || *value <= 0.0 || *value > 100.0)
        return std::nullopt;
    return value;
}

ReplayGainValues readReplayGain(const QString& path) {
    ReplayGainValues values;
    const std::unique_ptr<RegularFileStream> stream = openForTagLib(pathToNative(path));
    if (!stream)
        return values;
    const TagLib::FileRef file(stream.get(), false);
    if (file.isNull() || !file.file())
        return values;
    for (const auto& [key, texts] : file.file()->properties())
        if (!texts.isEmpty())
            take(values, text(key), text(texts.front()));
    // MP4's freeform atoms ("----:com.apple.iTunes:replaygain_track_gain") by their names.
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file.file()); mp4 && mp4->tag()) {
        static const QString Prefix = QStringLiteral("----:com.apple.iTunes:");
        for (const auto& [key, item] : mp4->tag()->itemMap()) {
            const QString name = text(key);
            const TagLib::StringList texts = item.toStringList();
            if (name.startsWith(Prefix, Qt::CaseInsensitive) && !texts.isEmpty())
                take(values, name.mid(Prefix.size()), text(texts.front()));
        }
    }
    return values;
}

ReplayGain::Applied ReplayGain::apply(const ReplayGainValues& values) const {
    Applied applied;
    if (m_mode == ReplayGainMode::Off)
        return applied;
    std::optional<double> gainDb = values.trackGainDb;
    std::optional<double> peak = values.trackPeak;
    if (m_mode == ReplayGainMode::Album && values.albumGainDb) {
        gainDb = values.albumGainDb;
        peak = values.albumPeak;
        applied.album = true;
    }
    applied.fromTags = gainDb.has_value();
    applied.gainDb = gainDb.value_or(m_preampDb);
    applied.gain = std::pow(10.0, applied.gainDb / 20.0);
    if (peak && *peak * applied.gain > 1.0) {
        applied.gain = 1.0 / *peak;
        applied.gainDb = decibels(applied.gain);
        applied.limited = true;
    }
    return applied;
}

QString ReplayGain::describe(const ReplayGainValues& values) const {
    if (m_mode == ReplayGainMode::Off)
        return {};
    const Applied applied = apply(values);
    const QString amount = QStringLiteral("%1%2 dB")
                               .arg(applied.gainDb >= 0.0 ? QStringLiteral("+") : QString())
                               .arg(applied.gainDb, 0, 'f', 2);
    if (!applied.fromTags)
        return QStringLiteral("ReplayGain: none in the file, pre-amp %1").arg(amount);
    return QStringLiteral("ReplayGain: %1 %2%3")
        .arg(applied.album ? QStringLiteral("album") : QStringLiteral("track"), amount,
             applied.limited ? QStringLiteral(" (limited by the peak)") : QString());
}

} // namespace sonavue
