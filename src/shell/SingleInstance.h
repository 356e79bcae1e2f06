#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// One Quorvel per user. A program that lives in the notification area must
// not show a second tray icon or open a second connection when it is started
// again from the menu: the first start listens on a local socket private to
// the user, and a later start asks it to bring its main window forward.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    enum class Role
    {
        First,  // this process is the one running; activationRequested() may follow
        Other,  // another one runs and has been asked to come forward
        Failed, // neither: errorString() says why
    };

    // `socketPath` is the local socket; a lock file sits beside it.
    explicit SingleInstance(const QString& socketPath = defaultSocketPath(), QObject* parent = nullptr);

    Role start();
    QString errorString() const;

    // In the user's runtime folder ($XDG_RUNTIME_DIR), which only the user may enter.
    static QString defaultSocketPath();

signals:
    // A later start asked for the main window.
    void activationRequested();

private:
    bool askRunningOne();
    void serve(QLocalSocket* peer);

    QString m_socketPath;
    QLockFile m_lock;
    QLocalServer m_server;
    QString m_error;
};
