// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/settings.h"

#include "base/nativepath.h"
#include "base/report.h"
#include "base/settingsfile.h"

#include <atomic>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace sonavue {
namespace {

constexpr qsizetype maxValueLength = 255;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text) {
    qsizetype a = 0, b = text.size();
    while (a < b && isBlank(text[a]))
        ++a;
    while (b > a && (isBlank(text[b - 1]) || text[b - 1] == '\r'))
        --b;
    return text.sliced(a, b - a);
}

// Text of bytes from the file, losslessly. A byte-order mark at the start of a value or a
// name is part of it (the decoder would drop it as the mark of the text).
QString textOf(QByteArrayView bytes) {
    const QByteArrayView mark("\xEF\xBB\xBF");
    if (!bytes.startsWith(mark))
        return pathFromNative(bytes.data(), bytes.size());
    const QByteArrayView rest = bytes.sliced(mark.size());
    return QChar(0xFEFF) + pathFromNative(rest.data(), rest.size());
}

bool sameName(QByteArrayView stored, const QString& wanted) {
    return textOf(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

struct LineRange {
    qsizetype start = 0; // first byte
    qsizetype end = 0;   // one past the last byte before the '\n' (or the file's end)
    qsizetype next = 0;  // start of the following line
};

// Where section/key live in the file. The first matching key wins; a new key goes after
// the last non-blank line of the first matching section.
struct Located {
    bool sectionFound = false;
    LineRange lastSectionContent;
    bool keyFound = false;
    LineRange keyLine;
    QByteArrayView rawValue; // after the first '=', untrimmed
};

// One pass over the lines, keeping nothing but the answer.
Located locate(const QByteArray& bytes, const QString& section, const QString& key) {
    Located found;
    bool inSection = false;
    bool inFirstSection = false;
    // A byte-order mark belongs to no name; the first line is parsed without it.
    const qsizetype bom = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const LineRange line{start, newline < 0 ? bytes.size() : newline,
                             newline < 0 ? bytes.size() : newline + 1};
        start = line.next;
        const qsizetype from = line.start == 0 ? bom : line.start;
        const QByteArrayView content = QByteArrayView(bytes).sliced(from, line.end - from);
        const QByteArrayView text = trimmed(content);
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            const QByteArrayView name =
                trimmed(text.sliced(1, (close < 0 ? text.size() : close) - 1));
            inSection = sameName(name, section);
            inFirstSection = inSection && !found.sectionFound;
            if (inFirstSection) {
                found.sectionFound = true;
                found.lastSectionContent = line;
            }
            continue;
        }
        if (!inSection)
            continue; // includes keys before any section
        if (inFirstSection && !text.isEmpty())
            found.lastSectionContent = line;
        const qsizetype equals = text.indexOf('=');
        if (!found.keyFound && equals >= 0 && sameName(trimmed(text.first(equals)), key)) {
            found.keyFound = true;
            found.keyLine = line;
            found.rawValue = content.sliced(content.indexOf('=') + 1);
        }
    }
    return found;
}

// The stored text of a value: surrounding blanks and one pair of enclosing quotes go,
// the text ends at a NUL, and it is cut to 255 characters.
QString valueText(QByteArrayView raw) {
    QByteArrayView value = trimmed(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0)
        value = value.first(nul);
    QString text = textOf(value);
    if (text.size() > maxValueLength) {
        qsizetype keep = maxValueLength;
        if (text.at(keep - 1).isHighSurrogate() && text.at(keep).isLowSurrogate())
            --keep;
        text.truncate(keep);
    }
    return text;
}

// A value that would lose its blanks or its own quotes on reading is written in quotes,
// so what is written reads back unchanged.
QByteArray storedForm(const QString& value) {
    QByteArray bytes = pathToNative(value);
    if (bytes.isEmpty())
        return bytes;
    const char first = bytes.front(), last = bytes.back();
    const bool quotedAlready =
        bytes.size() >= 2 && (first == '"' || first == '\'') && last == first;
    if (isBlank(first) || isBlank(last) || quotedAlready)
        bytes = '"' + bytes + '"';
    return bytes;
}

bool hasLineBreakOrNul(const QString& text) {
    for (QChar c : text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.unicode() == 0)
            return true;
    return false;
}

// Creates folder and its missing parents (mode 0700 for new ones, as a config folder).
void makeFolders(const QByteArray& folder) {
    for (qsizetype i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder.at(i) == '/') {
            const QByteArray part = folder.left(i);
            if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
                return;
        }
    }
}

bool nameOrValueRefused(const QString& section, const QString& key, const QString& value) {
    return section.isEmpty() || key.isEmpty() || hasLineBreakOrNul(section) ||
           hasLineBreakOrNul(key) || hasLineBreakOrNul(value) ||
           section.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')) ||
           key.trimmed() != key || section.trimmed() != section || key.startsWith(QLatin1Char('['));
}

