#include "Application.h"

#include <QApplication>
#include <QWidget>

int runQuorvel(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Клиент"));
    window.show();
    return app.exec();
}
