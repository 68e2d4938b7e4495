// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The settings dialog: every opt-in key of the settings file with its value, a line saying
// what it does and the README's words as its tool tip. Each change is written at once, as
// the settings frame's choices are, and taken at once where the running player can take it.
// A key that changes what a scan reads says "読み直すと有効" (taken when the folder is read
// again) and the dialog offers to read it again now; a key read only at the start says
// "次回の起動から" (from the next start) until the value is the one the player runs with.
#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

namespace sonavue {

class OptInSettings;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // settings outlives the dialog.
    SettingsDialog(OptInSettings& settings, QWidget* parent);

private:
    QWidget* buildControl(int row);
    QWidget* buildSwitch(int row);
    QWidget* buildChoice(int row);
    QWidget* buildNumber(int row);
    QWidget* buildTypeList(int row);
    void nameControls(int row);
    void change(int row, const QString& value);
    void changeWord(int row, int index, bool chosen);
    // The row's mark: a value kept as the file has it, from the next start, not saved.
    void showState(int row, bool saved = true);
    void rescan();

    OptInSettings& m_settings;
    struct Row {
        std::vector<QWidget*> controls;
        QLabel* state = nullptr;
    };
    std::vector<Row> m_rows;
    QPushButton* m_rescan = nullptr;
};

} // namespace sonavue