QString valueIn(const LoadedFile& file, const QString& section, const QString& key,
                const QString& defaultValue) {
    if (file.state != LoadState::Loaded)
        return defaultValue;
    const Located found = locate(file.bytes, section, key);
    if (!found.keyFound)
        return defaultValue;
    return valueText(found.rawValue);
}

// The file's contents with the key's new value; nothing for a file that could not be read
// (never replaced).
std::optional<QByteArray> withValue(const LoadedFile& file, const QString& section,
                                    const QString& key, const QString& value) {
    if (file.state == LoadState::Unusable)
        return std::nullopt;
    const QByteArray& old = file.bytes;
    const Located found = locate(old, section, key);

    const qsizetype firstNewline = old.indexOf('\n');
    const QByteArray eol =
        firstNewline > 0 && old.at(firstNewline - 1) == '\r' ? QByteArray("\r\n") : "\n";
    const QByteArray storedValue = storedForm(value);

    QByteArray out;
    out.reserve(old.size() + key.size() + storedValue.size() + section.size() + 16);
    if (found.keyFound) {
        // Keep the key as spelt in the file and the line's own ending.
        const LineRange& line = found.keyLine;
        const qsizetype equals = old.indexOf('=', line.start);
        qsizetype endOfText = line.end;
        QByteArray ending = old.mid(line.end, line.next - line.end);
        if (endOfText > line.start && old.at(endOfText - 1) == '\r') {
            --endOfText;
            ending.prepend('\r');
        }
        out.append(old.constData(), equals + 1);
        out.append(storedValue);
        out.append(ending);
        out.append(old.constData() + line.next, old.size() - line.next);
    } else if (found.sectionFound) {
        const LineRange& after = found.lastSectionContent;
        out.append(old.constData(), after.next);
        if (after.next == after.end) // the file's last line had no line break
            out.append(eol);
        out.append(key.toUtf8() + '=' + storedValue + eol);
        out.append(old.constData() + after.next, old.size() - after.next);
    } else {
        out = old;
        if (!out.isEmpty() && !out.endsWith('\n'))
            out.append(eol);
        out.append('[' + section.toUtf8() + ']' + eol);
        out.append(key.toUtf8() + '=' + storedValue + eol);
    }
    return out;
}

// The user's own file as loaded, or the starting values while the user has none.
LoadedFile orStartingValues(LoadedFile own, const SettingsLocation& location) {
    if (own.state != LoadState::Missing || location.startingValues.isEmpty())
        return own;
    LoadedFile starting = loadFileBytes(pathToNative(location.startingValues));
    // Starting values that cannot be read are no reason to refuse the user's first write.
    if (starting.state == LoadState::Unusable)
        starting = LoadedFile{};
    return starting;
}

// A lost setting is said once per run on standard error: one line, not one per click.
void reportLostWrite(const QString& path, const QString& why) {
    static std::atomic_flag reported = ATOMIC_FLAG_INIT;
    if (reported.test_and_set())
        return;
    reportLine(QStringLiteral("cannot save settings to %1 (%2); changes are not kept")
                   .arg(readableText(path), why));
}

} // namespace

QString readIniValue(const QString& filePath, const QString& section, const QString& key,
                     const QString& defaultValue) {
    return valueIn(loadFileBytes(pathToNative(filePath)), section, key, defaultValue);
}

bool writeIniValue(const QString& filePath, const QString& section, const QString& key,
                   const QString& value) {
    // Names and values that the line format cannot hold are refused, never half-written.
    if (nameOrValueRefused(section, key, value))
        return false;
    return rewriteFile(
               pathToNative(filePath),
               [&](const LoadedFile& current) { return withValue(current, section, key, value); })
        .written;
}

QString readSetting(const QString& appName, const QString& section, const QString& key,
                    const QString& defaultValue) {
    const SettingsLocation location = settingsLocation(appName);
    return valueIn(orStartingValues(loadFileBytes(pathToNative(location.file)), location), section,
                   key, defaultValue);
}

QString readSetting(const QString& appName, const QString& section, const QString& key,
                    long long defaultValue) {
    return readSetting(appName, section, key, QString::number(defaultValue));
}

bool writeSetting(const QString& appName, const QString& section, const QString& key,
                  const QString& value) {
    if (nameOrValueRefused(section, key, value))
        return false;
    const SettingsLocation location = settingsLocation(appName);
    // The per-user folder may not exist yet (an installed program's first write).
    if (!location.startingValues.isEmpty())
        makeFolders(pathToNative(location.file.left(location.file.lastIndexOf(QLatin1Char('/')))));
    const RewriteOutcome outcome =
        rewriteFile(pathToNative(location.file), [&](const LoadedFile& current) {
            return withValue(orStartingValues(current, location), section, key, value);
        });
    if (!outcome.written)
        reportLostWrite(location.file, outcome.whyNot);
    return outcome.written;
}

void removeLeftoverSettingsWrites(const QString& appName) {
    removeLeftoverRewrites(pathToNative(settingsLocation(appName).file));
}

} // namespace sonavue
