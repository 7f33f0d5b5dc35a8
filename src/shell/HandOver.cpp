#include "shell/HandOver.h"

#include "shell/HandOverMessage.h"
#include "shell/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

HandOver::HandOver(const QString &socketPath, QObject *parent) : QObject(parent), m_path(socketPath) {}

HandOver::~HandOver() = default;

QString HandOver::defaultPath()
{
    return QFileInfo(SingleInstance::defaultLockPath()).dir().filePath(QStringLiteral("prx5m.socket"));
}

bool HandOver::listen(QString *error)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_path);
    if (!m_server->listen(m_path)) {
        if (error)
            *error = m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
            readFrom(socket);
        }
    });
    return true;
}

void HandOver::readFrom(QLocalSocket *socket)
{
    if (socket->property("done").toBool())
        return;
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > HandOverMessage::kMaxLine)
            socket->abort();
        return;
    }
    // The path travels as base64: a file name may hold a line break.
    const QByteArray line = socket->readLine(HandOverMessage::kMaxLine).trimmed();
    socket->setProperty("done", true);
    const auto path = HandOverMessage::decode(line);
    socket->write(path ? "ok\n" : "no\n");
    socket->flush();
    if (path)
        emit handed(*path);
}

bool HandOver::send(const QString &path, const QString &socketPath, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(HandOverMessage::encode(path) + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The running copy says it took the path.
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    return socket.readLine(16).startsWith("ok");
}

HandOver::Start HandOver::startOrHand(SingleInstance &instance, const QString &file, QString *error,
                                      const QString &socketPath, int waitMs)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        switch (instance.acquire(error)) {
        case SingleInstance::Result::Acquired:
            return Start::First;
        case SingleInstance::Result::Failed:
            return Start::Failed;
        case SingleInstance::Result::HeldByRunningCopy:
            break;
        }
        // Connected, it waits for the answer as long as is left: a copy that is starting answers
        // once its window is up.
        if (send(file, socketPath, int(std::max<qint64>(500, waitMs - waited.elapsed()))))
            return Start::Handed;
        // The copy holding the lock may not listen yet: it is starting too.
        if (waited.elapsed() >= waitMs)
            return file.isEmpty() ? Start::Handed : Start::NotHanded;
        QThread::msleep(100);
    }
}
