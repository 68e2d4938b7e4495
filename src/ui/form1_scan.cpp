// The main window's side of the folder scan: Dir2, the file-type boxes, the progress bars.
#include "ui/form1.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>

namespace sonavue {

// Binds the scan's progress and yield points to the window's controls. The bars show the
// latest progress at most every ProgressIntervalMs: QProgressBar::setValue repaints at
// once (synchronously) whenever the bar visibly changes, which for a visible window cost
// a repaint of the translucent window per file read.
class Form1::ScanBinding : public ScanObserver {
public:
    static constexpr int ProgressIntervalMs = 50;
    static constexpr int ListIntervalMs = 200;
    explicit ScanBinding(Form1& form) : m_form(form) {}

    void letEventsRun() override {
        showProgress(false);
        showNewGroupValues();
        QCoreApplication::processEvents();
    }
    void selectFirstFolder() override { m_form.m_core.browsing().selectGroupEntry(GroupFolder, 0); }
    void readingStarted(int folderCount) override {
        m_form.Progress1->setMaximum(std::max(folderCount, 1));
        m_form.Progress1->show();
        m_form.Progress2->show();
    }
    void folderStarted(int, int fileCount) override {
        m_maximum2 = fileCount + 1;
        m_value2 = 0;
    }
    void fileRead(int fileIndex) override { m_value2 = fileIndex; }
    void folderRead(int index) override { m_value1 = index; }
    void readingFinished() override {
        showProgress(true);
        m_form.Progress1->hide();
        m_form.Progress2->hide();
    }

private:
    // The group lists defer what the scan adds (see Form1's constructor): a shown list view
    // lays its whole list out again after every change, so the lists show their new values
    // a few times a second rather than at every yield.
    void showNewGroupValues() {
        if (m_listsShown.isValid() && m_listsShown.elapsed() < ListIntervalMs)
            return;
        m_listsShown.start();
        for (int i = 0; i < GroupCount; ++i)
            m_form.m_core.groups()[i].publishPending();
    }

    void showProgress(bool now) {
        if (!now && m_shown.isValid() && m_shown.elapsed() < ProgressIntervalMs)
            return;
        m_shown.start();
        m_form.Progress2->setMaximum(m_maximum2);
        m_form.Progress2->setValue(m_value2);
        m_form.Progress1->setValue(m_value1);
    }

    Form1& m_form;
    QElapsedTimer m_shown;
    QElapsedTimer m_listsShown;
    int m_maximum2 = 1, m_value2 = 0, m_value1 = 0;
};

void Form1::setMusicFolder(const QString& folder) {
    Text1->setText(folder);
    m_core.browsing().setFolderPrefix(folderPrefixFor(folder));
    m_musicFolder = folder;
    Dir2_Change();
}

void Form1::Dir2_Change() {
    // The program is ending: no scan runs after the window has unloaded.
    if (m_unloaded)
        return;
    // The walk shows no bars, also when this scan replaces one that was reading tags (its
    // own reading shows and hides them again; a folder without music never shows them).
    Progress1->hide();
    Progress2->hide();
    ScanBinding binding(*this);
    BrowsingModel& browsing = m_core.browsing();
    const FolderScan::Result result =
        m_core.scan().run(m_musicFolder, browsing.folderPrefix(), browsing.filePattern(), binding);
    // A scan started during one of this scan's pauses has done the rest itself (or the
    // window unloaded and stopped it).
    if (result == FolderScan::Result::Superseded)
        return;
    TabSel_Click(GroupFolder);
    TagGroupe_Click(GroupFolder);
    if (browsing.trackCount() > 0)
        browsing.selectTrack(0);
    emit scanFinished();
}

void Form1::Check1_Click(int) {
    m_core.browsing().setFilePattern(FilePattern(
        filePatternFor(Check1[0]->isChecked(), Check1[1]->isChecked(), Check1[2]->isChecked())));
}

} // namespace sonavue
