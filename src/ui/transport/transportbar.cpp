// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/transport/transportbar.h"

#include "playback/transport.h"
#include "ui/style/colours.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace sonavue {

// A transport button: reached with Tab; Space (as on every button) and also Enter and
// Return press it. Its symbol is drawn in a colour that stands out from the window behind it
// (the style's media icons are dark grey, which vanishes on a dark window colour).
class TransportButton : public QToolButton {
public:
    enum class Symbol { Play, Pause, Stop };

    TransportButton(Symbol symbol, QWidget* parent) : QToolButton(parent), m_symbol(symbol) {}

    void setSymbol(Symbol symbol) {
        m_symbol = symbol;
        update();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
            if (!event->isAutoRepeat())
                click();
            event->accept();
            return;
        }
        QToolButton::keyPressEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        QToolButton::paintEvent(event); // the panel while pointed at or pressed, the focus
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QColor ink =
            legibleInk(palette().color(QPalette::Window), palette().color(QPalette::ButtonText));
        if (!isEnabled())
            ink.setAlphaF(DisabledInkAlpha);
        painter.setBrush(ink);
        QRectF box(0, 0, SymbolSide, SymbolSide);
        box.moveCenter(QRectF(rect()).center());
        painter.drawPath(symbolPath(box));
    }

private:
    static constexpr qreal SymbolSide = 10;
    static constexpr qreal DisabledInkAlpha = 0.45;

    QPainterPath symbolPath(const QRectF& box) const {
        QPainterPath path;
        switch (m_symbol) {
        case Symbol::Play:
            path.addPolygon(QPolygonF{box.topLeft() + QPointF(1, 0),
                                      box.bottomLeft() + QPointF(1, 0),
                                      QPointF(box.right(), box.center().y())});
            path.closeSubpath();
            break;
        case Symbol::Pause: {
            const qreal bar = box.width() * 0.35;
            path.addRect(QRectF(box.left(), box.top(), bar, box.height()));
            path.addRect(QRectF(box.right() - bar, box.top(), bar, box.height()));
            break;
        }
        case Symbol::Stop:
            path.addRect(box.adjusted(1, 1, -1, -1));
            break;
        }
        return path;
    }

    Symbol m_symbol;
};

namespace {

constexpr int ButtonWidth = 28;
constexpr int ButtonHeight = 24;

TransportButton* makeButton(QWidget* parent, TransportButton::Symbol symbol, const QString& name,
                            const QString& description) {
    auto* button = new TransportButton(symbol, parent);
    button->setAccessibleName(name);
    button->setAccessibleDescription(description);
    button->setFixedSize(ButtonWidth, ButtonHeight);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

// Gives a control the description a screen reader reads; the reader is told only of a change
// (the clock is refreshed four times a second).
void describeAs(QWidget* control, const QString& description) {
    if (control->accessibleDescription() != description)
        control->setAccessibleDescription(description);
}

} // namespace

// The position slider: the style's groove with an outline of a given colour, under the handle.
class SeekSlider : public QSlider {
public:
    using QSlider::QSlider;

    void setOutlineColour(const QColor& colour) {
        m_outline = colour;
        update();
    }

protected:
    // A new position repaints the slider only when its handle moves by a pixel: a repaint of
    // any control recomposes the whole window with the web panel in it.
    void sliderChange(SliderChange change) override {
        if (change == SliderValueChange && handleRect() == m_paintedHandle)
            return;
        QSlider::sliderChange(change);
    }

    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionSlider option;
        initStyleOption(&option);
        m_paintedHandle =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
        option.subControls = QStyle::SC_SliderGroove;
        painter.drawComplexControl(QStyle::CC_Slider, option);
        if (m_outline.isValid()) {
            const QRect groove =
                style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
            painter.setPen(m_outline);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(groove.adjusted(0, 0, -1, -1));
        }
        option.subControls = QStyle::SC_SliderHandle;
        painter.drawComplexControl(QStyle::CC_Slider, option);
    }

public:
    // The pixels the handle travels over the range, as QSlider maps values to pixels.
    int span() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect groove =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        return std::max(1, groove.width() - handleRect().width());
    }

private:
    QRect handleRect() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    }

    QColor m_outline;
    QRect m_paintedHandle;
};

