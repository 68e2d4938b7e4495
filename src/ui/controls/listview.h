// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The window's list views: one selected entry, no editing, one entry per scroll step.
#include <QListView>

namespace sonavue {

inline QListView* makeListView(QWidget* parent) {
    auto* view = new QListView(parent);
    view->setUniformItemSizes(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return view;
}

} // namespace sonavue
