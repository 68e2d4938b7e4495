// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/backgroundwindow.h"

#include "ui/window/x11window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QShowEvent>

#include <cmath>
#include <filesystem>

namespace sonavue {
namespace {

constexpr int PictureWidth = 1181;
constexpr int PictureHeight = 869;

// Layered hills: a wave along the bottom of the picture.
QPainterPath hill(qreal baseline, qreal amplitude, qreal wavelength, qreal phase) {
    QPainterPath path;
    path.moveTo(0, PictureHeight);
    for (int step = 0; step <= PictureWidth + 7; step += 8) {
        const int x = qMin(step, PictureWidth); // the last point lands on the right edge
        const qreal y = baseline + amplitude * std::sin(x / wavelength + phase) +
                        amplitude * 0.35 * std::sin(x / (wavelength * 0.43) + phase * 1.7);
        path.lineTo(x, y);
    }
    path.lineTo(PictureWidth, PictureHeight);
    path.closeSubpath();
    return path;
}

} // namespace

BackgroundWindow::BackgroundWindow(QWidget* mainWindow) : m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("Form4"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint |
                   Qt::WindowDoesNotAcceptFocus);
    // Lying behind the main window, it must not keep the program alive after it.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_picture = pictureFromCurrentFolder();
    m_builtIn = m_picture.isNull();
    if (m_builtIn)
        m_picture = builtInPicture();
    init();
}

QImage BackgroundWindow::pictureFromCurrentFolder() {
    const QString path = QDir::current().filePath(QStringLiteral("backimage.jpg"));
    // Only a regular file is read: a folder or a pipe of that name is no picture, and
    // reading a pipe would block.
    std::error_code error;
    if (!std::filesystem::is_regular_file(QFile::encodeName(path).toStdString(), error))
        return {};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage BackgroundWindow::builtInPicture(qreal dpr) {
    // Drawn in logical pixels; the image holds dpr times as many device pixels.
    QImage image(qRound(PictureWidth * dpr), qRound(PictureHeight * dpr), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF whole(0, 0, PictureWidth, PictureHeight);

    // Evening sky: deep blue at the top through rose to a warm glow near the horizon.
    QLinearGradient sky(0, 0, PictureWidth * 0.25, PictureHeight);
    sky.setColorAt(0.0, QColor(38, 46, 96));
    sky.setColorAt(0.45, QColor(132, 108, 168));
    sky.setColorAt(0.75, QColor(226, 160, 170));
    sky.setColorAt(1.0, QColor(248, 212, 172));
    painter.fillRect(whole, sky);

    // A low sun with a wide halo.
    const QPointF sun(PictureWidth * 0.68, PictureHeight * 0.62);
    QRadialGradient halo(sun, PictureHeight * 0.55);
    halo.setColorAt(0.0, QColor(255, 236, 200, 230));
    halo.setColorAt(0.12, QColor(255, 214, 170, 150));
    halo.setColorAt(1.0, QColor(255, 190, 170, 0));
    painter.fillRect(whole, halo);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 244, 222));
    painter.drawEllipse(sun, 46, 46);

    // Soft round lights scattered over the sky; a fixed seed keeps the picture the same.
    QRandomGenerator random(20240517u);
    for (int i = 0; i < 36; ++i) {
        const QPointF centre(random.bounded(PictureWidth), random.bounded(PictureHeight * 2 / 3));
        const qreal radius = 6 + random.bounded(34);
        QRadialGradient light(centre, radius);
        light.setColorAt(0.0, QColor(255, 255, 255, 70 + random.bounded(60)));
        light.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.setBrush(light);
        painter.drawEllipse(centre, radius, radius);
    }

    // Three ranges of hills, the nearest darkest.
    const struct {
        qreal baseline, amplitude, wavelength, phase;
        QColor colour;
    } ranges[] = {
        {PictureHeight * 0.70, 34, 150, 0.4, QColor(96, 84, 140, 200)},
        {PictureHeight * 0.79, 28, 118, 2.1, QColor(62, 58, 110, 225)},
        {PictureHeight * 0.89, 22, 96, 4.0, QColor(34, 34, 72, 245)},
    };
    for (const auto& range : ranges) {
        painter.setBrush(range.colour);
        painter.drawPath(hill(range.baseline, range.amplitude, range.wavelength, range.phase));
    }
    painter.end();
    return image;
}

void BackgroundWindow::init() {
    follow();
    giveMainWindowFocus();
}

void BackgroundWindow::follow() {
    if (!m_mainWindow)
        return;
    const QRect main = m_mainWindow->frameGeometry();
    // The size first, then the place.
    resize(main.size());
    move(main.topLeft());
    lower();
}

void BackgroundWindow::giveMainWindowFocus() {
    if (m_mainWindow && m_mainWindow->isVisible())
        m_mainWindow->activateWindow();
}

void BackgroundWindow::showEvent(QShowEvent* event) {
    // Before the window is mapped: a window manager forgets the states of a hidden window.
    leaveOutOfTaskbarAndPager(*this);
    QWidget::showEvent(event);
    // Showing a window may bring it forward: send it back behind the main window.
    lower();
    giveMainWindowFocus();
}

void BackgroundWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The picture never keeps the focus: a platform that activates it anyway (on showing
    // or on a click) sees it handed straight back to the main window.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        giveMainWindowFocus();
}

void BackgroundWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The built-in picture is drawn again for a screen of another pixel density, so that it
    // is never enlarged from fewer pixels than the screen shows.
    const qreal dpr = painter.device()->devicePixelRatioF();
    if (m_builtIn && !qFuzzyCompare(m_picture.devicePixelRatio(), dpr))
        m_picture = builtInPicture(dpr);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_picture);
}

} // namespace sonavue
