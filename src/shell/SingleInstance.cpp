#include "shell/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kShow = QByteArrayLiteral("show\n");
const QByteArray kShown = QByteArrayLiteral("shown\n");
constexpr int kWaitMs = 3000;
// The first instance takes the lock before it listens; a start that falls
// into that gap, or into the moment the first one ends, tries again.
constexpr int kAttempts = 20;
constexpr int kAttemptPauseMs = 100;

} // namespace

SingleInstance::SingleInstance(const QString& socketPath, QObject* parent)
    : QObject(parent), m_socketPath(socketPath), m_lock(socketPath + u".lock"_s)
{
    // Only a lock whose owner is gone is stale, however old it is.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server.nextPendingConnection())
            serve(peer);
    });
}

QString SingleInstance::defaultSocketPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(u"quorvel.socket"_s);
}

SingleInstance::Role SingleInstance::start()
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (m_lock.tryLock(0)) {
            // Holding the lock, any socket file there is one a crashed
            // instance left behind.
            QLocalServer::removeServer(m_socketPath);
            m_server.setSocketOptions(QLocalServer::UserAccessOption);
            if (!m_server.listen(m_socketPath)) {
                m_error = m_server.errorString();
                m_lock.unlock();
                return Role::Failed;
            }
            return Role::First;
        }
        if (askRunningOne())
            return Role::Other;
        QThread::msleep(kAttemptPauseMs);
    }
    m_error = u"another instance holds %1 but does not answer"_s.arg(m_lock.fileName());
    return Role::Failed;
}

QString SingleInstance::errorString() const
{
    return m_error;
}

bool SingleInstance::askRunningOne()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(kShow);
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    while (socket.bytesAvailable() < kShown.size()) {
        if (!socket.waitForReadyRead(kWaitMs))
            return false;
    }
    return socket.read(kShown.size()) == kShown;
}

void SingleInstance::serve(QLocalSocket* peer)
{
    connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    QTimer::singleShot(kWaitMs, peer, &QLocalSocket::abort);
    // Whatever else arrives is not ours to read: one short request, or the
    // connection goes.
    connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
        if (peer->bytesAvailable() < kShow.size())
            return;
        if (peer->read(kShow.size()) == kShow) {
            emit activationRequested();
            peer->write(kShown);
            peer->flush();
        }
        peer->disconnectFromServer();
    });
}
