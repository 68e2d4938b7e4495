// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/controls/keyboardaccess.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <utility>

namespace sonavue {
namespace {

// What a screen reader sees of a control with a KeyActivation: its role, its name (a
// label's own text when no name was given) and a press action that does what a click does.
class ActivatableAccessible : public QAccessibleWidget {
public:
    ActivatableAccessible(QWidget* widget, KeyActivation* activation)
        : QAccessibleWidget(widget, activation->role()), m_activation(activation) {}

    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty()) {
            if (const auto* label = qobject_cast<const QLabel*>(widget()))
                text = label->text().trimmed();
        }
        return text;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (!names.contains(pressAction()))
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& name) override {
        if (name == pressAction()) {
            if (m_activation && widget()->isEnabled())
                m_activation->activate();
            return;
        }
        QAccessibleWidget::doAction(name);
    }

private:
    QPointer<KeyActivation> m_activation;
};

QAccessibleInterface* activatableFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    KeyActivation* activation = KeyActivation::of(widget);
    return activation ? new ActivatableAccessible(widget, activation) : nullptr;
}

void installFactoryOnce() {
    // Qt keeps the factories for the whole process; one registration serves every window.
    static const bool installed = [] {
        QAccessible::installFactory(&activatableFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

bool isActivationKey(const QKeyEvent& key) {
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    return key.key() == Qt::Key_Space || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

void collectByPlace(QWidget& container, QList<QWidget*>& chain) {
    QList<QWidget*> children;
    for (QObject* child : container.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow())
            children << widget;
    }
    std::stable_sort(children.begin(), children.end(), [](const QWidget* a, const QWidget* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    for (QWidget* child : children) {
        if (child->focusPolicy() & Qt::TabFocus)
            chain << child; // a control: what lies inside it is its own business
        else
            collectByPlace(*child, chain);
    }
}

// A control Tab may stop at now: shown, enabled and taking the focus from Tab.
bool takesTab(const QWidget& control, const QWidget& window) {
    return (control.focusPolicy() & Qt::TabFocus) && control.isEnabled() &&
           control.isVisibleTo(&window);
}

// Of a group of option buttons, the one Tab stops at: the checked one, when there is one.
QWidget* optionStop(QWidget* control) {
    const auto* option = qobject_cast<QAbstractButton*>(control);
    if (!option || !option->isCheckable() || !option->autoExclusive() || option->isChecked() ||
        !control->parentWidget())
        return control;
    for (QAbstractButton* sibling :
         control->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        if (sibling->autoExclusive() && sibling->isChecked() && sibling->isEnabled())
            return sibling;
    }
    return control;
}

} // namespace

KeyActivation::KeyActivation(QWidget& control, QAccessible::Role role, std::function<void()> action)
    : QObject(&control), m_role(role), m_action(std::move(action)) {
    setObjectName(QStringLiteral("KeyActivation"));
}

KeyActivation* KeyActivation::attach(QWidget& control, QAccessible::Role role,
                                     std::function<void()> action) {
    installFactoryOnce();
    auto* activation = new KeyActivation(control, role, std::move(action));
    control.setFocusPolicy(Qt::StrongFocus);
    control.installEventFilter(activation);
    return activation;
}

KeyActivation* KeyActivation::of(const QObject* control) {
    return control ? control->findChild<KeyActivation*>(QStringLiteral("KeyActivation"),
                                                        Qt::FindDirectChildrenOnly)
                   : nullptr;
}

void KeyActivation::activate() {
    if (m_action)
        m_action(); // may close or delete the control: nothing of this object is used after
}

bool KeyActivation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isActivationKey(*key))
        return false;
    key->accept();
    // A held key acts once.
    if (!key->isAutoRepeat())
        activate();
    return true;
}

void drawFocusMark(QPainter& painter, const QRect& rect, const QColor& colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(colour, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(1, 1, -2, -2));
    painter.restore();
}

QList<QWidget*> focusOrderByPlace(QWidget& window) {
    QList<QWidget*> chain;
    collectByPlace(window, chain);
    return chain;
}

bool moveFocusByPlace(QWidget& window, bool forward) {
    QList<QWidget*> stops = focusOrderByPlace(window);
    stops.removeIf([&window](const QWidget* control) { return !takesTab(*control, window); });
    if (stops.isEmpty())
        return false;
    const QWidget* focus = window.focusWidget();
    const auto holder = std::find_if(stops.cbegin(), stops.cend(), [focus](const QWidget* stop) {
        return focus && (stop == focus || stop->isAncestorOf(focus));
    });
    const qsizetype count = stops.size();
    qsizetype next = forward ? 0 : count - 1;
    if (holder != stops.cend())
        next = (std::distance(stops.cbegin(), holder) + (forward ? 1 : count - 1)) % count;
    optionStop(stops[next])->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void orderFocusByPlace(QWidget& window) {
    const QList<QWidget*> chain = focusOrderByPlace(window);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace sonavue
