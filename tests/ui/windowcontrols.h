// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The main window's controls as the tests reach them: found by their object names, the names
// the controls have always had, and held under plain names. A control that is missing, of
// another type or named twice ends the test with its name.
#include "ui/controls/clickablelabel.h"
#include "ui/controls/imagebutton.h"
#include "ui/settings/palettepicture.h"
#include "ui/settings/settingsframe.h"
#include "ui/style/controlnames.h"
#include "ui/transport/transportbar.h"
#include "ui/transport/volumebar.h"
#include "ui/window/titlestrip.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <array>

namespace sonavue::testing {

// Every object named `name` in `form` and its controls, leaving out other windows that it
// owns (the splash of the about line, the tag window, the background window).
inline void collectNamed(const QObject& parent, const QString& name, QObjectList& found) {
    for (QObject* child : parent.children()) {
        if (child->isWidgetType() && static_cast<QWidget*>(child)->isWindow())
            continue;
        if (child->objectName() == name)
            found << child;
        collectNamed(*child, name, found);
    }
}

// The control named `name`, or null when the window has none (the web panel is optional).
template <typename W> W* optionalControl(const QWidget& form, const QString& name) {
    QObjectList found;
    collectNamed(form, name, found);
    if (found.size() > 1)
        qFatal("%d controls are named %s", int(found.size()), qPrintable(name));
    if (found.isEmpty())
        return nullptr;
    W* control = qobject_cast<W*>(found.front());
    if (!control)
        qFatal("the control %s is a %s, not a %s", qPrintable(name),
               found.front()->metaObject()->className(), W::staticMetaObject.className());
    return control;
}

template <typename W> W* control(const QWidget& form, const QString& name) {
    W* found = optionalControl<W>(form, name);
    if (!found)
        qFatal("the window has no control named %s", qPrintable(name));
    return found;
}

template <typename W, std::size_t N>
std::array<W*, N> controlArray(const QWidget& form, const char* name) {
    std::array<W*, N> controls{};
    for (int i = 0; i < int(N); ++i)
        controls[std::size_t(i)] = control<W>(form, indexedName(name, i));
    return controls;
}

// All of the window's controls at once, under their object names.
struct WindowControls {
    explicit WindowControls(const QWidget& form)
        : titleStrip(control<TitleStrip>(form, QStringLiteral("Picture1"))),
          sizeLabel(control<QLabel>(form, QStringLiteral("Label9"))),
          closeButton(control<ImageButton>(form, QStringLiteral("Image2"))),
          nowLabel(control<QLabel>(form, QStringLiteral("Label4"))),
          title(control<QLabel>(form, QStringLiteral("title"))),
          webButtons(control<QWidget>(form, QStringLiteral("FrameBtn"))),
          homeButton(control<ImageButton>(form, QStringLiteral("Image1"))),
          backButton(control<ImageButton>(form, QStringLiteral("Image3"))),
          numbersList(control<QListView>(form, QStringLiteral("ListNo"))),
          titlesList(control<QListView>(form, QStringLiteral("ListName"))),
          foldersBar(control<QProgressBar>(form, QStringLiteral("Progress1"))),
          filesBar(control<QProgressBar>(form, QStringLiteral("Progress2"))),
          webPanel(optionalControl<QWidget>(form, QStringLiteral("Web1"))),
          tabs(controlArray<TabLabel, 6>(form, "TabSel")),
          pages(controlArray<QFrame, 6>(form, "Groupe")),
          groupLists(controlArray<QListView, 6>(form, "TagGroupe")),
          reservedLabel(control<QLabel>(form, QStringLiteral("Label5"))),
          volumeLabel(control<QLabel>(form, QStringLiteral("Vol"))),
          reservedList(control<QListView>(form, QStringLiteral("OptionList"))),
          transportBar(control<TransportBar>(form, QStringLiteral("MMControl1Bar"))),
          stopButton(control<QPushButton>(form, QStringLiteral("Command1"))),
          continuousStartButton(control<QPushButton>(form, QStringLiteral("Command3"))),
          selectStartButton(control<QPushButton>(form, QStringLiteral("Command4"))),
          volumeBar(control<VolumeBar>(form, QStringLiteral("VScroll1"))),
          settingsFrame(control<SettingsFrame>(form, QStringLiteral("Frame1"))),
          folderLabel(control<QLabel>(form, QStringLiteral("Label2"))),
          folderBox(control<QLineEdit>(form, QStringLiteral("Text1"))),
          changeFolderButton(control<QPushButton>(form, QStringLiteral("Command2"))),
          trackChangeOptions(controlArray<QRadioButton, 2>(form, "Option1")),
          backgroundOptions(controlArray<QRadioButton, 2>(form, "OptionBack")),
          palette(control<PalettePicture>(form, QStringLiteral("Picture2"))),
          fontSizeOptions(controlArray<QRadioButton, 3>(form, "Optionfont")),
          fileTypeBoxes(controlArray<QCheckBox, 3>(form, "Check1")),
          opacityLabel(control<QLabel>(form, QStringLiteral("Label1"))),
          opacityBar(control<QScrollBar>(form, QStringLiteral("HScroll1"))),
          focusTimer(control<QTimer>(form, QStringLiteral("Timer1"))) {}

    TitleStrip* titleStrip;
    QLabel* sizeLabel;
    ImageButton* closeButton;
    QLabel* nowLabel;
    QLabel* title;
    QWidget* webButtons;
    ImageButton* homeButton;
    ImageButton* backButton;
    QListView* numbersList;
    QListView* titlesList;
    QProgressBar* foldersBar;
    QProgressBar* filesBar;
    QWidget* webPanel; // null when the window was made without its web panel
    std::array<TabLabel*, 6> tabs;
    std::array<QFrame*, 6> pages;
    std::array<QListView*, 6> groupLists;
    QLabel* reservedLabel;
    QLabel* volumeLabel;
    QListView* reservedList;
    TransportBar* transportBar;
    QPushButton* stopButton;
    QPushButton* continuousStartButton;
    QPushButton* selectStartButton;
    VolumeBar* volumeBar;
    SettingsFrame* settingsFrame;
    QLabel* folderLabel;
    QLineEdit* folderBox;
    QPushButton* changeFolderButton;
    std::array<QRadioButton*, 2> trackChangeOptions;
    std::array<QRadioButton*, 2> backgroundOptions;
    PalettePicture* palette;
    std::array<QRadioButton*, 3> fontSizeOptions;
    std::array<QCheckBox*, 3> fileTypeBoxes;
    QLabel* opacityLabel;
    QScrollBar* opacityBar;
    QTimer* focusTimer;
};

// The texts of a list's rows, top to bottom.
inline QStringList rows(const QListView* view) {
    QStringList out;
    for (int i = 0; i < view->model()->rowCount(); ++i)
        out << view->model()->index(i, 0).data().toString();
    return out;
}

// The highlighted row of a list as the user sees it, or -1.
inline int highlighted(const QListView* view) {
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

} // namespace sonavue::testing
