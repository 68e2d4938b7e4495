// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// One folder read with POSIX calls, its names kept as the file system's bytes. Shared by
// the listings and the folder scan, whose time is mostly system calls: each one saved
// here is saved once per folder or per file.
#include <QByteArray>
#include <QString>
#include <ctime>
#include <sys/types.h>
#include <vector>

namespace sonavue {

class FilePattern;

enum class EntryKind { RegularFile, Folder, Other };

// Names of one folder: readable text (bytes that are not UTF-8 kept as U+DC80..U+DCFF)
// and the raw bytes, in ascending order of the text. Most names are plain ASCII: their
// text is made only when asked for, and they are sorted by their bytes.
class NameList {
public:
    void add(const char* name, std::size_t size);
    // Sorts ascending, ignoring case, ties by exact text.
    void sort();
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    QString name(int i) const;
    // A listing kept for later holds only the bytes (name() is then made from them).
    void releaseNames();
    // NUL-terminated bytes of name i.
    const char* native(int i) const { return m_bytes.data() + m_items[std::size_t(i)].offset; }
    int nativeSize(int i) const { return m_items[std::size_t(i)].size; }

private:
    struct Item {
        QString name; // empty for an ASCII name until the list is sorted among others
        int offset;
        int size;
        bool ascii;
    };
    bool less(const Item& a, const Item& b) const;
    // Appended to once per name (cheaper than QByteArray's insert); a move keeps the bytes
    // where they are.
    std::vector<char> m_bytes;
    std::vector<Item> m_items;
    bool m_allAscii = true;
};

// Where a folder is: its path and, when its parent is open, the parent and the folder's
// name in it. Opened from the parent, the folder costs the system one step, not a walk of
// the whole path. Only for the length of a call: it holds references.
struct FolderPlace {
    FolderPlace(const QByteArray& folderPath) : path(folderPath) {}
    FolderPlace(const QByteArray& folderPath, int parent, const char* nameInParent)
        : path(folderPath), parentFd(parent), name(nameInParent) {}
    const QByteArray& path;
    int parentFd = -1;
    const char* name = nullptr; // one name, no '/'
};

// Reads the folder's entries straight with getdents64: opendir/readdir would add an fstat
// and an fcntl per folder, and system calls are most of a scan's time.
class NativeFolder {
public:
    // Opens the folder with openFolder. isOpen() is false when it cannot be read.
    explicit NativeFolder(const QByteArray& path);
    // Opens it from its parent when that is open (a link is not followed there: a link
    // is opened by its path, as openFolder does).
    explicit NativeFolder(const FolderPlace& place);
    ~NativeFolder();
    NativeFolder(const NativeFolder&) = delete;
    NativeFolder& operator=(const NativeFolder&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // What identifies the open folder and its present list of names: device and inode (to
    // recognise a folder already on the walk) and the time of the last change to its
    // entries. False when they cannot be had.
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        struct timespec changed {};
        bool sameFolder(const Stamp& o) const { return device == o.device && inode == o.inode; }
        bool sameEntries(const Stamp& o) const {
            return sameFolder(o) && changed.tv_sec == o.changed.tv_sec &&
                   changed.tv_nsec == o.changed.tv_nsec;
        }
    };
    bool stamp(Stamp& out) const;
    // The stamp of the folder at path without opening it (one system call instead of
    // three): good for comparing with a stamp taken through an open folder, since a path
    // that leads elsewhere gives another device and inode.
    static bool stampOf(const QByteArray& path, Stamp& out);
    // The same from the folder's parent when that is open (links followed, as by path).
    static bool stampOf(const FolderPlace& place, Stamp& out);

    // Reads the folder once: visible subfolders into folders (when given) and visible
    // regular files matching pattern into files (when given). Names beginning with '.'
    // are hidden. Links are followed; anything that is neither a regular file nor a
    // folder (FIFO, socket, device, dangling link) is left out.
    void read(const FilePattern* pattern, NameList* files, NameList* folders);

private:
    EntryKind kindOf(const char* name, unsigned char type) const;

    int m_fd = -1;
};

// Opens a folder for reading (O_RDONLY | O_DIRECTORY), following links but not the
// kernel's "magic" links (/proc/self/root, /proc/<pid>/cwd, ...), which lead out of any
// tree to wherever a process stands. A path longer than the system's limit (PATH_MAX) is
// opened piece by piece, each piece relative to the one before. -1 on failure.
int openFolder(const QByteArray& path);

// Keeps the parent of the last folder asked for open, so that folders met one after another
// in the same parent (the albums of one artist) are opened and looked at from it. Used by
// one thread at a time.
class ParentFolder {
public:
    ParentFolder() = default;
    ~ParentFolder();
    ParentFolder(const ParentFolder&) = delete;
    ParentFolder& operator=(const ParentFolder&) = delete;
    // Where path is: from its parent (opened now unless it already is) when that can be
    // opened, else by path alone. Valid while path lives and until the next call.
    FolderPlace placeOf(const QByteArray& path);

private:
    QByteArray m_path;
    int m_fd = -1;
};

// Joins a folder's bytes and a name with one '/' (none added after a trailing '/').
QByteArray joinNative(const QByteArray& folder, const char* name, std::size_t size);

} // namespace sonavue
