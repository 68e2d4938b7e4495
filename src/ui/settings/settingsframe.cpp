// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/settings/settingsframe.h"

#include "ui/settings/palettepicture.h"
#include "ui/style/controlnames.h"
#include "ui/style/fonts.h"
#include "ui/style/readablestyle.h"
#include "ui/style/twips.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace sonavue {
namespace {

// A captioned box of options inside the frame; the screen reader names it.
QGroupBox* optionBox(QWidget* parent, const char* caption, const QString& accessibleName,
                     double left, double top, double width) {
    auto* box = place(new QGroupBox(parent), left, top, width, 495);
    box->setAccessibleName(accessibleName);
    if (caption)
        place(new QLabel(QString::fromUtf8(caption), box), 120, 180, 735, 255);
    return box;
}

template <typename W> W* named(W* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

// An option's screen-reader name: its Japanese caption with an English word in brackets.
void nameInEnglishToo(QRadioButton* option, const char* english) {
    option->setAccessibleName(
        QStringLiteral("%1 (%2)").arg(option->text(), QString::fromLatin1(english)));
}

} // namespace

SettingsFrame::SettingsFrame(QWidget* parent) : QGroupBox(QStringLiteral("設定"), parent) {
    setObjectName(QStringLiteral("Frame1"));
    place(this, 5760, 8520, 7215, 1695);
    buildFolderRow();
    QList<QWidget*> styled{this, m_folderBox};
    styled << buildOptionRow() << buildLowerRow();
    buildOpacity();
    styled << m_opacityBar;
    // Frames, option circles, check boxes, the folder box and the opacity slider that read on
    // every window colour.
    useReadableStyle(*this, styled);
    buildMenu();
    wire();
}

void SettingsFrame::buildMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("settingsMenu"));
    connect(m_menu->addAction(QStringLiteral("設定…")), &QAction::triggered, this,
            &SettingsFrame::settingsDialogRequested);
    // A right press on a track shows its tags, so the list's own menu lives here.
    QAction* save = m_menu->addAction(QStringLiteral("プレイリストとして保存…"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E)); // shown; the window's key runs it
    connect(save, &QAction::triggered, this, &SettingsFrame::saveTrackListRequested);
    // A right-button release on the palette is the palette's own (it picks nothing).
    m_palette->setContextMenuPolicy(Qt::PreventContextMenu);
}

void SettingsFrame::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos());
    event->accept();
}

void SettingsFrame::buildFolderRow() {
    named(place(new QLabel(QStringLiteral("検索パス"), this), 240, 240, 735, 255),
          QStringLiteral("Label2"));
    m_folderBox = named(place(new QLineEdit(this), 960, 240, 5175, 270), QStringLiteral("Text1"));
    m_changeFolder =
        named(place(new QPushButton(QStringLiteral("変更"), this), 6120, 240, 495, 255),
              QStringLiteral("Command2"));
    m_folderBox->setAccessibleName(QStringLiteral("検索パス (Music folder)"));
    m_changeFolder->setAccessibleName(QStringLiteral("変更 (Change folder)"));
    // Enter presses the focused button too, not only Space.
    m_changeFolder->setAutoDefault(true);
}

QList<QWidget*> SettingsFrame::buildOptionRow() {
    auto* trackChangeBox =
        optionBox(this, "曲の更新", QStringLiteral("曲の更新 (Track change)"), 240, 520, 2655);
    m_trackChange[0] =
        place(new QRadioButton(QStringLiteral("終了後"), trackChangeBox), 960, 180, 975, 255);
    m_trackChange[1] =
        place(new QRadioButton(QStringLiteral("即時"), trackChangeBox), 1800, 180, 735, 255);
    m_trackChange[0]->setChecked(true);
    nameInEnglishToo(m_trackChange[0], "After the track");
    nameInEnglishToo(m_trackChange[1], "At once");

    auto* backgroundBox =
        optionBox(this, "背景", QStringLiteral("背景 (Background)"), 3000, 520, 2175);
    m_background[0] =
        place(new QRadioButton(QStringLiteral("表示"), backgroundBox), 600, 180, 975, 255);
    m_background[1] =
        place(new QRadioButton(QStringLiteral("無し"), backgroundBox), 1320, 180, 735, 255);
    m_background[1]->setChecked(true);
    nameInEnglishToo(m_background[0], "Shown");
    nameInEnglishToo(m_background[1], "None");

    auto* palette = new PalettePicture(this);
    m_palette = named(place(palette, 5400, 600, 1530, 510), QStringLiteral("Picture2"));
    // Space or Enter picks the colour under the palette's marker, as a left-button release
    // there does; the release itself is seen by eventFilter.
    connect(palette, &PalettePicture::picked, this,
            [this](QPoint point) { emit colourPicked(Qt::LeftButton, point); });
    m_palette->installEventFilter(this);

    QList<QWidget*> styled{trackChangeBox, backgroundBox};
    for (int i = 0; i < 2; ++i) {
        styled << named(m_trackChange[i], indexedName("Option1", i))
               << named(m_background[i], indexedName("OptionBack", i));
    }
    return styled;
}

