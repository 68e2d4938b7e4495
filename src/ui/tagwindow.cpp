#include "ui/tagwindow.h"

#include "base/nativepath.h"
#include "tags/coverart.h"
#include "tags/filetags.h"

#include "tags/id3v1.h"
#include "ui/cardwindow.h"
#include "ui/fonts.h"

#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTextOption>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

const QColor CardColour(255, 224, 192);
const QColor PathColour(64, 0, 64);
const QColor TagTextColour(64, 64, 64);
const QString CardFace = QStringLiteral("ＭＳ Ｐゴシック");
// The picture's place: left of the tag lines (which start at x 28) and below the path's
// usual lines, so that no label moves.
const QRect CoverRect(3, 79, 24, 24);
constexpr qint64 MaxPictureBytes = 16 * 1024 * 1024;

// The bytes of the regular file at path (never a FIFO or device; the open never blocks),
// or nothing when it is larger than a picture should be or cannot be read.
QByteArray pictureFileBytes(const QString& path) {
    const QByteArray native = pathToNative(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    QByteArray bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= MaxPictureBytes) {
        bytes.resize(qsizetype(st.st_size));
        const ssize_t got = ::pread(fd, bytes.data(), std::size_t(bytes.size()), 0);
        bytes.resize(got < 0 ? 0 : qsizetype(got));
    }
    ::close(fd);
    return bytes;
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

Form3::Form3(QWidget* owner, const TagReading& reading)
    : FadingCard(owner, tagFadeStart(), TagHoldMs, cardRect(0, 0, 4695, 1575), CardColour),
      m_reading(reading) {
    resize(cardPixels(4680), cardPixels(1665));

    const QFont lineFont = designedFont(CardFace, 12);
    const auto tagLine = [&](int top) {
        return makeCardLabel(this, cardRect(413, top, 3855, 375), lineFont, TagTextColour,
                             Qt::AlignHCenter | Qt::AlignTop);
    };
    m_label4 = tagLine(600);
    m_label4->setText(QStringLiteral("test"));
    m_label2 = tagLine(960);
    m_label3 = tagLine(1200);

    m_cover = new QLabel(this);
    m_cover->setGeometry(CoverRect);
    m_cover->setAlignment(Qt::AlignCenter);
    m_cover->hide();

    m_label1 = new PathLabel(this);
    m_label1->setTextFormat(Qt::PlainText);
    m_label1->setGeometry(cardRect(120, 0, 4455, 1575));
    m_label1->setFont(designedFont(CardFace, 9.75));
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label1->setWordWrap(true);
    QPalette palette = m_label1->palette();
    palette.setColor(QPalette::WindowText, PathColour);
    m_label1->setPalette(palette);
    m_label1->raise(); // in front of the other labels
    m_label1->installEventFilter(this);

    // Client area's top-left at (2610, 7995) twips on the screen.
    move(cardPixels(2610), cardPixels(7995));
    startFading();
    closeOnPressesElsewhere();
}

void Form3::setLabel1Tag(const QString& path) {
    m_label1Tag = path;
    // The press on a track that shows it here (another track's press) keeps the card open.
    keepOpenThroughPress();
}

void Form3::setLabel1Caption(const QString& caption) {
    if (caption == m_label1->text())
        return;
    m_label1->setText(caption);
    QString artist, album, title;
    std::uint8_t titleNo = 0;
    getMP3TAG(m_label1Tag, artist, album, title, titleNo, m_reading.codePage);
    std::optional<QByteArray> embedded;
    if (m_reading.id3v2 && isMp3Name(m_label1Tag)) {
        ID3v2Fields id3v2 = readID3v2(m_label1Tag);
        title = id3v2.title.value_or(title);
        artist = id3v2.artist.value_or(artist);
        album = id3v2.album.value_or(album);
        embedded = std::move(id3v2.frontCover);
    }
    m_label2->setText(artist);
    m_label3->setText(album);
    m_label4->setText(title);
    showCover(embedded);
}

void Form3::showCover(const std::optional<QByteArray>& embedded) {
    // As for the media controls: the track's own cover first, else its folder's picture.
    // The card needs no file, so the embedded picture is shown from its bytes.
    QImage picture;
    if (embedded)
        picture = QImage::fromData(*embedded);
    if (picture.isNull()) {
        const QString beside = folderCoverPath(m_label1Tag);
        if (!beside.isEmpty())
            picture = QImage::fromData(pictureFileBytes(beside));
    }
    if (picture.isNull()) {
        m_cover->clear();
        m_cover->hide();
        return;
    }
    m_cover->setPixmap(QPixmap::fromImage(
        picture.scaled(CoverRect.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_cover->show();
}

void Form3::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close(); // a click closes the card at once, without fading
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_label1 && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return FadingCard::eventFilter(watched, event);
}

} // namespace sonavue
