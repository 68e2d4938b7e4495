// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The colour palette. It is drawn at the screen's pixel density without blending
// its colour blocks, and it can be used from the keyboard: the arrow keys move a marker over
// it (with Shift, ten pixels at a time) and Space, Enter or Return picks the colour under
// the marker, as a left-button release there does.
#include <QImage>
#include <QLabel>
#include <QPixmap>

class QMouseEvent;

namespace sonavue {

class PalettePicture : public QLabel {
    Q_OBJECT
public:
    explicit PalettePicture(QWidget* parent = nullptr);

    // The marker, in the palette picture's pixels (= the control's logical pixels).
    QPoint marker() const { return m_marker; }
    void setMarker(QPoint point);
    QSize sizeHint() const override;

    // The palette at `dpr` device pixels per logical pixel: every device pixel takes the
    // colour of the logical pixel it lies in.
    static QPixmap pictureAt(qreal dpr);
    // The palette pixel under a mouse event: in the control beyond the picture, the picture's
    // nearest edge pixel; outside the control, a point outside the image.
    QPoint pixelUnder(const QMouseEvent& event) const;

signals:
    // Space, Enter or Return: the colour at `point` is chosen.
    void picked(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void describeMarker();

    QImage m_image;
    QPixmap m_picture; // m_image at the density last painted
    QPoint m_marker;
};

} // namespace sonavue
