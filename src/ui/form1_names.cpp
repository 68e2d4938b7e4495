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
namespace {

// What a screen reader says of a control. Japanese captions keep their text; the name may
// add an English word in brackets.
void describe(QWidget* control, const QString& name, const QString& description = {}) {
    control->setAccessibleName(name);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
}

} // namespace

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
    describe(Image1, QStringLiteral("Home"), QStringLiteral("The web panel shows its home page"));
    describe(Image3, QStringLiteral("戻る (Back)"),
             QStringLiteral("The web panel goes one page back"));
    describe(Progress1, QStringLiteral("Folders searched"));
    describe(Progress2, QStringLiteral("Files searched"));
    if (Web1)
        describe(Web1, QStringLiteral("Web panel"));
    describe(OptionList, QStringLiteral("Reserved List"),
             QStringLiteral("Played before the track list; a double-click removes an entry"));
    describe(title, QStringLiteral("Now playing"));
    describe(Vol, QStringLiteral("音量 (Volume level)"), Vol->text());
    describe(Command1, QStringLiteral("STOP"), QStringLiteral("Stops playing"));
    describe(Command3, QStringLiteral("ContinuousStart"),
             QStringLiteral("Plays the reserved list first, then on through the track list"));
    describe(Command4, QStringLiteral("Select Start"),
             QStringLiteral("Plays the selected track, then on from it"));
    describe(VScroll1, QStringLiteral("音量 (Volume)"));
    // Enter presses a focused button too, not only Space.
    for (QPushButton* button : {Command1, Command3, Command4})
        button->setAutoDefault(true);
    VScroll1->setFocusPolicy(Qt::StrongFocus);
}

} // namespace sonavue
