// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// One folder's listing for a walk: its music files and subfolders, opened once, read only
// when it is on a file system the walk may enter and the caller wants it read.
#include "catalogue/filelisting.h"
#include "catalogue/nativefolder.h"
#include "catalogue/pseudofilesystem.h"

#include <QByteArray>
#include <chrono>
#include <memory>

namespace sonavue {

// One folder as listed for the walk.
struct FolderListing {
    enum class Outcome {
        Unreadable,   // could not be opened, or gave no stamp
        NotEntered,   // on a pseudo file system
        ListedBefore, // opened, but a worker had already listed it by another path: not read
        Listed,
    };
    Outcome outcome = Outcome::Unreadable;
    NativeFolder::Stamp stamp;
    NameList files;
    NameList subfolders;
    std::chrono::steady_clock::duration took{}; // opening and reading, for the disk's pace
};

// Opens and reads the folder at place: its music files (by pattern) and subfolders.
// readIf, when given, decides from the stamp whether the folder is read at all
// (ListedBefore when not). keepOpen, when given, takes the folder of a Listed outcome
// still open, for its subfolders to be opened from.
template <class ReadIf>
FolderListing listFolder(const FolderPlace& place, const FilePattern& pattern,
                         FileSystemFilter& fileSystems, ReadIf readIf,
                         std::unique_ptr<NativeFolder>* keepOpen = nullptr) {
    const auto started = std::chrono::steady_clock::now();
    FolderListing out;
    {
        auto folder = std::make_unique<NativeFolder>(place);
        if (!folder->isOpen() || !folder->stamp(out.stamp))
            out.outcome = FolderListing::Outcome::Unreadable;
        else if (!fileSystems.mayEnter(folder->fd(), out.stamp.device))
            out.outcome = FolderListing::Outcome::NotEntered;
        else if (!readIf(out.stamp))
            out.outcome = FolderListing::Outcome::ListedBefore;
        else {
            folder->read(&pattern, &out.files, &out.subfolders);
            out.outcome = FolderListing::Outcome::Listed;
            if (keepOpen)
                *keepOpen = std::move(folder);
        }
    }
    out.took = std::chrono::steady_clock::now() - started;
    return out;
}

} // namespace sonavue