TransportBar::TransportBar(QWidget* parent)
    : QWidget(parent), m_playPause(makeButton(this, TransportButton::Symbol::Play, tr("Play"),
                                              tr("Plays or pauses the open file"))),
      m_stop(makeButton(this, TransportButton::Symbol::Stop, tr("Stop"),
                        tr("Stops playing the open file"))),
      m_time(new QLabel(this)), m_seek(new SeekSlider(Qt::Horizontal, this)) {
    // Two rows to fit 161 x 65 pixels: the buttons and the clock, then the slider.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(m_playPause);
    row->addWidget(m_stop);
    row->addWidget(m_time, 1);
    column->addLayout(row);
    column->addWidget(m_seek);

    m_time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont small = m_time->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_time->setFont(small);
    m_seek->setFocusPolicy(Qt::StrongFocus);
    // A screen reader reads the clock and the slider by what they are, with the times they
    // show as their descriptions.
    m_time->setAccessibleName(tr("Time (elapsed / total)"));
    m_seek->setAccessibleName(tr("Position"));
    setAccessibleName(tr("Media control"));
    m_playPause->setObjectName(QStringLiteral("playPause"));
    m_stop->setObjectName(QStringLiteral("stop"));
    m_time->setObjectName(QStringLiteral("time"));
    m_seek->setObjectName(QStringLiteral("position"));
    m_seek->setSingleStep(1000);
    m_seek->setPageStep(10000);

    connect(m_playPause, &QToolButton::clicked, this, &TransportBar::playPauseRequested);
    connect(m_stop, &QToolButton::clicked, this, &TransportBar::stopRequested);
    const auto seekToSlider = [this] { emit seekRequested(m_seek->sliderPosition()); };
    connect(m_seek, &QSlider::sliderReleased, this, seekToSlider);
    connect(m_seek, &QSlider::actionTriggered, this, [seekToSlider](int action) {
        // Clicks on the groove and keys; a drag seeks once, on release.
        if (action != QAbstractSlider::SliderMove)
            seekToSlider();
    });

    resize(DesignedWidth, DesignedHeight);
    setState(MediaControl::State::Closed, 0, -1);
}

void TransportBar::follow(Transport& transport) {
    connect(this, &TransportBar::playPauseRequested, &transport, &Transport::pauseOrResumeOpenFile);
    connect(this, &TransportBar::stopRequested, &transport, &Transport::stopOpenFile);
    connect(this, &TransportBar::seekRequested, &transport, &Transport::seekTo);
    connect(&transport, &Transport::progressChanged, this, &TransportBar::setState);
    connect(this, &TransportBar::positionStepChanged, &transport, &Transport::setShownPositionStep);
    setState(transport.state(), transport.positionMs(), transport.durationMs());
}

QSize TransportBar::sizeHint() const {
    return {DesignedWidth, DesignedHeight};
}

QSize TransportBar::minimumSizeHint() const {
    return {DesignedWidth, DesignedHeight};
}

void TransportBar::setOutlineColour(const QColor& colour) {
    m_seek->setOutlineColour(colour);
}

QString TransportBar::clockText(qint64 ms) {
    if (ms < 0)
        return QStringLiteral("--:--");
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void TransportBar::setState(MediaControl::State state, qint64 positionMs, qint64 durationMs) {
    using State = MediaControl::State;
    m_state = state;
    const bool open = state != State::Closed;
    setEnabled(open);

    // Only what changed is set again: every repaint recomposes the whole window.
    const bool playing = state == State::Playing;
    if (playing != m_shownPlaying) {
        m_shownPlaying = playing;
        m_playPause->setSymbol(playing ? TransportButton::Symbol::Pause
                                       : TransportButton::Symbol::Play);
        m_playPause->setAccessibleName(playing ? tr("Pause") : tr("Play"));
    }

    const qint64 position = open ? std::max<qint64>(positionMs, 0) : 0;
    const qint64 duration = open ? durationMs : -1;
    const QString elapsed = clockText(position);
    const QString total = clockText(duration);
    const QString clock = open ? elapsed + QStringLiteral(" / ") + total : QString();
    if (m_shownClock != clock) {
        m_shownClock = clock;
        m_time->setText(clock);
        describeAs(m_time, clock);
        describeAs(m_seek, open ? tr("%1 of %2").arg(elapsed, total) : QString());
    }
    // The slider counts milliseconds; it cannot move while the length is unknown.
    const int maximum = duration > 0 ? int(std::min<qint64>(duration, INT_MAX)) : 0;
    m_seek->setEnabled(maximum > 0);
    if (!m_seek->isSliderDown()) {
        const QSignalBlocker quiet(m_seek);
        m_seek->setRange(0, maximum);
        m_seek->setValue(int(std::min<qint64>(position, maximum)));
    }
    // The clock need be read no oftener than the handle can move (at least once a second).
    const qint64 step = maximum > 0 ? std::max<qint64>(1, maximum / m_seek->span()) : 1000;
    if (step != m_positionStepMs) {
        m_positionStepMs = step;
        emit positionStepChanged(step);
    }
}

} // namespace sonavue
