// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/cards/cardwindows.h"

#include "base/version.h"

#include <QLabel>

namespace sonavue {

CardWindows::CardWindows(QWidget& owner, const TagReading& reading, std::function<void()> tagClosed)
    : m_owner(owner), m_reading(reading), m_tagClosed(std::move(tagClosed)) {}

CardWindows::~CardWindows() {
    discard();
}

void CardWindows::showTag(const QString& path) {
    if (!m_tag) {
        m_tag = new TagCard(&m_owner, m_reading);
        QObject::connect(m_tag, &TagCard::closed, &m_owner, [this] { m_tagClosed(); });
        m_tag->show();
    }
    m_tag->setTrackPath(path);
    m_tag->setCaption(path);
}

void CardWindows::showAbout() {
    if (!m_splash) {
        m_splash = new SplashCard(&m_owner);
        m_splash->show();
    }
    m_splash->buildLabel()->setText(buildCaption());
}

void CardWindows::discard() {
    delete m_tag.data();
    delete m_splash.data();
}

} // namespace sonavue
