// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/library/findfield.h"

#include "playback/transport.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace sonavue {

FindField::FindField(BrowsingModel& browsing, Transport& transport, QWidget& over, QWidget* parent)
    : QLineEdit(parent), m_finder(browsing), m_transport(transport), m_over(over) {
    setObjectName(QStringLiteral("FindText"));
    setAccessibleName(QStringLiteral("検索 (Find)"));
    setAccessibleDescription(
        QStringLiteral("Shows the tracks whose title, artist, album or file name holds the text"));
    setPlaceholderText(QStringLiteral("検索 (Find)"));
    setClearButtonEnabled(true);
    hide();
    connect(this, &QLineEdit::textChanged, &m_finder, &TrackFinder::setText);
    connect(&m_finder, &TrackFinder::closed, this, [this] {
        if (!m_keepingOpen)
            hideField();
    });
    m_over.installEventFilter(this);
}

void FindField::open() {
    if (m_finder.isOpen()) {
        setFocus(Qt::ShortcutFocusReason);
        selectAll();
        return;
    }
    m_focusBefore = window()->focusWidget();
    m_finder.open();
    placeOver();
    show();
    raise();
    setFocus(Qt::ShortcutFocusReason);
}

void FindField::close() {
    m_finder.close(); // which hides the field, unless a refill keeps it open
    if (!isHidden())
        hideField();
}

void FindField::keepOpenThrough(const std::function<void()>& refill) {
    {
        const QScopedValueRollback keeping(m_keepingOpen, true);
        refill();
    }
    // Letters typed meanwhile (the refill lets events run) are in the field's text.
    if (!isHidden() && !m_finder.isOpen()) {
        m_finder.open();
        m_finder.setText(text());
    }
}

void FindField::hideField() {
    // The window's focus, whether or not the window is the active one (a tag card may be).
    const bool hadFocus = window()->focusWidget() == this;
    {
        const QSignalBlocker quiet(this);
        clear();
    }
    hide();
    if (hadFocus && m_focusBefore && m_focusBefore->isVisible())
        m_focusBefore->setFocus(Qt::OtherFocusReason);
}

void FindField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_transport.selectStart();
        break;
    case Qt::Key_Up:
        m_finder.step(-1);
        break;
    case Qt::Key_Down:
        m_finder.step(1);
        break;
    default:
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool FindField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_over && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeOver();
    return QLineEdit::eventFilter(watched, event);
}

void FindField::placeOver() {
    const QRect list = m_over.geometry();
    const int height = sizeHint().height();
    setGeometry(list.left(), list.bottom() + 1 - height, list.width(), height);
}

} // namespace sonavue
