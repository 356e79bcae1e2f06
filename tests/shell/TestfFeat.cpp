#include "shell/fFeat.h"

#include "common/Settings.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The stored font size as the store holds it (invalid when nothing is stored).
QVariant storedFontSize()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_s)
        .value(u"UserInterface/Brastel.FontSize"_s);
}

void storeFontSize(const QString& value)
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_s)
        .setValue(u"UserInterface/Brastel.FontSize"_s, value);
}

// The main window shown with its tray, on a temporary store, every box
// scripted and the end of the program counted instead of carried out.
struct Rig
{
    Rig()
    {
        window.trayCommands().Show_Tray(window);
        window.setEndProgramHandler([this] { ++ended; });
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    TempSettings settings;
    ScriptedDialogs dialogs;
    fFeat window;
    bool exposed = false;
    int ended = 0;
};

} // namespace

// The main window on its own: controls, font size, minimising and closing.
// Its connection is tested in TestfFeatConnection.
class TestfFeat : public QObject
{
    Q_OBJECT

private slots:
    void controlsCarryTheirTexts()
    {
        Rig rig;
        const fFeat& window = rig.window;
        QCOMPARE(window.windowTitle(), u"Клиент"_s);
        QVERIFY(!window.windowIcon().isNull());
        QStringList texts;
        for (const QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const char* property = qobject_cast<const QPlainTextEdit*>(control) ? "plainText" : "text";
            texts << control->objectName() + u'=' + control->property(property).toString();
        }
        // tIP holds the installation's default server.
        QCOMPARE(texts.join(u", "),
                 u"Label1=IP-сервера:, tIP=127.0.0.1, Label2=Порт сервера:, tPort=400, "
                 u"cLocal=Локально, cCon=Подключить, cDisCon=Отключить, lSend=Отсылка команд:, "
                 u"tCom=, cSend=Send!, lStatus=Лог сервера:\n, lFont=Размер шрифта, tFont=, "
                 u"Label3=пт."_s);
        QVERIFY(window.cCon->isEnabled() && window.cDisCon->isEnabled());
    }

    void layoutFollowsTheTwipsTableAndTabOrder()
    {
        Rig rig;
        QVERIFY(rig.exposed);
        const fFeat& window = rig.window;
        const qreal dpiX = window.screen()->logicalDotsPerInchX();
        const qreal dpiY = window.screen()->logicalDotsPerInchY();
        const auto px = [](int twips, qreal dpi) { return qRound(twips * dpi / 1440.0); };
        QCOMPARE(window.size(), QSize(px(7335, dpiX), px(4575, dpiY)));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.tIP->geometry().topLeft(), QPoint(px(1560, dpiX), px(120, dpiY)));
        QCOMPARE(window.lStatus->width(), px(7215, dpiX));
        QVERIFY(window.rect().contains(window.Label3->geometry()));
        // The manual command facility lies beyond the client area, yet in the tab order.
        for (QWidget* facility : QList<QWidget*>{window.lSend, window.tCom, window.cSend})
            QVERIFY(!window.rect().intersects(facility->geometry()));
        window.tIP->setFocus();
        for (QWidget* next : QList<QWidget*>{window.tPort, window.cLocal, window.cCon, window.cDisCon,
                                             window.tCom, window.cSend, window.lStatus, window.tFont}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void showFont_data()
    {
        QTest::addColumn<QString>("stored"); // null: nothing stored
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing stored") << QString() << u"24"_s;
        QTest::newRow("a number") << u"18"_s << u"18"_s;
        QTest::newRow("decimal comma") << u"10,5"_s << u"10,5"_s;
        QTest::newRow("shortest form") << u"12,0"_s << u"12"_s;
        QTest::newRow("not a number") << u"abc"_s << u"24"_s;
        QTest::newRow("point is not a decimal") << u"1.4"_s << u"24"_s;
    }

    void showFont()
    {
        QFETCH(QString, stored);
        Rig rig;
        if (!stored.isNull())
            storeFontSize(stored);
        rig.window.Show_Font();
        QTEST(rig.window.tFont->text(), "shown");
        QCOMPARE(storedFontSize().toString(), stored); // showing stores nothing
    }

    void typedSizesAreFilteredAndStoredAtOnce_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("1 replaces the selected size") << u"1"_s << u"1"_s << u"1"_s;
        QTest::newRow("no upper limit") << u"120,5"_s << u"120,5"_s << u"120,5"_s;
        QTest::newRow("minus, letter, point, blank refused") << u"-1a. 6"_s << u"16"_s << u"16"_s;
        QTest::newRow("backspace") << u"12\b"_s << u"1"_s << u"1"_s;
        QTest::newRow("delete, and the store keeps its text") << u"\x7f"_s << QString() << u"abc"_s;
        // Slashes are accepted, but a text ending in one is not a number.
        QTest::newRow("slash shown not stored") << u"14/"_s << u"14/"_s << u"14"_s;
        QTest::newRow("backslash shown not stored") << u"14\\"_s << u"14\\"_s << u"14"_s;
    }

