#pragma once

#include "protocol/Port.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

// The command line of brastel-demo.
struct ServerOptions
{
    enum class Status
    {
        Run,     // the fields below are set
        Help,    // `message` is the help text
        Version, // `message` is "brastel-demo 1.0.0"
        Error,   // `message` says what is wrong
    };

    Status status = Status::Run;
    QString message;
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = Port::kDefault;
    QString databasePath;
    bool norms = true;
    bool logRequests = false;
    int maxClients = 1000;
    bool maxClientsGiven = false; // on the command line, not the default
    int maxPerAddress = 50;
    int idleTimeoutSeconds = 60;

    // `arguments` as QCoreApplication gives them, the program name first.
    static ServerOptions parse(const QStringList& arguments, const QString& defaultDatabasePath);
};
