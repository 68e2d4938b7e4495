// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The fuzz targets' seed corpora, written by the tests' own file writers so that each fuzzer
// starts from well-formed input of its kind:
//   fuzz_seeds FOLDER
// makes FOLDER/<target>/seeds with the seeds and an empty FOLDER/<target>/found for what a
// run finds (every run starts from the seeds alone).
#include "playback/midifiles.h"
#include "support/containers.h"
#include "support/id3v1record.h"
#include "support/id3v2tag.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <cstdio>

using namespace sonavue::testing;

namespace {

struct Corpus {
    const char* target;
    QList<QByteArray> seeds;
};

QList<QByteArray> id3v2Seeds() {
    namespace v2 = id3v2;
    const QStringList texts{"Title", "Artist", "Album", "2001", "(12)", "Comment"};
    return {v2::tag(2, v2::sixFrames(2, v2::Latin1, texts)),
            v2::tag(3, v2::sixFrames(3, v2::Utf16Bom, texts)),
            v2::tag(4, v2::sixFrames(4, v2::Utf8,
                                     {QStringLiteral("日本語"), "A", "B", "1999", "Rock", "C"})),
            v2::tag(3,
                    v2::unsynchronised(
                        v2::frame(3, "TIT2", v2::textBody(v2::Utf16Be, QString(QChar(0xFF))))),
                    0x80)};
}

QList<Corpus> corpora() {
    using namespace sonavue::testmidi;
    const QByteArray sjis("\x83\x7e\x83\x85\x81\x5b\x83\x57\x83\x62\x83\x4e");
    return {
        {"codepage", {"Plain text", sjis, "Caf\xe9 \xe0 la cr\xe8me", "\x82\xa0\x82\xa2 mixed"}},
        {"id3v1",
         {tagRecord(tagOf("Title", "Artist", "Album", "2001", 12)), tagRecord(tagOf(sjis, sjis)),
          tagRecord([] {
              TagFields tag = tagOf("Track", "Artist");
              tag.track = 7;
              tag.comment = "A comment";
              return tag;
          }())}},
        {"id3v2", id3v2Seeds()},
        {"ini",
         {QByteArrayLiteral("/music\0[init]\nFolder=/old\nalph=1\n"),
          QByteArrayLiteral("x\0\xEF\xBB\xBF[init]\r\nalph=0\r\n[other]\r\nk=v\r\n"),
          QByteArrayLiteral("\0")}},
        {"nativepath", {"/home/user/Music/a song.mp3", "/music/" + sjis + ".mp3", "\xff\xfe/x"}},
        {"numbers", {"12", "-3.5", "1e5", " 255 ", "0x1F", "true", "7th"}},
        {"midicheck",
         {singleTrackFile(noteTrackBody(200)), riffMidi(singleTrackFile(noteTrackBody(100))),
          header(1, 2) + chunk("MTrk", noteTrackBody(50)) + chunk("MTrk", noteTrackBody(50))}},
        {"flac",
         {flacFile({"TITLE=Title", "ARTIST=Artist", "ALBUM=Album"}),
          flacHead(flacBlock(6, flacPicture(3, "image/png", "\x89PNG"), true))}},
        {"ogg", {oggVorbisHead({"TITLE=Title", "ARTIST=Artist"})}},
        {"opus", {oggOpusHead({"TITLE=Title", "ALBUM=Album"})}},
        {"m4a",
         {mp4File({{"\xA9nam", "Title"}, {"\251ART", "Artist"}}), // \251: 0xA9
          mp4File({{"\xA9nam", "T"}}, mp4Item("covr", "\x89PNG", 14))}},
    };
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    for (const Corpus& corpus : corpora()) {
        QDir target(folder + u'/' + QLatin1String(corpus.target));
        if (!target.removeRecursively() || !target.mkpath(QStringLiteral("seeds")) ||
            !target.mkpath(QStringLiteral("found"))) {
            std::fprintf(stderr, "fuzz_seeds: cannot make %s\n", qPrintable(target.path()));
            return 1;
        }
        for (qsizetype i = 0; i < corpus.seeds.size(); ++i)
            if (!write(target.filePath(QStringLiteral("seeds/%1").arg(i)), corpus.seeds[i])) {
                std::fprintf(stderr, "fuzz_seeds: cannot write in %s\n", qPrintable(target.path()));
                return 1;
            }
    }
    return 0;
}
