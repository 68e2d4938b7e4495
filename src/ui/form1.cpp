#include "ui/form1.h"

#include "base/nativepath.h"
#include "base/numbers.h"
#include "base/settings.h"
#include "base/userfolders.h"
#include "playback/transportbar.h"
#include "playback/volume.h"
#include "ui/backgroundwindow.h"
#include "ui/colours.h"
#include "ui/fonts.h"
#include "ui/grouppages.h"
#include "ui/imagebutton.h"
#include "ui/keyboardaccess.h"
#include "ui/layoutrules.h"
#include "ui/palettepicture.h"
#include "ui/readablestyle.h"
#include "ui/reservedlistview.h"
#include "ui/splashwindow.h"
#include "ui/tabsel.h"
#include "ui/tagwindow.h"
#include "ui/tracklistpane.h"
#include "ui/twips.h"
#include "ui/volumebar.h"
#include "web/webpanel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWindow>

namespace sonavue {
namespace {

template <typename W> W* place(W* widget, double left, double top, double width, double height) {
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

// What a screen reader says of a control. Japanese captions keep their text; the name may
// add an English word in brackets.
void describe(QWidget* control, const QString& name, const QString& description = {}) {
    control->setAccessibleName(name);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
}

void describeControls(Form1& form) {
    describe(form.Label9, QStringLiteral(" -  (Compact or full size)"),
             QStringLiteral("Shrinks the window to its title strip, or gives it its full size"));
    describe(form.Image2, QStringLiteral("閉じる (Close)"), QStringLiteral("Closes Sonavue"));
    describe(form.Image1, QStringLiteral("Home"),
             QStringLiteral("The web panel shows its home page"));
    describe(form.Image3, QStringLiteral("戻る (Back)"),
             QStringLiteral("The web panel goes one page back"));
    describe(form.Progress1, QStringLiteral("Folders searched"));
    describe(form.Progress2, QStringLiteral("Files searched"));
    if (form.Web1)
        describe(form.Web1, QStringLiteral("Web panel"));
    describe(form.OptionList, QStringLiteral("Reserved List"),
             QStringLiteral("Played before the track list; a double-click removes an entry"));
    describe(form.Vol, QStringLiteral("音量 (Volume level)"));
    describe(form.Command1, QStringLiteral("STOP"), QStringLiteral("Stops playing"));
    describe(form.Command3, QStringLiteral("ContinuousStart"),
             QStringLiteral("Plays the reserved list first, then on through the track list"));
    describe(form.Command4, QStringLiteral("Select Start"),
             QStringLiteral("Plays the selected track, then on from it"));
    describe(form.VScroll1, QStringLiteral("音量 (Volume)"));
    describe(form.Text1, QStringLiteral("検索パス (Music folder)"));
    describe(form.Command2, QStringLiteral("変更 (Change folder)"));
    describe(form.HScroll1, QStringLiteral("アルファ (Opacity)"));
    // Enter presses a focused button too, not only Space.
    for (QPushButton* button : {form.Command1, form.Command2, form.Command3, form.Command4})
        button->setAutoDefault(true);
    for (QWidget* slider : std::initializer_list<QWidget*>{form.VScroll1, form.HScroll1})
        slider->setFocusPolicy(Qt::StrongFocus);
}

} // namespace

Form1::Form1(PlayerCore& core, Options options) : m_core(core), m_options(std::move(options)) {
    setWindowTitle(QStringLiteral("Sonavue"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // The window paints its own background so that pixels of the key colour can be
    // fully transparent where a compositor runs.
    setAttribute(Qt::WA_TranslucentBackground);
    resize(px(DesignedClientWidth), px(DesignedClientHeight));

    buildControls();
    wireControls();
    Form_Load();
}

Form1::~Form1() {
    qApp->removeEventFilter(this);
    if (m_form4)
        delete m_form4.data();
}

void Form1::buildControls() {
    // Title strip.
    Picture1 = place(new QWidget(this), 0, 0, 13425, 375);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    Picture1->setAccessibleName(QStringLiteral("Sonavue"));
    // The size label: the window's mouse handling clicks it; from the keyboard it clicks
    // itself.
    auto* sizeLabel = new ClickableLabel(QStringLiteral(" -  "), QAccessible::Button, Picture1);
    connect(sizeLabel, &ClickableLabel::clicked, this, [this] { Label9_Click(); });
    Label9 = place(sizeLabel, 0, 0, 480, 435);
    Label9->setFont(designedFont(QStringLiteral("ＭＳ ゴシック"), 14.25, true));
    Image2 = place(new ImageButton(closeButtonPictures, Picture1), 13080, 0, 360, 360);

    Label4 = place(new QLabel(QStringLiteral("NOW"), this), 360, 480, 615, 255);
    Label4->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 9.75, true));
    // The now-playing label grows with its text, as an auto-sized label does.
    title = place(new QLabel(this), 960, 480, 105, 405);
    title->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 14.25, true));
    title->setTextFormat(Qt::PlainText); // tag text is shown as the letters it is, never markup

