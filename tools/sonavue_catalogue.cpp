// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// sonavue-catalogue: runs the player's own folder scan on FOLDER and prints the catalogue
// and the group lists as one JSON object, so that scripts see exactly what the player sees.
#include "base/nativepath.h"
#include "base/playabletypes.h"
#include "base/version.h"
#include "catalogue/folderscan.h"
#include "cataloguejson.h"
#include "tags/genre.h"
#include "tags/tagcodepage.h"

#include <QDir>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;

namespace {

constexpr int ExitBadUse = 2;

constexpr const char* Usage =
    "usage: sonavue-catalogue [--types LIST] [--codepage PAGE] [--id3v2] FOLDER\n"
    "       sonavue-catalogue --help | --version\n";

constexpr const char* Help =
    "Scans FOLDER as the Sonavue player does and prints one JSON object (UTF-8):\n"
    "  {\"folderPrefix\": FOLDER with one trailing '/', \"tracks\": [[col0, ..., col7], ...],\n"
    "   \"groups\": {\"folder\": [...], \"album\": [...], \"artist\": [...], \"year\": [...],\n"
    "   \"genre\": [...]}}\n"
    "Columns: path, title, album, artist, year, genre, comment, reserved (always empty).\n"
    "A relative FOLDER is taken from the working folder; links are not resolved.\n"
    "\n"
    "  --types LIST  comma-separated file types among mp3,mid,wav (default: these three)\n"
    "                and flac,ogg,opus,m4a, as the player's \"types\" setting: those are\n"
    "                listed with their Vorbis comments or MP4 tags as title, album,\n"
    "                artist, year, genre and comment. MP3 files are always included, as\n"
    "                the player's MP3 box cannot be cleared: \"--types mid\" scans MP3\n"
    "                and MIDI files.\n"
    "  --codepage PAGE  the code page of the ID3v1 text fields, as the player's\n"
    "                \"codepage\" setting: 932 (Shift-JIS, the default), 1252 (Western\n"
    "                European), 65001 (UTF-8) or auto (per tag: UTF-8 when valid and not\n"
    "                plain ASCII, else the one of 932 and 1252 that alone reads it\n"
    "                cleanly, else its folder's choice from all the folder's tag text,\n"
    "                Shift-JIS where that evidence is weak).\n"
    "  --id3v2       as the player's \"id3v2=1\" setting: an MP3's ID3v2 tag (2.2, 2.3\n"
    "                or 2.4) gives the title, album, artist, year, genre and comment\n"
    "                where it has them, whole; ID3v1 gives the rest.\n"
    "  -h, --help    this text.\n"
    "  --version     the version of the player this tool scans as.\n"
    "\n"
    "File names are bytes on Linux. A byte of a path that is not valid UTF-8 is written\n"
    "as the JSON escape \\udcXX (XX = the byte), the \"surrogateescape\" form: in Python,\n"
    "path.encode('utf-8', 'surrogateescape') gives the exact bytes back. U+FEFF (the\n"
    "bytes EF BB BF) is written as \\ufeff.\n"
    "The walk enters each folder once, under the first path that reaches it, and never\n"
    "enters /proc, /sys or other pseudo file systems.\n"
    "Exit status: 0 done, 1 the output could not be written (a full disk, a closed pipe),\n"
    "2 bad usage or FOLDER missing or not a folder.\n";

void writeAll(int fd, const char* data, std::size_t size, bool& ok) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            return;
        }
        data += n;
        size -= std::size_t(n);
    }
}

int badUse(const std::string& message) {
    std::fprintf(stderr, "sonavue-catalogue: %s\n%s", message.c_str(), Usage);
    return ExitBadUse;
}

// The current folder, kept byte for byte (it may hold names that are not UTF-8).
QString currentFolder() {
    std::string buffer(4096, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return QDir::currentPath();
        buffer.resize(buffer.size() * 2);
    }
    return pathFromNative(buffer.c_str(), qsizetype(std::strlen(buffer.c_str())));
}

struct FileTypes {
    std::array<bool, FileTypeCount> boxes{}; // the MP3 box's type is listed whatever this says
    unsigned extra = 0;                      // ExtraType bits
};

