// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Texts stored back to back in large blocks, each named by a number: a catalogue of
// 100,000 rows holds its titles, comments and file names here instead of in hundreds of
// thousands of separately allocated strings. A text whose characters all fit in Latin-1
// (almost every tag and file name) takes one byte a character. Texts are only added;
// everything goes at once with the arena.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace sonavue {

// Text as it is stored, without a string made of it: Latin-1 bytes, or UTF-16 units when
// wide.
struct TextPiece {
    const void* data = nullptr;
    qsizetype size = 0;
    bool wide = false;
};

class TextArena {
public:
    // Names a stored text; Null names none (a null QString).
    using Ref = std::uint64_t;
    static constexpr Ref Null = 0;

    // Stores text (an empty, non-null text too) and returns its name.
    Ref add(QStringView text);
    Ref addLatin1(const char* bytes, qsizetype size);
    // The stored text (null for Null).
    QString text(Ref ref) const;
    qsizetype size(Ref ref) const;
    // Writes the text's characters to out (room for size(ref)).
    void copyTo(Ref ref, QChar* out) const;
    bool equals(Ref ref, QStringView text) const;
    // The stored text where it lies (empty for Null); valid while the arena lives.
    TextPiece piece(Ref ref) const;
    // A hash of the text's UTF-16 units, continuing from seed: the same for a stored text
    // and for hashOf() of equal text, whichever way either is stored.
    std::size_t hash(Ref ref, std::size_t seed) const;
    static std::size_t hashOf(QStringView text, std::size_t seed);

private:
    struct Entry {
        const char* data;
        qsizetype size;
        bool wide; // UTF-16 units rather than Latin-1 bytes
    };
    Entry entry(Ref ref) const;
    char* reserve(std::size_t bytes, Ref& ref);

    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = 0; // bytes used in the last block
    std::size_t m_capacity = 0;
};

} // namespace sonavue
