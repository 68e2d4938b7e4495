// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's controls by name: the object names tests and accessibility tools find
// them by, and what a screen reader says of each.
#include "ui/form1.h"

#include "ui/imagebutton.h"
#include "ui/reservedlistview.h"
#include "ui/transportbar.h"
#include "ui/volumebar.h"
#include "web/webpanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace sonavue {
void Form1::nameControls() {
    const std::initializer_list<std::pair<QObject*, const char*>> controls{
        {Label4, "Label4"},         {title, "title"},
        {FrameBtn, "FrameBtn"},     {Image1, "Image1"},
        {Image3, "Image3"},         {Progress1, "Progress1"},
        {Progress2, "Progress2"},   {Web1, "Web1"},
        {Label5, "Label5"},         {Vol, "Vol"},
        {OptionList, "OptionList"}, {MMControl1Bar, "MMControl1Bar"},
        {Command1, "Command1"},     {Command3, "Command3"},
        {Command4, "Command4"},     {VScroll1, "VScroll1"},
        {&Timer1, "Timer1"}};
    for (const auto& [control, name] : controls) {
        if (control)
            control->setObjectName(QLatin1String(name));
    }
}

void Form1::describeControls() {
    // What a screen reader says of each: Japanese captions keep their text; the name may add
    // an English word in brackets.
    const std::initializer_list<std::tuple<QWidget*, const char*, const char*>> controls{
        {Image1, "Home", "The web panel shows its home page"},
        {Image3, "戻る (Back)", "The web panel goes one page back"},
        {Progress1, "Folders searched", ""},
        {Progress2, "Files searched", ""},
        {Web1, "Web panel", ""},
        {OptionList, "Reserved List",
         "Played before the track list; a double-click removes an entry"},
        {title, "Now playing", ""},
        {Vol, "音量 (Volume level)", ""},
        {Command1, "STOP", "Stops playing"},
        {Command3, "ContinuousStart",
         "Plays the reserved list first, then on through the track list"},
        {Command4, "Select Start", "Plays the selected track, then on from it"},
        {VScroll1, "音量 (Volume)", ""}};
    for (const auto& [control, name, description] : controls) {
        if (!control)
            continue;
        control->setAccessibleName(QString::fromUtf8(name));
        if (*description)
            control->setAccessibleDescription(QString::fromUtf8(description));
    }
    Vol->setAccessibleDescription(Vol->text());
    // Enter presses a focused button too, not only Space.
    for (QPushButton* button : {Command1, Command3, Command4})
        button->setAutoDefault(true);
    VScroll1->setFocusPolicy(Qt::StrongFocus);
}

} // namespace sonavue
