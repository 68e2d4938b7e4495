// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// An exclusive advisory lock (flock) on a small lock file, held for the object's life. Used
// to keep two processes of one user from interleaving a read-modify-write of the same file
// or a take-over of the same socket.
#include <QByteArray>

namespace sonavue {

class FileLock {
public:
    // Opens (creating it if needed) the lock file at path and waits up to waitMs for the
    // lock. A holder that keeps it longer is stuck, and waiting on would hang the caller:
    // then, or when the lock file cannot be made, the lock is not held and the caller goes
    // on without it.
    FileLock(const QByteArray& path, int waitMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

} // namespace sonavue