    void typedSizesAreFilteredAndStoredAtOnce()
    {
        QFETCH(QString, typed);
        Rig rig;
        QVERIFY(rig.exposed);
        QLineEdit* tFont = rig.window.tFont;
        storeFontSize(u"abc"_s);
        rig.window.Show_Font();
        // Focus by a click, which on its own would only place the caret.
        tFont->setFocus(Qt::MouseFocusReason);
        QCOMPARE(tFont->selectedText(), u"24"_s);
        for (const QChar c : typed) {
            if (c == u'\x7f') // as a keyboard sends it, character and all
                QTest::sendKeyEvent(QTest::Click, tFont, Qt::Key_Delete, QString(c), Qt::NoModifier);
            else
                QTest::keyClick(tFont, c.toLatin1());
        }
        QTEST(tFont->text(), "shown");
        QTEST(storedFontSize().toString(), "stored");
    }

    void aStoreThatCannotBeWrittenIsReportedOnce()
    {
        Rig rig;
        QFile blocker(rig.settings.folder() + u"/file"_s);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        SettingsStore::useFolder(blocker.fileName());
        rig.dialogs.expectBox();
        rig.window.tFont->setText(u"1"_s);
        rig.window.tFont->setText(u"12"_s); // the program goes on, asking nothing more
        QCOMPARE(rig.dialogs.boxes().size(), 1);
        QVERIFY2(
            rig.dialogs.boxTexts().first().startsWith(u"Не удалось сохранить настройку Brastel.FontSize\r"_s),
            qPrintable(rig.dialogs.boxTexts().first()));
        QCOMPARE(rig.window.tFont->text(), u"12"_s);
    }

    void closing_data()
    {
        QTest::addColumn<bool>("ask");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::newRow("Yes") << true << Dialogs::Answer::Yes;
        QTest::newRow("No") << true << Dialogs::Answer::No;
        QTest::newRow("not asking") << false << Dialogs::Answer::Ok;
    }

    void closing()
    {
        QFETCH(bool, ask);
        QFETCH(Dialogs::Answer, answer);
        const bool ends = answer != Dialogs::Answer::No;
        Rig rig;
        rig.window.bUnLoadQues = ask;
        if (ask)
            rig.dialogs.expectBox(answer);
        QCOMPARE(rig.window.close(), ends);
        QCOMPARE(rig.ended, int(ends));
        QCOMPARE(rig.window.isVisible(), !ends);
        QCOMPARE(rig.window.trayCommands().tray() == nullptr, ends); // the icon goes only at the end
        QCOMPARE(rig.dialogs.pending(), 0);
        QCOMPARE(rig.dialogs.boxes().size(), int(ask));
        if (ask) {
            const Dialogs::Box& box = rig.dialogs.boxes().first();
            QCOMPARE(box.title + u": "_s + box.text, u"Сервер рецептур: Выходим. Уверены?"_s);
            QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
        }
    }

    void minimisingHidesOnlyWithANotificationArea_data()
    {
        QTest::addColumn<bool>("notificationArea");
        QTest::newRow("with a notification area") << true;
        QTest::newRow("the real tray, offscreen without one") << false;
    }

    void minimisingHidesOnlyWithANotificationArea()
    {
        QFETCH(bool, notificationArea);
        Rig rig;
        QVERIFY(rig.exposed);
        fFeat& window = rig.window;
        if (notificationArea)
            window.setNotificationAreaCheck([] { return true; });
        window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(window.isMinimized());
        QCOMPARE(window.isVisible(), !notificationArea);
        if (!notificationArea)
            return;
        // A press on the tray icon leaves a hidden window hidden; showing it
        // again (double-click, "Настройки") gives it its normal state.
        window.setNormalState();
        window.bringToFront();
        QVERIFY(!window.isVisible());
        window.showWindow();
        window.setNormalState();
        QVERIFY(!window.isMinimized() && window.isVisible());
    }
};

QTEST_MAIN(TestfFeat)
#include "TestfFeat.moc"
