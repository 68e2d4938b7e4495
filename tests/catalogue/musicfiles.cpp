#include "musicfiles.h"

#include "base/nativepath.h"
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue::testing {
namespace {

void putField(QByteArray& record, int offset, int width, const QByteArray& text) {
    for (int i = 0; i < width; ++i)
        record[offset + i] = i < text.size() ? text[i] : '\0';
}

// mkdir -p on bytes (QDir would not keep names that are not UTF-8).
void makeParents(const QByteArray& nativePath) {
    for (qsizetype slash = nativePath.indexOf('/', 1); slash > 0;
         slash = nativePath.indexOf('/', slash + 1))
        ::mkdir(nativePath.left(slash).constData(), 0755);
}

} // namespace

QByteArray tagRecord(const TagFields& tag) {
    QByteArray record(128, '\0');
    record.replace(0, 3, "TAG");
    putField(record, 3, 30, tag.title);
    putField(record, 33, 30, tag.artist);
    putField(record, 63, 30, tag.album);
    putField(record, 93, 4, tag.year);
    putField(record, 97, 30, tag.comment);
    record[127] = char(tag.genre);
    return record;
}

bool writeMusicFile(const QByteArray& nativePath, int bodySize,
                    const std::optional<TagFields>& tag) {
    makeParents(nativePath);
    QByteArray content(bodySize, '\x55');
    if (tag)
        content += tagRecord(*tag);
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    ::close(fd);
    return ok;
}

bool writeMusicFile(const QString& path, int bodySize, const std::optional<TagFields>& tag) {
    return writeMusicFile(pathToNative(path), bodySize, tag);
}

TagFields tagOf(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                const QByteArray& year, unsigned char genre) {
    TagFields tag;
    tag.title = title;
    tag.artist = artist;
    tag.album = album;
    tag.year = year;
    tag.genre = genre;
    return tag;
}

QByteArray readNativeFile(const QByteArray& nativePath) {
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray out;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        out.append(buffer, n);
    ::close(fd);
    return out;
}

void removeTree(int dirFd, const char* name) {
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        ::unlinkat(dirFd, name, 0);
        return;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            removeTree(::dirfd(dir), entry->d_name);
    }
    ::closedir(dir);
    ::unlinkat(dirFd, name, AT_REMOVEDIR);
}

TemporaryTree::~TemporaryTree() {
    removeTree(AT_FDCWD, pathToNative(m_dir.path()).constData());
}

} // namespace sonavue::testing
