// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/cards/splashcard.h"

#include "base/version.h"

#include "ui/cards/cardwindow.h"
#include "ui/style/fonts.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace sonavue {
namespace {

const QColor CardColour(255, 255, 128);
const QColor VersionColour(0, 0, 128);
const QColor BuildColour(128, 128, 128);
const QColor CreditColour(96, 96, 64);

} // namespace

SplashCard::SplashCard(QWidget* owner)
    : FadingCard(owner, splashFadeStart(), SplashHoldMs, cardRect(0, 0, 4575, 1215), CardColour) {
    setObjectName(QStringLiteral("Form2"));
    resize(cardPixels(4680), cardPixels(1380));

    m_version = makeCardLabel(this, cardRect(360, 240, 3855, 495),
                              designedFont(QStringLiteral("Impact"), 18), VersionColour,
                              Qt::AlignHCenter | Qt::AlignTop);
    m_version->setText(versionCaption());
    m_build = makeCardLabel(this, cardRect(3240, 600, 1095, 255),
                            designedFont(QStringLiteral("Impact"), 9.75), BuildColour,
                            Qt::AlignLeft | Qt::AlignTop);
    m_build->setText(QStringLiteral("Build"));
    addCreditLine();

    placeCentred(owner);
    startFading();
}

void SplashCard::addCreditLine() {
    // Three small labels along the card's lower right edge, laid out from the right.
    const QFont font = designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 6.75);
    const QRect card = cardRect(0, 0, 4575, 1215);
    const QStringList words{QStringLiteral("Sonavue"), QStringLiteral("music player"),
                            QStringLiteral("for Linux")};
    constexpr int Margin = 8;
    constexpr int Gap = 4;
    int right = card.right() - Margin;
    for (qsizetype i = words.size() - 1; i >= 0; --i) {
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(words[i]) + 2;
        const int height = metrics.height();
        QLabel* label = makeCardLabel(
            this, QRect(right - width + 1, card.bottom() - Margin - height + 1, width, height),
            font, CreditColour, Qt::AlignLeft | Qt::AlignTop);
        label->setText(words[i]);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 2));
        right -= width + Gap;
    }
}

void SplashCard::placeCentred(QWidget* owner) {
    QRect area;
    if (owner)
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isNull())
        return;
    QRect placed(QPoint(), size());
    placed.moveCenter(area.center());
    move(placed.topLeft());
}

} // namespace sonavue
