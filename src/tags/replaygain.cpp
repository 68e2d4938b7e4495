// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/replaygain.h"

#include "base/filedescriptor.h"
#include "base/nativepath.h"
#include "tags/containercheck.h"

#include <fileref.h>
#include <mp4file.h>
#include <tfilestream.h>
#include <tpropertymap.h>

#include <cmath>
#include <memory>
#include <sys/stat.h>

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
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0)
        return nullptr;
    // TagLib follows a file's structure as far as it goes: one beyond the bounds is not read.
    if (containerDefect(fd.get(), std::int64_t(info.st_size)))
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

// "+1.50 dB", "-6.50 dB".
QString decibelText(double db) {
    return QStringLiteral("%1%2 dB")
        .arg(db >= 0.0 ? QStringLiteral("+") : QString())
        .arg(db, 0, 'f', 2);
}

// A peak that can bound a gain: a number above zero (1.0 is full scale). Else the other.
std::optional<double> firstUsable(std::optional<double> peak, std::optional<double> other) {
    for (const std::optional<double>& p : {peak, other})
        if (p && std::isfinite(*p) && *p > 0.0)
            return p;
    return std::nullopt;
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
    // The album's peak is never below the track's: it bounds the track when its own is missing.
    std::optional<double> peak = firstUsable(values.trackPeak, values.albumPeak);
    if (m_mode == ReplayGainMode::Album && values.albumGainDb) {
        gainDb = values.albumGainDb;
        // Without the album's peak the track's own still tells how far this track may go.
        peak = firstUsable(values.albumPeak, values.trackPeak);
        applied.album = true;
    }
    applied.fromTags = gainDb.has_value();
    applied.gainDb = gainDb.value_or(m_preampDb);
    applied.taggedGainDb = applied.gainDb;
    applied.gain = std::pow(10.0, applied.gainDb / 20.0);
    if (peak && *peak * applied.gain > 1.0) {
        applied.gain = 1.0 / *peak;
        applied.gainDb = decibels(applied.gain);
        applied.limit = Limit::Peak;
    } else if (!peak && applied.fromTags && applied.gain > 1.0) {
        // Nothing tells how loud the loudest sample is: a raise could clip it.
        applied.gain = 1.0;
        applied.gainDb = 0.0;
        applied.limit = Limit::Unity;
    }
    return applied;
}

QString ReplayGain::describe(const ReplayGainValues& values) const {
    if (m_mode == ReplayGainMode::Off)
        return {};
    const Applied applied = apply(values);
    const QString amount = decibelText(applied.gainDb);
    if (!applied.fromTags)
        return QStringLiteral("ReplayGain: none in the file, pre-amp %1").arg(amount);
    QString why;
    if (applied.limit != Limit::None)
        why = QStringLiteral(" (tagged %1, %2)")
                  .arg(decibelText(applied.taggedGainDb),
                       applied.limit == Limit::Peak ? QStringLiteral("limited by the peak")
                                                    : QStringLiteral("not raised without a peak"));
    return QStringLiteral("ReplayGain: %1 %2%3")
        .arg(applied.album ? QStringLiteral("album") : QStringLiteral("track"), amount, why);
}

} // namespace sonavue
