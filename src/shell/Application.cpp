#include "shell/Application.h"

#include "common/HeapPolicy.h"
#include "common/StopSignals.h"
#include "common/Translations.h"
#include "fitness/FitnessController.h"
#include "protocol/ServerSession.h"
#include "report/fPreView.h"
#include "shell/AppIcon.h"
#include "shell/CommandLine.h"
#include "shell/SingleInstance.h"
#include "shell/fFeat.h"

#include <QApplication>
#include <QLineEdit>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QStringList rawArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Help, version and mistakes are answered on the terminal; a bad argument
// ends the program with status 2 as command-line tools do.
int answerOnTerminal(const StartOptions& options)
{
    switch (options.action) {
    case StartOptions::Action::Help:
        QTextStream(stdout) << CommandLine::helpText();
        return 0;
    case StartOptions::Action::Version:
        QTextStream(stdout) << CommandLine::versionText() << '\n';
        return 0;
    case StartOptions::Action::Fail:
        QTextStream(stderr) << "quorvel: " << options.error
                            << "\nTry 'quorvel --help' for more information.\n";
        return 2;
    case StartOptions::Action::Run:
        break;
    }
    return -1;
}

} // namespace

void connectFitness(fFeat& window, FitnessController& fitness)
{
    window.session().setReplyTarget(&fitness);
    // The user confirmed ending the whole program in the fitness window: the
    // main window's closing step ends it without asking again.
    fitness.setCloseProgramHandler([&window] {
        window.bUnLoadQues = false;
        window.Form_QueryUnload();
    });
    // "&Печать": a new preview of the ration as it is now, on every press.
    fitness.setPrintHandler([&fitness] { openPreview(fitness.reportSource()); });
}

void joinSingleInstance(SingleInstance& instance, fFeat& window)
{
    if (instance.role() == SingleInstance::Role::Unguarded)
        window.session().AddStatus(u"Работаем без защиты от второго запуска: "_s + instance.errorString());
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window] {
        window.showWindow();
        window.setNormalState();
        window.bringToFront();
    });
}

int runQuorvel(int argc, char* argv[])
{
    // Help, version and mistakes must be answered on a terminal without a
    // display, so the whole command line, the toolkit's own options included,
    // is judged before the toolkit starts.
    const StartOptions options = CommandLine::parse(rawArguments(argc, argv));
    if (options.action != StartOptions::Action::Run)
        return answerOnTerminal(options);

    keepLargeBuffersResident();
    QApplication app(argc, argv);
    // No display name: the platform would append it to every window's
    // caption, and the captions are fixed. Untitled windows and boxes still
    // show the application name.
    QApplication::setApplicationName(u"Quorvel"_s);
    QApplication::setWindowIcon(AppIcon::icon());
    // Wayland shells find the window's icon and entry through this name.
    QGuiApplication::setDesktopFileName(AppIcon::desktopId());
    installRussianTranslations(app);
    // The program lives in the notification area: hiding the main window
    // must not end it. It ends only through the main window's closing step.
    QApplication::setQuitOnLastWindowClosed(false);

    // Before the window: a second start must not add a tray icon or connect.
    // Without a guard (no runtime folder, a full disk) the program still
    // runs; the main window's log says so.
    SingleInstance instance;
    if (instance.start() == SingleInstance::Role::Other) {
        QTextStream(stdout) << "Quorvel is already running; its main window has been brought forward.\n";
        return 0;
    }

    fFeat window;
    joinSingleInstance(instance, window);
    window.setServerAddress(options.host, options.port);

    // The replies' owner: the recipe data and the fitness window, loaded when
    // the first catalogue arrives.
    FitnessController fitness(window.session());
    connectFitness(window, fitness);

    // A service stop or a logout ends the program as the confirmed closing
    // step does, without a question nobody is there to answer.
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &window, [&window] {
        window.bUnLoadQues = false;
        window.Form_QueryUnload();
    });

    window.Form_Load();
    window.show();
    const int status = QApplication::exec();
    window.session().setReplyTarget(nullptr);
    return status;
}
