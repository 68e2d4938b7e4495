#pragma once
// Form1: the main window. Its controls sit at their designed places (twips / 15); its
// handlers keep the designed order and hand the work to the catalogue, the scan, player
// control and the appearance helpers.
#include "base/settingskeys.h"
#include "catalogue/catalogue.h"
#include "catalogue/filelisting.h"
#include "catalogue/folderscan.h"
#include "playback/mediacontrol.h"
#include "playback/playercontrol.h"
#include "playback/playersurface.h"
#include "ui/backgroundwindow.h"
#include "ui/folderchooser.h"
#include "ui/splashwindow.h"
#include "ui/tagwindow.h"
#include "ui/tracklistmodel.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace sonavue {

class ImageButton;
class SettingsFrame;
class TabLabel;
class TitleStrip;
class TransportBar;
class VolumeBar;
class WebPanel;
class WindowDrag;

// File1: the window's file lister. Pointing it at another folder raises the folder fill.
struct FileLister {
    QString path;
    FilePattern pattern;
};

class Form1 : public QWidget, public PlayerSurface {
    Q_OBJECT
public:
    struct Options {
        QString appName = QStringLiteral("Sonavue");
        // The media element; null makes the GStreamer one.
        std::unique_ptr<MediaControl> media;
        // The folder dialog; empty uses the platform's.
        FolderDialog folderDialog;
        // The message box of the folder chooser; empty uses a modal QMessageBox.
        std::function<void(const QString& text)> showMessage;
        // Tests run without the web engine when they do not need it.
        bool withWebPanel = true;
        // The code page of the tags' text fields: scan, tag window, now playing, MPRIS.
        TagCodePage tagCodePage = DefaultTagCodePage;
    };
    explicit Form1(Options options);
    ~Form1() override;

    // --- Public operations used across the program --------------------------------
    void NewVolume(double level) override;
    void VolDown_Click();
    void setcolor(double colour);
    void fontresize(double size);
    void focusset();
    void Form_KeyDown(int keyCode, int shift);

    // --- Start-up and the folder ------------------------------------------------------
    // Sets the folder box, folderPrefix (its tag) and Dir2, which scans.
    void setMusicFolder(const QString& folder);
    QString folderPrefix() const { return m_text1Tag; }
    void Dir2_Change();
    void Check1_Click(int index);
    bool scanRunning() const { return m_scan.running(); }

    // --- Groups, tracks, reserved list --------------------------------------------------
    void TabSel_Click(int index);
    void TabSel_MouseMove(int index);
    void TagGroupe_Click(int index);
    void File1_PathChange();
    void fillTracksByGroup(const QString& groupValue, int column);
    void ListName_Click();
    void ListName_Scroll();
    void ListName_MouseDown();
    void ListName_DblClick();
    void OptionList_DblClick();
    void OptionList_Validate();

    // --- Appearance options, folder chooser, picture buttons -----------------------
    void HScroll1_Change();
    void Option1_Click(int index);
    void OptionBack_Click(int index);
    void Optionfont_Click(int index);
    void Picture2_MouseUp(Qt::MouseButton button, int x, int y);
    void Command2_Click();
    void Label9_Click();
    void showAboutLine();
    void Form_Unload();

    // --- State the design keeps on controls ---------------------------------------------
    int sourceMarker() const override { return m_listNoTag; }
    int groupListTag(int index) const { return m_tagGroupeTag[std::size_t(index)]; }
    int currentTab() const { return m_currentTab; }
    int groupListSelectedIndex(int list) const override;
    int trackListSelectedIndex() const override;
    int listNoSelectedIndex() const;
    QStringList trackTitles() const;
    QStringList trackNumbers() const;
    QStringList reservedEntries() const;
    const FileLister& File1() const { return m_file1; }
    const Catalogue& catalogue() const { return m_catalogue; }
    TagCodePage tagCodePage() const { return m_options.tagCodePage; }
    GroupLists& groupLists() { return m_groups; }
    MediaControl& MMControl1() { return *m_media; }
    PlayerControl& player() { return *m_player; }
    bool reservedPlaying() const { return m_player->reservedPlaying(); }
    Form4* backgroundWindow() const { return m_form4; }
    Form3* tagWindow() const { return m_form3; }
    Form2* splashWindow() const { return m_aboutSplash; }
    int currentColour() const { return m_colour; }
    SettingsFrame& settingsFrame() const { return *Frame1; }
    bool isTopmost() const;

