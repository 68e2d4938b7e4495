// The main window's lists: group tabs and group lists, the track list with its number
// column, and the reserved list.
#include "ui/form1.h"

#include "base/nativepath.h"
#include "base/numbers.h"
#include "ui/tabsel.h"
#include "ui/tagwindow.h"

#include <QCoreApplication>
#include <QFrame>
#include <QListView>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <numeric>

namespace sonavue {

// --- Selection helpers ---------------------------------------------------------------------

int Form1::selectedRow(const QListView* view) {
    // The selected entry, whatever the current index is: while a selection changes, the
    // current index may still be the old one (code) or already the new one (a mouse press).
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void Form1::selectListRow(QListView* view, int index) {
    QItemSelectionModel* selection = view->selectionModel();
    if (index < 0 || index >= view->model()->rowCount()) {
        selection->clearCurrentIndex();
        selection->clearSelection();
        return;
    }
    const QModelIndex target = view->model()->index(index, 0);
    selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(target);
}

int Form1::groupListSelectedIndex(int list) const {
    if (list < 0 || list >= GroupCount)
        return -1;
    return selectedRow(TagGroupe[std::size_t(list)]);
}

int Form1::trackListSelectedIndex() const {
    return selectedRow(ListName);
}
int Form1::listNoSelectedIndex() const {
    return selectedRow(ListNo);
}
int Form1::trackListCount() const {
    return m_trackRows.count();
}
int Form1::groupListCount(int list) const {
    return list >= 0 && list < GroupCount ? m_groups[list].count() : 0;
}

void Form1::selectTrack(int index) {
    selectListRow(ListName, index);
}

void Form1::selectGroupEntry(int list, int index) {
    if (list < 0 || list >= GroupCount)
        return;
    selectListRow(TagGroupe[std::size_t(list)], index);
}

QString Form1::selectedRowNumberText() const {
    const int index = listNoSelectedIndex();
    if (index < 0 || index >= m_trackRows.count())
        return {};
    return QString::number(m_trackRows.rowAt(index));
}

QString Form1::catalogueFilePath(int row) const {
    return m_catalogue.cell(ColPath, row);
}

QStringList Form1::trackTitles() const {
    QStringList out;
    for (int i = 0; i < m_titleModel->rowCount(); ++i)
        out << m_titleModel->index(i).data().toString();
    return out;
}

QStringList Form1::trackNumbers() const {
    QStringList out;
    for (int i = 0; i < m_numberModel->rowCount(); ++i)
        out << m_numberModel->index(i).data().toString();
    return out;
}

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
    if (index == GroupAll) {
        std::vector<int> rows(std::size_t(m_catalogue.rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
        fillTrackList(rows);
    }
}

void Form1::TabSel_MouseMove(int index) {
    for (TabLabel* tab : TabSel)
        tab->setBoldLook(false);
    if (index >= 0 && index < GroupCount)
        TabSel[std::size_t(index)]->setBoldLook(true);
}

void Form1::TagGroupe_Click(int index) {
    if (index < 0 || index >= GroupCount)
        return;
    const int selected = groupListSelectedIndex(index);
    if (index == GroupFolder) {
        // Nothing selected means the music folder itself.
        const QString entry = selected >= 0 ? m_groups[GroupFolder].at(selected) : QString();
        setFile1Path(m_text1Tag + entry);
    } else {
        fillTracksByGroup(selected >= 0 ? m_groups[index].at(selected) : QString(), index + 1);
    }
    if (trackListCount() > 0)
        selectTrack(0);
    m_listNoTag = index;
    m_tagGroupeTag[std::size_t(index)] = groupListSelectedIndex(index);
}

void Form1::setFile1Path(const QString& path) {
    // Pointing the file lister at a folder raises the folder fill; the group-list click
    // runs it again, which gives the same rows, so one fill serves both.
    m_file1.path = path;
    File1_PathChange();
}

void Form1::File1_PathChange() {
    // The folder's files under the current pattern, each found in the catalogue by its
    // path (an index, so this costs the folder's files, not all rows). A folder that has
    // vanished lists nothing.
    const QStringList names = listFiles(m_file1.path, m_file1.pattern);
    QString folder = m_file1.path;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    std::vector<int> rows;
    rows.reserve(std::size_t(names.size()));
    for (const QString& name : names) {
        const int row = m_catalogue.rowOfPath(folder + name);
        if (row >= 0)
            rows.push_back(row);
    }
    fillTrackList(rows);
}

void Form1::fillTracksByGroup(const QString& groupValue, int column) {
    std::vector<int> rows;
    const int count = m_catalogue.rowCount();
    for (int row = 0; row < count; ++row) {
        if (m_catalogue.cell(column, row) == groupValue)
            rows.push_back(row);
    }
    fillTrackList(rows);
}

void Form1::fillTrackList(const std::vector<int>& rows) {
    m_titleModel->beginRefill();
    m_numberModel->beginRefill();
    m_trackRows.rows() = rows;
    m_numberModel->endRefill();
    m_titleModel->endRefill();
}

// --- Track list ------------------------------------------------------------------------------

void Form1::ListName_Click() {
    selectListRow(ListNo, trackListSelectedIndex());
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
    selectListRow(ListNo, trackListSelectedIndex());
    const std::optional<int> row = rowNumber(selectedRowNumberText());
    if (row && m_catalogue.hasRow(*row)) {
        const QString path = m_catalogue.cell(ColPath, *row);
        if (!m_form3) {
            m_form3 = new Form3(this, m_options.tagCodePage);
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
    const std::optional<int> row = rowNumber(selectedRowNumberText());
    if (!row || !m_catalogue.hasRow(*row))
        return;
    const QString path = m_catalogue.cell(ColPath, *row);
    if (OptionList->count() >= 5)
        return;
    // The list shows the path readably and keeps its exact text for playing it.
    auto* item = new QListWidgetItem(readableText(path));
    item->setData(Qt::UserRole, path);
    OptionList->addItem(item);
    m_player->trackReserved();
}

void Form1::OptionList_DblClick() {
    const int index = OptionList->currentRow();
    if (index >= 0 && index < OptionList->count() && OptionList->item(index)->isSelected())
        delete OptionList->takeItem(index);
}

void Form1::OptionList_Validate() {
    if (OptionList->count() == 0)
        m_player->clearReservedPlaying();
}

QStringList Form1::reservedEntries() const {
    QStringList out;
    for (int i = 0; i < OptionList->count(); ++i)
        out << OptionList->item(i)->data(Qt::UserRole).toString();
    return out;
}

int Form1::reservedCount() const {
    return OptionList->count();
}

QString Form1::reservedEntry(int index) const {
    if (index < 0 || index >= OptionList->count())
        return {};
    return OptionList->item(index)->data(Qt::UserRole).toString();
}

void Form1::removeReservedEntry(int index) {
    if (index >= 0 && index < OptionList->count())
        delete OptionList->takeItem(index);
}

} // namespace sonavue
