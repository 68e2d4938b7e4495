// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/folderwatchtree.h"

namespace sonavue {

void WatchedTree::setRoot(int wd, const QByteArray& path) {
    clear();
    m_root = wd;
    m_folders.insert(wd, Folder{-1, path, {}});
}

bool WatchedTree::add(int wd, int parent, const QByteArray& name) {
    const auto above = m_folders.find(parent);
    if (above == m_folders.end() || m_folders.contains(wd))
        return false;
    above->children.insert(name, wd);
    m_folders.insert(wd, Folder{parent, name, {}});
    return true;
}

int WatchedTree::childOf(int parent, const QByteArray& name) const {
    const auto above = m_folders.constFind(parent);
    return above == m_folders.constEnd() ? -1 : above->children.value(name, -1);
}

QByteArray WatchedTree::pathOf(int wd) const {
    std::vector<const QByteArray*> names;
    for (auto at = m_folders.constFind(wd); at != m_folders.constEnd();
         at = m_folders.constFind(at->parent))
        names.push_back(&at->name);
    QByteArray path;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (!path.isEmpty() && !path.endsWith('/'))
            path += '/';
        path += **name;
    }
    return path;
}

int WatchedTree::depthOf(int wd) const {
    int depth = -1;
    for (auto at = m_folders.constFind(wd); at != m_folders.constEnd();
         at = m_folders.constFind(at->parent))
        ++depth;
    return depth;
}

void WatchedTree::takeOut(int wd) {
    const auto folder = m_folders.constFind(wd);
    if (folder == m_folders.constEnd())
        return;
    const auto above = m_folders.find(folder->parent);
    if (above != m_folders.end() && above->children.value(folder->name, -1) == wd)
        above->children.remove(folder->name);
}

bool WatchedTree::move(int wd, int newParent, const QByteArray& newName) {
    if (!m_folders.contains(wd) || !m_folders.contains(newParent) || wd == m_root)
        return false;
    for (int at = newParent; at != -1; at = m_folders.value(at).parent)
        if (at == wd)
            return false;
    takeOut(wd);
    m_folders[newParent].children.insert(newName, wd);
    Folder& folder = m_folders[wd];
    folder.parent = newParent;
    folder.name = newName;
    return true;
}

std::vector<int> WatchedTree::removeSubtree(int wd) {
    std::vector<int> removed;
    takeOut(wd);
    std::vector<int> toRemove{wd};
    while (!toRemove.empty()) {
        const int at = toRemove.back();
        toRemove.pop_back();
        const auto folder = m_folders.find(at);
        if (folder == m_folders.end())
            continue;
        for (int child : std::as_const(folder->children))
            toRemove.push_back(child);
        m_folders.erase(folder);
        removed.push_back(at);
    }
    if (wd == m_root)
        m_root = -1;
    return removed;
}

void WatchedTree::clear() {
    m_folders.clear();
    m_root = -1;
}

} // namespace sonavue