    // --- PlayerSurface ------------------------------------------------------------------
    int trackListCount() const override;
    void selectTrack(int index) override;
    QString selectedRowNumberText() const override;
    QString catalogueFilePath(int row) const override;
    int groupListCount(int list) const override;
    void selectGroupEntry(int list, int index) override;
    int reservedCount() const override;
    QString reservedEntry(int index) const override;
    void removeReservedEntry(int index) override;
    QString volumeCaption() const override;
    void setVolumeCaption(const QString& text) override;
    void setNowPlaying(const QString& text) override;
    bool immediateChangeSelected() const override;
    void letEventsRun() override;

    // --- Files from outside (command line, a second start, media controls, drops) ------
    // Puts each path on the reserved list as a double-click on its track would (at most 5
    // entries), after the checks the folder scan makes; when nothing plays, continuous
    // play then starts with the reserved list's head. One answer per path, in order: empty
    // when it was added, else why not.
    QStringList reserveExternalFiles(const QStringList& paths);

protected:
    // Files dropped on the window go to the reserved list; folders and the rest are refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

signals:
    // Form_Unload has run: the program ends.
    void unloaded();
    // A scan finished (not superseded); for tests and benchmarks.
    void scanFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class ScanBinding;
    void buildControls();
    void buildGroupPages();
    void wireControls();
    void Form_Load();
    void Form_Resize();
    void setTopmost(bool on);
    void fillTrackList(const std::vector<int>& rows);
    void setFile1Path(const QString& path);
    void selectListRow(QListView* view, int index);
    static int selectedRow(const QListView* view);
    void nameControls();
    void describeControls();
    void wireTitleStrip();
    void wireSettingsFrame();
    void finishTitleDrag();
    void alignBackground();
    void layoutAction();
    bool handlePreviewKey(QObject* receiver, QEvent* event);
    void writeSetting(const SettingKey& key, const QString& value);

    // --- Controls (owned through Qt's parent ownership; named as the design names them) --
    TitleStrip* Picture1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* title = nullptr;
    QWidget* FrameBtn = nullptr;
    ImageButton* Image1 = nullptr;
    ImageButton* Image3 = nullptr;
    QListView* ListNo = nullptr;
    QListView* ListName = nullptr;
    QProgressBar* Progress1 = nullptr;
    QProgressBar* Progress2 = nullptr;
    WebPanel* Web1 = nullptr;
    std::array<TabLabel*, 6> TabSel{};
    std::array<QFrame*, 6> Groupe{};
    std::array<QListView*, 6> TagGroupe{};
    QLabel* Label5 = nullptr;
    QLabel* Vol = nullptr;
    QListWidget* OptionList = nullptr;
    TransportBar* MMControl1Bar = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    VolumeBar* VScroll1 = nullptr;
    SettingsFrame* Frame1 = nullptr;
    // The settings frame's folder box and file-type boxes, which the folder scan fills and
    // reads.
    QLineEdit* Text1 = nullptr;
    std::array<QCheckBox*, 3> Check1{};
    QTimer Timer1{this}; // focusset's one-shot, 300 ms

    Options m_options;
    ProgramSettings m_settings{m_options.appName};
    Catalogue m_catalogue;
    GroupLists m_groups;
    FolderScan m_scan{m_catalogue, m_groups};
    std::unique_ptr<MediaControl> m_media;
    std::unique_ptr<PlayerControl> m_player;
    TrackRows m_trackRows{m_catalogue};
    TrackColumnModel* m_titleModel = nullptr;
    TrackColumnModel* m_numberModel = nullptr;

    QString m_text1Tag;  // folderPrefix
    QString m_dir2Path;  // Dir2: the music folder
    FileLister m_file1;  // File1
    int m_listNoTag = 0; // the source marker
    std::array<int, 6> m_tagGroupeTag{-1, -1, -1, -1, -1, -1};
    std::array<bool, 6> m_groupChangeSeen{};
    int m_currentTab = 0;
    int m_colour = 0xE0E0E0;
    bool m_syncingScroll = false;

    QPointer<Form4> m_form4;
    QPointer<Form3> m_form3;
    QPointer<Form2> m_aboutSplash;

    WindowDrag* m_windowDrag = nullptr; // moves the window by its title strip
    // The large layout is on, and where the normal layout was before it took the screen.
    bool m_largeLayout = false;
    QRect m_normalGeometry;
    bool m_unloaded = false;
};

} // namespace sonavue
