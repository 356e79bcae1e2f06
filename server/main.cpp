// brastel-demo: a recipe server for trying Quorvel and for its tests.

#include "common/StopSignals.h"
#include "server/DemoDatabase.h"
#include "server/DemoServer.h"
#include "server/DescriptorLimit.h"
#include "server/RequestHandler.h"
#include "server/ServerOptions.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// Beside the program in a build tree; installed, in share/brastel-demo.
QString defaultDatabasePath()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString name = u"brastel-demo.sqlite"_s;
    if (QFileInfo::exists(programDir.filePath(name)))
        return programDir.filePath(name);
    return QDir::cleanPath(programDir.filePath(QStringLiteral(BRASTEL_DEMO_INSTALLED_DB_DIR "/") + name));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"brastel-demo"_s);
    // From the start: a stop asked for while the database opens is honoured
    // once serving begins.
    StopSignals stopSignals;
    QTextStream out(stdout);
    QTextStream err(stderr);

    const ServerOptions options = ServerOptions::parse(QCoreApplication::arguments(), defaultDatabasePath());
    if (options.status == ServerOptions::Status::Help) {
        out << options.message;
        return 0;
    }
    if (options.status == ServerOptions::Status::Version) {
        out << options.message << '\n';
        return 0;
    }
    if (options.status == ServerOptions::Status::Error) {
        err << "brastel-demo: " << options.message << "\n"
            << "Try --help.\n";
        return 2;
    }

    // Every client holds a descriptor: past the limit, accepting fails.
    const qint64 descriptors = DescriptorLimit::raiseSoftLimit();
    const qint64 allowed = DescriptorLimit::maxClients(descriptors);
    int maxClients = options.maxClients;
    if (descriptors >= 0 && maxClients > allowed) {
        if (options.maxClientsGiven) {
            err << "brastel-demo: --max-clients " << maxClients << " needs more open files than the limit of "
                << descriptors << " allows (at most " << allowed
                << " clients); raise it with ulimit -n or ask for fewer clients.\n";
            return 2;
        }
        maxClients = int(allowed);
    }

    DemoDatabase database;
    if (const QString problem = database.open(options.databasePath); !problem.isEmpty()) {
        err << "brastel-demo: cannot open the database: " << problem << "\n";
        return 1;
    }
    const RequestHandler handler(database, {options.norms, options.logRequests});
    ServerLimits limits;
    limits.maxClients = maxClients;
    limits.maxPerAddress = options.maxPerAddress;
    limits.idleTimeoutMs = options.idleTimeoutSeconds * 1000;
    DemoServer server(handler, limits);

    const QString where = (options.address.protocol() == QAbstractSocket::IPv6Protocol
                               ? u"[%1]"_s.arg(options.address.toString())
                               : options.address.toString());
    if (!server.listen(options.address, options.port)) {
        err << "brastel-demo: cannot listen on " << where << ":" << options.port << ": "
            << server.errorString() << "\n";
        if (options.port != 0 && options.port < 1024)
            err << "Ports below 1024 need privileges on Linux; --port 0 picks a free port.\n";
        return 1;
    }
    // The first line is read by scripts to learn the port; flushed at once.
    out << "Listening on " << where << ":" << server.serverPort() << Qt::endl;
    if (!options.norms)
        out << "Serving without norms" << Qt::endl;

    QObject::connect(&server, &DemoServer::logLine, &app, [&out](const QString& line) {
        out << QDateTime::currentDateTime().toString(Qt::ISODate) << " " << line << Qt::endl;
    });
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &server, &DemoServer::stop);
    QObject::connect(&server, &DemoServer::stopped, &app, [] { QCoreApplication::exit(0); });
    return QCoreApplication::exec();
}
