// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// An open file descriptor that is closed when it goes out of scope.
#include <QByteArray>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        reset(other.release());
        return *this;
    }
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
    // Hands the descriptor to a new owner.
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// Opens nativePath for reading when it is a regular file, else gives an invalid descriptor.
// The open does not wait (a FIFO put in the file's place cannot block the caller) and the
// check is made on the opened descriptor, so nothing can be swapped in between.
inline FileDescriptor openRegularFile(const QByteArray& nativePath) {
    if (nativePath.isEmpty())
        return FileDescriptor();
    FileDescriptor fd(::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (fd.get() >= 0 && (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)))
        fd.reset();
    return fd;
}

} // namespace sonavue
