// The main window's side of the folder scan: Dir2, the file-type boxes, the progress bars.
#include "ui/form1.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>

namespace sonavue {

// Binds the scan's progress and yield points to the window's controls.
class Form1::ScanBinding : public ScanObserver {
public:
    explicit ScanBinding(Form1& form) : m_form(form) {}

    void letEventsRun() override { QCoreApplication::processEvents(); }
    void selectFirstFolder() override { m_form.selectGroupEntry(GroupFolder, 0); }
    void readingStarted(int folderCount) override {
        m_form.Progress1->show();
        m_form.Progress2->show();
        m_form.Progress1->setMaximum(std::max(folderCount, 1));
    }
    void folderStarted(int, int fileCount) override { m_form.Progress2->setMaximum(fileCount + 1); }
    void fileRead(int fileIndex) override { m_form.Progress2->setValue(fileIndex); }
    void folderRead(int index) override { m_form.Progress1->setValue(index); }
    void readingFinished() override {
        m_form.Progress1->hide();
        m_form.Progress2->hide();
    }

private:
    Form1& m_form;
};

void Form1::setMusicFolder(const QString& folder) {
    Text1->setText(folder);
    m_text1Tag = folderPrefixFor(folder);
    m_dir2Path = folder;
    Dir2_Change();
}

void Form1::Dir2_Change() {
    ScanBinding binding(*this);
    const FolderScan::Result result = m_scan.run(m_dir2Path, m_text1Tag, m_file1.pattern, binding);
    // A scan started during one of this scan's pauses has done the rest itself.
    if (result == FolderScan::Result::Superseded)
        return;
    TabSel_Click(GroupFolder);
    TagGroupe_Click(GroupFolder);
    if (trackListCount() > 0)
        selectTrack(0);
    emit scanFinished();
}

void Form1::Check1_Click(int) {
    m_file1.pattern = FilePattern(
        filePatternFor(Check1[0]->isChecked(), Check1[1]->isChecked(), Check1[2]->isChecked()));
}

} // namespace sonavue
