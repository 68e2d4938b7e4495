// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The background window: the picture that lies exactly behind the translucent
// main window. It is part of the main window, not a window of its own: it stays below every
// ordinary window (so never above the main window) and has no entry in task bars, pagers or window
// switchers.
#include <QImage>
#include <QPointer>
#include <QWidget>

namespace sonavue {

class BackgroundWindow : public QWidget {
    Q_OBJECT
public:
    // Loads "backimage.jpg" from the current folder when it is a picture, else keeps the
    // built-in picture; then init(). The window has no owner: whoever opens it closes and
    // deletes it.
    explicit BackgroundWindow(QWidget* mainWindow);

    // Takes the main window's width, height, top and left, goes to the bottom of the
    // stacking order and gives the main window the focus.
    void init();
    // Takes the main window's place and size again and stays at the back, leaving the focus
    // where it is: for the main window's own moves and resizes.
    void follow();
    const QImage& picture() const { return m_picture; }
    bool usingBuiltInPicture() const { return m_builtIn; }

    // The program's own picture, about 1181 x 869 logical pixels, drawn at dpr device pixels
    // per logical pixel.
    static QImage builtInPicture(qreal dpr = 1.0);
    // The picture file of the current folder, or a null image when there is none that
    // loads as a picture.
    static QImage pictureFromCurrentFolder();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void giveMainWindowFocus();

    QPointer<QWidget> m_mainWindow;
    QImage m_picture;
    bool m_builtIn = true;
};

} // namespace sonavue