    // Track list: the number column lies under the left edge of the titles.
    m_tracks = new TrackListPane(m_core.browsing(), this);
    m_tracks->move(twipsRect(360, 840, 0, 0).topLeft());

    Progress1 = place(new QProgressBar(this), 2880, 840, 8415, 615);
    Progress2 = place(new QProgressBar(this), 2880, 1560, 8415, 255);
    for (QProgressBar* bar : {Progress1, Progress2}) {
        bar->setMinimum(0);
        bar->setTextVisible(false);
        bar->hide();
    }

    if (m_options.withWebPanel) {
        Web1 = place(new WebPanel(this), 8280, 840, 5055, 5655);
    }

    FrameBtn = place(new QWidget(this), 9480, 480, 1335, 375);
    Image1 = place(new ImageButton(homeButtonPictures, FrameBtn), 0, 0, 885, 345);
    // The back button's released look is its element 2 and its pressed look element 1.
    Image3 = place(new ImageButton(backButtonPictures, FrameBtn), 960, 0, 360, 360);

    buildGroupPages();

    Label5 = place(new QLabel(QStringLiteral("Reserved List"), this), 360, 8040, 1575, 255);
    Vol = place(new QLabel(QString::number(m_core.volume().level()), this), 5160, 8040, 495, 255);
    OptionList = place(new ReservedListView(this), 360, 8280, 5055, 930);
    OptionList->setModel(&m_core.browsing().reserved());

    MMControl1Bar = place(new TransportBar(m_core.media(), this), 360, 9240, 2415, 975);
    Command1 = place(new QPushButton(QStringLiteral("STOP"), this), 2760, 9240, 1065, 975);
    Command3 =
        place(new QPushButton(QStringLiteral("ContinuousStart"), this), 3840, 9240, 1620, 495);
    Command4 = place(new QPushButton(QStringLiteral("Select Start"), this), 3840, 9720, 1620, 495);

    // Volume: 255 at the top, 0 at the bottom, steps 1 and 16.
    VScroll1 = place(new VolumeBar(this), 5400, 9240, 255, 975);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(16);
    VScroll1->setLevel(MiddleLevel);

    buildSettingsFrame();
    describeControls(*this);
}

void Form1::buildGroupPages() {
    m_groupPages = new GroupPages(m_core.browsing(), this);
    m_groupPages->move(twipsRect(360, 4800, 0, 0).topLeft());
    for (int i = 0; i < GroupCount; ++i)
        m_core.groups()[i].setDeferred(true); // the scan's additions are shown in batches
}

