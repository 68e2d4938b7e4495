#pragma once
// A picture button: element 0 shows the released picture, and the pressed one while any
// mouse button is down on it. The pictures are drawn by the program.
#include <QPixmap>
#include <QWidget>

namespace sonavue {

class ImageButton : public QWidget {
    Q_OBJECT
public:
    ImageButton(QPixmap released, QPixmap pressed, QWidget* parent = nullptr);
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
    QPixmap m_releasedPicture;
    QPixmap m_pressedPicture;
    bool m_pressed = false;
};

struct ButtonPictures {
    QPixmap released;
    QPixmap pressed;
};
ButtonPictures homeButtonPictures();  // 59 x 20, the word Home
ButtonPictures closeButtonPictures(); // 24 x 24, a cross
ButtonPictures backButtonPictures();  // 24 x 24, a left arrow

} // namespace sonavue
