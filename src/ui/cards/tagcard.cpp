// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/cards/tagcard.h"

#include "tags/containertags.h"
#include "tags/coverart.h"
#include "tags/filetags.h"
#include "tags/id3v1.h"
#include "tags/replaygain.h"
#include "ui/cards/cardwindow.h"
#include "ui/style/fonts.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTextOption>
#include <optional>

namespace sonavue {
namespace {

const QColor CardColour(255, 224, 192);
const QColor PathColour(64, 0, 64);
const QColor TagTextColour(64, 64, 64);
const QString CardFace = QStringLiteral("ＭＳ Ｐゴシック");
// The card as designed, and as it grows to the right to hold a picture beside the texts:
// no label moves, nor the window's top-left corner.
const QSize DesignedSize(cardPixels(4680), cardPixels(1665));
const QRect DesignedCard = cardRect(0, 0, 4695, 1575);
constexpr int CoverSide = 96;
constexpr int CoverMargin = 4;
const QRect CoverRect(DesignedSize.width(), CoverMargin, CoverSide, CoverSide);
const QSize GrownSize(CoverRect.right() + 1 + CoverMargin, DesignedSize.height());
const QRect GrownCard(0, 0, GrownSize.width(), DesignedCard.height());
// More characters than a line ever shows: the rest of a long tag is not laid out at all.
constexpr qsizetype MostLineCharacters = 512;

// A tag line's text from a tag that may hold any length: ending in "…" where it is wider
// than the line, rather than cut at both ends by the centring. The trailing record's texts
// (30 bytes at most) are shown as the card has always shown them.
void setLineText(QLabel* line, const std::optional<QString>& richer, const QString& record) {
    if (!richer) {
        line->setText(record);
        return;
    }
    QString text = *richer;
    if (text.size() > MostLineCharacters) {
        text.truncate(MostLineCharacters);
        if (text.back().isHighSurrogate())
            text.chop(1);
        text += QChar(0x2026);
    }
    line->setText(QFontMetrics(line->font()).elidedText(text, Qt::ElideRight, line->width()));
}

// A picture's bytes as an image to scale smoothly: in 32 bits, since a two-colour or
// indexed picture would be scaled, or shown, in its own few colours (dithered dots).
QImage coverImage(const QByteArray& bytes) {
    const QImage image = QImage::fromData(bytes);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

// The path label: a long path has no spaces to break at, so it wraps anywhere when a
// word does not fit.
class PathLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter.drawText(QRectF(contentsRect()), text(), option);
    }
};

} // namespace

TagCard::TagCard(QWidget* owner, const TagReading& reading)
    : FadingCard(owner, tagFadeStart(), TagHoldMs, DesignedCard, CardColour), m_reading(reading) {
    setObjectName(QStringLiteral("Form3"));
    resize(DesignedSize);

    const QFont lineFont = designedFont(CardFace, 12);
    const auto tagLine = [&](int top) {
        return makeCardLabel(this, cardRect(413, top, 3855, 375), lineFont, TagTextColour,
                             Qt::AlignHCenter | Qt::AlignTop);
    };
    m_title = tagLine(600);
    m_title->setText(QStringLiteral("test"));
    m_artist = tagLine(960);
    m_album = tagLine(1200);

    m_cover = new QLabel(this);
    m_cover->setGeometry(CoverRect);
    m_cover->setAlignment(Qt::AlignCenter);
    m_cover->hide();

    m_path = new PathLabel(this);
    m_path->setTextFormat(Qt::PlainText);
    m_path->setGeometry(cardRect(120, 0, 4455, 1575));
    m_path->setFont(designedFont(CardFace, 9.75));
    m_path->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_path->setWordWrap(true);
    QPalette palette = m_path->palette();
    palette.setColor(QPalette::WindowText, PathColour);
    m_path->setPalette(palette);
    m_path->raise(); // in front of the other labels
    m_path->installEventFilter(this);

    // Client area's top-left at (2610, 7995) twips on the screen.
    move(cardPixels(2610), cardPixels(7995));
    startFading();
    closeOnPressesElsewhere();
}

void TagCard::setTrackPath(const QString& path) {
    m_trackPath = path;
    // The press on a track that shows it here (another track's press) keeps the card open.
    keepOpenThroughPress();
}

void TagCard::setCaption(const QString& caption) {
    if (caption == m_path->text())
        return;
    m_path->setText(caption);
    // The trailing record as the card has always read an MP3's (and, like the catalogue, an
    // opt-in type's it lists), with the richer tags' texts over it where they have them.
    QString artist, album, title;
    std::uint8_t titleNo = 0;
    if (m_reading.extraTypes & extraTypeOfName(m_trackPath))
        getTrackTAG(m_trackPath, artist, album, title, titleNo, m_reading.codePage);
    else
        getMP3TAG(m_trackPath, artist, album, title, titleNo, m_reading.codePage);
    const ID3v2Fields richer = readRicherTags(m_trackPath, m_reading);
    setLineText(m_artist, richer.artist, artist);
    setLineText(m_album, richer.album, album);
    setLineText(m_title, richer.title, title);
    showCover(richer);
    // What ReplayGain applies to the track, when it is on.
    if (m_reading.replayGain != ReplayGainMode::Off)
        m_path->setToolTip(ReplayGain(m_reading.replayGain, m_reading.replayGainPreampDb)
                               .describe(readReplayGain(m_trackPath)));
}

void TagCard::showCover(const ID3v2Fields& tags) {
    // As for the media controls: the track's own picture first, else its folder's. The card
    // needs no file, so an embedded picture is shown from its bytes.
    QImage picture;
    offerCoverPictures(m_trackPath, tags, m_reading, [&picture](const QByteArray& bytes) {
        picture = coverImage(bytes);
        return !picture.isNull();
    });
    if (picture.isNull()) {
        m_cover->clear();
        m_cover->hide();
        setCardRect(DesignedCard);
        resize(DesignedSize);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(
        picture.scaled(CoverRect.size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    m_cover->setPixmap(pixmap);
    m_cover->show();
    resize(GrownSize);
    setCardRect(GrownCard);
}

void TagCard::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close(); // a click closes the card at once, without fading
}

bool TagCard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_path && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return FadingCard::eventFilter(watched, event);
}

} // namespace sonavue
