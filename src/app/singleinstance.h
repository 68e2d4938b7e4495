#pragma once
// One running player per user: a second start hands a "raise" request to the running one
// over a local socket and ends, instead of opening a second window.
#include <QLocalServer>
#include <QObject>
#include <QString>

class QWidget;

namespace sonavue {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,    // no other instance: this one listens for later starts
        HandedOver, // another instance runs and was asked to raise its window
        Alone,      // neither worked (socket folder unusable, foreign socket): run anyway
    };
    Q_ENUM(Role)

    // The per-user socket: $XDG_RUNTIME_DIR/sonavue-<uid>, or sonavue-<uid> in the
    // temporary folder when there is no runtime folder.
    static QString defaultSocketPath();

    explicit SingleInstance(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // Hands over to a running instance, or becomes the one that listens. A socket left by a
    // crashed instance (nobody accepts) is removed and taken over.
    Role start();
    const QString& socketPath() const { return m_socketPath; }

signals:
    // A later start asked this instance to show its window.
    void raiseRequested();

private:
    bool handOver();
    void acceptConnections();

    QString m_socketPath;
    QLocalServer m_server;
};

// Shows the window in front, restored from minimised, with the focus.
void raiseWindow(QWidget& window);

} // namespace sonavue
