// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/settingsframe.h"

#include "ui/controlnames.h"
#include "ui/fonts.h"
#include "ui/palettepicture.h"
#include "ui/readablestyle.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
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
    QList<QWidget*> styled{this, m_text1};
    styled << buildOptionRow() << buildLowerRow();
    buildOpacity();
    styled << m_hscroll1;
    // Frames, option circles, check boxes, the folder box and the opacity slider that read on
    // every window colour.
    useReadableStyle(*this, styled);
    wire();
}

void SettingsFrame::buildFolderRow() {
    named(place(new QLabel(QStringLiteral("検索パス"), this), 240, 240, 735, 255),
          QStringLiteral("Label2"));
    m_text1 = named(place(new QLineEdit(this), 960, 240, 5175, 270), QStringLiteral("Text1"));
    m_command2 = named(place(new QPushButton(QStringLiteral("変更"), this), 6120, 240, 495, 255),
                       QStringLiteral("Command2"));
    m_text1->setAccessibleName(QStringLiteral("検索パス (Music folder)"));
    m_command2->setAccessibleName(QStringLiteral("変更 (Change folder)"));
    // Enter presses the focused button too, not only Space.
    m_command2->setAutoDefault(true);
}

QList<QWidget*> SettingsFrame::buildOptionRow() {
    auto* frame2 =
        optionBox(this, "曲の更新", QStringLiteral("曲の更新 (Track change)"), 240, 520, 2655);
    m_option1[0] = place(new QRadioButton(QStringLiteral("終了後"), frame2), 960, 180, 975, 255);
    m_option1[1] = place(new QRadioButton(QStringLiteral("即時"), frame2), 1800, 180, 735, 255);
    m_option1[0]->setChecked(true);
    nameInEnglishToo(m_option1[0], "After the track");
    nameInEnglishToo(m_option1[1], "At once");

    auto* frameback = optionBox(this, "背景", QStringLiteral("背景 (Background)"), 3000, 520, 2175);
    m_optionBack[0] =
        place(new QRadioButton(QStringLiteral("表示"), frameback), 600, 180, 975, 255);
    m_optionBack[1] =
        place(new QRadioButton(QStringLiteral("無し"), frameback), 1320, 180, 735, 255);
    m_optionBack[1]->setChecked(true);
    nameInEnglishToo(m_optionBack[0], "Shown");
    nameInEnglishToo(m_optionBack[1], "None");

    auto* palette = new PalettePicture(this);
    m_picture2 = named(place(palette, 5400, 600, 1530, 510), QStringLiteral("Picture2"));
    // Space or Enter picks the colour under the palette's marker, as a left-button release
    // there does; the release itself is seen by eventFilter.
    connect(palette, &PalettePicture::picked, this,
            [this](QPoint point) { emit colourPicked(Qt::LeftButton, point); });
    m_picture2->installEventFilter(this);

    QList<QWidget*> styled{frame2, frameback};
    for (int i = 0; i < 2; ++i) {
        styled << named(m_option1[i], indexedName("Option1", i))
               << named(m_optionBack[i], indexedName("OptionBack", i));
    }
    return styled;
}

QList<QWidget*> SettingsFrame::buildLowerRow() {
    auto* frameFont = optionBox(this, "文字", QStringLiteral("文字 (Text size)"), 240, 1080, 2655);
    static const char* const sizes[3] = {"小", "中", "大"};
    static const char* const sizeNames[3] = {"Small", "Medium", "Large"};
    for (int i = 0; i < 3; ++i) {
        m_optionfont[i] = named(place(new QRadioButton(QString::fromUtf8(sizes[i]), frameFont),
                                      720 + 600 * i, 160, 495, 255),
                                indexedName("Optionfont", i));
        nameInEnglishToo(m_optionfont[i], sizeNames[i]);
    }
    m_optionfont[1]->setChecked(true);

    auto* frame4 = optionBox(this, nullptr, QStringLiteral("File types"), 3000, 1080, 2175);
    static const char* const types[FileTypeCount] = {"MP3", "MID", "WAV"};
    static const double typeLeft[FileTypeCount] = {60, 720, 1320};
    for (int i = 0; i < FileTypeCount; ++i) {
        m_check1[i] = named(
            place(new QCheckBox(QString::fromLatin1(types[i]), frame4), typeLeft[i], 120, 735, 255),
            indexedName("Check1", i));
        m_check1[i]->setChecked(true);
    }
    // MP3 files are always listed: the user cannot clear that box.
    m_check1[0]->setEnabled(false);

    QList<QWidget*> styled{frameFont, frame4};
    for (QRadioButton* option : m_optionfont)
        styled << option;
    for (QCheckBox* box : m_check1)
        styled << box;
    return styled;
}

