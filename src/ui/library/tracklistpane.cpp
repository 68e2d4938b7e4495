// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/library/tracklistpane.h"

#include "catalogue/browsingmodel.h"
#include "ui/controls/listview.h"
#include "ui/style/fonts.h"
#include "ui/style/readablestyle.h"
#include "ui/style/twips.h"

#include <QScrollBar>

namespace sonavue {
namespace {

// Within the pane, which lies where the numbers begin.
constexpr double NumbersWidth = 1095;
constexpr double TitlesLeft = 480; // the titles lie over the numbers from here
constexpr double TitlesWidth = 4575;
constexpr double ListHeight = 3810;

void scrollToCurrent(QListView* view, QItemSelectionModel& selection) {
    QObject::connect(&selection, &QItemSelectionModel::currentRowChanged, view,
                     [view](const QModelIndex& current) {
                         if (current.isValid())
                             view->scrollTo(current);
                     });
}

} // namespace

TrackListPane::TrackListPane(BrowsingModel& browsing, QWidget* parent)
    : QWidget(parent), m_numbers(makeListView(this)), m_titles(makeListView(this)) {
    setObjectName(QStringLiteral("TrackListPane"));
    m_numbers->setObjectName(QStringLiteral("ListNo"));
    m_titles->setObjectName(QStringLiteral("ListName"));
    m_numbers->setGeometry(twipsRect(0, 0, NumbersWidth, ListHeight));
    m_titles->setGeometry(twipsRect(TitlesLeft, 0, TitlesWidth, ListHeight));
    resize(m_titles->geometry().right() + 1, m_titles->height());
    m_numbers->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The titles' left edge, over the numbers, shows on every window colour.
    useReadableStyle(*this, {m_numbers, m_titles});
    const QFont listFont = designedFont(QStringLiteral("MS UI Gothic"), 9);
    m_titles->setFont(listFont);
    m_numbers->setFont(listFont);
    m_numbers->setAccessibleName(QStringLiteral("番号 (Track numbers)"));
    m_titles->setAccessibleName(QStringLiteral("曲 (Tracks)"));
    m_titles->setAccessibleDescription(
        QStringLiteral("A double-click adds the track to the reserved list"));

    m_titles->setModel(&browsing.titleColumn());
    m_titles->setSelectionModel(&browsing.titleSelection());
    m_numbers->setModel(&browsing.numberColumn());
    m_numbers->setSelectionModel(&browsing.numberSelection());
    scrollToCurrent(m_titles, browsing.titleSelection());
    connect(&browsing.titleSelection(), &QItemSelectionModel::selectionChanged, this,
            &TrackListPane::keepNumbersBesideTitles);
    connect(m_titles->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TrackListPane::keepNumbersBesideTitles);
    connect(m_numbers->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_syncingScroll)
            m_titles->verticalScrollBar()->setValue(value);
    });
    connect(m_titles, &QListView::pressed, this, [this] {
        emit trackPressed();
        keepNumbersBesideTitles();
    });
    connect(m_titles, &QListView::doubleClicked, this, &TrackListPane::trackDoubleClicked);
}

void TrackListPane::keepNumbersBesideTitles() {
    if (m_syncingScroll)
        return;
    m_syncingScroll = true;
    m_numbers->verticalScrollBar()->setValue(m_titles->verticalScrollBar()->value());
    m_syncingScroll = false;
}

void TrackListPane::setTitlesWidth(int width) {
    m_titles->resize(std::max(0, width), m_titles->height());
    resize(std::max(m_numbers->width(), m_titles->x() + m_titles->width()), height());
}

int TrackListPane::titlesWidth() const {
    return m_titles->width();
}

void TrackListPane::setListFontSize(double points) {
    for (QListView* view : {m_titles, m_numbers}) {
        QFont f = view->font();
        f.setPointSizeF(points);
        view->setFont(f);
    }
}

} // namespace sonavue
