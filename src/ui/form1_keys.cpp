// The main window's wiring: controls to handlers, key preview and the W layout switch.
#include "ui/form1.h"

#include "playback/transportbar.h"
#include "ui/backgroundwindow.h"
#include "ui/imagebutton.h"
#include "ui/settingsframe.h"
#include "ui/tabsel.h"
#include "ui/titlestrip.h"
#include "ui/volumebar.h"
#include "web/webpanel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>

namespace sonavue {

void Form1::wireControls() {
    connect(Command1, &QPushButton::clicked, this, [this] { m_player->Command1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { m_player->Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { m_player->Command4_Click(); });
    connect(VScroll1, &VolumeBar::levelChanged, this, [this](int level) { NewVolume(level); });
    connect(&Timer1, &QTimer::timeout, &Timer1, &QTimer::stop);
    wireTitleStrip();
    wireSettingsFrame();

    for (int i = 0; i < GroupCount; ++i) {
        connect(TabSel[i], &TabLabel::clicked, this, [this, i] { TabSel_Click(i); });
        connect(TabSel[i], &TabLabel::pointerMoved, this, [this, i] { TabSel_MouseMove(i); });
        QListView* list = TagGroupe[i];
        // The selection, not the current index: a mouse press moves the current index before
        // it selects the entry, and the click must see the entry it selected.
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, i] {
            m_groupChangeSeen[std::size_t(i)] = true;
            if (groupListSelectedIndex(i) >= 0)
                TagGroupe_Click(i);
        });
        // A click on the entry that is already selected fills the track list again.
        connect(list, &QListView::clicked, this, [this, i] {
            if (!m_groupChangeSeen[std::size_t(i)])
                TagGroupe_Click(i);
            m_groupChangeSeen[std::size_t(i)] = false;
        });
    }

    // The two columns of the track list follow each other's selection, for clicks, keys and
    // drags alike.
    connect(ListName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ListName_Click(); });
    connect(ListName->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { ListName_Scroll(); });
    // Scrolling the numbers scrolls the titles with them.
    connect(ListNo->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_syncingScroll)
            ListName->verticalScrollBar()->setValue(value);
    });
    connect(ListNo->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const int row = listNoSelectedIndex();
        if (row >= 0 && row != trackListSelectedIndex())
            selectTrack(row);
    });
    connect(ListName, &QListView::pressed, this, [this] { ListName_MouseDown(); });
    connect(ListName, &QListView::doubleClicked, this, [this] { ListName_DblClick(); });
    connect(OptionList, &QListWidget::itemDoubleClicked, this, [this] { OptionList_DblClick(); });

    connect(Image1, &ImageButton::clicked, this, [this] {
        if (Web1)
            Web1->goHome();
    });
    connect(Image3, &ImageButton::clicked, this, [this] {
        if (Web1)
            Web1->GoBack();
    });
    if (Web1)
        connect(Web1, &WebPanel::gotFocus, this, [this] { focusset(); });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (m_unloaded)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return handlePreviewKey(watched, event);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (event->type() == QEvent::MouseButtonPress) {
            for (int i = 0; i < GroupCount; ++i) {
                if (watched == TagGroupe[std::size_t(i)]->viewport())
                    m_groupChangeSeen[std::size_t(i)] = false;
            }
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
    // Key preview: every key press reaches the window's native window exactly once, before
    // it goes on to the focused control (and, unused, up to its parents, or from the web
    // engine back to the panel's parent). Only that first delivery is acted on.
    QWindow* window = windowHandle();
    if (!window || receiver != window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int shift = 0;
    if (key->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (key->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (key->modifiers() & Qt::AltModifier)
        shift |= 4;
    // The key still reaches the control that had the focus when it was pressed, even when the
    // action hid that control (W hides the settings frame and its folder box).
    const QPointer<QWidget> focused = focusWidget();
    Form_KeyDown(key->key(), shift);
    if (!focused || focused == focusWidget() || m_unloaded)
        return false;
    QKeyEvent again(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                    key->nativeVirtualKey(), key->nativeModifiers(), key->text(),
                    key->isAutoRepeat(), key->count());
    QApplication::sendEvent(focused, &again);
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
    // The window's own record of its layout: without a window manager the platform does not
    // take the maximized state, and the next W must still switch back.
    const bool big = !m_largeLayout;
    m_largeLayout = big;
    if (big) {
        m_normalGeometry = geometry();
        // To the screen's corner first: a window manager then maximizes the window there, and
        // without one (nothing maximizes) the large layout still starts at the corner. Moving
        // a window that is already maximized would make some window managers restore it.
        move(0, 0);
    }
    setWindowState(big ? Qt::WindowMaximized : Qt::WindowNoState);
    for (QWidget* control : std::initializer_list<QWidget*>{MMControl1Bar, Command1, Picture1,
                                                            Frame1, Command3, Command4, VScroll1})
        control->setVisible(!big);
    QCoreApplication::processEvents();
    repaint();
    if (Frame1->backgroundShown()) {
        if (!m_form4)
            m_form4 = new Form4(this);
        m_form4->show();
        m_form4->init();
    }
    if (big) {
        setTopmost(true);
        return;
    }
    // Back to the normal layout at the size and place it had: a window manager restores its
    // own idea of the normal geometry, which need not be the one the window had.
    if (m_normalGeometry.isValid())
        setGeometry(m_normalGeometry);
    activateWindow();
}

} // namespace sonavue
