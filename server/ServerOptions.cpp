#include "server/ServerOptions.h"

#include "common/Version.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

ServerOptions ServerOptions::parse(const QStringList& arguments, const QString& defaultDatabasePath)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Demo recipe server for Quorvel: answers the client's requests from a SQLite database"
        " of the Indian Food Composition Tables 2017 and the Russian energy norms."_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Shows this help."_s);
    const QCommandLineOption version(u"version"_s, u"Shows the version."_s);
    const QCommandLineOption listen(u"listen"_s, u"Address to listen on (default 127.0.0.1)."_s, u"ADDR"_s,
                                    u"127.0.0.1"_s);
    const QCommandLineOption port(u"port"_s, u"Port to listen on; 0 picks a free one (default 400)."_s,
                                  u"N"_s, u"400"_s);
    const QCommandLineOption db(
        u"db"_s,
        u"Database file (default: brastel-demo.sqlite beside the program, else the installed one)."_s,
        u"PATH"_s, defaultDatabasePath);
    const QCommandLineOption noNorms(u"no-norms"_s,
                                     u"Serve without norms: norm requests answer $No_Fiz_NormDB."_s);
    const QCommandLineOption maxClients(u"max-clients"_s, u"Clients served at once (default 1000)."_s, u"N"_s,
                                        u"1000"_s);
    const QCommandLineOption maxPerAddress(
        u"max-per-address"_s, u"Clients served at once from one address (default 50)."_s, u"N"_s, u"50"_s);
    const QCommandLineOption idleTimeout(
        u"idle-timeout"_s, u"Drop a client that sends no complete request for this long (default 60)."_s,
        u"SECONDS"_s, u"60"_s);
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
        options.message = u"brastel-demo "_s + QLatin1StringView(Version::kText);
        return options;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(u"unexpected argument: "_s + parser.positionalArguments().first());

    if (!options.address.setAddress(parser.value(listen)))
        return fail(u"--listen wants an IP address, not \"%1\""_s.arg(parser.value(listen)));
    bool ok = false;
    const uint portNumber = parser.value(port).toUInt(&ok);
    if (!ok || portNumber > 65535)
        return fail(u"--port wants a number from 0 to 65535, not \"%1\""_s.arg(parser.value(port)));
    options.port = quint16(portNumber);
    const int clients = parser.value(maxClients).toInt(&ok);
    if (!ok || clients < 1)
        return fail(u"--max-clients wants a number from 1, not \"%1\""_s.arg(parser.value(maxClients)));
    options.maxClients = clients;
    options.maxClientsGiven = parser.isSet(maxClients);
    const int perAddress = parser.value(maxPerAddress).toInt(&ok);
    if (!ok || perAddress < 1)
        return fail(
            u"--max-per-address wants a number from 1, not \"%1\""_s.arg(parser.value(maxPerAddress)));
    options.maxPerAddress = perAddress;
    // Whole seconds up to a day: the timer counts milliseconds in an int.
    const int idle = parser.value(idleTimeout).toInt(&ok);
    if (!ok || idle < 1 || idle > 86400)
        return fail(
            u"--idle-timeout wants seconds from 1 to 86400, not \"%1\""_s.arg(parser.value(idleTimeout)));
    options.idleTimeoutSeconds = idle;
    options.databasePath = parser.value(db);
    options.norms = !parser.isSet(noNorms);
    return options;
}
