// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The reserved list's view: it says when the focus leaves it, which is when an emptied list
// stops counting as a reserved track on its way.
#include "ui/style/readablestyle.h"

#include <QListView>

namespace sonavue {

class ReservedListView : public QListView {
    Q_OBJECT
public:
    explicit ReservedListView(QWidget* parent) : QListView(parent) {
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        useReadableStyle(*this, {this}); // its outline shows on every window colour
    }

signals:
    void focusLeft();

protected:
    void focusOutEvent(QFocusEvent* event) override {
        QListView::focusOutEvent(event);
        emit focusLeft();
    }
};

} // namespace sonavue
