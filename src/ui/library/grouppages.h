// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The group tabs and their pages: six tabs side by side, and under them six pages stacked
// in one place, each filled by its group list; only the page in front is shown. The lists show the
// browsing model's group lists and share its selections, so a click, a key or code selecting an
// entry picks it alike; this pane adds what only a view knows (a click on the entry already
// selected) and how the tabs look.
#include <QWidget>
#include <array>

class QFrame;
class QListView;

namespace sonavue {

class BrowsingModel;
class TabLabel;

class GroupPages : public QWidget {
    Q_OBJECT
public:
    static constexpr int PageCount = 6;
    GroupPages(BrowsingModel& browsing, QWidget* parent);

    // Brings page index to the front and gives its tab the border.
    void showPage(int index);
    // Tab index in bold, the others in normal weight (-1: none bold).
    void setHoveredTab(int index);
    // The pages' and lists' width in pixels (the window's layout gives it).
    void setPageWidth(int width);
    void setListFontSize(double points);

signals:
    void tabClicked(int index);
    void tabHovered(int index);
    // A click on the entry that was already selected (no change of selection to pick it).
    void selectedEntryClickedAgain(int list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPage(BrowsingModel& browsing, int index);
    void bringToFront(int index);

    std::array<TabLabel*, PageCount> m_tabs{};
    std::array<QFrame*, PageCount> m_pages{};
    std::array<QListView*, PageCount> m_lists{};
    // A list's selection changed since the last press on it: its click needs no pick.
    std::array<bool, PageCount> m_changeSeen{};
};

} // namespace sonavue
