// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The splash card with the version line; fades in, holds 2 s, fades out.
#include "ui/cards/fadingcard.h"

class QLabel;

namespace sonavue {

class SplashCard : public FadingCard {
    Q_OBJECT
public:
    // owner null: at start-up (centred on the screen); else owned by and centred on it.
    explicit SplashCard(QWidget* owner = nullptr);

    QLabel* versionLabel() const { return m_version; }
    QLabel* buildLabel() const { return m_build; }

private:
    void placeCentred(QWidget* owner);
    void addCreditLine();

    QLabel* m_version = nullptr;
    QLabel* m_build = nullptr;
};

} // namespace sonavue