void Form1::buildSettingsFrame() {
    Frame1 = place(new QGroupBox(QStringLiteral("設定"), this), 5760, 8520, 7215, 1695);
    Label2 = place(new QLabel(QStringLiteral("検索パス"), Frame1), 240, 240, 735, 255);
    Text1 = place(new QLineEdit(Frame1), 960, 240, 5175, 270);
    Command2 = place(new QPushButton(QStringLiteral("変更"), Frame1), 6120, 240, 495, 255);

    auto* frame2 = place(new QGroupBox(Frame1), 240, 520, 2655, 495);
    frame2->setAccessibleName(QStringLiteral("曲の更新 (Track change)"));
    place(new QLabel(QStringLiteral("曲の更新"), frame2), 120, 180, 735, 255);
    Option1[0] = place(new QRadioButton(QStringLiteral("終了後"), frame2), 960, 180, 975, 255);
    Option1[1] = place(new QRadioButton(QStringLiteral("即時"), frame2), 1800, 180, 735, 255);
    Option1[0]->setChecked(true);

    auto* frameback = place(new QGroupBox(Frame1), 3000, 520, 2175, 495);
    frameback->setAccessibleName(QStringLiteral("背景 (Background)"));
    place(new QLabel(QStringLiteral("背景"), frameback), 120, 180, 735, 255);
    OptionBack[0] = place(new QRadioButton(QStringLiteral("表示"), frameback), 600, 180, 975, 255);
    OptionBack[1] = place(new QRadioButton(QStringLiteral("無し"), frameback), 1320, 180, 735, 255);
    OptionBack[1]->setChecked(true);

    auto* palette = new PalettePicture(Frame1);
    Picture2 = place(palette, 5400, 600, 1530, 510);
    // Space or Enter picks the colour under the palette's marker, as a left-button release
    // there does.
    connect(palette, &PalettePicture::picked, this,
            [this](QPoint point) { Picture2_MouseUp(Qt::LeftButton, point.x(), point.y()); });

    auto* frameFont = place(new QGroupBox(Frame1), 240, 1080, 2655, 495);
    frameFont->setAccessibleName(QStringLiteral("文字 (Text size)"));
    place(new QLabel(QStringLiteral("文字"), frameFont), 120, 180, 735, 255);
    static const char* const sizes[3] = {"小", "中", "大"};
    for (int i = 0; i < 3; ++i)
        Optionfont[i] = place(new QRadioButton(QString::fromUtf8(sizes[i]), frameFont),
                              720 + 600 * i, 160, 495, 255);
    Optionfont[1]->setChecked(true);

    auto* frame4 = place(new QGroupBox(Frame1), 3000, 1080, 2175, 495);
    frame4->setAccessibleName(QStringLiteral("File types"));
    static const char* const types[3] = {"MP3", "MID", "WAV"};
    static const double typeLeft[3] = {60, 720, 1320};
    for (int i = 0; i < 3; ++i) {
        Check1[i] =
            place(new QCheckBox(QString::fromLatin1(types[i]), frame4), typeLeft[i], 120, 735, 255);
        Check1[i]->setChecked(true);
    }
    // MP3 files are always listed: the user cannot clear that box.
    Check1[0]->setEnabled(false);

    Label1 = place(new QLabel(QStringLiteral("アルファ"), Frame1), 5520, 1120, 735, 255);
    HScroll1 = place(new QScrollBar(Qt::Horizontal, Frame1), 5400, 1320, 1575, 255);
    // The slider overlaps the bottom of the caption's designed box: the caption keeps to
    // the part above the slider.
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(fontFittingHeight(Label1->font(), HScroll1->y() - Label1->y()));
    HScroll1->setRange(64, 255);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(16);
    HScroll1->setValue(200);

    // Frames, option circles and check boxes that read on every window colour.
    QList<QWidget*> styled{Frame1, frame2, frameback, frameFont, frame4};
    for (QRadioButton* option : Option1)
        styled << option;
    for (QRadioButton* option : OptionBack)
        styled << option;
    for (QRadioButton* option : Optionfont)
        styled << option;
    for (QCheckBox* box : Check1)
        styled << box;
    useReadableStyle(*this, styled);
}

void Form1::Form_Load() {
    // Translucent at 200 of 255 until the opacity setting is applied.
    setWindowOpacity(200 / 255.0);
    setcolor(DesignedBackground);
    if (Web1)
        Web1->goHome();
    Text1->setText(personalFolder());
    // Tab goes through the controls in reading order, and of the stacked group lists only to
    // the one shown.
    orderFocusByPlace(*this);
    m_groupPages->limitTabToFrontPage();
    Timer1.setSingleShot(true);
    Timer1.setInterval(300);
    setUpTitleDrag();
    // Key preview: the window sees every key before the focused control.
    qApp->installEventFilter(this);
    Form_Resize();
}

