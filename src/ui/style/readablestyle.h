// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The look of the settings frame's small controls, readable on every window colour:
// - option circles and check boxes are outlines in a colour that stands out from the
//   window (the text colour, or black or white where that would not show), small enough
//   that a caption fits before the next control, with no filled box to cover a neighbour;
// - a frame's caption sits on the frame's top line, which stops short of it, so the
//   caption needs no room above the frame and the controls below keep clear of the line;
// - the outline of a list or a text box is drawn in that same colour, so that on a dark,
//   middle or saturated window colour the box still shows where it ends;
// - a scroll bar's groove is outlined, and its handle filled, in that colour too.
#include <QList>
#include <QProxyStyle>

class QStyleOptionGroupBox;

namespace sonavue {

class ReadableStyle : public QProxyStyle {
public:
    ReadableStyle() = default;

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

private:
    void drawCheckBox(const QStyleOption& option, QPainter& painter) const;
    void drawRadioButton(const QStyleOption& option, QPainter& painter) const;
    void drawOutline(const QStyleOption& option, QPainter& painter) const;
    void drawFrame(const QStyleOptionGroupBox& box, QPainter& painter, const QWidget* widget) const;
    void drawScrollBarMarks(const QStyleOptionComplex& bar, QPainter& painter,
                            const QWidget* widget) const;
};

// Gives `widgets` one ReadableStyle. Widgets still consult their style while they are
// destroyed, so the style is released only after `window` (which holds them) is gone.
void useReadableStyle(QWidget& window, const QList<QWidget*>& widgets);

} // namespace sonavue
