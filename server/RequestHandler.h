#pragma once

#include <QString>

class DemoDatabase;

// Turns one request of the client into what the server does about it: a
// reply, a message for the administrator, or dropping the client. No sockets:
// the text in is a message without its terminator, the reply text out is one
// without it.
class RequestHandler final
{
public:
    struct Options
    {
        // Off: every norm request answers "$No_Fiz_NormDB", as a server
        // without a norm database does.
        bool norms = true;
        // On: each request answered is a line of the server's log.
        bool logRequests = false;
    };

    enum class Action
    {
        Reply,        // send `text`
        AdminMessage, // "$Mess=": write `text` (the user's message) to the log, send nothing
        Drop,         // not a request at all: close the connection; `text` says why
    };

    struct Outcome
    {
        Action action;
        QString text;
        QString logNote; // something the administrator should know, or empty
    };

    RequestHandler(const DemoDatabase& database, Options options);
    Q_DISABLE_COPY_MOVE(RequestHandler)

    // Request words are matched without regard to letter case; the names
    // after them exactly, as the client sends back what it was given.
    Outcome handle(const QString& message) const;
    bool logsRequests() const { return m_options.logRequests; }

private:
    QString catalogue() const;
    QString dishes(const QString& collection) const;
    QString composition(const QString& arguments) const;
    QString norms(bool men) const;

    const DemoDatabase& m_database;
    Options m_options;
};
