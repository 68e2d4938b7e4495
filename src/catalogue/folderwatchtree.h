// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The folders a folder watcher watches, by watch descriptor. Each knows its parent and its
// name there, so renaming or moving a folder inside the tree is one change to one entry, and
// a path is made only when a new folder below it is to be walked. Not locked: its owner
// locks it.
#include <QByteArray>
#include <QHash>
#include <vector>

namespace sonavue {

class WatchedTree {
public:
    // The top folder: its name is its whole path.
    void setRoot(int wd, const QByteArray& path);
    int root() const { return m_root; }
    bool contains(int wd) const { return m_folders.contains(wd); }
    int count() const { return int(m_folders.size()); }
    // Adds wd as the folder name inside parent; false when parent is not watched or wd
    // already is (the same folder reached another way). A folder that held the name before
    // is taken out (its own removal is on its way).
    bool add(int wd, int parent, const QByteArray& name);
    // The folder watched as name inside parent, or -1.
    int childOf(int parent, const QByteArray& name) const;
    // Empty when wd is not watched.
    QByteArray pathOf(int wd) const;
    // Levels below the top folder (0 for the top), -1 when wd is not watched.
    int depthOf(int wd) const;
    // A folder moved away: no longer found by its name, still known by its descriptor until
    // it comes back (move) or is removed (removeSubtree).
    void takeOut(int wd);
    // wd now lies in newParent as newName; false when either is not watched or newParent
    // lies inside wd.
    bool move(int wd, int newParent, const QByteArray& newName);
    // Forgets wd and every folder below it; gives their descriptors.
    std::vector<int> removeSubtree(int wd);
    void clear();

private:
    struct Folder {
        int parent = -1;
        QByteArray name;
        QHash<QByteArray, int> children;
    };
    QHash<int, Folder> m_folders;
    int m_root = -1;
};

} // namespace sonavue
