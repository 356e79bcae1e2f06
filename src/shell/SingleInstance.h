#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <memory>

// One Quorvel per user. A program that lives in the notification area must
// not show a second tray icon or open a second connection when it is started
// again from the menu: the first start listens on a local socket private to
// the user, and a later start asks it to bring its main window forward.
//
// A guard only the running one holds tells the first start from a later one:
// a lock file beside the socket on Unix, a named mutex on Windows, which the
// system drops with its process however that ends (Windows reuses process
// ids, so a lock file's owner could look alive long after it died).
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    enum class Role
    {
        First,     // this process is the one running; activationRequested() may follow
        Other,     // another one runs and has been asked to come forward
        Unguarded, // no guard could be had (errorString() says why): run without one
    };

    // `socketName` is the local socket (a path on Unix, a pipe name on Windows).
    explicit SingleInstance(const QString& socketName = defaultSocketName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    Role start();
    Role role() const { return m_role; }
    QString errorString() const;

    // Private to the user: in the user's runtime folder ($XDG_RUNTIME_DIR) on
    // Unix, empty when there is none; named after the user on Windows.
    static QString defaultSocketName();

signals:
    // A later start asked for the main window.
    void activationRequested();

private:
    class Guard;
    enum class Take
    {
        Held,
        Busy,
        Broken,
    };

    bool askRunningOne();
    void serve(QLocalSocket* peer);

    QString m_socketName;
    std::unique_ptr<Guard> m_guard;
    QLocalServer m_server;
    Role m_role = Role::Unguarded;
    QString m_error;
};
