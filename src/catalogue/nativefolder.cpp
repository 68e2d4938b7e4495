// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/nativefolder.h"

#include "base/nativepath.h"
#include "catalogue/filepattern.h"
#include "catalogue/grouplist.h"
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace sonavue {
namespace {

constexpr int ReadFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
// A step through a long path: a folder to open the next piece from, not to read.
constexpr int StepFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

int openRefusingMagicLinks(int base, const char* path, int flags) {
    open_how how{};
    how.flags = std::uint64_t(flags);
    how.resolve = RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, base, path, &how, sizeof how);
    // Kernels before 5.6 and some sandboxes do not offer openat2: a plain open then.
    if (fd < 0 && (errno == ENOSYS || errno == EPERM))
        return ::openat(base, path, flags);
    return int(fd);
}

} // namespace

namespace {

int openFolderWith(const QByteArray& path, int flags) {
    if (path.size() < PATH_MAX)
        return openRefusingMagicLinks(AT_FDCWD, path.constData(), flags);
    int base = AT_FDCWD;
    qsizetype at = 0;
    while (path.size() - at >= PATH_MAX) {
        // The longest piece that fits and ends before a separator (a name is at most
        // NAME_MAX bytes, so there always is one unless the path is malformed).
        const qsizetype cut = path.lastIndexOf('/', at + PATH_MAX - 2);
        const bool rootPiece = cut == 0 && at == 0;
        int next = -1;
        if (cut > at || rootPiece) {
            const QByteArray piece = rootPiece ? QByteArray("/") : path.mid(at, cut - at);
            next = openRefusingMagicLinks(base, piece.constData(), StepFolderFlags);
        } else {
            errno = ENAMETOOLONG;
        }
        if (base != AT_FDCWD)
            ::close(base);
        if (next < 0)
            return -1;
        base = next;
        at = cut + 1;
    }
    const int fd = openRefusingMagicLinks(base, path.constData() + at, flags);
    if (base != AT_FDCWD)
        ::close(base);
    return fd;
}

} // namespace

int openFolder(const QByteArray& path) {
    return openFolderWith(path, ReadFolderFlags);
}

namespace {

bool isAsciiName(const char* name, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return false;
    return true;
}

char foldedAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

// compareAscending for two ASCII names, on their bytes: the same order, without making
// their text.
bool lessAsciiAscending(const char* x, int m, const char* y, int n) {
    const int shorter = std::min(m, n);
    int i = 0;
    while (i < shorter && x[i] == y[i])
        ++i;
    const int exact = i < shorter ? (x[i] < y[i] ? -1 : 1) : (m < n ? -1 : m > n ? 1 : 0);
    for (int k = i; k < shorter; ++k) {
        const char p = foldedAscii(x[k]), q = foldedAscii(y[k]);
        if (p != q)
            return p < q;
    }
    if (m != n)
        return m < n;
    return exact < 0;
}

} // namespace

void NameList::add(const char* name, std::size_t size) {
    if (m_items.empty()) { // an album's worth at once, not a copy at every doubling
        m_items.reserve(16);
        m_bytes.reserve(16 * 32);
    }
    const int offset = int(m_bytes.size());
    m_bytes.insert(m_bytes.end(), name, name + size);
    m_bytes.push_back('\0');
    const bool ascii = isAsciiName(name, size);
    m_allAscii = m_allAscii && ascii;
    m_items.push_back(
        {ascii ? QString() : pathFromNative(name, qsizetype(size)), offset, int(size), ascii});
}

QString NameList::name(int i) const {
    const Item& item = m_items[std::size_t(i)];
    if (!item.name.isEmpty())
        return item.name;
    return item.ascii ? QString::fromLatin1(native(i), item.size)
                      : pathFromNative(native(i), item.size);
}

bool NameList::less(const Item& a, const Item& b) const {
    if (a.ascii && b.ascii)
        return lessAsciiAscending(m_bytes.data() + a.offset, a.size, m_bytes.data() + b.offset,
                                  b.size);
    return lessAscending(a.name, b.name);
}

void NameList::sort() {
    if (!m_allAscii) // names of both kinds are compared as text
        for (int i = 0; i < count(); ++i)
            if (m_items[std::size_t(i)].ascii)
                m_items[std::size_t(i)].name = name(i);
    std::sort(m_items.begin(), m_items.end(),
              [this](const Item& a, const Item& b) { return less(a, b); });
}