void SettingsFrame::buildOpacity() {
    m_label1 = named(place(new QLabel(QStringLiteral("アルファ"), this), 5520, 1120, 735, 255),
                     QStringLiteral("Label1"));
    m_hscroll1 = named(place(new QScrollBar(Qt::Horizontal, this), 5400, 1320, 1575, 255),
                       QStringLiteral("HScroll1"));
    // The slider overlaps the bottom of the caption's designed box: the caption keeps to
    // the part above the slider.
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label1->setFont(fontFittingHeight(m_label1->font(), m_hscroll1->y() - m_label1->y()));
    m_hscroll1->setRange(64, 255);
    m_hscroll1->setSingleStep(1);
    m_hscroll1->setPageStep(16);
    m_hscroll1->setValue(200);
    m_hscroll1->setAccessibleName(QStringLiteral("アルファ (Opacity)"));
    m_hscroll1->setFocusPolicy(Qt::StrongFocus);
}

void SettingsFrame::wire() {
    connect(m_command2, &QPushButton::clicked, this, &SettingsFrame::folderChangeRequested);
    connect(m_hscroll1, &QScrollBar::valueChanged, this, &SettingsFrame::opacityChanged);
    // Option buttons and check boxes ask for their handling whenever their value changes,
    // from the user or from code.
    for (int i = 0; i < 2; ++i) {
        connect(m_option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                emit trackChangeChosen(i == 1);
        });
        connect(m_optionBack[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                emit backgroundChosen(i);
        });
    }
    for (int i = 0; i < 3; ++i) {
        connect(m_optionfont[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                emit fontSizeChosen(i);
        });
    }
    for (int i = 0; i < FileTypeCount; ++i)
        connect(m_check1[i], &QCheckBox::toggled, this, [this, i] { emit fileTypesChanged(i); });
}

bool SettingsFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_picture2 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        emit colourPicked(mouse->button(), m_picture2->pixelUnder(*mouse));
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

QString SettingsFrame::folderText() const {
    return m_text1->text();
}
void SettingsFrame::setFolderText(const QString& folder) {
    m_text1->setText(folder);
}

bool SettingsFrame::immediateChange() const {
    return !m_option1[0]->isChecked();
}
void SettingsFrame::setImmediateChange(bool immediate) {
    m_option1[immediate ? 1 : 0]->setChecked(true);
}

bool SettingsFrame::backgroundShown() const {
    return m_optionBack[0]->isChecked();
}
void SettingsFrame::setBackgroundShown(bool shown) {
    m_optionBack[shown ? 0 : 1]->setChecked(true);
}

int SettingsFrame::fontSizeIndex() const {
    for (int i = 0; i < 3; ++i) {
        if (m_optionfont[i]->isChecked())
            return i;
    }
    return -1;
}
void SettingsFrame::setFontSizeIndex(int index) {
    m_optionfont[std::size_t(index)]->setChecked(true);
}

bool SettingsFrame::fileType(int index) const {
    return m_check1[std::size_t(index)]->isChecked();
}
std::array<bool, SettingsFrame::FileTypeCount> SettingsFrame::fileTypes() const {
    return {fileType(0), fileType(1), fileType(2)};
}
void SettingsFrame::setFileType(int index, bool listed) {
    m_check1[std::size_t(index)]->setChecked(listed);
}

int SettingsFrame::opacity() const {
    return m_hscroll1->value();
}
void SettingsFrame::setOpacity(int value) {
    m_hscroll1->setValue(value);
}

} // namespace sonavue
