// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/form1.h"

#include "base/nativepath.h"
#include "base/numbers.h"
#include "base/userfolders.h"
#include "playback/volume.h"
#include "ui/appearancecontroller.h"
#include "ui/backgroundfollower.h"
#include "ui/colours.h"
#include "ui/findfield.h"
#include "ui/fonts.h"
#include "ui/grouppages.h"
#include "ui/imagebutton.h"
#include "ui/keyboardaccess.h"
#include "ui/keypreview.h"
#include "ui/layoutrules.h"
#include "ui/layoutswitch.h"
#include "ui/palettepicture.h"
#include "ui/readablestyle.h"
#include "ui/reservedlistview.h"
#include "ui/settingsframe.h"
#include "ui/splashcard.h"
#include "ui/tabsel.h"
#include "ui/tagcard.h"
#include "ui/titlestrip.h"
#include "ui/tracklistpane.h"
#include "ui/transportbar.h"
#include "ui/twips.h"
#include "ui/volumebar.h"
#include "web/webpanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>

namespace sonavue {

Form1::Form1(PlayerCore& core, Options options) : m_core(core), m_options(std::move(options)) {
    setObjectName(QStringLiteral("Form1"));
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

Form1::~Form1() = default;

BackgroundWindow* Form1::backgroundWindow() const {
    return m_background ? m_background->window() : nullptr;
}

void Form1::buildControls() {
    Picture1 = new TitleStrip(this);

    Label4 = place(new QLabel(QStringLiteral("NOW"), this), 360, 480, 615, 255);
    Label4->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 9.75, true));
    // The now-playing label grows with its text, as an auto-sized label does.
    title = place(new QLabel(this), 960, 480, 105, 405);
    title->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 14.25, true));
    title->setTextFormat(Qt::PlainText); // tag text is shown as the letters it is, never markup

    // Track list: the number column lies under the left edge of the titles.
    m_tracks = new TrackListPane(m_core.browsing(), this);
    m_tracks->move(twipsRect(360, 840, 0, 0).topLeft());
    m_find = new FindField(m_core.browsing(), m_core.transport(), *m_tracks, this);

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

    MMControl1Bar = place(new TransportBar(this), 360, 9240, 2415, 975);
    Command1 = place(new QPushButton(QStringLiteral("STOP"), this), 2760, 9240, 1065, 975);
    Command3 =
        place(new QPushButton(QStringLiteral("ContinuousStart"), this), 3840, 9240, 1620, 495);
    Command4 = place(new QPushButton(QStringLiteral("Select Start"), this), 3840, 9720, 1620, 495);

    // Volume: 255 at the top, 0 at the bottom, steps 1 and 16.
    VScroll1 = place(new VolumeBar(this), 5400, 9240, 255, 975);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(16);
    VScroll1->setLevel(MiddleLevel);

    Frame1 = new SettingsFrame(this);
    nameControls();
    describeControls();
}

void Form1::buildGroupPages() {
    m_groupPages = new GroupPages(m_core.browsing(), this);
    m_groupPages->move(twipsRect(360, 4800, 0, 0).topLeft());
    for (int i = 0; i < GroupCount; ++i)
        m_core.groups()[i].setDeferred(true); // the scan's additions are shown in batches
}

void Form1::Form_Load() {
    // Translucent at 200 of 255 until the opacity setting is applied.
    setWindowOpacity(200 / 255.0);
    setcolor(DesignedBackground);
    if (Web1)
        Web1->goHome();
    Frame1->setFolderText(personalFolder());
    // Tab goes through the controls in reading order; of the stacked group lists only the one
    // shown is reached, the others being hidden.
    orderFocusByPlace(*this);
    Timer1.setSingleShot(true);
    Timer1.setInterval(300);
    m_keyPreview = new KeyPreview(
        *this, [this](int key, Qt::KeyboardModifiers modifiers) { Form_KeyDown(key, modifiers); });
    Form_Resize();
}

void Form1::Form_Unload() {
    if (m_unloaded)
        return;
    // From here on nothing else is stored and no scan goes on: a scan in progress (this
    // may run in one of its pauses) gives way at once.
    m_unloaded = true;
    m_keyPreview->stop();
    m_appearance->stopStoring();
    m_core.scan().stop();
    m_appearance->storeFileTypes();
    m_core.media().close();
    // Every other window goes without its own closing handling.
    m_background->discard();
    if (m_tagCard)
        delete m_tagCard.data();
    if (m_aboutSplash)
        delete m_aboutSplash.data();
    emit unloaded();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form1::writeSetting(const SettingKey& key, const QString& value) {
    if (m_unloaded)
        return; // the unload wrote the last settings of this run
    m_settings.write(key, value);
}

// --- Layout -------------------------------------------------------------------------------

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
    if (m_background)
        m_background->align();
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
        resizeGeometry(W, H, maximized, twips(Picture1->closeButtonWidth()),
                       twips(FrameBtn->width()), [](double t) { return twips(px(t)); });

    m_tracks->setTitlesWidth(px(g.listNameWidth));
    const int groupWidth = px(g.groupWidth);
    OptionList->resize(groupWidth, OptionList->height());
    if (Web1) {
        Web1->move(px(g.webLeft), Web1->y());
        Web1->resize(std::max(0, px(g.webWidth)),
                     g.webHeight ? std::max(0, px(*g.webHeight)) : Web1->height());
    }
    m_groupPages->setPageWidth(groupWidth);
    Picture1->placeCloseButton(px(g.closeButtonLeft));
    Picture1->resize(std::max(Picture1->width(), width()), Picture1->height());
    FrameBtn->move(px(g.frameBtnLeft), FrameBtn->y());
    setStaysOnTop(*this, g.topmost);
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
    m_core.transport().setVolumeLevel(level);
}

void Form1::VolDown_Click() {
    m_core.transport().setVolumeLevel(m_core.volume().level() - 10);
}

void Form1::showLevel(int level) {
    // The label's name says what it is; a screen reader reads the number as its description.
    Vol->setText(QString::number(level));
    Vol->setAccessibleDescription(Vol->text());
}

void Form1::setNowPlaying(const QString& text) {
    // A tag's title field keeps its NUL padding; a label shows text up to the first NUL.
    title->setText(readableText(trimAtNul(text)));
    title->setAccessibleDescription(title->text());
    title->adjustSize();
}

} // namespace sonavue
