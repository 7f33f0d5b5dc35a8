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

    // A start with (or without) a file: this copy takes the lock and runs (First); or another
    // copy runs and takes the file (Handed). A copy that holds the lock but does not listen yet
    // (starting at the same moment) is waited for, a few seconds; if it never listens and lets go
    // of the lock, this copy takes the lock and opens the file itself. NotHanded: a copy holds
    // the lock and never took the file; Failed: the lock cannot be taken (*error says why).
    enum class Start { First, Handed, NotHanded, Failed };
    static Start startOrHand(class SingleInstance &instance, const QString &file, QString *error,
                             const QString &socketPath = defaultPath(), int waitMs = 5000);

signals:
    // A path handed over ("" when the copy is only to come to the front).
    void handed(const QString &path);

private:
    void readFrom(class QLocalSocket *socket);

    QString m_path;
    QLocalServer *m_server = nullptr;
};
