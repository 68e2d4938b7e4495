// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The settings frame: the music folder, the track-change and background options, the colour
// palette, the text size, the file types and the opacity. It turns the user's actions into
// requests for the main window; its setters act as the user's action does.
#include "base/playabletypes.h"

#include <QGroupBox>
#include <QPoint>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace sonavue {

class PalettePicture;

class SettingsFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit SettingsFrame(QWidget* parent);

    // The folder box: the music folder, as shown.
    QString folderText() const;
    void setFolderText(const QString& folder);
    // After the playing track ends (false) or at once (true).
    bool immediateChange() const;
    void setImmediateChange(bool immediate);
    // The background option: the background window shown (true) or none.
    bool backgroundShown() const;
    void setBackgroundShown(bool shown);
    // 0 small, 1 middle, 2 large.
    int fontSizeIndex() const;
    void setFontSizeIndex(int index);
    // The file-type boxes, MP3, MID and WAV: whether the library lists that type (MP3
    // always).
    bool fileType(int index) const;
    std::array<bool, FileTypeCount> fileTypes() const;
    void setFileType(int index, bool listed);
    // The window's opacity, 64..255.
    int opacity() const;
    void setOpacity(int value);

signals:
    void folderChangeRequested();
    void trackChangeChosen(bool immediate);
    // 0: the background window shown, 1: none.
    void backgroundChosen(int index);
    void fontSizeChosen(int index);
    void fileTypesChanged(int index);
    void opacityChanged(int value);
    // A mouse button let go over the palette, or a pick from the keyboard (the left button).
    void colourPicked(Qt::MouseButton button, QPoint point);
    // "設定…" chosen from the frame's context menu: the settings dialog is asked for.
    void settingsDialogRequested();
    // The same menu's "プレイリストとして保存…": the track list shown is to be written out.
    void saveTrackListRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The right button or the menu key anywhere in the frame whose control has no menu of
    // its own (the folder box and the slider have theirs, the palette takes the button).
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildFolderRow();
    QList<QWidget*> buildOptionRow();
    QList<QWidget*> buildLowerRow();
    void buildOpacity();
    void buildMenu();
    void wire();

    QLineEdit* m_folderBox = nullptr;
    QPushButton* m_changeFolder = nullptr;
    std::array<QRadioButton*, 2> m_trackChange{};
    std::array<QRadioButton*, 2> m_background{};
    PalettePicture* m_palette = nullptr;
    std::array<QRadioButton*, 3> m_fontSize{};
    std::array<QCheckBox*, FileTypeCount> m_fileTypes{};
    QLabel* m_opacityLabel = nullptr;
    QScrollBar* m_opacityBar = nullptr;
    QMenu* m_menu = nullptr;
};

} // namespace sonavue
