// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The main window's two cards: the tag card a pressed track opens and the splash card with
// the about line. One of each at a time; both end with the window, without their own closing.
#include "ui/cards/splashcard.h"
#include "ui/cards/tagcard.h"

#include <QPointer>
#include <functional>

namespace sonavue {

class CardWindows {
public:
    // reading outlives the cards; tagClosed runs when the tag card closes.
    CardWindows(QWidget& owner, const TagReading& reading, std::function<void()> tagClosed);
    ~CardWindows();
    CardWindows(const CardWindows&) = delete;
    CardWindows& operator=(const CardWindows&) = delete;

    // Opens the tag card (or keeps it open) on the track at path.
    void showTag(const QString& path);
    // Opens the splash card with the version and build lines.
    void showAbout();
    // The window unloads: the cards go at once.
    void discard();

    TagCard* tag() const { return m_tag; }
    SplashCard* splash() const { return m_splash; }

private:
    QWidget& m_owner;
    const TagReading& m_reading;
    std::function<void()> m_tagClosed;
    QPointer<TagCard> m_tag;
    QPointer<SplashCard> m_splash;
};

} // namespace sonavue
