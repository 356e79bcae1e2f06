#pragma once

#include <QString>
#include <QStringList>

// What the command line asks the program to do. The program takes no
// arguments of its own apart from naming the server for desktop launchers and
// demonstrations; with no argument it starts exactly as it always has.
struct StartOptions
{
    enum class Action
    {
        Run,
        Help,
        Version,
        Fail
    };

    Action action = Action::Run;
    // Set only by --server; empty means "keep the installation's default".
    QString host;
    QString port;
    // For Fail: one line saying what is wrong.
    QString error;
};

namespace CommandLine {

// Reads the arguments that follow the program name. Accepted:
//   --server HOST[:PORT] (also --server=HOST[:PORT]); HOST is a name, an IPv4
//   address or an IPv6 address (in brackets when a port follows: [::1]:400);
//   -h / --help; --version; and Qt's own options (-platform NAME, -style NAME,
//   -reverse ...), left in place for the toolkit to read.
StartOptions parse(const QStringList& arguments);

QString helpText();
// "quorvel 1.0.0"
QString versionText();

} // namespace CommandLine