// The index in the playable types of the one whose extension is name (any case), or -1.
int playableTypeIndex(const QString& name) {
    for (std::size_t i = 0; i < PlayableTypes.size(); ++i) {
        const std::string_view extension = PlayableTypes[i].extension;
        if (name.compare(QLatin1String(extension.data(), qsizetype(extension.size())),
                         Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

// Parses "mp3,mid,wav,flac,ogg,opus,m4a" (any case, any subset); false for an unknown type.
bool parseTypes(const std::string& list, FileTypes& types) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const QString type =
            QString::fromUtf8(list.data() + start, qsizetype(comma - start)).trimmed();
        start = comma + 1;
        if (type.isEmpty())
            continue;
        const int index = playableTypeIndex(type);
        if (index < 0)
            return false;
        if (index < FileTypeCount)
            types.boxes[std::size_t(index)] = true;
        else
            types.extra |= 1u << (index - FileTypeCount);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    FileTypes types{{true, true, true}};
    bool typesGiven = false;
    std::optional<TagCodePage> codePage;
    bool id3v2 = false;
    const char* folderArg = nullptr;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            std::fputs(Usage, stdout);
            std::fputs(Help, stdout);
            return 0;
        }
        if (!optionsEnded && arg == "--version") {
            std::printf("sonavue-catalogue %s\n", VersionText);
            return 0;
        }
        if (!optionsEnded && (arg == "--types" || arg.rfind("--types=", 0) == 0)) {
            std::string list;
            if (arg == "--types") {
                if (i + 1 >= argc)
                    return badUse("--types needs a list");
                list = argv[++i];
            } else {
                list = arg.substr(8);
            }
            if (typesGiven)
                return badUse("--types given twice");
            typesGiven = true;
            types = {};
            if (!parseTypes(list, types))
                return badUse("unknown file type in '" + list +
                              "' (use mp3, mid, wav, flac, ogg, opus, m4a)");
            continue;
        }
        if (!optionsEnded && (arg == "--codepage" || arg.rfind("--codepage=", 0) == 0)) {
            std::string value;
            if (arg == "--codepage") {
                if (i + 1 >= argc)
                    return badUse("--codepage needs a code page");
                value = argv[++i];
            } else {
                value = arg.substr(11);
            }
            if (codePage)
                return badUse("--codepage given twice");
            codePage = parseTagCodePage(QString::fromUtf8(value.c_str()));
            if (!codePage)
                return badUse("unknown code page '" + value + "' (use 932, 1252, 65001 or auto)");
            continue;
        }
        if (!optionsEnded && arg == "--id3v2") {
            id3v2 = true;
            continue;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
            return badUse("unknown option " + arg);
        if (folderArg)
            return badUse("only one FOLDER may be given");
        folderArg = argv[i];
    }
    if (!folderArg || folderArg[0] == '\0')
        return badUse("no FOLDER given");

    QString folder = pathFromNative(folderArg, qsizetype(std::strlen(folderArg)));
    if (!folder.startsWith(QLatin1Char('/')))
        folder = currentFolder() + QLatin1Char('/') + folder;
    folder = QDir::cleanPath(folder);

    struct stat st {};
    if (::stat(pathToNative(folder).constData(), &st) != 0) {
        std::fprintf(stderr, "sonavue-catalogue: %s: %s\n", folderArg, std::strerror(errno));
        return ExitBadUse;
    }
    if (!S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "sonavue-catalogue: %s: not a folder\n", folderArg);
        return ExitBadUse;
    }

    const QString prefix = folderPrefixFor(folder);
    const FilePattern pattern(filePatternFor(true, types.boxes[1], types.boxes[2], types.extra));
    Catalogue catalogue;
    GroupLists groups;
    FolderScan scan(catalogue, groups);
    scan.setTagReading({codePage.value_or(DefaultTagCodePage), id3v2, types.extra});
    ScanObserver quiet;
    scan.run(folder, prefix, pattern, quiet);

    bool ok = true;
    writeCatalogueJson(prefix, catalogue, groups, [&](std::string_view piece) {
        writeAll(STDOUT_FILENO, piece.data(), piece.size(), ok);
        return ok;
    });
    if (!ok)
        std::fprintf(stderr, "sonavue-catalogue: cannot write the output: %s\n",
                     std::strerror(errno));
    // Everything is written; tearing down 100,000 rows one string at a time would only
    // delay the exit, so the process ends here and the system takes the memory back.
    std::fflush(stderr);
    std::_Exit(ok ? 0 : 1);
}
