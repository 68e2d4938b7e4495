// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// An open file descriptor that is closed when it goes out of scope.
#include <unistd.h>

namespace sonavue {

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

} // namespace sonavue
