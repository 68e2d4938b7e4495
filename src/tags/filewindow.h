// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Reading a file's structure header by header: a window over the open file, so that a walk
// over many small headers costs a system call per window rather than per header, and the
// byte orders the headers are written in.
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace sonavue {

class FileWindow {
public:
    FileWindow(int fd, std::int64_t size) : m_fd(fd), m_size(size) {}

    // size bytes at position into out; false when the file does not hold them all.
    bool read(std::int64_t position, char* out, int size) {
        if (position < 0 || size > WindowSize || position > m_size - size)
            return false;
        if (position < m_start || position + size > m_start + m_length)
            fill(position);
        if (position + size > m_start + m_length)
            return false;
        std::memcpy(out, m_window + (position - m_start), std::size_t(size));
        return true;
    }
    std::int64_t size() const { return m_size; }

private:
    static constexpr int WindowSize = 64 * 1024;
    void fill(std::int64_t position) {
        m_start = position;
        m_length = 0;
        while (m_length < WindowSize) {
            const ssize_t got =
                ::pread(m_fd, m_window + m_length, std::size_t(WindowSize - m_length),
                        off_t(position + m_length));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            m_length += got;
        }
    }

    int m_fd;
    std::int64_t m_size;
    std::int64_t m_start = 0, m_length = 0;
    char m_window[WindowSize];
};

inline std::uint64_t bigEndianAt(const char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

inline std::uint64_t littleEndianAt(const char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

} // namespace sonavue
