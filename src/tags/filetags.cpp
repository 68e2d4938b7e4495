// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/filetags.h"
#include "base/filedescriptor.h"

#include "base/nativepath.h"
#include "tags/containertags.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

bool readTail(int fd, off_t size, char out[TagSize]) {
    if (size < TagSize)
        return false;
    ssize_t got;
    do {
        got = ::pread(fd, out, TagSize, size - TagSize);
    } while (got < 0 && errno == EINTR);
    return got == TagSize; // a short read: the file shrank under us
}

} // namespace

bool isMp3Name(const char* name, int size) {
    return size >= 4 && name[size - 4] == '.' && (name[size - 3] | 0x20) == 'm' &&
           (name[size - 2] | 0x20) == 'p' && name[size - 1] == '3';
}

bool isMp3Name(const QString& name) {
    return name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive);
}

bool readFileTagsAt(int dirfd, const char* name, bool knownRegular, bool withID3v2,
                    FileTagBytes& out, unsigned extraType) {
    if (!withID3v2 && extraType == 0) {
        out.tailRead = readTagBytesAt(dirfd, name, out.tail, knownRegular, &out.stamp);
        return out.tailRead;
    }
    // As readTagBytesAt: look first, open without blocking, look again at what was opened.
    struct stat st {};
    if (!knownRegular && (::fstatat(dirfd, name, &st, 0) != 0 || !S_ISREG(st.st_mode)))
        return false;
    const FileDescriptor file(::openat(dirfd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out.stamp = fileStampOf(st);
    out.id3v2 = extraType != 0 ? readContainerTagsAt(file.get(), st.st_size, extraType)
                               : readID3v2At(file.get(), st.st_size);
    out.tailRead = readTail(file.get(), st.st_size, out.tail);
    return out.tailRead || out.id3v2.any();
}

ShownTags readShownTags(const QString& path, const TagReading& reading) {
    ShownTags tags;
    readID3TAG(path, tags.id3v1, reading.codePage);
    tags.id3v2 = readRicherTags(path, reading);
    return tags;
}

ID3v2Fields readRicherTags(const QString& path, const TagReading& reading) {
    if (reading.id3v2 && isMp3Name(QFileInfo(path).fileName()))
        return readID3v2(path);
    if (reading.extraTypes & extraTypeOfName(path))
        return readContainerTags(path);
    return {};
}

} // namespace sonavue
