#pragma once
// One group tab: a small text label that reports clicks and the pointer passing over it.
#include <QLabel>

namespace sonavue {

class TabLabel : public QLabel {
    Q_OBJECT
public:
    TabLabel(const QString& caption, QWidget* parent);
    void setBordered(bool on);
    void setBoldLook(bool on);
    bool isBordered() const { return m_bordered; }
    bool isBoldLook() const { return font().bold(); }

signals:
    void clicked();
    void pointerMoved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool m_bordered = false;
};

} // namespace sonavue
