// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// libFuzzer: settings files of any content, read and written.
#include "base/settings.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace {
// One scratch folder per run, removed when the fuzzer exits.
struct ScratchFolder {
    ScratchFolder() {
        QByteArray folder = QDir::tempPath().toUtf8() + "/sonavue-fuzz-ini-XXXXXX";
        if (!::mkdtemp(folder.data()))
            std::abort();
        path = QString::fromUtf8(folder);
    }
    ~ScratchFolder() { QDir(path).removeRecursively(); }
    QString path;
};

QString scratchFile() {
    static const ScratchFolder folder;
    return folder.path + "/Sonavue.ini";
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = scratchFile();
    // The first bytes (up to a NUL) are the value to write; the rest is the file.
    const auto* bytes = reinterpret_cast<const char*>(data);
    const size_t split = std::find(bytes, bytes + size, '\0') - bytes;
    const QString value = QString::fromUtf8(bytes, qsizetype(split));
    const QByteArray contents(bytes + std::min(size, split + 1),
                              qsizetype(size - std::min(size, split + 1)));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(contents);
    }
    const QString before = sonavue::readIniValue(path, "init", "alph", "DEFAULT");
    if (sonavue::writeIniValue(path, "init", "Folder", value)) {
        const QString back = sonavue::readIniValue(path, "init", "Folder", "DEFAULT");
        if (back != value.left(back.size()) || back.size() > 255)
            std::abort();
        if (sonavue::readIniValue(path, "init", "alph", "DEFAULT") != before)
            std::abort();
    }
    return 0;
}
