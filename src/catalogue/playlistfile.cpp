// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/playlistfile.h"

#include "base/filedescriptor.h"
#include "base/fileuri.h"
#include "base/nativepath.h"
#include "tags/codepage.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

bool validUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes); // decoded only when taken as a string
    return !decoder.hasError();
}

QStringList textLines(QByteArray bytes, bool utf8) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString text = utf8 || validUtf8(bytes) ? QString::fromUtf8(bytes)
                                                  : decodeCodePage(bytes.constData(), bytes.size());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

// The absolute path an entry names, or nullopt with why.
std::optional<QString> entryPath(const QString& entry, const QString& folder, QString& why) {
    static const QRegularExpression otherUri(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    static const QRegularExpression windowsPath(QStringLiteral("^([A-Za-z]:[\\\\/]|\\\\)"));
    if (entry.contains(QChar(u'\0'))) {
        why = QStringLiteral("a name with a NUL character in it");
        return std::nullopt;
    }
    if (entry.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        std::optional<QString> path = pathOfFileUri(entry);
        if (!path)
            why = QStringLiteral("not a local file's URI");
        return path;
    }
    if (entry.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(entry);
    if (windowsPath.match(entry).hasMatch() || otherUri.match(entry).hasMatch()) {
        why = QStringLiteral("not a file of this system");
        return std::nullopt;
    }
    // A relative entry written on Windows separates its folders with backslashes.
    QString relative = entry;
    if (!relative.contains(QLatin1Char('/')))
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(folder + QLatin1Char('/') + relative);
}

void addEntry(Playlist& out, const QString& text, const QString& title, int line,
              const QString& folder) {
    if (int(out.entries.size()) >= MaxPlaylistEntries) {
        out.note(line, text, QStringLiteral("more than %1 entries").arg(MaxPlaylistEntries));
        return;
    }
    QString why;
    if (const std::optional<QString> path = entryPath(text, folder, why))
        out.entries.push_back({*path, title, line});
    else
        out.note(line, text, why);
}

void parseM3U(const QStringList& lines, const QString& folder, Playlist& out) {
    QString title; // of the next entry, from the #EXTINF line before it
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(QLatin1String("#EXTINF:"), Qt::CaseInsensitive)) {
            const qsizetype comma = line.indexOf(QLatin1Char(','));
            title = comma >= 0 ? line.mid(comma + 1).trimmed() : QString();
        } else if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            addEntry(out, line, std::exchange(title, {}), i + 1, folder);
        }
    }
}

void parsePLS(const QStringList& lines, const QString& folder, Playlist& out) {
    static const QRegularExpression keyed(QStringLiteral("^(File|Title)(\\d{1,9})=(.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    struct Item {
        QString file, title;
        int line = 0;
    };
    std::map<int, Item> items; // by the entry's number
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = keyed.match(lines[i].trimmed());
        if (!match.hasMatch())
            continue; // [playlist], NumberOfEntries, Version, Length…, comments
        const int number = match.captured(2).toInt();
        const bool isFile =
            match.captured(1).compare(QLatin1String("File"), Qt::CaseInsensitive) == 0;
        if (!items.contains(number) && int(items.size()) > MaxPlaylistEntries)
            continue; // noted below as more than the bound
        Item& item = items[number];
        (isFile ? item.file : item.title) = match.captured(3).trimmed();
        if (isFile)
            item.line = i + 1;
    }
    for (const auto& [number, item] : items) {
        if (!item.file.isEmpty())
            addEntry(out, item.file, item.title, item.line, folder);
    }
}

} // namespace

void Playlist::note(int line, const QString& text, const QString& why) {
    if (int(notes.size()) < MaxPlaylistNotes)
        notes.push_back({line, text, why});
    else
        ++notesLeftOut;
}

std::optional<PlaylistFormat> playlistFormatOf(const QString& path) {
    const QString name = fileNamePart(path);
    if (name.endsWith(QLatin1String(".m3u8"), Qt::CaseInsensitive))
        return PlaylistFormat::M3U8;
    if (name.endsWith(QLatin1String(".m3u"), Qt::CaseInsensitive))
        return PlaylistFormat::M3U;
    if (name.endsWith(QLatin1String(".pls"), Qt::CaseInsensitive))
        return PlaylistFormat::PLS;
    return std::nullopt;
}

Playlist parsePlaylist(const QByteArray& bytes, PlaylistFormat format, const QString& folder) {
    Playlist out;
    const QStringList lines = textLines(bytes, format == PlaylistFormat::M3U8);
    if (format == PlaylistFormat::PLS)
        parsePLS(lines, folder, out);
    else
        parseM3U(lines, folder, out);
    return out;
}

QString readPlaylist(const QString& path, Playlist& out) {
    const std::optional<PlaylistFormat> format = playlistFormatOf(path);
    if (!format)
        return QStringLiteral("not a playlist (.m3u, .m3u8, .pls)");
    if (path.contains(QChar(u'\0')))
        return QStringLiteral("a name with a NUL character in it");
    const QByteArray native = pathToNative(path);
    if (!native.startsWith('/'))
        return QStringLiteral("not an absolute path");
    // Non-blocking, and the type checked on what was opened: a FIFO or a device never
    // holds the window, whatever the name was turned into meanwhile.
    const FileDescriptor fd(
        ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0)
        return errno == ENOENT ? QStringLiteral("no such file")
                               : QStringLiteral("cannot be read (%1)")
                                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return QStringLiteral("not a regular file");
    if (st.st_size > MaxPlaylistBytes)
        return QStringLiteral("larger than %1 bytes").arg(MaxPlaylistBytes);
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype have = 0;
    while (have < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + have, size_t(bytes.size() - have));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // shorter than it was: what was read is the playlist
        have += got;
    }
    bytes.truncate(have);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    out = parsePlaylist(bytes, *format, path.left(std::max<qsizetype>(slash, 1)));
    return {};
}

QByteArray m3u8Text(const std::vector<PlaylistEntry>& entries) {
    QByteArray text = "#EXTM3U\n";
    for (const PlaylistEntry& entry : entries) {
        QString title = entry.title;
        // A title is one line.
        for (QChar& c : title)
            if (c.unicode() < 0x20)
                c = QLatin1Char(' ');
        if (!title.isEmpty())
            text += "#EXTINF:-1," + title.toUtf8() + '\n';
        const QByteArray native = pathToNative(entry.path);
        // A name with a line break cannot stand on a line of its own: as a URI it can.
        text += native.contains('\n') || native.contains('\r') ? fileUriFor(entry.path).toUtf8()
                                                               : native;
        text += '\n';
    }
    return text;
}

QString writePlaylistFile(const QString& path, const QByteArray& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return {};
}

} // namespace sonavue