void NameList::releaseNames() {
    for (Item& item : m_items)
        item.name = QString();
    m_bytes.shrink_to_fit();
    m_items.shrink_to_fit();
}

NativeFolder::NativeFolder(const QByteArray& path) : m_fd(openFolder(path)) {}

NativeFolder::NativeFolder(const FolderPlace& place) {
    if (place.parentFd >= 0 && place.name)
        m_fd = ::openat(place.parentFd, place.name, ReadFolderFlags | O_NOFOLLOW);
    // A link (refused above), or a folder that could not be opened from its parent, is
    // opened by its path: links are followed there, the kernel's magic links are not.
    if (m_fd < 0)
        m_fd = openFolder(place.path);
}

NativeFolder::~NativeFolder() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool NativeFolder::stamp(Stamp& out) const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return false;
    out.device = st.st_dev;
    out.inode = st.st_ino;
    out.changed = st.st_mtim;
    return true;
}

bool NativeFolder::stampOf(const QByteArray& path, Stamp& out) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    out.device = st.st_dev;
    out.inode = st.st_ino;
    out.changed = st.st_mtim;
    return true;
}

bool NativeFolder::stampOf(const FolderPlace& place, Stamp& out) {
    if (place.parentFd < 0 || !place.name)
        return stampOf(place.path, out);
    struct stat st {};
    if (::fstatat(place.parentFd, place.name, &st, 0) != 0 || !S_ISDIR(st.st_mode))
        return false;
    out.device = st.st_dev;
    out.inode = st.st_ino;
    out.changed = st.st_mtim;
    return true;
}

ParentFolder::~ParentFolder() {
    if (m_fd >= 0)
        ::close(m_fd);
}

FolderPlace ParentFolder::placeOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0 || slash + 1 >= path.size())
        return FolderPlace(path);
    const QByteArrayView parent(path.constData(), slash == 0 ? 1 : slash);
    if (m_fd < 0 || parent != m_path) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_path = parent.toByteArray();
        // Only a way through, not read: a parent that may be passed but not listed serves.
        m_fd = openFolderWith(m_path, StepFolderFlags);
    }
    if (m_fd < 0)
        return FolderPlace(path);
    return FolderPlace(path, m_fd, path.constData() + slash + 1);
}

EntryKind NativeFolder::kindOf(const char* name, unsigned char type) const {
    switch (type) {
    case DT_REG:
        return EntryKind::RegularFile;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        // A link is what it points at; some file systems give no type at all.
        struct stat st {};
        if (::fstatat(m_fd, name, &st, 0) != 0)
            return EntryKind::Other;
        if (S_ISREG(st.st_mode))
            return EntryKind::RegularFile;
        if (S_ISDIR(st.st_mode))
            return EntryKind::Folder;
        return EntryKind::Other;
    }
    default:
        return EntryKind::Other;
    }
}

void NativeFolder::read(const FilePattern* pattern, NameList* files, NameList* folders) {
    if (m_fd < 0)
        return;
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const ssize_t got = ::getdents64(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            break; // the end, or a folder that went away while being read
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.')
                continue;
            const std::size_t size = std::strlen(name);
            // A regular file that the pattern does not take needs no further look.
            const bool wanted = files && pattern && pattern->matchesNative(name, size);
            if (!wanted && (!folders || entry->d_type == DT_REG))
                continue;
            switch (kindOf(name, entry->d_type)) {
            case EntryKind::RegularFile:
                if (wanted)
                    files->add(name, size);
                break;
            case EntryKind::Folder:
                if (folders)
                    folders->add(name, size);
                break;
            case EntryKind::Other:
                break;
            }
        }
    }
    if (files)
        files->sort();
    if (folders)
        folders->sort();
}

QByteArray joinNative(const QByteArray& folder, const char* name, std::size_t size) {
    QByteArray out;
    out.reserve(folder.size() + qsizetype(size) + 1);
    out += folder;
    if (!out.endsWith('/'))
        out += '/';
    out.append(name, qsizetype(size));
    return out;
}

} // namespace sonavue
