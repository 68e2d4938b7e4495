// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/transport/volumebar.h"

#include "ui/style/readablestyle.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace sonavue {
namespace {

// What a screen reader reads of the volume bar: a slider whose value is the level, loudest at
// 255, as the level label shows it, not the scroll bar's position, which counts down.
class VolumeBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit VolumeBarAccessible(VolumeBar* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return QString::number(bar()->level());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->level(); }
    void setCurrentValue(const QVariant& value) override { bar()->setLevel(value.toInt()); }
    QVariant maximumValue() const override { return VolumeBar::Loudest; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

private:
    VolumeBar* bar() const { return static_cast<VolumeBar*>(widget()); }
};

QAccessibleInterface* volumeBarFactory(const QString&, QObject* object) {
    auto* bar = qobject_cast<VolumeBar*>(object);
    return bar ? new VolumeBarAccessible(bar) : nullptr;
}

} // namespace

VolumeBar::VolumeBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    // Qt keeps the factories for the whole process; one registration serves every bar.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&volumeBarFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // A plain scroll bar has its minimum at the top and its arrows, wheel and keys agree with
    // that; the position counts down from the loudest level, so nothing needs inverting.
    setRange(0, Loudest);
    useReadableStyle(*this, {this}); // its groove and handle show on every window colour
    connect(this, &QScrollBar::valueChanged, this, [this] {
        // The scroll bar has told of its position; a screen reader is told the level.
        QAccessibleValueChangeEvent changed(this, level());
        QAccessible::updateAccessibility(&changed);
        emit levelChanged(level());
    });
}

} // namespace sonavue
