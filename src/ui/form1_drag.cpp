// The main window's title strip: dragging the window by it, its double-click, and the
// size label's compact/full switch; the background window following the main window.
#include "ui/form1.h"

#include "ui/backgroundwindow.h"
#include "ui/layoutrules.h"
#include "ui/settingsframe.h"
#include "ui/titlestrip.h"
#include "ui/twips.h"
#include "ui/windowdrag.h"

namespace sonavue {

void Form1::Label9_Click() {
    const WindowSize size = compactOrFull(twips(height()));
    resize(px(size.width), px(size.height));
    if (Frame1->backgroundShown() && m_form4)
        m_form4->resize(m_form4->width(), height());
    if (Frame1->backgroundShown() && m_form4)
        m_form4->resize(width(), m_form4->height());
}

void Form1::wireTitleStrip() {
    m_windowDrag = new WindowDrag(*this);
    // The background window hides while the window moves and comes back behind it after.
    connect(m_windowDrag, &WindowDrag::started, this, [this] {
        if (m_form4)
            m_form4->hide();
    });
    connect(m_windowDrag, &WindowDrag::finished, this, &Form1::finishTitleDrag);

    connect(Picture1, &TitleStrip::sizeSwitchRequested, this, [this] { Label9_Click(); });
    connect(Picture1, &TitleStrip::closeRequested, this, [this] { close(); });
    connect(Picture1, &TitleStrip::layoutSwitchRequested, this, [this] {
        m_windowDrag->cancel();
        Form_KeyDown(Qt::Key_W, 0);
    });
    connect(Picture1, &TitleStrip::dragArmed, m_windowDrag, &WindowDrag::arm);
    connect(Picture1, &TitleStrip::dragStarted, m_windowDrag, &WindowDrag::start);
    connect(Picture1, &TitleStrip::dragMoved, m_windowDrag, &WindowDrag::moveTo);
    connect(Picture1, &TitleStrip::dragReleased, m_windowDrag, &WindowDrag::release);
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!m_windowDrag)
        return; // still being built
    m_windowDrag->windowMoved();
    if (m_windowDrag->idle())
        alignBackground();
}

void Form1::finishTitleDrag() {
    if (m_form4) {
        m_form4->init();
        if (Frame1->backgroundShown()) {
            m_form4->show();
            m_form4->lower();
        }
    }
    activateWindow();
}

void Form1::alignBackground() {
    // The background lies exactly behind the main window whenever it is shown; during a drag
    // it is hidden and is placed once the drag has ended.
    if (m_form4 && m_form4->isVisible() && m_windowDrag->idle())
        m_form4->follow();
}

} // namespace sonavue
