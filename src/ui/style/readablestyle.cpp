// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/style/readablestyle.h"

#include "ui/style/colours.h"

#include <QCoreApplication>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>

namespace sonavue {
namespace {

// 11 pixels leave room for "MID" between the designed places of two file-type boxes.
constexpr int IndicatorSize = 11;
constexpr int LabelSpacing = 3;
// The caption starts a little in from the frame's left edge, with a gap in the line
// around it.
constexpr int CaptionIndent = 6;
constexpr int CaptionPadding = 2;
// Frame lines are quieter than the marks and the text they surround.
constexpr double FrameLineAlpha = 0.5;
// A scroll bar's handle face keeps clear of the groove's outline.
constexpr int HandleInset = 2;

QColor markColour(const QStyleOption& option) {
    return legibleInk(option.palette.color(QPalette::Window),
                      option.palette.color(QPalette::WindowText));
}

QRect squareIn(const QRect& rect) {
    const int side = std::min({rect.width(), rect.height(), IndicatorSize});
    QRect square(0, 0, side, side);
    square.moveCenter(rect.center());
    return square;
}

const QStyleOptionGroupBox* titledGroupBox(const QStyleOptionComplex* option) {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    return box && !box->text.isEmpty() ? box : nullptr;
}

} // namespace

int ReadableStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                               const QWidget* widget) const {
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return IndicatorSize;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return LabelSpacing;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void ReadableStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    if (option && painter && element == PE_IndicatorCheckBox)
        drawCheckBox(*option, *painter);
    else if (option && painter && element == PE_IndicatorRadioButton)
        drawRadioButton(*option, *painter);
    else
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    // The base style's frame keeps what it shows inside (a text box's focus); its outer line,
    // drawn in a colour of the window, may vanish on it.
    if (option && painter && (element == PE_Frame || element == PE_FrameLineEdit))
        drawOutline(*option, *painter);
}

void ReadableStyle::drawOutline(const QStyleOption& option, QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(markColour(option), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void ReadableStyle::drawCheckBox(const QStyleOption& option, QPainter& painter) const {
    const QRect box = squareIn(option.rect);
    const QColor ink = markColour(option);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ink, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (option.state & State_On) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QRectF inner = QRectF(box).adjusted(2.5, 2.5, -2.5, -2.5);
        const QPointF tick[3] = {{inner.left(), inner.center().y()},
                                 {inner.left() + inner.width() * 0.4, inner.bottom()},
                                 {inner.right(), inner.top()}};
        painter.drawPolyline(tick, 3);
    } else if (option.state & State_NoChange) {
        painter.fillRect(box.adjusted(3, 3, -3, -3), ink);
    }
    painter.restore();
}

void ReadableStyle::drawRadioButton(const QStyleOption& option, QPainter& painter) const {
    const QRectF circle = QRectF(squareIn(option.rect)).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor ink = markColour(option);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(ink, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
    if (option.state & State_On) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(circle.adjusted(2.5, 2.5, -2.5, -2.5));
    }
    painter.restore();
}

QRect ReadableStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                    SubControl sub, const QWidget* widget) const {
    const QStyleOptionGroupBox* box = control == CC_GroupBox ? titledGroupBox(option) : nullptr;
    if (!box)
        return QProxyStyle::subControlRect(control, option, sub, widget);
    const int captionHeight = box->fontMetrics.height();
    switch (sub) {
    case SC_GroupBoxLabel:
        return QRect(CaptionIndent, 0,
                     box->fontMetrics.horizontalAdvance(box->text) + 2 * CaptionPadding,
                     captionHeight);
    case SC_GroupBoxFrame:
        return box->rect.adjusted(0, captionHeight / 2, 0, 0);
    case SC_GroupBoxContents:
        return box->rect.adjusted(1, captionHeight, -1, -1);
    default:
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }
}

void ReadableStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                       QPainter* painter, const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control == CC_GroupBox && box && painter) {
        drawFrame(*box, *painter, widget);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ScrollBar && option && painter)
        drawScrollBarMarks(*option, *painter, widget);
}

void ReadableStyle::drawScrollBarMarks(const QStyleOptionComplex& bar, QPainter& painter,
                                       const QWidget* widget) const {
    // The base style draws the groove and the handle in shades of the window colour, which
    // vanish on a dark or a middle one: the groove gets an outline and the handle a face in
    // the marks' colour.
    const QColor ink = markColour(bar);
    const QRect groove = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarGroove, widget);
    const QRect handle = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarSlider, widget);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ink, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(groove.adjusted(0, 0, -1, -1));
    if (handle.isValid() && (bar.state & State_Enabled))
        painter.fillRect(handle.adjusted(HandleInset, HandleInset, -HandleInset, -HandleInset),
                         ink);
    painter.restore();
}

void ReadableStyle::drawFrame(const QStyleOptionGroupBox& box, QPainter& painter,
                              const QWidget* widget) const {
    const bool titled = !box.text.isEmpty();
    const QRect caption =
        titled ? subControlRect(CC_GroupBox, &box, SC_GroupBoxLabel, widget) : QRect();
    const QRect frame =
        titled ? subControlRect(CC_GroupBox, &box, SC_GroupBoxFrame, widget) : box.rect;
    QColor line = markColour(box);
    line.setAlphaF(FrameLineAlpha);

    painter.save();
    // The line stops either side of the caption instead of running through it.
    const QRegion around = painter.hasClipping() ? painter.clipRegion() : QRegion(box.rect);
    painter.setClipRegion(around.subtracted(caption));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(line, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter.restore();

    if (titled)
        proxy()->drawItemText(&painter, caption.adjusted(CaptionPadding, 0, -CaptionPadding, 0),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box.palette,
                              box.state & State_Enabled, box.text, QPalette::WindowText);
}

void useReadableStyle(QWidget& window, const QList<QWidget*>& widgets) {
    auto* style = new ReadableStyle;
    style->setParent(QCoreApplication::instance());
    QObject::connect(&window, &QObject::destroyed, style, &QObject::deleteLater);
    for (QWidget* widget : widgets)
        widget->setStyle(style);
}

} // namespace sonavue
