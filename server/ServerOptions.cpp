#include "ServerOptions.h"

#include "Version.h"

#include <QCommandLineParser>

ServerOptions ServerOptions::parse(const QStringList& arguments, const QString& defaultDatabasePath)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Demo recipe server for Quorvel: answers the client's requests from a SQLite database"
        " of the Indian Food Composition Tables 2017 and the Russian energy norms."_qs);
    const QCommandLineOption help({u"h"_qs, u"help"_qs}, u"Shows this help."_qs);
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Shows the version."));
    const QCommandLineOption listen(u"listen"_qs, u"Address to listen on (default 127.0.0.1)."_qs, u"ADDR"_qs,
                                    u"127.0.0.1"_qs);
    const QCommandLineOption port(u"port"_qs, u"Port to listen on; 0 picks a free one (default 400)."_qs,
                                  u"N"_qs, u"400"_qs);
    const QCommandLineOption db(
        u"db"_qs,
        u"Database file (default: brastel-demo.sqlite beside the program, else the installed one)."_qs,
        u"PATH"_qs, defaultDatabasePath);
    const QCommandLineOption noNorms(u"no-norms"_qs,
                                     u"Serve without norms: norm requests answer $No_Fiz_NormDB."_qs);
    const QCommandLineOption maxClients(u"max-clients"_qs, u"Clients served at once (default 1000)."_qs,
                                        u"N"_qs, u"1000"_qs);
    const QCommandLineOption maxPerAddress(
        QStringLiteral("max-per-address"),
        QStringLiteral("Clients served at once from one address (default 50)."), QStringLiteral("N"),
        QStringLiteral("50"));
    const QCommandLineOption idleTimeout(
        QStringLiteral("idle-timeout"),
        QStringLiteral("Drop a client that sends no complete request for this long (default 60)."),
        QStringLiteral("SECONDS"), QStringLiteral("60"));
    parser.addOptions({help, version, listen, port, db, noNorms, maxClients, maxPerAddress, idleTimeout});

    ServerOptions options;
    auto fail = [&options](const QString& message) {
        options.status = Status::Error;
        options.message = message;
        return options;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        options.status = Status::Help;
        options.message = parser.helpText();
        return options;
    }
    if (parser.isSet(version)) {
        options.status = Status::Version;
        options.message = QStringLiteral("brastel-demo ") + QLatin1StringView(Version::kText);
        return options;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(u"unexpected argument: "_qs + parser.positionalArguments().first());

    if (!options.address.setAddress(parser.value(listen)))
        return fail(u"--listen wants an IP address, not \"%1\""_qs.arg(parser.value(listen)));
    bool ok = false;
    const uint portNumber = parser.value(port).toUInt(&ok);
    if (!ok || portNumber > 65535)
        return fail(u"--port wants a number from 0 to 65535, not \"%1\""_qs.arg(parser.value(port)));
    options.port = quint16(portNumber);
    const int clients = parser.value(maxClients).toInt(&ok);
    if (!ok || clients < 1)
        return fail(u"--max-clients wants a number from 1, not \"%1\""_qs.arg(parser.value(maxClients)));
    options.maxClients = clients;
    options.maxClientsGiven = parser.isSet(maxClients);
    const int perAddress = parser.value(maxPerAddress).toInt(&ok);
    if (!ok || perAddress < 1)
        return fail(QStringLiteral("--max-per-address wants a number from 1, not \"%1\"")
                        .arg(parser.value(maxPerAddress)));
    options.maxPerAddress = perAddress;
    // Whole seconds up to a day: the timer counts milliseconds in an int.
    const int idle = parser.value(idleTimeout).toInt(&ok);
    if (!ok || idle < 1 || idle > 86400)
        return fail(QStringLiteral("--idle-timeout wants seconds from 1 to 86400, not \"%1\"")
                        .arg(parser.value(idleTimeout)));
    options.idleTimeoutSeconds = idle;
    options.databasePath = parser.value(db);
    options.norms = !parser.isSet(noNorms);
    return options;
}
