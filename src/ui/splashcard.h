// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The splash card (object name Form2) with the version line; fades in, holds 2 s, fades out.
#include "ui/fadingcard.h"

class QLabel;

namespace sonavue {

class SplashCard : public FadingCard {
    Q_OBJECT
public:
    // owner null: at start-up (centred on the screen); else owned by and centred on it.
    explicit SplashCard(QWidget* owner = nullptr);

    QLabel* Label1() const { return m_label1; }
    QLabel* LabelBuild() const { return m_labelBuild; }

private:
    void placeCentred(QWidget* owner);
    void addCreditLine();

    QLabel* m_label1 = nullptr;
    QLabel* m_labelBuild = nullptr;
};

} // namespace sonavue
