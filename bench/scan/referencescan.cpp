// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "referencescan.h"

#include <atomic>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace sonavue::bench {
namespace {

bool isMusicName(const char* name) {
    const std::size_t n = std::strlen(name);
    if (n < 4)
        return false;
    const char* ext = name + n - 4;
    return strcasecmp(ext, ".mp3") == 0 || strcasecmp(ext, ".mid") == 0 ||
           strcasecmp(ext, ".wav") == 0;
}

void walk(const std::string& folder, ReferenceResult& result) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> subfolders;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR) {
            subfolders.push_back(folder + "/" + entry->d_name);
            continue;
        }
        if (!isMusicName(entry->d_name))
            continue;
        const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        char tag[128];
        if (::fstat(fd, &st) == 0 && st.st_size >= 128 &&
            ::pread(fd, tag, sizeof tag, st.st_size - 128) == 128) {
            ++result.files;
            result.tagged += std::memcmp(tag, "TAG", 3) == 0;
        }
        ::close(fd);
    }
    ::closedir(dir);
    for (const std::string& sub : subfolders)
        walk(sub, result);
}

void listFiles(const std::string& folder, std::vector<std::string>& files) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> subfolders;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR)
            subfolders.push_back(folder + "/" + entry->d_name);
        else if (isMusicName(entry->d_name))
            files.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& sub : subfolders)
        listFiles(sub, files);
}

} // namespace

ReferenceResult referenceScanThreaded(const std::string& folder, int threads) {
    std::vector<std::string> files;
    listFiles(folder, files);
    std::atomic<std::size_t> next{0};
    std::atomic<long> read{0}, tagged{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            for (std::size_t i; (i = next++) < files.size();) {
                const int fd = ::open(files[i].c_str(), O_RDONLY | O_CLOEXEC);
                if (fd < 0)
                    continue;
                struct stat st {};
                char tag[128];
                if (::fstat(fd, &st) == 0 && st.st_size >= 128 &&
                    ::pread(fd, tag, sizeof tag, st.st_size - 128) == 128) {
                    ++read;
                    tagged += std::memcmp(tag, "TAG", 3) == 0;
                }
                ::close(fd);
            }
        });
    for (std::thread& w : workers)
        w.join();
    return {read.load(), tagged.load()};
}

ReferenceResult referenceScan(const std::string& folder) {
    ReferenceResult result;
    walk(folder, result);
    return result;
}

} // namespace sonavue::bench
