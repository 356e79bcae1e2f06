#include "server/ServerOptions.h"

#include "common/Version.h"
#include "protocol/Port.h"

#include <QCommandLineParser>

#include <climits>

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
    const QCommandLineOption port(
        u"port"_s, u"Port to listen on; 0 picks a free one (default %1)."_s.arg(Port::kDefault), u"N"_s,
        QString::number(Port::kDefault));
    const QCommandLineOption db(
        u"db"_s,
        u"Database file (default: brastel-demo.sqlite beside the program, else the installed one)."_s,
        u"PATH"_s, defaultDatabasePath);
    const QCommandLineOption noNorms(u"no-norms"_s,
                                     u"Serve without norms: norm requests answer $No_Fiz_NormDB."_s);
    const QCommandLineOption logRequests(u"log-requests"_s, u"Log each request answered."_s);
    const QCommandLineOption maxClients(u"max-clients"_s, u"Clients served at once (default 1000)."_s, u"N"_s,
                                        u"1000"_s);
    const QCommandLineOption maxPerAddress(
        u"max-per-address"_s, u"Clients served at once from one address (default 50)."_s, u"N"_s, u"50"_s);
    const QCommandLineOption idleTimeout(
        u"idle-timeout"_s, u"Drop a client that sends no complete request for this long (default 60)."_s,
        u"SECONDS"_s, u"60"_s);
    parser.addOptions(
        {help, version, listen, port, db, noNorms, logRequests, maxClients, maxPerAddress, idleTimeout});

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
    // The first option that is not a whole number in its range is the one
    // reported.
    QString badNumber;
    const auto number = [&parser, &badNumber](const QCommandLineOption& option, uint least, uint most,
                                              const QString& wants) {
        bool ok = false;
        const QString text = parser.value(option);
        const uint value = text.toUInt(&ok);
        if (ok && value >= least && value <= most)
            return int(value);
        if (badNumber.isEmpty())
            badNumber = u"--%1 wants %2, not \"%3\""_s.arg(option.names().constFirst(), wants, text);
        return int(least);
    };
    options.port = quint16(number(port, 0, 65535, u"a number from 0 to 65535"_s));
    options.maxClients = number(maxClients, 1, INT_MAX, u"a number from 1"_s);
    options.maxClientsGiven = parser.isSet(maxClients);
    options.maxPerAddress = number(maxPerAddress, 1, INT_MAX, u"a number from 1"_s);
    // Whole seconds up to a day: the timer counts milliseconds in an int.
    options.idleTimeoutSeconds = number(idleTimeout, 1, 86400, u"seconds from 1 to 86400"_s);
    if (!badNumber.isEmpty())
        return fail(badNumber);
    options.databasePath = parser.value(db);
    options.norms = !parser.isSet(noNorms);
    options.logRequests = parser.isSet(logRequests);
    return options;
}
