#include "shell/CommandLine.h"

#include "common/Version.h"
#include "protocol/Port.h"

#include <QHostAddress>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace CommandLine {
namespace {

StartOptions failure(const QString& error)
{
    StartOptions options;
    options.action = StartOptions::Action::Fail;
    options.error = error;
    return options;
}

bool isIPv6(const QString& text)
{
    QHostAddress address;
    return address.setAddress(text) && address.protocol() == QAbstractSocket::IPv6Protocol;
}

// A host name by the usual label rules (letters, digits and hyphens, labels of
// 1 to 63 characters not starting or ending with a hyphen), or an IPv4
// address. A dotted run of numbers must be a real IPv4 address: "300.1.1.1"
// would otherwise slip through as a name.
bool isHostName(const QString& text)
{
    if (text.isEmpty() || text.size() > 253)
        return false;
    bool allNumeric = true;
    for (const QString& label : text.split(u'.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (QChar c : label) {
            if (!c.isLetterOrNumber() && c != u'-')
                return false;
            if (!(c >= u'0' && c <= u'9'))
                allNumeric = false;
        }
    }
    if (allNumeric) {
        QHostAddress address;
        return address.setAddress(text) && address.protocol() == QAbstractSocket::IPv4Protocol;
    }
    return true;
}

struct Server
{
    QString host;
    QString port;
};

std::optional<Server> parseServer(const QString& value)
{
    if (value.startsWith(u'[')) {
        const qsizetype close = value.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        const QString host = value.mid(1, close - 1);
        const QString rest = value.mid(close + 1);
        if (!isIPv6(host))
            return std::nullopt;
        if (rest.isEmpty())
            return Server{host, QString()};
        if (!rest.startsWith(u':') || Port::parse(rest.mid(1)) == 0)
            return std::nullopt;
        return Server{host, rest.mid(1)};
    }
    // More than one colon without brackets can only be a bare IPv6 address,
    // and then there is no port.
    if (value.count(u':') > 1)
        return isIPv6(value) ? std::optional<Server>(Server{value, QString()}) : std::nullopt;
    const qsizetype colon = value.indexOf(u':');
    const QString host = colon < 0 ? value : value.left(colon);
    if (!isHostName(host))
        return std::nullopt;
    if (colon < 0)
        return Server{host, QString()};
    const QString port = value.mid(colon + 1);
    if (Port::parse(port) == 0)
        return std::nullopt;
    return Server{host, port};
}

// The toolkit's own options (Qt reads and removes them when the application
// starts). They are recognised here so that the whole command line is judged
// before the toolkit starts: with no display it could not even start.
bool isToolkitFlag(const QString& name)
{
    static const QStringList flags = {u"reverse"_s, u"widgetcount"_s, u"nograb"_s, u"dograb"_s, u"sync"_s};
    return flags.contains(name);
}

bool isToolkitOptionWithValue(const QString& name)
{
    static const QStringList options = {u"platform"_s,
                                        u"platformpluginpath"_s,
                                        u"platformtheme"_s,
                                        u"plugin"_s,
                                        u"qwindowgeometry"_s,
                                        u"qwindowicon"_s,
                                        u"qwindowtitle"_s,
                                        u"session"_s,
                                        u"display"_s,
                                        u"geometry"_s,
                                        u"title"_s,
                                        u"icon"_s,
                                        u"name"_s,
                                        u"style"_s,
                                        u"stylesheet"_s,
                                        u"qmljsdebugger"_s};
    return options.contains(name);
}

} // namespace

StartOptions parse(const QStringList& arguments)
{
    const QString serverOption = u"--server"_s;
    bool help = false;
    bool version = false;
    std::optional<Server> server;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--help" || argument == u"-h") {
            help = true;
        } else if (argument == u"--version") {
            version = true;
        } else if (argument == serverOption || argument.startsWith(serverOption + u'=')) {
            if (server)
                return failure(u"--server may be given only once"_s);
            QString value;
            if (argument == serverOption) {
                if (i + 1 >= arguments.size())
                    return failure(u"--server needs a value: HOST or HOST:PORT"_s);
                value = arguments[++i];
            } else {
                value = argument.mid(serverOption.size() + 1);
            }
            server = parseServer(value);
            if (!server)
                return failure(u"malformed server \"%1\": expected HOST or HOST:PORT with a port "
                               "from 1 to 65535 (an IPv6 address in brackets: [::1]:400)"_s.arg(value));
        } else if (argument.startsWith(u'-') && argument != u"-" && argument != u"--") {
            // Qt takes "-name" and "--name" alike, and a value either next
            // or after "=".
            QString name = argument.mid(argument.startsWith(u"--") ? 2 : 1);
            const qsizetype equals = name.indexOf(u'=');
            const bool valueAttached = equals >= 0;
            if (valueAttached)
                name.truncate(equals);
            if (isToolkitOptionWithValue(name)) {
                if (!valueAttached && ++i >= arguments.size())
                    return failure(u"%1 needs a value"_s.arg(argument));
            } else if (!isToolkitFlag(name) || valueAttached) {
                return failure(u"unknown argument \"%1\""_s.arg(argument));
            }
        } else {
            return failure(u"unknown argument \"%1\""_s.arg(argument));
        }
    }
    StartOptions options;
    if (help)
        options.action = StartOptions::Action::Help;
    else if (version)
        options.action = StartOptions::Action::Version;
    if (server) {
        options.host = server->host;
        options.port = server->port;
    }
    return options;
}

QString helpText()
{
    return (u"Usage: quorvel [--server HOST[:PORT]]\n"
            "\n"
            "Client of the recipe server: composes a day's ration and its calorie report.\n"
            "It connects once by itself at start to the server named in its main window.\n"
            "\n"
            "Options:\n"
            "  --server HOST[:PORT]  fill in the server address (and port) before that\n"
            "                        first connection; HOST is a name or an address,\n"
            "                        an IPv6 address with a port goes in brackets:\n"
            "                        [::1]:400. Without it the installation's default\n"
            "                        address (%1) and port %2 are used.\n"
            "  -h, --help            show this help and exit\n"
            "  --version             show the version and exit\n"_s)
        .arg(QString::fromLatin1(Version::kDefaultServer), QString::number(Port::kDefault));
}

QString versionText()
{
    return u"quorvel "_s + QString::fromLatin1(Version::kText);
}

} // namespace CommandLine
