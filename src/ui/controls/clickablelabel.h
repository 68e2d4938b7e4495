// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Labels that act as controls. Each takes the focus with Tab, shows where the focus is,
// reports a left-button press and Space, Enter or Return as a click, and is seen by screen
// readers in the role it is given, with a press action.
#include <QAccessible>
#include <QLabel>

namespace sonavue {

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    ClickableLabel(const QString& caption, QAccessible::Role role, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// One group tab: a small text label that reports clicks and the pointer passing over it.
class TabLabel : public ClickableLabel {
    Q_OBJECT
public:
    TabLabel(const QString& caption, QWidget* parent);
    void setBordered(bool on);
    void setBoldLook(bool on);
    bool isBordered() const { return m_bordered; }
    bool isBoldLook() const { return font().bold(); }

signals:
    void pointerMoved();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool m_bordered = false;
};

} // namespace sonavue
