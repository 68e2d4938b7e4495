// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The hand-written library of tagcorpus.txt: Western European albums tagged in code page
// 1252 and Japanese albums tagged in code page 932, one folder each, written as MP3 files
// with an ID3v1 record; and the texts each record's fields should read back as.
#include "support/musicfiles.h"
#include "tags/codepage.h"
#include "tags/tagcodepage.h"
#include "tags/tagtext.h"

#include <QFile>
#include <QList>
#include <QStringList>

namespace sonavue::testing {

struct CorpusTrack {
    QString title, artist, album, year, comment;
};

struct CorpusFolder {
    bool japanese = false;
    QList<CorpusTrack> tracks;
};

// The corpus file's folders; empty when it cannot be read.
inline QList<CorpusFolder> loadCorpus(const QString& path) {
    QFile file(path);
    QList<CorpusFolder> folders;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return folders;
    CorpusTrack album;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList parts = line.split(QLatin1Char('|'));
        for (QString& part : parts)
            part = part.trimmed();
        if (line.startsWith(QLatin1String("=="))) {
            parts[0] = parts[0].mid(2).trimmed();
            parts.resize(5);
            folders.append(CorpusFolder{parts[0] == QLatin1String("japanese"), {}});
            album = {QString(), parts[1], parts[2], parts[3], parts[4]};
        } else if (!folders.isEmpty()) {
            CorpusTrack track = album;
            track.title = parts[0];
            if (parts.size() > 1)
                track.artist = parts[1];
            folders.last().tracks.append(track);
        }
    }
    return folders;
}

// One character in code page 1252 (its additions to Latin-1 found by decoding them).
inline QByteArray westernBytes(QChar c) {
    if (c.unicode() <= 0xFF)
        return QByteArray(1, char(c.unicode()));
    for (int b = 0x80; b < 0xA0; ++b) {
        const char byte = char(b);
        if (decodeTagText(&byte, 1, TagCodePage::Western) == QString(c))
            return QByteArray(1, byte);
    }
    return "?";
}

// text in the album's code page, cut at a character's end to at most width bytes.
inline QByteArray corpusBytes(const QString& text, bool japanese, int width) {
    QByteArray out;
    for (const QChar c : text) {
        const QByteArray bytes = japanese ? encodeCodePage(QString(c)) : westernBytes(c);
        if (out.size() + bytes.size() > width)
            break;
        out += bytes;
    }
    return out;
}

inline TagFields corpusTag(const CorpusTrack& track, bool japanese) {
    TagFields tag;
    tag.title = corpusBytes(track.title, japanese, 30);
    tag.artist = corpusBytes(track.artist, japanese, 30);
    tag.album = corpusBytes(track.album, japanese, 30);
    tag.year = corpusBytes(track.year, japanese, 4);
    tag.comment = corpusBytes(track.comment, japanese, 30);
    return tag;
}

// What a field's bytes read as in their own code page, cleaned as the catalogue shows it.
inline QString corpusText(const QByteArray& bytes, bool japanese) {
    return cleanTagText(decodeTagText(bytes.constData(), bytes.size(),
                                      japanese ? TagCodePage::ShiftJis : TagCodePage::Western));
}

// The folder of corpus folder i below root: "j07" or "w12".
inline QByteArray corpusFolderPath(const QByteArray& root, const QList<CorpusFolder>& corpus,
                                   int i) {
    return root + '/' + (corpus[i].japanese ? 'j' : 'w') + QByteArray::number(100 + i).mid(1);
}

// Track t of a folder: "03.mp3", sorting as listed.
inline QByteArray corpusTrackName(int t) {
    return QByteArray::number(100 + t).mid(1) + ".mp3";
}

inline bool writeCorpus(const QByteArray& root, const QList<CorpusFolder>& corpus) {
    for (int i = 0; i < corpus.size(); ++i)
        for (int t = 0; t < corpus[i].tracks.size(); ++t)
            if (!writeMusicFile(corpusFolderPath(root, corpus, i) + '/' + corpusTrackName(t), 400,
                                corpusTag(corpus[i].tracks[t], corpus[i].japanese)))
                return false;
    return true;
}

} // namespace sonavue::testing