QList<QWidget*> SettingsFrame::buildLowerRow() {
    auto* fontSizeBox =
        optionBox(this, "文字", QStringLiteral("文字 (Text size)"), 240, 1080, 2655);
    static const char* const sizes[3] = {"小", "中", "大"};
    static const char* const sizeNames[3] = {"Small", "Medium", "Large"};
    for (int i = 0; i < 3; ++i) {
        m_fontSize[i] = named(place(new QRadioButton(QString::fromUtf8(sizes[i]), fontSizeBox),
                                    720 + 600 * i, 160, 495, 255),
                              indexedName("Optionfont", i));
        nameInEnglishToo(m_fontSize[i], sizeNames[i]);
    }
    m_fontSize[1]->setChecked(true);

    auto* fileTypesBox = optionBox(this, nullptr, QStringLiteral("File types"), 3000, 1080, 2175);
    static const char* const types[FileTypeCount] = {"MP3", "MID", "WAV"};
    static const double typeLeft[FileTypeCount] = {60, 720, 1320};
    for (int i = 0; i < FileTypeCount; ++i) {
        m_fileTypes[i] = named(place(new QCheckBox(QString::fromLatin1(types[i]), fileTypesBox),
                                     typeLeft[i], 120, 735, 255),
                               indexedName("Check1", i));
        m_fileTypes[i]->setChecked(true);
    }
    // MP3 files are always listed: the user cannot clear that box.
    m_fileTypes[0]->setEnabled(false);

    QList<QWidget*> styled{fontSizeBox, fileTypesBox};
    for (QRadioButton* option : m_fontSize)
        styled << option;
    for (QCheckBox* box : m_fileTypes)
        styled << box;
    return styled;
}

void SettingsFrame::buildOpacity() {
    m_opacityLabel =
        named(place(new QLabel(QStringLiteral("アルファ"), this), 5520, 1120, 735, 255),
              QStringLiteral("Label1"));
    m_opacityBar = named(place(new QScrollBar(Qt::Horizontal, this), 5400, 1320, 1575, 255),
                         QStringLiteral("HScroll1"));
    // The slider overlaps the bottom of the caption's designed box: the caption keeps to
    // the part above the slider.
    m_opacityLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_opacityLabel->setFont(
        fontFittingHeight(m_opacityLabel->font(), m_opacityBar->y() - m_opacityLabel->y()));
    m_opacityBar->setRange(64, 255);
    m_opacityBar->setSingleStep(1);
    m_opacityBar->setPageStep(16);
    m_opacityBar->setValue(200);
    m_opacityBar->setAccessibleName(QStringLiteral("アルファ (Opacity)"));
    m_opacityBar->setFocusPolicy(Qt::StrongFocus);
}

void SettingsFrame::wire() {
    connect(m_changeFolder, &QPushButton::clicked, this, &SettingsFrame::folderChangeRequested);
    connect(m_opacityBar, &QScrollBar::valueChanged, this, &SettingsFrame::opacityChanged);
    // Option buttons and check boxes ask for their handling whenever their value changes,
    // from the user or from code.
    for (int i = 0; i < 2; ++i) {
        connect(m_trackChange[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                emit trackChangeChosen(i == 1);
        });
        connect(m_background[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                emit backgroundChosen(i);
        });
    }
    for (int i = 0; i < 3; ++i) {
        connect(m_fontSize[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                emit fontSizeChosen(i);
        });
    }
    for (int i = 0; i < FileTypeCount; ++i)
        connect(m_fileTypes[i], &QCheckBox::toggled, this, [this, i] { emit fileTypesChanged(i); });
}

bool SettingsFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_palette && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        emit colourPicked(mouse->button(), m_palette->pixelUnder(*mouse));
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

QString SettingsFrame::folderText() const {
    return m_folderBox->text();
}
void SettingsFrame::setFolderText(const QString& folder) {
    m_folderBox->setText(folder);
}

bool SettingsFrame::immediateChange() const {
    return !m_trackChange[0]->isChecked();
}
void SettingsFrame::setImmediateChange(bool immediate) {
    m_trackChange[immediate ? 1 : 0]->setChecked(true);
}

bool SettingsFrame::backgroundShown() const {
    return m_background[0]->isChecked();
}
void SettingsFrame::setBackgroundShown(bool shown) {
    m_background[shown ? 0 : 1]->setChecked(true);
}

int SettingsFrame::fontSizeIndex() const {
    for (int i = 0; i < 3; ++i) {
        if (m_fontSize[i]->isChecked())
            return i;
    }
    return -1;
}
void SettingsFrame::setFontSizeIndex(int index) {
    m_fontSize[std::size_t(index)]->setChecked(true);
}

bool SettingsFrame::fileType(int index) const {
    return m_fileTypes[std::size_t(index)]->isChecked();
}
std::array<bool, FileTypeCount> SettingsFrame::fileTypes() const {
    return {fileType(0), fileType(1), fileType(2)};
}
void SettingsFrame::setFileType(int index, bool listed) {
    m_fileTypes[std::size_t(index)]->setChecked(listed);
}

int SettingsFrame::opacity() const {
    return m_opacityBar->value();
}
void SettingsFrame::setOpacity(int value) {
    m_opacityBar->setValue(value);
}

} // namespace sonavue
