// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A temporary folder removed through folder descriptors, whatever its names and depth: QDir
// can neither name bytes that are not UTF-8 nor reach past PATH_MAX.
#include <QTemporaryDir>

namespace sonavue::testing {

// Removes name below the open folder dirFd and everything in it.
void removeTree(int dirFd, const char* name);

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
