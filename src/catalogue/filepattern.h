// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Which file names the scan takes: the file types chosen, as a pattern of extensions (made
// by filePatternFor from the playable types).
#include "base/playabletypes.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <vector>

namespace sonavue {

// A ';'-separated list of "*.ext" pieces; extensions match ignoring case. A piece "*" or
// "*.*" takes every name, empty pieces are skipped, any other piece is a wildcard pattern
// ('*', '?') matched against the whole name, ignoring case.
class FilePattern {
public:
    // Every box type by default, as the file lister starts.
    explicit FilePattern(const QString& pattern = filePatternFor(true, true, true));
    bool matches(const QString& fileName) const;
    // The same test on a name as the file system's bytes (no conversion for ASCII pieces).
    bool matchesNative(const char* name, std::size_t size) const;
    const QString& text() const { return m_text; }

private:
    QString m_text;
    QStringList m_extensions; // lower case, with the dot: ".mp3"
    std::vector<QRegularExpression> m_wildcards;
    std::vector<QByteArray> m_asciiExtensions; // the extensions that are plain ASCII
    bool m_matchesAll = false;
    bool m_allAscii = true;
};

} // namespace sonavue