void Form1::Form_Unload() {
    if (m_unloaded)
        return;
    // From here on nothing else is stored and no scan goes on: a scan in progress (this
    // may run in one of its pauses) gives way at once.
    m_unloaded = true;
    m_core.scan().stop();
    for (int i = 0; i < 3; ++i)
        sonavue::writeSetting(m_options.appName, QStringLiteral("init"),
                              QStringLiteral("filter%1").arg(i),
                              QString::number(Check1[i]->isChecked() ? 1 : 0));
    m_core.media().close();
    // Every other window goes without its own closing handling.
    if (m_form4)
        delete m_form4.data();
    if (m_form3)
        delete m_form3.data();
    if (m_aboutSplash)
        delete m_aboutSplash.data();
    emit unloaded();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form1::writeSetting(const QString& key, const QString& value) {
    if (m_unloaded)
        return; // the unload wrote the last settings of this run
    sonavue::writeSetting(m_options.appName, QStringLiteral("init"), key, value);
}

QString Form1::readSetting(const QString& key, const QString& defaultValue) const {
    return sonavue::readSetting(m_options.appName, QStringLiteral("init"), key, defaultValue);
}

// --- Layout -------------------------------------------------------------------------------

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
    alignBackground();
}

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::Form_Resize() {
    if (!m_tracks)
        return;
    const double W = twips(width());
    const double H = twips(height());
    const bool maximized = windowState() & Qt::WindowMaximized;
    const ResizeGeometry g =
        resizeGeometry(W, H, maximized, twips(Image2->width()), twips(FrameBtn->width()),
                       [](double t) { return twips(px(t)); });

    m_tracks->setTitlesWidth(px(g.listNameWidth));
    const int groupWidth = px(g.groupWidth);
    OptionList->resize(groupWidth, OptionList->height());
    if (Web1) {
        Web1->move(px(g.webLeft), Web1->y());
        Web1->resize(std::max(0, px(g.webWidth)),
                     g.webHeight ? std::max(0, px(*g.webHeight)) : Web1->height());
    }
    m_groupPages->setPageWidth(groupWidth);
    Image2->move(px(g.closeButtonLeft), Image2->y());
    Picture1->resize(std::max(Picture1->width(), width()), Picture1->height());
    FrameBtn->move(px(g.frameBtnLeft), FrameBtn->y());
    setTopmost(g.topmost);
}

bool Form1::isTopmost() const {
    return windowFlags() & Qt::WindowStaysOnTopHint;
}

void Form1::setTopmost(bool on) {
    if (isTopmost() == on)
        return;
    // QWidget::setWindowFlag would re-create the native window, and a window manager then
    // forgets its size, place and focus; the native window takes the new flag as it is.
    overrideWindowFlags(windowFlags().setFlag(Qt::WindowStaysOnTopHint, on));
    if (QWindow* handle = windowHandle())
        handle->setFlags(windowFlags());
}

void Form1::fontresize(double size) {
    m_tracks->setListFontSize(size);
    m_groupPages->setListFontSize(size);
}

void Form1::focusset() {
    Timer1.start();
}

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor background = toQColor(m_colour);
    // The key colour RGB(15, 15, 15) is see-through.
    if (m_colour == KeyColour || !background.isValid()) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(),
                         m_colour == KeyColour ? QColor(Qt::transparent) : palette().window());
        return;
    }
    painter.fillRect(rect(), background);
}

// --- Volume ---------------------------------------------------------------------------------

void Form1::NewVolume(double level) {
    m_core.volume().setLevel(level);
}

void Form1::VolDown_Click() {
    m_core.volume().stepDown();
}

void Form1::showLevel(int level) {
    Vol->setText(QString::number(level));
}

void Form1::setNowPlaying(const QString& text) {
    // A tag's title field keeps its NUL padding; a label shows text up to the first NUL.
    title->setText(readableText(trimAtNul(text)));
    title->adjustSize();
}

} // namespace sonavue
