// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/mprismetadata.h"

#include "app/mprisplayer.h"
#include "base/fileuri.h"
#include "tags/genre.h"
#include "tags/tagtext.h"

#include <QDBusObjectPath>
#include <QDateTime>
#include <QRegularExpression>

namespace sonavue {
namespace {

// Text for other programs: a byte of a file name that is not UTF-8 (kept as U+DC80..U+DCFF)
// cannot cross the bus, so it shows as the replacement character.
QString displayText(QString text) {
    for (QChar& c : text)
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            c = QChar(QChar::ReplacementCharacter);
    return text;
}

// A richer tag's text where it has some, else fallback; cleaned as the catalogue's cells.
QString tagText(const std::optional<QString>& richer, const QString& fallback = {}) {
    const QString richerText = richer ? cleanTagText(*richer) : QString();
    return richerText.isEmpty() ? cleanTagText(fallback) : richerText;
}

void insertText(QVariantMap& map, const char* key, const QString& text) {
    if (!text.isEmpty())
        map.insert(QLatin1String(key), displayText(text));
}

void insertList(QVariantMap& map, const char* key, const QString& text) {
    if (!text.isEmpty())
        map.insert(QLatin1String(key), QStringList{displayText(text)});
}

} // namespace

QString mprisTrackId(int number) {
    return QStringLiteral("/org/sonavue/track/%1").arg(number);
}

void takeMoreTags(const ShownTags& tags, MprisTrack& track) {
    const ID3v1Record& v1 = tags.id3v1;
    // Without "TAG" the record's bytes are the end of the audio, never tags.
    const bool hasV1 = v1.hasTag();
    track.trackNumber = tags.id3v2.track > 0 ? tags.id3v2.track : hasV1 ? v1.Track : 0;
    track.genre = tagText(tags.id3v2.genre, hasV1 ? genreName(v1.Genre) : QString());
    track.albumArtist = tagText(tags.id3v2.albumArtist);
    if (tags.id3v2.date)
        track.created = isoDateTimeOfTag(cleanTagText(*tags.id3v2.date));
    // A date the richer tag spells in a way not understood leaves the record's year.
    if (track.created.isEmpty() && hasV1)
        track.created = isoDateTimeOfTag(cleanTagText(v1.Year));
}

QString isoDateTimeOfTag(QStringView date) {
    static const QRegularExpression form(QStringLiteral(
        R"(^(\d{4})(?:-(\d{2})(?:-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2}))?)?)?)?$)"));
    const QRegularExpressionMatch match = form.match(date.trimmed().toString());
    if (!match.hasMatch())
        return {};
    const auto part = [&match](int n, int absent) {
        return match.hasCaptured(n) ? match.capturedView(n).toInt() : absent;
    };
    const QDate day(part(1, 0), part(2, 1), part(3, 1));
    const QTime time(part(4, 0), part(5, 0), part(6, 0));
    if (!day.isValid() || !time.isValid() || day.year() < 1)
        return {};
    return QDateTime(day, time, Qt::UTC).toString(Qt::ISODate);
}

QVariantMap mprisMetadata(const MprisTrack& track) {
    QVariantMap map;
    if (track.number == 0 || track.path.isEmpty()) {
        map.insert(QStringLiteral("mpris:trackid"),
                   QVariant::fromValue(QDBusObjectPath(QString::fromLatin1(MprisPlayer::NoTrack))));
        return map;
    }
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(mprisTrackId(track.number))));
    map.insert(QStringLiteral("xesam:title"), displayText(track.title));
    insertList(map, "xesam:artist", track.artist);
    insertText(map, "xesam:album", track.album);
    insertList(map, "xesam:albumArtist", track.albumArtist);
    insertList(map, "xesam:genre", track.genre);
    if (track.trackNumber > 0)
        map.insert(QStringLiteral("xesam:trackNumber"), track.trackNumber);
    insertText(map, "xesam:contentCreated", track.created);
    map.insert(QStringLiteral("xesam:url"), fileUriFor(track.path));
    if (!track.artPath.isEmpty())
        map.insert(QStringLiteral("mpris:artUrl"), fileUriFor(track.artPath));
    if (track.lengthUs > 0)
        map.insert(QStringLiteral("mpris:length"), track.lengthUs);
    return map;
}

} // namespace sonavue
