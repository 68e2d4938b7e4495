#include "app/settings.h"

#include "app/nativepath.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

constexpr qsizetype maxValueLength = 255;
// A settings file is a few hundred bytes; anything this large is not ours to rewrite.
constexpr qint64 maxFileSize = 16 * 1024 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the result (a failed close can mean lost data).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }
    void reset(int fd = -1) {
        close();
        m_fd = fd;
    }

private:
    int m_fd;
};

enum class LoadState { Loaded, Missing, Unusable };

struct Loaded {
    LoadState state = LoadState::Missing;
    QByteArray bytes;
};

// The whole file, read only when it is a regular file of sensible size.
Loaded loadFile(const QByteArray& nativePath) {
    Loaded result;
    const FileDescriptor fd(::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        result.state = errno == ENOENT ? LoadState::Missing : LoadState::Unusable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxFileSize) {
        result.state = LoadState::Unusable;
        return result;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || bytes.size() + got > maxFileSize) {
            result.state = LoadState::Unusable;
            return result;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    result.state = LoadState::Loaded;
    result.bytes = std::move(bytes);
    return result;
}

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

bool sameName(QByteArrayView stored, const QString& wanted) {
    return QString::fromUtf8(stored).compare(wanted, Qt::CaseInsensitive) == 0;
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
    QString text = pathFromNative(value.data(), value.size());
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

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The file a write lands on: a symbolic link's target, so the link stays a link.
QByteArray writeTarget(const QByteArray& nativePath) {
    struct stat st {};
    if (::lstat(nativePath.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(nativePath.constData(), nullptr)) {
            QByteArray resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return nativePath;
}

// Writes a temporary file beside the target, flushes it to disk and renames it over the
// target, so a crash or a full disk leaves either the old file or the new one, never a
// truncated one.
bool replaceFileAtomically(const QByteArray& nativePath, const QByteArray& contents) {
    const QByteArray target = writeTarget(nativePath);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : target.left(slash);
    const QByteArray name = slash < 0 ? target : target.mid(slash + 1);

    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;

    static std::atomic<unsigned> counter{0};
    QByteArray temporary;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
        temporary = folder + "/." + name + '.' + QByteArray::number(qint64(::getpid())) + '.' +
                    QByteArray::number(counter.fetch_add(1)) + ".tmp";
        // 0666 under the user's umask, as any newly created file.
        fd.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0 && errno != EEXIST)
            return false;
    }
    if (fd.get() < 0)
        return false;

    bool ok = writeAll(fd.get(), contents);
    if (ok && exists)
        ok = ::fchmod(fd.get(), old.st_mode & 07777) == 0 || errno == EPERM;
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        return false;
    }
    // Make the rename itself durable.
    const FileDescriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
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

} // namespace

namespace {

bool nameOrValueRefused(const QString& section, const QString& key, const QString& value) {
    return section.isEmpty() || key.isEmpty() || hasLineBreakOrNul(section) ||
           hasLineBreakOrNul(key) || hasLineBreakOrNul(value) ||
           section.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')) ||
           key.trimmed() != key || section.trimmed() != section || key.startsWith(QLatin1Char('['));
}

QString valueIn(const Loaded& file, const QString& section, const QString& key,
                const QString& defaultValue) {
    if (file.state != LoadState::Loaded)
        return defaultValue;
    const Located found = locate(file.bytes, section, key);
    if (!found.keyFound)
        return defaultValue;
    return valueText(found.rawValue);
}

// Writes file (as loaded from nativePath) back with the key's new value.
bool writeValueOver(const QByteArray& nativePath, const Loaded& file, const QString& section,
                    const QString& key, const QString& value) {
    if (file.state == LoadState::Unusable)
        return false; // never replace a file we could not read
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
    return replaceFileAtomically(nativePath, out);
}

// The user's own file, or the starting values while the user has none.
Loaded loadSettings(const SettingsLocation& location) {
    Loaded own = loadFile(pathToNative(location.file));
    if (own.state != LoadState::Missing || location.startingValues.isEmpty())
        return own;
    Loaded starting = loadFile(pathToNative(location.startingValues));
    // Starting values that cannot be read are no reason to refuse the user's first write.
    if (starting.state == LoadState::Unusable)
        starting = Loaded{};
    return starting;
}

// A lost setting is said once per run on standard error: one line, not one per click.
void reportLostWrite(const QString& path, int error) {
    static std::atomic_flag reported = ATOMIC_FLAG_INIT;
    if (reported.test_and_set())
        return;
    const QByteArray line =
        QStringLiteral("Sonavue: cannot save settings to %1 (%2); "
                       "changes are not kept\n")
            .arg(readableText(path), error ? QString::fromLocal8Bit(std::strerror(error))
                                           : QStringLiteral("not a settings file it can rewrite"))
            .toLocal8Bit();
    std::fputs(line.constData(), stderr);
}

} // namespace

QString readIniValue(const QString& filePath, const QString& section, const QString& key,
                     const QString& defaultValue) {
    return valueIn(loadFile(pathToNative(filePath)), section, key, defaultValue);
}

bool writeIniValue(const QString& filePath, const QString& section, const QString& key,
                   const QString& value) {
    // Names and values that the line format cannot hold are refused, never half-written.
    if (nameOrValueRefused(section, key, value))
        return false;
    const QByteArray nativePath = pathToNative(filePath);
    return writeValueOver(nativePath, loadFile(nativePath), section, key, value);
}

QString readSetting(const QString& appName, const QString& section, const QString& key,
                    const QString& defaultValue) {
    return valueIn(loadSettings(settingsLocation(appName)), section, key, defaultValue);
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
    errno = 0;
    const bool written =
        writeValueOver(pathToNative(location.file), loadSettings(location), section, key, value);
    if (!written)
        reportLostWrite(location.file, errno);
    return written;
}

} // namespace sonavue
