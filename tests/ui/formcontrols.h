// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The main window's controls as the tests reach them: by their object names, the names the
// controls have always had. A control that is missing, of another type or named twice
// ends the test with its name.
#include "ui/controlnames.h"
#include "ui/imagebutton.h"
#include "ui/palettepicture.h"
#include "ui/settingsframe.h"
#include "ui/tabsel.h"
#include "ui/titlestrip.h"
#include "ui/transportbar.h"
#include "ui/volumebar.h"
#include "web/webpanel.h"

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
struct FormControls {
    explicit FormControls(const QWidget& form)
        : Picture1(control<TitleStrip>(form, QStringLiteral("Picture1"))),
          Label9(control<QLabel>(form, QStringLiteral("Label9"))),
          Image2(control<ImageButton>(form, QStringLiteral("Image2"))),
          Label4(control<QLabel>(form, QStringLiteral("Label4"))),
          title(control<QLabel>(form, QStringLiteral("title"))),
          FrameBtn(control<QWidget>(form, QStringLiteral("FrameBtn"))),
          Image1(control<ImageButton>(form, QStringLiteral("Image1"))),
          Image3(control<ImageButton>(form, QStringLiteral("Image3"))),
          ListNo(control<QListView>(form, QStringLiteral("ListNo"))),
          ListName(control<QListView>(form, QStringLiteral("ListName"))),
          Progress1(control<QProgressBar>(form, QStringLiteral("Progress1"))),
          Progress2(control<QProgressBar>(form, QStringLiteral("Progress2"))),
          Web1(optionalControl<WebPanel>(form, QStringLiteral("Web1"))),
          TabSel(controlArray<TabLabel, 6>(form, "TabSel")),
          Groupe(controlArray<QFrame, 6>(form, "Groupe")),
          TagGroupe(controlArray<QListView, 6>(form, "TagGroupe")),
          Label5(control<QLabel>(form, QStringLiteral("Label5"))),
          Vol(control<QLabel>(form, QStringLiteral("Vol"))),
          OptionList(control<QListView>(form, QStringLiteral("OptionList"))),
          MMControl1Bar(control<TransportBar>(form, QStringLiteral("MMControl1Bar"))),
          Command1(control<QPushButton>(form, QStringLiteral("Command1"))),
          Command3(control<QPushButton>(form, QStringLiteral("Command3"))),
          Command4(control<QPushButton>(form, QStringLiteral("Command4"))),
          VScroll1(control<VolumeBar>(form, QStringLiteral("VScroll1"))),
          Frame1(control<SettingsFrame>(form, QStringLiteral("Frame1"))),
          Label2(control<QLabel>(form, QStringLiteral("Label2"))),
          Text1(control<QLineEdit>(form, QStringLiteral("Text1"))),
          Command2(control<QPushButton>(form, QStringLiteral("Command2"))),
          Option1(controlArray<QRadioButton, 2>(form, "Option1")),
          OptionBack(controlArray<QRadioButton, 2>(form, "OptionBack")),
          Picture2(control<PalettePicture>(form, QStringLiteral("Picture2"))),
          Optionfont(controlArray<QRadioButton, 3>(form, "Optionfont")),
          Check1(controlArray<QCheckBox, 3>(form, "Check1")),
          Label1(control<QLabel>(form, QStringLiteral("Label1"))),
          HScroll1(control<QScrollBar>(form, QStringLiteral("HScroll1"))),
          Timer1(control<QTimer>(form, QStringLiteral("Timer1"))) {}

    TitleStrip* Picture1;
    QLabel* Label9;
    ImageButton* Image2;
    QLabel* Label4;
    QLabel* title;
    QWidget* FrameBtn;
    ImageButton* Image1;
    ImageButton* Image3;
    QListView* ListNo;
    QListView* ListName;
    QProgressBar* Progress1;
    QProgressBar* Progress2;
    WebPanel* Web1; // null when the window was made without its web panel
    std::array<TabLabel*, 6> TabSel;
    std::array<QFrame*, 6> Groupe;
    std::array<QListView*, 6> TagGroupe;
    QLabel* Label5;
    QLabel* Vol;
    QListView* OptionList;
    TransportBar* MMControl1Bar;
    QPushButton* Command1;
    QPushButton* Command3;
    QPushButton* Command4;
    VolumeBar* VScroll1;
    SettingsFrame* Frame1;
    QLabel* Label2;
    QLineEdit* Text1;
    QPushButton* Command2;
    std::array<QRadioButton*, 2> Option1;
    std::array<QRadioButton*, 2> OptionBack;
    PalettePicture* Picture2;
    std::array<QRadioButton*, 3> Optionfont;
    std::array<QCheckBox*, 3> Check1;
    QLabel* Label1;
    QScrollBar* HScroll1;
    QTimer* Timer1;
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
