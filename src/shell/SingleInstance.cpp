#include "shell/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <QLockFile>
#endif

using namespace Qt::StringLiterals;

namespace {

const QByteArray kShow = QByteArrayLiteral("show\n");
const QByteArray kShown = QByteArrayLiteral("shown\n");
constexpr int kWaitMs = 3000;
// The first instance takes the guard before it listens; a start that falls
// into that gap, or into the moment the first one ends, tries again.
constexpr int kAttempts = 20;
constexpr int kAttemptPauseMs = 100;

} // namespace

#ifdef Q_OS_WIN

// A named mutex in the user's session: it lives exactly as long as some
// process holds a handle to it.
class SingleInstance::Guard
{
public:
    explicit Guard(const QString& socketName) : m_name(u"Local\\"_s + socketName) {}
    ~Guard() { release(); }

    Take take()
    {
        release();
        m_handle = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(m_name.utf16()));
        if (!m_handle) {
            m_error = u"cannot create the mutex %1 (error %2)"_s.arg(m_name).arg(GetLastError());
            return Take::Broken;
        }
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            release();
            return Take::Busy;
        }
        return Take::Held;
    }
    void release()
    {
        if (m_handle)
            CloseHandle(m_handle);
        m_handle = nullptr;
    }
    QString name() const { return m_name; }
    QString errorString() const { return m_error; }

private:
    QString m_name;
    HANDLE m_handle = nullptr;
    QString m_error;
};

QString SingleInstance::defaultSocketName()
{
    // Pipe names are seen by the whole machine: the user's name keeps them apart.
    return u"quorvel-"_s + qEnvironmentVariable("USERNAME");
}

#else

class SingleInstance::Guard
{
public:
    explicit Guard(const QString& socketName) : m_lock(socketName + u".lock"_s)
    {
        // Only a lock whose owner is gone is stale, however old it is.
        m_lock.setStaleLockTime(0);
    }

    Take take()
    {
        if (m_lock.tryLock(0))
            return Take::Held;
        if (m_lock.error() == QLockFile::LockFailedError)
            return Take::Busy;
        m_error = u"cannot create %1"_s.arg(m_lock.fileName());
        return Take::Broken;
    }
    void release() { m_lock.unlock(); }
    QString name() const { return m_lock.fileName(); }
    QString errorString() const { return m_error; }

private:
    QLockFile m_lock;
    QString m_error;
};

QString SingleInstance::defaultSocketName()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // Without a runtime folder a relative name would put the socket wherever
    // the program was started from.
    return folder.isEmpty() ? QString() : QDir(folder).filePath(u"quorvel.socket"_s);
}

#endif

SingleInstance::SingleInstance(const QString& socketName, QObject* parent)
    : QObject(parent), m_socketName(socketName), m_guard(std::make_unique<Guard>(socketName))
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server.nextPendingConnection())
            serve(peer);
    });
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start()
{
    if (m_socketName.isEmpty()) {
        m_error = u"there is no runtime folder for the socket"_s;
        return m_role = Role::Unguarded;
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        switch (m_guard->take()) {
        case Take::Held:
            // Holding the guard, any socket left there is a dead instance's.
            QLocalServer::removeServer(m_socketName);
            m_server.setSocketOptions(QLocalServer::UserAccessOption);
            if (!m_server.listen(m_socketName)) {
                m_error = m_server.errorString();
                m_guard->release();
                return m_role = Role::Unguarded;
            }
            return m_role = Role::First;
        case Take::Broken:
            m_error = m_guard->errorString();
            return m_role = Role::Unguarded;
        case Take::Busy:
            if (askRunningOne())
                return m_role = Role::Other;
            QThread::msleep(kAttemptPauseMs);
            break;
        }
    }
    // A hung holder must not keep the user from working.
    m_error = u"another instance holds %1 but does not answer"_s.arg(m_guard->name());
    return m_role = Role::Unguarded;
}

QString SingleInstance::errorString() const
{
    return m_error;
}

bool SingleInstance::askRunningOne()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
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
