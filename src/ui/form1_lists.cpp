// The main window's lists: group tabs and group lists, the track list with its number
// column, and the reserved list. What they hold and select is the browsing model's.
#include "ui/form1.h"

#include "ui/tabsel.h"
#include "ui/tagwindow.h"

#include <QCoreApplication>
#include <QFrame>
#include <QListView>
#include <QRadioButton>
#include <QScrollBar>

namespace sonavue {

// --- Tabs and group lists ------------------------------------------------------------------

void Form1::TabSel_Click(int index) {
    if (index < 0 || index >= GroupCount)
        return;
    m_currentTab = index;
    Groupe[std::size_t(index)]->raise();
    for (TabLabel* tab : TabSel)
        tab->setBordered(false);
    TabSel[std::size_t(index)]->setBordered(true);
    QCoreApplication::processEvents();
    if (index == GroupAll)
        m_core.browsing().showAllTracks();
}

void Form1::TabSel_MouseMove(int index) {
    for (TabLabel* tab : TabSel)
        tab->setBoldLook(false);
    if (index >= 0 && index < GroupCount)
        TabSel[std::size_t(index)]->setBoldLook(true);
}

void Form1::TagGroupe_Click(int index) {
    m_core.browsing().pickGroupEntry(index);
}

// --- Track list ------------------------------------------------------------------------------

void Form1::ListName_Click() {
    ListName_Scroll();
}

void Form1::ListName_Scroll() {
    if (m_syncingScroll)
        return;
    m_syncingScroll = true;
    ListNo->verticalScrollBar()->setValue(ListName->verticalScrollBar()->value());
    m_syncingScroll = false;
}

void Form1::ListName_MouseDown() {
    const std::optional<int> row = m_core.browsing().selectedRow();
    if (row) {
        const QString path = m_core.browsing().rowPath(*row);
        if (!m_form3) {
            m_form3 = new Form3(this, m_core.tagCodePage());
            connect(m_form3, &Form3::closed, this, &Form1::focusset);
            m_form3->show();
        }
        m_form3->setLabel1Tag(path);
        m_form3->setLabel1Caption(path);
    }
    ListName_Scroll();
}

void Form1::ListName_DblClick() {
    // A gesture whose row is not (or no longer) in the catalogue is ignored.
    BrowsingModel& browsing = m_core.browsing();
    const std::optional<int> row = browsing.selectedRow();
    if (!row)
        return;
    if (browsing.reserved().append(browsing.rowPath(*row)))
        m_core.player().trackReserved();
}

void Form1::OptionList_DblClick() {
    const QModelIndexList selected = OptionList->selectionModel()->selectedIndexes();
    if (!selected.isEmpty())
        m_core.browsing().reserved().removeAt(selected.first().row());
}

void Form1::OptionList_Validate() {
    m_core.player().reservedListLeft();
}

// Views share the model's selections: a click, a key or code selecting an entry all run
// the same handling.
void Form1::wireLists() {
    BrowsingModel& browsing = m_core.browsing();
    for (int i = 0; i < GroupCount; ++i) {
        QListView* list = TagGroupe[std::size_t(i)];
        list->setModel(&browsing.groupList(i));
        list->setSelectionModel(&browsing.groupSelection(i));
        connect(&browsing.groupSelection(i), &QItemSelectionModel::selectionChanged, this,
                [this, i] { m_groupChangeSeen[std::size_t(i)] = true; });
        // A click on the entry that is already selected fills the track list again.
        connect(list, &QListView::clicked, this, [this, i] {
            if (!m_groupChangeSeen[std::size_t(i)])
                TagGroupe_Click(i);
            m_groupChangeSeen[std::size_t(i)] = false;
        });
        connect(&browsing.groupSelection(i), &QItemSelectionModel::currentRowChanged, list,
                [list](const QModelIndex& current) {
                    if (current.isValid())
                        list->scrollTo(current);
                });
    }

    ListName->setModel(&browsing.titleColumn());
    ListName->setSelectionModel(&browsing.titleSelection());
    ListNo->setModel(&browsing.numberColumn());
    ListNo->setSelectionModel(&browsing.numberSelection());
    connect(&browsing.titleSelection(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    ListName->scrollTo(current);
            });
    connect(&browsing.titleSelection(), &QItemSelectionModel::selectionChanged, this,
            [this] { ListName_Click(); });
    connect(ListName->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { ListName_Scroll(); });
    // Scrolling the numbers scrolls the titles with them.
    connect(ListNo->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_syncingScroll)
            ListName->verticalScrollBar()->setValue(value);
    });
    connect(ListName, &QListView::pressed, this, [this] { ListName_MouseDown(); });
    connect(ListName, &QListView::doubleClicked, this, [this] { ListName_DblClick(); });

    OptionList->setModel(&browsing.reserved());
    connect(OptionList, &QListView::doubleClicked, this, [this] { OptionList_DblClick(); });
}

} // namespace sonavue
