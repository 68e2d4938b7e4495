// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/filepattern.h"

#include "base/nativepath.h"

namespace sonavue {
namespace {

bool isAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool endsWithAsciiIgnoringCase(const char* name, std::size_t size, const QByteArray& lowerSuffix) {
    const auto n = std::size_t(lowerSuffix.size());
    if (size < n)
        return false;
    const char* tail = name + (size - n);
    for (std::size_t i = 0; i < n; ++i)
        if (lowerAscii(tail[i]) != lowerSuffix[qsizetype(i)])
            return false;
    return true;
}

} // namespace

FilePattern::FilePattern(const QString& pattern) : m_text(pattern) {
    const QStringList pieces = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& raw : pieces) {
        const QString piece = raw.trimmed();
        if (piece.isEmpty())
            continue;
        if (piece == QLatin1String("*") || piece == QLatin1String("*.*")) {
            m_matchesAll = true;
            continue;
        }
        const QString rest = piece.mid(1);
        if (piece.startsWith(QLatin1Char('*')) && !rest.contains(QLatin1Char('*')) &&
            !rest.contains(QLatin1Char('?'))) {
            const QString suffix = rest.toLower();
            m_extensions.append(suffix);
            if (isAscii(suffix))
                m_asciiExtensions.push_back(suffix.toLatin1());
            else
                m_allAscii = false;
            continue;
        }
        // Names hold no '/', so the path form of the conversion is the same here.
        m_wildcards.emplace_back(QRegularExpression::wildcardToRegularExpression(piece),
                                 QRegularExpression::CaseInsensitiveOption);
        m_allAscii = false;
    }
}

bool FilePattern::matches(const QString& fileName) const {
    if (m_matchesAll)
        return true;
    for (const QString& suffix : m_extensions)
        if (fileName.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    for (const QRegularExpression& wildcard : m_wildcards)
        if (wildcard.match(fileName).hasMatch())
            return true;
    return false;
}

bool FilePattern::matchesNative(const char* name, std::size_t size) const {
    if (m_matchesAll)
        return true;
    for (const QByteArray& suffix : m_asciiExtensions)
        if (endsWithAsciiIgnoringCase(name, size, suffix))
            return true;
    // Only a pattern with non-ASCII or wildcard pieces needs the name as text.
    return !m_allAscii && matches(pathFromNative(name, qsizetype(size)));
}

} // namespace sonavue
