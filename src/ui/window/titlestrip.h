// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The title strip along the window's top: the window is dragged by it, a double-click on it
// switches the layout, its size label switches between compact and full size and its cross
// closes the window. It turns the mouse into requests for the main window.
#include <QPoint>
#include <QWidget>

class QLabel;

namespace sonavue {

class ImageButton;

class TitleStrip : public QWidget {
    Q_OBJECT
public:
    explicit TitleStrip(QWidget* parent);

    int closeButtonWidth() const;
    // The close button keeps to the strip's right end as the window's width changes.
    void placeCloseButton(int left);
    // The strip keeps its light green whatever the window's colour, and its " -  " label the
    // text colour of that green; call after the window's palette changed.
    void keepOwnColours();

signals:
    // A click on the size label, by mouse or keyboard.
    void sizeSwitchRequested();
    void closeRequested();
    // A double-click on the strip itself.
    void layoutSwitchRequested();
    // The left button went down on the strip: a drag may follow.
    void dragArmed(QPoint pressGlobal);
    // The pointer moved the start distance with the left button held since the press.
    void dragStarted(QPoint pressGlobal, QPoint global);
    // The pointer moves on during a drag.
    void dragMoved(QPoint global);
    // A button let go on the strip: a click when no drag started, else the drag's end.
    void dragReleased(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleSizeLabelMouse(QEvent* event);

    enum class Gesture { None, Armed, Dragging };
    QLabel* m_sizeLabel = nullptr;
    ImageButton* m_closeButton = nullptr;
    Gesture m_gesture = Gesture::None;
    QPoint m_pressGlobal;
    // The size label's second press of a double-click is no click of its own.
    bool m_sizeLabelDoubleClick = false;
};

} // namespace sonavue
