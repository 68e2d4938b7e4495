// The main window's side of files that come from outside: the reserved list takes them
// as it takes a double-clicked track, and continuous play starts when nothing plays.
#include "ui/form1.h"

#include "base/nativepath.h"
#include "ui/externalfiles.h"
#include "ui/settingsframe.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

namespace sonavue {
namespace {

constexpr int ReservedListLimit = 5;

// Nothing open, or a track stopped; a paused track is the user's and waits.
bool nothingPlays(Form1& form) {
    const MediaControl::State state = form.MMControl1().state();
    return (state == MediaControl::State::Closed || state == MediaControl::State::Stopped) &&
           !form.player().fading() && !form.player().startingTrack();
}

} // namespace

QStringList Form1::reserveExternalFiles(const QStringList& paths) {
    const FilePattern types = reservableTypes(Frame1->fileType(1), Frame1->fileType(2));
    const bool idle = nothingPlays(*this);
    QStringList answers;
    bool added = false;
    for (const QString& path : paths) {
        QString why = whyNotReservable(path, types);
        if (why.isEmpty() && OptionList->count() >= ReservedListLimit)
            why = QStringLiteral("the reserved list is full (%1 entries)").arg(ReservedListLimit);
        if (why.isEmpty()) {
            auto* item = new QListWidgetItem(readableText(path));
            item->setData(Qt::UserRole, path);
            OptionList->addItem(item);
            added = true;
            // While a track plays, the play option decides as for a double-click.
            if (!idle)
                m_player->trackReserved();
        }
        answers << why;
    }
    // After the caller has its answer: continuous start plays the reserved list's head.
    if (added && idle) {
        QTimer::singleShot(0, this, [this] {
            if (nothingPlays(*this) && OptionList->count() > 0)
                m_player->Command3_Click();
        });
    }
    return answers;
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void Form1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    QStringList paths;
    for (const QUrl& url : urls) {
        if (const std::optional<QString> path = pathOfFileUri(url))
            paths << *path;
        else
            reportRefusal(url.toDisplayString(), QStringLiteral("not a local file"));
    }
    const QStringList answers = reserveExternalFiles(paths);
    bool anyAdded = false;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        if (answers[i].isEmpty())
            anyAdded = true;
        else
            reportRefusal(paths[i], answers[i]);
    }
    if (anyAdded)
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace sonavue
