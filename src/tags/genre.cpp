// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/genre.h"

namespace sonavue {

namespace {

// Codes 0..147 follow the ID3v1 list and its common extension, spelt as this program has
// always stored them (the genre group list matches them by exact text).
constexpr const char* listedNames[148] = {
    "Blues", // 0
    "Classic Rock",
    "Country",
    "Dance",
    "Disco",
    "Funk",
    "Grunge",
    "Hip-Hop",
    "Jazz",
    "Metal",
    "New Age", // 10
    "Oldies",
    "Other",
    "Pop",
    "R&B",
    "Rap",
    "Reggae",
    "Rock",
    "Techno",
    "Industrial",
    "Alternative", // 20
    "Ska",
    "Death Metal",
    "Pranks",
    "Soundtrack",
    "Euro-tecno",
    "Ambient",
    "Trip-Hop",
    "Vocal",
    "Juzz+Funk",
    "Fusion", // 30
    "Trance",
    "Classical",
    "Instrumental",
    "Acid",
    "House",
    "Game",
    "Sound Clip",
    "Gospel",
    "Noise",
    "AlternRock", // 40
    "Bass",
    "Soul",
    "Punk",
    "Space",
    "Meditative",
    "Instrumental Pop",
    "Instrumental Rock",
    "Ethnic",
    "Gothic",
    "Darkwave", // 50
    "Techno-Industrial",
    "Electronic",
    "Pop-Folk",
    "Eurodance",
    "Dream",
    "Southern Rock",
    "Comedy",
    "Cult",
    "Gangsta",
    "Top 40", // 60
    "Christian Rap",
    "Pop/Funk",
    "Jungle",
    "Native American",
    "Cabaret",
    "New Wave",
    "Psychadelic",
    "Rave",
    "Showtunes",
    "Trailer", // 70
    "Lo-Fi",
    "Tribal",
    "Acid Punk",
    "Acid Jazz",
    "Polka",
    "Retro",
    "Musical",
    "Rock & Roll",
    "Hard Rock",
    "Folk", // 80
    "Folk/Rock",
    "National Folk",
    "Swing",
    "Fast-Fusion",
    "Bedob",
    "Latin",
    "Revival",
    "Celtic",
    "Bluegrass",
    "Avantagarde", // 90
    "Gothic Rock",
    "Progressive Rock",
    "Psychadelic Rock",
    "Symphonic Rock",
    "Slow Rock",
    "Big band",
    "Chorus",
    "Easy Listening",
    "Acoustic",
    "Humour", // 100
    "SpeechChanson",
    "Chanson",
    "Opera",
    "Chamber Music",
    "Sonata",
    "Symphony",
    "Booty Bass",
    "Primus",
    "Porn Groove",
    "Satire", // 110
    "Slow Jam",
    "Club",
    "Tango",
    "Samba",
    "Folklore",
    "Ballad",
    "Power Ballad",
    "Rhytmic Soul",
    "Freestyle",
    "Duet", // 120
    "Punk Rock",
    "Drum Solo",
    "Acapella",
    "Euro-House",
    "Dance Hall",
    "Goa",
    "Dram & Bass",
    "Club-House",
    "Hardcore",
    "Terror", // 130
    "Indie",
    "BritPop",
    "Negerpunk",
    "Polsk Punk",
    "Beat",
    "Chiristian Gangsta Rap",
    "Heavy Metal",
    "Black Metal",
    "Crossover",
    "Contemporary Christian", // 140
    "Christian Rock",
    "Merengue",
    "Salsa",
    "Thrash Metal",
    "Anime",
    "JPop",
    "Synthpop",
};

// This program's own codes; 255 is a real genre here, not "no genre".
constexpr const char* ownNames[8] = {
    "Heavy Rock", // 248
    "Doom Rock",  "J-POP", "Seiyu", "Tecno Ambient", "Moemoe", "Tokusatsu", "Anime(J)",
};

constexpr int firstOwnCode = 248;

} // namespace

const QString& genreName(unsigned char code) {
    // Built on first use (thread-safe), read-only after: no set-up call, nothing to forget.
    static const std::array<QString, 256> names = [] {
        std::array<QString, 256> table;
        for (int c = 0; c < 256; ++c) {
            const char* name = "unknown"; // 148..247
            if (c < 148)
                name = listedNames[c];
            else if (c >= firstOwnCode)
                name = ownNames[c - firstOwnCode];
            table[std::size_t(c)] = QString::fromLatin1(name);
        }
        return table;
    }();
    return names[code];
}

} // namespace sonavue
