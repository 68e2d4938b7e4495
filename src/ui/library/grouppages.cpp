// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/library/grouppages.h"

#include "catalogue/browsingmodel.h"
#include "ui/controls/clickablelabel.h"
#include "ui/controls/keyboardaccess.h"
#include "ui/controls/listview.h"
#include "ui/style/fonts.h"
#include "ui/style/readablestyle.h"
#include "ui/style/twips.h"

#include <QEvent>
#include <QFrame>

namespace sonavue {
namespace {

constexpr const char* Captions[GroupPages::PageCount] = {"Folder", "Album", "Artist",
                                                         "Year",   "Junle", "ALL"};
// Within the pane, which lies where the first tab begins.
constexpr double TabPitch = 864;
constexpr double TabWidth = 855;
constexpr double TabHeight = 255;
constexpr double PageTop = 240;
constexpr double PageWidth = 5295;
constexpr double PageHeight = 3015;
constexpr double ListWidth = 5055;
constexpr double ListHeight = 2730;
// A list grows to this height when the font size is set.
constexpr double ResizedListHeight = 2910;

} // namespace

GroupPages::GroupPages(BrowsingModel& browsing, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GroupPages"));
    for (int i = 0; i < PageCount; ++i)
        buildPage(browsing, i);
    useReadableStyle(*this, QList<QWidget*>(m_lists.begin(), m_lists.end()));
    resize(
        twipsRect(0, 0, std::max(PageWidth, TabPitch * 5 + TabWidth), PageTop + PageHeight).size());
    bringToFront(0);
}

void GroupPages::bringToFront(int index) {
    // The pages behind are hidden, not only covered: on the see-through key colour the lists
    // have no background, and the entries of every page would show through each other.
    for (int i = 0; i < PageCount; ++i)
        m_pages[std::size_t(i)]->setVisible(i == index);
    m_pages[std::size_t(index)]->raise();
}

void GroupPages::buildPage(BrowsingModel& browsing, int i) {
    const auto index = std::size_t(i);
    auto* tab = new TabLabel(QString::fromLatin1(Captions[i]), this);
    tab->setObjectName(QStringLiteral("TabSel%1").arg(i));
    tab->setGeometry(twipsRect(TabPitch * i, 0, TabWidth, TabHeight));
    tab->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 11.25));
    tab->setAccessibleName(tab->text());
    tab->setAccessibleDescription(QStringLiteral("Shows the %1 list").arg(tab->text()));
    connect(tab, &TabLabel::clicked, this, [this, i] { emit tabClicked(i); });
    connect(tab, &TabLabel::pointerMoved, this, [this, i] { emit tabHovered(i); });
    m_tabs[index] = tab;

    auto* page = new QFrame(this);
    page->setObjectName(QStringLiteral("Groupe%1").arg(i));
    page->setGeometry(twipsRect(0, PageTop, PageWidth, PageHeight));
    m_pages[index] = page;

    QListView* list = makeListView(page);
    list->setObjectName(QStringLiteral("TagGroupe%1").arg(i));
    list->setGeometry(twipsRect(0, 0, ListWidth, ListHeight));
    list->setAccessibleName(QStringLiteral("%1 list").arg(tab->text()));
    list->setModel(&browsing.groupList(i));
    list->setSelectionModel(&browsing.groupSelection(i));
    list->viewport()->installEventFilter(this);
    m_lists[index] = list;

    connect(&browsing.groupSelection(i), &QItemSelectionModel::selectionChanged, this,
            [this, index] { m_changeSeen[index] = true; });
    connect(list, &QListView::clicked, this, [this, i, index] {
        if (!m_changeSeen[index])
            emit selectedEntryClickedAgain(i);
        m_changeSeen[index] = false;
    });
    connect(&browsing.groupSelection(i), &QItemSelectionModel::currentRowChanged, list,
            [list](const QModelIndex& current) {
                if (current.isValid())
                    list->scrollTo(current);
            });
}

bool GroupPages::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (std::size_t i = 0; i < m_lists.size(); ++i)
            if (watched == m_lists[i]->viewport())
                m_changeSeen[i] = false;
    }
    return QWidget::eventFilter(watched, event);
}

void GroupPages::showPage(int index) {
    if (index < 0 || index >= PageCount)
        return;
    bringToFront(index);
    for (TabLabel* tab : m_tabs)
        tab->setBordered(false);
    m_tabs[std::size_t(index)]->setBordered(true);
}

void GroupPages::setHoveredTab(int index) {
    for (TabLabel* tab : m_tabs)
        tab->setBoldLook(false);
    if (index >= 0 && index < PageCount)
        m_tabs[std::size_t(index)]->setBoldLook(true);
}

void GroupPages::setPageWidth(int width) {
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        m_pages[i]->resize(width, m_pages[i]->height());
        m_lists[i]->resize(width, m_lists[i]->height());
    }
    resize(std::max(width, m_tabs.back()->geometry().right() + 1), height());
}

void GroupPages::setListFontSize(double points) {
    for (QListView* list : m_lists) {
        QFont f = list->font();
        f.setPointSizeF(points);
        list->setFont(f);
        list->resize(list->width(), px(ResizedListHeight));
    }
}

} // namespace sonavue
