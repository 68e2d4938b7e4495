// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/pseudofilesystem.h"

#include <QList>
#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace sonavue {
namespace {

// Not every header of linux/magic.h names these.
constexpr unsigned long ConfigfsMagic = 0x62656570;
constexpr unsigned long MqueueMagic = 0x19800202;
constexpr unsigned long FusectlMagic = 0x65735543;

constexpr unsigned long PseudoTypes[] = {
    PROC_SUPER_MAGIC,   SYSFS_MAGIC,      CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC, DEBUGFS_MAGIC,
    TRACEFS_MAGIC,      SECURITYFS_MAGIC, PSTOREFS_MAGIC,     BPF_FS_MAGIC,        ConfigfsMagic,
    DEVPTS_SUPER_MAGIC, MqueueMagic,      BINFMTFS_MAGIC,     FusectlMagic,        EFIVARFS_MAGIC,
    NSFS_MAGIC,         SELINUX_MAGIC,    SMACK_MAGIC};

constexpr const char* PseudoNames[] = {
    "proc",       "sysfs",    "devtmpfs", "cgroup",    "cgroup2", "debugfs", "tracefs",
    "securityfs", "pstore",   "bpf",      "configfs",  "devpts",  "mqueue",  "binfmt_misc",
    "fusectl",    "efivarfs", "nsfs",     "selinuxfs", "smackfs"};

// The whole of a file that reports no size (files of /proc).
QByteArray readWhole(const char* path) {
    QByteArray out;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return out;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        out.append(buffer, got);
    }
    ::close(fd);
    return out;
}

} // namespace

bool isPseudoFileSystemType(unsigned long statfsType) {
    for (unsigned long type : PseudoTypes)
        if (statfsType == type)
            return true;
    return false;
}

bool isPseudoFileSystemName(QByteArrayView typeName) {
    for (const char* name : PseudoNames)
        if (typeName == QByteArrayView(name))
            return true;
    return false;
}

QByteArray mountTypeOf(QByteArrayView mountinfo, dev_t device) {
    // "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw": the third field
    // is the device, the first after the lone "-" the type.
    const QByteArray wanted =
        QByteArray::number(major(device)) + ':' + QByteArray::number(minor(device));
    for (const QByteArray& line : mountinfo.toByteArray().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3 || fields[2] != wanted)
            continue;
        const qsizetype dash = fields.indexOf(QByteArray("-"), 3);
        if (dash > 0 && dash + 1 < fields.size())
            return fields[dash + 1];
    }
    return {};
}

bool FileSystemFilter::mayEnter(int folderFd, dev_t device) {
    const auto known = m_byDevice.constFind(device);
    if (known != m_byDevice.constEnd())
        return *known;
    const bool allowed = decide(folderFd, device);
    m_byDevice.insert(device, allowed);
    return allowed;
}

bool FileSystemFilter::decide(int folderFd, dev_t device) {
    struct statfs fs {};
    if (::fstatfs(folderFd, &fs) != 0)
        return true; // nothing tells it apart: walked like any folder
    const auto type = static_cast<unsigned long>(fs.f_type);
    if (isPseudoFileSystemType(type))
        return false;
    // devtmpfs is a tmpfs (or a ramfs) inside; only the mount table names it.
    if (type == TMPFS_MAGIC || type == RAMFS_MAGIC)
        return !isPseudoFileSystemName(mountTypeOf(readWhole("/proc/self/mountinfo"), device));
    return true;
}

} // namespace sonavue
