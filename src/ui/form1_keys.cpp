// The main window's wiring: controls to handlers, key preview and the W layout switch.
#include "ui/form1.h"

#include "playback/transportbar.h"
#include "ui/backgroundwindow.h"
#include "ui/imagebutton.h"
#include "ui/tabsel.h"
#include "web/webpanel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace sonavue {

void Form1::wireControls() {
    connect(Command1, &QPushButton::clicked, this, [this] { m_player->Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { m_player->Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { m_player->Command4_Click(); });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int v) { NewVolume(v); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(&Timer1, &QTimer::timeout, &Timer1, &QTimer::stop);

    // Option buttons and check boxes run their click handling whenever their value
    // changes, from the user or from code.
    for (int i = 0; i < 2; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
        connect(OptionBack[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptionBack_Click(i);
        });
    }
    for (int i = 0; i < 3; ++i) {
        connect(Optionfont[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Optionfont_Click(i);
        });
        connect(Check1[i], &QCheckBox::toggled, this, [this, i] { Check1_Click(i); });
    }

    for (int i = 0; i < GroupCount; ++i) {
        connect(TabSel[i], &TabLabel::clicked, this, [this, i] { TabSel_Click(i); });
        connect(TabSel[i], &TabLabel::pointerMoved, this, [this, i] { TabSel_MouseMove(i); });
        QListView* list = TagGroupe[i];
        connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this, i](const QModelIndex& current) {
                    m_groupChangeSeen[std::size_t(i)] = true;
                    if (current.isValid())
                        TagGroupe_Click(i);
                });
        // A click on the entry that is already selected fills the track list again.
        connect(list, &QListView::clicked, this, [this, i] {
            if (!m_groupChangeSeen[std::size_t(i)])
                TagGroupe_Click(i);
            m_groupChangeSeen[std::size_t(i)] = false;
        });
    }

    connect(ListName->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ListName_Click(); });
    connect(ListName->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { ListName_Scroll(); });
    // Scrolling the numbers scrolls the titles with them.
    connect(ListNo->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_syncingScroll)
            ListName->verticalScrollBar()->setValue(value);
    });
    connect(ListNo->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != trackListSelectedIndex())
                    selectTrack(current.row());
            });
    connect(ListName, &QListView::pressed, this, [this] { ListName_MouseDown(); });
    connect(ListName, &QListView::doubleClicked, this, [this] { ListName_DblClick(); });
    connect(OptionList, &QListWidget::itemDoubleClicked, this, [this] { OptionList_DblClick(); });

    connect(Image1, &ImageButton::clicked, this, [this] {
        if (Web1)
            Web1->goHome();
    });
    connect(Image2, &ImageButton::clicked, this, [this] { close(); });
    connect(Image3, &ImageButton::clicked, this, [this] {
        if (Web1)
            Web1->GoBack();
    });
    if (Web1)
        connect(Web1, &WebPanel::gotFocus, this, [this] { focusset(); });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        handlePreviewKey(watched, event);
        return false; // the key still reaches the focused control
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        for (int i = 0; i < GroupCount; ++i) {
            if (watched == TagGroupe[std::size_t(i)]->viewport())
                m_groupChangeSeen[std::size_t(i)] = false;
        }
        if (watched == Label9)
            return true; // the size label's click, not a drag
        if (watched == Picture1 && mouse->button() == Qt::LeftButton) {
            startTitleDrag(mouse->globalPosition().toPoint());
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (watched == Picture1 && m_dragging && m_manualDrag) {
            move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - m_dragOffset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == Picture1 && m_dragging && m_manualDrag) {
            finishTitleDrag();
            return true;
        }
        if (watched == Label9 && mouse->button() == Qt::LeftButton &&
            Label9->rect().contains(mouse->position().toPoint())) {
            Label9_Click();
            return true;
        }
        if (watched == Picture2) {
            const QPoint p = mouse->position().toPoint();
            Picture2_MouseUp(mouse->button(), p.x(), p.y());
            return true;
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (watched == Picture1) {
            Form_KeyDown(Qt::Key_W, 0);
            return true;
        }
        break;
    case QEvent::FocusOut:
        if (watched == OptionList)
            OptionList_Validate();
        break;
    case QEvent::ToolTip:
        // The transport bar's tool tip shows the group position kept on the element.
        if (watched == MMControl1Bar)
            MMControl1Bar->setToolTip(m_media->ToolTipText);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool Form1::handlePreviewKey(QObject* receiver, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || widget->window() != this || m_unloaded)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // An unhandled key travels up to the parents as the same event: preview it once.
    QWidget* previous = m_lastPreviewedReceiver.data();
    const bool travelling = event == m_lastPreviewedKey && previous &&
                            widget->isAncestorOf(previous) && key->key() == m_lastPreviewedKeyCode;
    m_lastPreviewedKey = event;
    m_lastPreviewedReceiver = widget;
    m_lastPreviewedKeyCode = key->key();
    if (travelling)
        return false;
    int shift = 0;
    if (key->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (key->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (key->modifiers() & Qt::AltModifier)
        shift |= 4;
    Form_KeyDown(key->key(), shift);
    return true;
}

void Form1::mouseDoubleClickEvent(QMouseEvent* event) {
    // Only the window's bare background shows the about line.
    if (!childAt(event->position().toPoint()))
        showAboutLine();
    QWidget::mouseDoubleClickEvent(event);
}

void Form1::Form_KeyDown(int keyCode, int shift) {
    const bool ctrlOnly = shift == 2;
    switch (keyCode) {
    case Qt::Key_W:
        layoutAction();
        break;
    case Qt::Key_Q:
        if (ctrlOnly)
            close();
        break;
    case Qt::Key_S:
        if (ctrlOnly)
            m_player->Command4_Click();
        else
            m_player->Command3_Click();
        break;
    case Qt::Key_C:
        if (ctrlOnly)
            OptionList->clear();
        break;
    default:
        break;
    }
}

void Form1::layoutAction() {
    // A minimized window has no layout to switch.
    if (windowState() & Qt::WindowMinimized)
        return;
    const bool big = !(windowState() & Qt::WindowMaximized);
    setWindowState(big ? Qt::WindowMaximized : Qt::WindowNoState);
    for (QWidget* control : std::initializer_list<QWidget*>{MMControl1Bar, Command1, Picture1,
                                                            Frame1, Command3, Command4, VScroll1})
        control->setVisible(!big);
    QCoreApplication::processEvents();
    repaint();
    if (OptionBack[0]->isChecked()) {
        if (!m_form4)
            m_form4 = new Form4(this);
        m_form4->show();
        m_form4->init();
    }
    if (big) {
        setTopmost(true);
        move(0, 0);
    }
}

} // namespace sonavue
