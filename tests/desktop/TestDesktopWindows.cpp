#include "desktop/Desktop.h"

#include "common/Translations.h"
#include "fitness/FitnessController.h"
#include "fitness/RationReportSource.h"
#include "fitness/fEnergy.h"
#include "fitness/layout/FitnessLayout.h"
#include "fitness/layout/Twips.h"
#include "protocol/ServerSession.h"
#include "shell/Application.h"
#include "shell/fFeat.h"
#include "support/HostileServer.h"
#include "support/TempSettings.h"

#include <QApplication>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {
Desktop* g_desktop = nullptr;
}

// The program's windows in this process, on the real X platform with a
// window manager: what only real fonts, frames and dialogs show.
class TestDesktopWindows : public QObject
{
    Q_OBJECT

    TempSettings m_settings;

private slots:
    void mainWindowShowsWholeCaptions()
    {
        fFeat window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QList<QWidget*> shown;
        for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (window.rect().contains(control->geometry().topLeft()))
                shown << control;
        }
        QCOMPARE(shown.size(), 11); // all but the manual command facility
        for (QWidget* control : shown) {
            QVERIFY2(window.rect().contains(control->geometry()), qPrintable(control->objectName()));
            if (qobject_cast<QLabel*>(control) || qobject_cast<QPushButton*>(control))
                QVERIFY2(control->width() >= control->sizeHint().width(), qPrintable(control->objectName()));
            for (QWidget* other : shown)
                QVERIFY2(other == control || !control->geometry().intersects(other->geometry()),
                         qPrintable(control->objectName() + u" overlaps "_s + other->objectName()));
        }
    }

    void exitQuestionSpeaksRussian()
    {
        fFeat window;
        window.bUnLoadQues = true;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList seen;
        QTimer::singleShot(500, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* button : box->buttons())
                seen << button->text();
            seen << g_desktop->title(QString::number(box->winId()));
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!window.Form_QueryUnload());
        seen.sort();
        QCOMPARE(seen, (QStringList{u"Да"_s, u"Нет"_s, u"Сервер рецептур"_s}));
    }

    // A "$Mess=" of a megabyte from a hostile server: its box keeps to the
    // screen, and its button takes a real click.
    void hugeServerMessageFitsTheScreen()
    {
        HostileServer hostile("$Mess=" + QByteArray("line of text\r\n").repeated(80000) + "<\xA5>");
        fFeat window;
        window.setServerAddress(QString(), hostile.port());
        QRect boxFrame;
        QRect screen;
        bool clicked = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (clicked || !box || !QTest::qWaitForWindowExposed(box))
                return;
            clicked = true;
            QTest::qWait(300); // the window manager's frame
            boxFrame = box->frameGeometry();
            screen = box->screen()->availableGeometry();
            const QAbstractButton* ok = box->button(QMessageBox::Ok);
            const QPoint centre = ok->mapToGlobal(ok->rect().center());
            g_desktop->x(u"xdotool"_s, {u"mousemove"_s, QString::number(centre.x()),
                                        QString::number(centre.y()), u"click"_s, u"1"_s});
        });
        poll.start(100);
        window.Form_Load();
        QVERIFY(QTest::qWaitFor([&] { return clicked && !QApplication::activeModalWidget(); }, 30000));
        QVERIFY2(screen.contains(boxFrame),
                 qPrintable(QDebug::toString(boxFrame) + u" on "_s + QDebug::toString(screen)));
    }

    // The fitness window opens when the catalogue arrives from the demo server;
    // at every size its controls sit where the layout rules put them.
    void fitnessLayoutFollowsTheRules()
    {
        const QString port = g_desktop->startDemoServer(QStringLiteral(BRASTEL_DEMO_BINARY));
        QVERIFY(!port.isEmpty());
        fFeat window;
        window.setServerAddress(QString(), port);
        FitnessController fitness(window.session());
        const RationReportSource report(fitness);
        connectFitness(window, fitness, report);
        window.Form_Load();
        QVERIFY(QTest::qWaitFor([&] { return fitness.window() && fitness.window()->isVisible(); }, 20000));
        fEnergy& energy = *fitness.window();
        QVERIFY(QTest::qWaitForWindowExposed(&energy));
        QCOMPARE(g_desktop->title(QString::number(energy.winId())), u"Запрос калорийности с сервера"_s);

        // The rules keep what they computed from one size to the next.
        FitnessLayout expected = FitnessLayout::design();
        const double dpi = energy.logicalDpiY();
        const auto name = [](int i) {
            static const char* const names[] = {"cMan",   "cGirl",   "lKFA",    "cKFA",      "lVozr", "cVozr",
                                                "lBases", "lDishes", "lFindBB", "lFindD",    "lOut",  "tOut",
                                                "cClear", "lHS",     "cAdd",    "cClearall", "cPrint"};
            return QString::fromLatin1(names[i]);
        };
        const auto check = [&](const char* size) {
            QTest::qWait(700); // the window manager's answer and the frame
            const auto selfSizing = [&](int i) {
                return name(i) == u"lKFA" || name(i) == u"lVozr" || name(i) == u"lOut" ||
                       name(i).startsWith(u"lFind");
            };
            // Labels size themselves to their caption; the rules place their
            // neighbours by the size they have.
            for (int i = 0; i < FitnessLayout::ControlCount; ++i) {
                if (!selfSizing(i))
                    continue;
                FitnessLayout::Geometry geometry = expected.geometry(FitnessLayout::Control(i));
                const QWidget* label = energy.findChild<QWidget*>(name(i));
                geometry.width = Twips::fromPixels(label->width(), dpi);
                geometry.height = Twips::fromPixels(label->height(), dpi);
                expected.setGeometry(FitnessLayout::Control(i), geometry);
            }
            const QRect frame = energy.frameGeometry();
            // Twice, as the window lays out before its frame exists and again
            // once it does: lHS takes its width from where it stood before.
            for (int pass = 0; pass < 2; ++pass)
                expected.apply(Twips::fromPixels(frame.width(), dpi), Twips::fromPixels(frame.height(), dpi));
            for (int i = 0; i < FitnessLayout::ControlCount; ++i) {
                const QWidget* widget = energy.findChild<QWidget*>(name(i));
                const QRect rect = expected.pixelRect(FitnessLayout::Control(i), dpi);
                const QRect actual = selfSizing(i) ? QRect(widget->pos(), rect.size()) : widget->geometry();
                if (actual != rect)
                    return u"%1 at %2 %3x%4: "_s.arg(name(i), QLatin1String(size))
                               .arg(frame.width())
                               .arg(frame.height()) +
                           QDebug::toString(actual) + u" instead of "_s + QDebug::toString(rect);
            }
            return QString();
        };
        QStringList mismatches{check("first show")};
        energy.resize(1, 1); // as small as the window manager lets it be
        mismatches << check("smallest size");
        energy.showMaximized();
        mismatches << check("maximised");
        mismatches.removeAll(QString());
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u"; "_s)));
        window.session().setReplyTarget(nullptr);
    }
};

int main(int argc, char* argv[])
{
    Desktop desktop;
    if (!desktop.isReady()) {
        qCritical("%s", qPrintable(desktop.error()));
        return 1;
    }
    g_desktop = &desktop;
    const QProcessEnvironment environment = desktop.environment();
    for (const QString& name : {u"DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        qputenv(name.toLatin1(), environment.value(name).toUtf8());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QApplication app(argc, argv);
    installRussianTranslations(app);
    TestDesktopWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestDesktopWindows.moc"
