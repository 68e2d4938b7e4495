// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "uilibrary.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace sonavue::bench {
namespace {

// Hidden and without a music extension, so the scan never lists it.
const QString CompleteMarker = QStringLiteral(".bench-ui-complete");

void putField(std::array<char, 128>& tag, int offset, int width, const QByteArray& text) {
    std::memcpy(tag.data() + offset, text.constData(),
                std::size_t(std::min<qsizetype>(text.size(), width)));
}

// The 128-byte trailing tag of track t.
std::array<char, 128> tagFor(int t, int album, int artist) {
    std::array<char, 128> tag{};
    std::memcpy(tag.data(), "TAG", 3);
    putField(tag, 3, 30, QByteArray("Song ") + QByteArray::number(t));
    putField(tag, 33, 30, QByteArray("Artist ") + QByteArray::number(artist));
    putField(tag, 63, 30, QByteArray("Album ") + QByteArray::number(album));
    putField(tag, 93, 4, QByteArray::number(1950 + artist % 70));
    if (t % 4 == 0)
        putField(tag, 97, 30, "bench");
    tag[127] = char((artist * 7) % 148);
    return tag;
}

bool writeTrack(const QByteArray& path, int t, const std::array<char, 128>* tag) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // 2 to 5.5 KB of audio stand-in.
    std::string body(std::size_t(2048 + (t % 8) * 512), char('a' + t % 26));
    bool ok = ::write(fd, body.data(), body.size()) == ssize_t(body.size());
    if (ok && tag)
        ok = ::write(fd, tag->data(), tag->size()) == ssize_t(tag->size());
    return ::close(fd) == 0 && ok;
}

bool writeLibrary(const QString& folder, int trackCount) {
    QDir root(folder);
    if (root.exists() && !root.removeRecursively())
        return false;
    if (!QDir().mkpath(folder))
        return false;
    QString albumDir;
    for (int t = 0; t < trackCount; ++t) {
        const int album = t / UiTracksPerAlbum;
        const int artist = album / UiAlbumsPerArtist;
        const int number = t % UiTracksPerAlbum + 1;
        if (number == 1) {
            albumDir = QStringLiteral("%1/Artist %2/Album %3")
                           .arg(folder)
                           .arg(artist, 4, 10, QLatin1Char('0'))
                           .arg(album, 5, 10, QLatin1Char('0'));
            if (!QDir().mkpath(albumDir))
                return false;
        }
        // One file in twenty is MIDI and one WAV; one in twenty-five has no tag.
        const char* extension = t % 20 == 7 ? "mid" : t % 20 == 13 ? "wav" : "mp3";
        const QString name = QStringLiteral("%1 Track %2.%3")
                                 .arg(number, 2, 10, QLatin1Char('0'))
                                 .arg(t)
                                 .arg(QLatin1String(extension));
        const std::array<char, 128> tag = tagFor(t, album, artist);
        if (!writeTrack(QFile::encodeName(albumDir + QLatin1Char('/') + name), t,
                        t % 25 == 24 ? nullptr : &tag))
            return false;
    }
    QFile marker(folder + QLatin1Char('/') + CompleteMarker);
    return marker.open(QIODevice::WriteOnly) && marker.write(QByteArray::number(trackCount)) > 0;
}

} // namespace

UiLibrary ensureUiLibrary(int trackCount) {
    UiLibrary library;
    const QString folder = QStringLiteral("/tmp/sonavue-bench-ui-%1").arg(trackCount);
    QFile marker(folder + QLatin1Char('/') + CompleteMarker);
    if (marker.open(QIODevice::ReadOnly) && marker.readAll() == QByteArray::number(trackCount)) {
        library.folder = folder;
        library.reused = true;
        return library;
    }
    QElapsedTimer clock;
    clock.start();
    if (writeLibrary(folder, trackCount))
        library.folder = folder;
    library.secondsToWrite = double(clock.nsecsElapsed()) * 1e-9;
    return library;
}

} // namespace sonavue::bench
