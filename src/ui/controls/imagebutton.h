// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A picture button: element 0 shows the released picture, and the pressed one while any
// mouse button is down on it. The pictures are drawn by the program, at the pixel density
// of the screen the button is shown on. It takes the focus with Tab and acts on Space,
// Enter and Return; screen readers see a button.
#include <QPixmap>
#include <QWidget>

#include <functional>

namespace sonavue {

struct ButtonPictures {
    QPixmap released;
    QPixmap pressed;
};
// Draws both looks at a number of device pixels per logical pixel.
using ButtonPainter = std::function<ButtonPictures(qreal dpr)>;

class ImageButton : public QWidget {
    Q_OBJECT
public:
    // Fixed pictures, shown as they are at every density.
    ImageButton(QPixmap released, QPixmap pressed, QWidget* parent = nullptr);
    // Pictures drawn again whenever the button is painted at another density.
    explicit ImageButton(ButtonPainter painter, QWidget* parent = nullptr);
    bool isPressedLook() const { return m_pressed; }
    const QPixmap& currentPicture() const {
        return m_pressed ? m_pressedPicture : m_releasedPicture;
    }
    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void makeKeyboardReachable();

    ButtonPainter m_painter;
    QPixmap m_releasedPicture;
    QPixmap m_pressedPicture;
    bool m_pressed = false;
};

// The looks in logical pixels; the pixmaps hold dpr times as many device pixels.
ButtonPictures homeButtonPictures(qreal dpr = 1.0);  // 59 x 20, the word Home
ButtonPictures closeButtonPictures(qreal dpr = 1.0); // 24 x 24, a cross
ButtonPictures backButtonPictures(qreal dpr = 1.0);  // 24 x 24, a left arrow

} // namespace sonavue
