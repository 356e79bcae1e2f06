// brastel-demo-makedb DATA_DIR DATABASE: builds the demo server's database
// from the committed source data (run by the build).

#include "server/DemoDatabaseBuilder.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: brastel-demo-makedb DATA_DIR DATABASE\n";
        return 2;
    }
    if (const QString problem = DemoDatabaseBuilder::build(args[1], args[2]); !problem.isEmpty()) {
        err << "brastel-demo-makedb: " << problem << "\n";
        return 1;
    }
    return 0;
}
