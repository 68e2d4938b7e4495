// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/settings/settingsdialog.h"

#include "ui/settings/optinsettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace sonavue {
namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

// What the screen reader calls the option: its caption with the English words in brackets.
QString spokenName(const OptInOption& option) {
    return QStringLiteral("%1 (%2)").arg(utf8(option.caption), utf8(option.english));
}

} // namespace

SettingsDialog::SettingsDialog(OptInSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_rows(std::size_t(settings.count())) {
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("設定"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* grid = new QGridLayout;
    for (int row = 0; row < settings.count(); ++row) {
        const OptInOption& option = settings.option(row);
        // A check box carries its own caption, which switches it too.
        const bool switchBox = option.kind == OptionKind::Switch;
        auto* caption = new QLabel(switchBox ? QString() : utf8(option.caption), this);
        QWidget* control = buildControl(row);
        nameControls(row);
        caption->setBuddy(m_rows[std::size_t(row)].controls.front());
        auto* explanation = new QLabel(utf8(option.explanation), this);
        auto* state = new QLabel(this);
        state->setObjectName(QStringLiteral("state_") + QString(option.key->name));
        m_rows[std::size_t(row)].state = state;
        for (QWidget* shown : std::initializer_list<QWidget*>{caption, control, explanation})
            shown->setToolTip(utf8(option.toolTip));
        grid->addWidget(caption, row, 0);
        grid->addWidget(control, row, 1);
        grid->addWidget(explanation, row, 2);
        grid->addWidget(state, row, 3);
        showState(row);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_rescan = buttons->addButton(QStringLiteral("今すぐ読み直す"), QDialogButtonBox::ActionRole);
    m_rescan->setObjectName(QStringLiteral("rescanButton"));
    m_rescan->setAccessibleName(QStringLiteral("今すぐ読み直す (Rescan the music folder now)"));
    m_rescan->setToolTip(QStringLiteral(
        "Reads the music folder again, so that the changed tag settings and types take effect."));
    m_rescan->setEnabled(settings.rescanOffered());
    connect(m_rescan, &QPushButton::clicked, this, &SettingsDialog::rescan);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setText(QStringLiteral("閉じる"));
    close->setAccessibleName(QStringLiteral("閉じる (Close)"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    // Tab reaches the buttons as they stand, left to right.
    setTabOrder(m_rescan, close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("変更はすぐ設定ファイルに書かれ、できるものはすぐ効きます。"), this));
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

QWidget* SettingsDialog::buildControl(int row) {
    switch (m_settings.option(row).kind) {
    case OptionKind::Switch:
        return buildSwitch(row);
    case OptionKind::Choice:
        return buildChoice(row);
    case OptionKind::Number:
        return buildNumber(row);
    case OptionKind::TypeList:
        return buildTypeList(row);
    }
    return nullptr;
}

QWidget* SettingsDialog::buildSwitch(int row) {
    auto* box = new QCheckBox(utf8(m_settings.option(row).caption), this);
    box->setChecked(m_settings.value(row) == u"1");
    connect(box, &QCheckBox::toggled, this,
            [this, row](bool on) { change(row, on ? QStringLiteral("1") : QStringLiteral("0")); });
    m_rows[std::size_t(row)].controls = {box};
    return box;
}

QWidget* SettingsDialog::buildChoice(int row) {
    auto* list = new QComboBox(this);
    const QString value = m_settings.value(row);
    for (const OptionChoice& choice : m_settings.option(row).choices) {
        list->addItem(utf8(choice.label), QString(choice.value));
        if (value == choice.value)
            list->setCurrentIndex(list->count() - 1);
    }
    connect(list, &QComboBox::activated, this,
            [this, row, list] { change(row, list->currentData().toString()); });
    m_rows[std::size_t(row)].controls = {list};
    return list;
}

QWidget* SettingsDialog::buildNumber(int row) {
    const OptInOption& option = m_settings.option(row);
    auto* number = new QDoubleSpinBox(this);
    number->setDecimals(option.decimals);
    number->setRange(option.low, option.high);
    number->setSingleStep(option.decimals > 0 ? 0.5 : 1.0);
    number->setValue(m_settings.value(row).toDouble());
    // Typed digits are one change, written when the box is left or Enter pressed.
    number->setKeyboardTracking(false);
    connect(number, &QDoubleSpinBox::valueChanged, this,
            [this, row](double value) { change(row, QString::number(value)); });
    m_rows[std::size_t(row)].controls = {number};
    return number;
}

QWidget* SettingsDialog::buildTypeList(int row) {
    const OptInOption& option = m_settings.option(row);
    auto* words = new QWidget(this);
    auto* line = new QHBoxLayout(words);
    line->setContentsMargins(0, 0, 0, 0);
    Row& shown = m_rows[std::size_t(row)];
    for (std::size_t i = 0; i < option.choices.size(); ++i) {
        auto* box = new QCheckBox(utf8(option.choices[i].label), words);
        box->setChecked(m_settings.hasWord(row, int(i)));
        connect(box, &QCheckBox::toggled, this,
                [this, row, i](bool on) { changeWord(row, int(i), on); });
        line->addWidget(box);
        shown.controls.push_back(box);
    }
    return words;
}

void SettingsDialog::change(int row, const QString& value) {
    showState(row, m_settings.change(row, value));
}

void SettingsDialog::changeWord(int row, int index, bool chosen) {
    showState(row, m_settings.setWord(row, index, chosen));
}

void SettingsDialog::showState(int row, bool saved) {
    QStringList marks;
    if (!saved)
        marks << QStringLiteral("保存できませんでした");
    if (!m_settings.understood(row))
        marks << QStringLiteral("ファイルの値「%1」のまま").arg(m_settings.storedText(row));
    if (m_settings.fromNextStart(row))
        marks << QStringLiteral("次回の起動から");
    if (m_settings.waitsForRescan(row))
        marks << QStringLiteral("読み直すと有効");
    if (m_rescan)
        m_rescan->setEnabled(m_settings.rescanOffered());
    const Row& shown = m_rows[std::size_t(row)];
    shown.state->setText(marks.join(QStringLiteral("　")));
    // The screen reader hears the line and the mark with the control.
    const QString explanation = utf8(m_settings.option(row).explanation);
    for (QWidget* control : shown.controls)
        control->setAccessibleDescription((QStringList{explanation} << marks).join(u' '));
}

void SettingsDialog::rescan() {
    // The button goes off as the scan starts; what is changed meanwhile waits for the next.
    // The scan lets events run: the dialog may be closed before it ends.
    m_rescan->setEnabled(false);
    const QPointer<SettingsDialog> alive(this);
    m_settings.rescanNow();
    if (!alive)
        return;
    for (int row = 0; row < m_settings.count(); ++row)
        showState(row);
}

void SettingsDialog::nameControls(int row) {
    const OptInOption& option = m_settings.option(row);
    const std::vector<QWidget*>& controls = m_rows[std::size_t(row)].controls;
    if (option.kind != OptionKind::TypeList) {
        controls.front()->setObjectName(QString(option.key->name));
        controls.front()->setAccessibleName(spokenName(option));
        return;
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        controls[i]->setObjectName(QString(option.key->name) + u'_' + option.choices[i].value);
        controls[i]->setAccessibleName(
            QStringLiteral("%1: %2").arg(spokenName(option), utf8(option.choices[i].label)));
    }
}

} // namespace sonavue
