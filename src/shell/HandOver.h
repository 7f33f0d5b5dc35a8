#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// How a second start hands its work file to the copy already running (prx5m FILE.syw while the
// program is open): a local socket in the user's runtime folder, beside the single-instance lock.
// The running copy listens; a second copy sends the file's path (or nothing, to bring the running
// copy to the front) and ends.
class HandOver : public QObject
{
    Q_OBJECT
public:
    explicit HandOver(const QString &socketPath = defaultPath(), QObject *parent = nullptr);
    ~HandOver() override;

    // The running copy (it holds the lock, so a socket left behind is stale and replaced).
    bool listen(QString *error);
    // A second copy: the path to open ("" to come to the front); false when no copy answered.
    static bool send(const QString &path, const QString &socketPath = defaultPath(), int timeoutMs = 5000);

    static QString defaultPath();

signals:
    // A path handed over ("" when the copy is only to come to the front).
    void handed(const QString &path);

private:
    void readFrom(class QLocalSocket *socket);

    QString m_path;
    QLocalServer *m_server = nullptr;
};
