// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// File systems that are windows onto the kernel rather than stored files (/proc, /sys,
// /dev and the like). Their trees are huge or endless (proc's links lead back to /), and
// reading them can block, so the folder walk never enters them.
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <sys/types.h>

namespace sonavue {

// True for the statfs f_type of proc, sysfs, cgroup, cgroup2, debugfs, tracefs,
// securityfs, pstore, bpf, configfs, devpts, mqueue, binfmt_misc, fusectl, efivarfs,
// nsfs, selinuxfs and smackfs.
bool isPseudoFileSystemType(unsigned long statfsType);

// True for the mount table's type names of the same file systems and of devtmpfs (which
// reports tmpfs's f_type, so only its name tells it apart).
bool isPseudoFileSystemName(QByteArrayView typeName);

// The file system type name of device in mountinfo text (the format of
// /proc/self/mountinfo); empty when no line names the device.
QByteArray mountTypeOf(QByteArrayView mountinfo, dev_t device);

// Decides for each folder the walk opens whether it may be entered; one look-up per
// device, so a scan pays for it once per file system rather than once per folder.
class FileSystemFilter {
public:
    // False when the open folder folderFd, on device, lies on a pseudo file system.
    bool mayEnter(int folderFd, dev_t device);

private:
    static bool decide(int folderFd, dev_t device);
    QHash<dev_t, bool> m_byDevice;
};

} // namespace sonavue
