#pragma once
// Test fixtures: music files with or without a trailing ID3v1 record, written byte for
// byte (names may be any bytes, as on Linux).
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace sonavue::testing {

struct TagFields {
    QByteArray title, artist, album, year, comment;
    unsigned char genre = 0;
};

// The 128-byte record: "TAG", then each field cut or padded with NULs to its width.
QByteArray tagRecord(const TagFields& tag);

// Writes bodySize bytes of stand-in audio, then the record when tag is given. Missing
// parent folders are made. False when the file cannot be written.
bool writeMusicFile(const QByteArray& nativePath, int bodySize,
                    const std::optional<TagFields>& tag = std::nullopt);
bool writeMusicFile(const QString& path, int bodySize,
                    const std::optional<TagFields>& tag = std::nullopt);

// A tag with only artist, album, year and genre set (title given).
TagFields tagOf(const QByteArray& title, const QByteArray& artist = {},
                const QByteArray& album = {}, const QByteArray& year = {}, unsigned char genre = 0);

// The whole content of a file named by native bytes (empty when it cannot be read).
QByteArray readNativeFile(const QByteArray& nativePath);

// Removes name below the open folder dirFd and everything in it, through folder
// descriptors: QDir can neither name bytes that are not UTF-8 nor reach past PATH_MAX.
void removeTree(int dirFd, const char* name);

// A temporary folder removed with removeTree, whatever its names and depth.
class TemporaryTree {
public:
    TemporaryTree() { m_dir.setAutoRemove(false); }
    ~TemporaryTree();
    TemporaryTree(const TemporaryTree&) = delete;
    TemporaryTree& operator=(const TemporaryTree&) = delete;
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

} // namespace sonavue::testing
