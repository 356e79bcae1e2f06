#include "fFeat.h"

#include "ScriptedDialogs.h"
#include "Settings.h"
#include "TempSettings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>

// The main window on its own: controls, font size, minimising and closing.
// Its connection is tested in TestfFeatConnection.
class TestfFeat : public QObject
{
    Q_OBJECT

private:
    static QString storedFontSize()
    {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_qs);
        return raw.value(u"UserInterface/Brastel.FontSize"_qs).toString();
    }
    static bool fontSizeStored()
    {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_qs);
        return raw.contains(u"UserInterface/Brastel.FontSize"_qs);
    }
    static void storeFontSize(const QString& value)
    {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_qs);
        raw.setValue(u"UserInterface/Brastel.FontSize"_qs, value);
    }

    // Types each character as a key press carrying it, as a keyboard would;
    // QTest::keyClicks only knows Latin-1.
    static void type(QWidget* widget, const QString& text)
    {
        for (QChar c : text) {
            const auto key = Qt::Key(c.toUpper().unicode());
            QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
        }
    }

private slots:
    void controlsCarryTheirCaptionsAndInitialTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("text");

        QTest::newRow("Label1") << u"Label1"_qs << u"QLabel"_qs << u"IP-сервера:"_qs;
        QTest::newRow("tIP") << u"tIP"_qs << u"QLineEdit"_qs << QString(); // filled by the program
        QTest::newRow("Label2") << u"Label2"_qs << u"QLabel"_qs << u"Порт сервера:"_qs;
        QTest::newRow("tPort") << u"tPort"_qs << u"QLineEdit"_qs << u"400"_qs;
        QTest::newRow("cLocal") << u"cLocal"_qs << u"QPushButton"_qs << u"Локально"_qs;
        QTest::newRow("cCon") << u"cCon"_qs << u"QPushButton"_qs << u"Подключить"_qs;
        QTest::newRow("cDisCon") << u"cDisCon"_qs << u"QPushButton"_qs << u"Отключить"_qs;
        QTest::newRow("lSend") << u"lSend"_qs << u"QLabel"_qs << u"Отсылка команд:"_qs;
        QTest::newRow("tCom") << u"tCom"_qs << u"QPlainTextEdit"_qs << QString();
        QTest::newRow("cSend") << u"cSend"_qs << u"QPushButton"_qs << u"Send!"_qs;
        QTest::newRow("lStatus") << u"lStatus"_qs << u"QPlainTextEdit"_qs << u"Лог сервера:\n"_qs;
        QTest::newRow("lFont") << u"lFont"_qs << u"QLabel"_qs << u"Размер шрифта"_qs;
        QTest::newRow("tFont") << u"tFont"_qs << u"QLineEdit"_qs << QString();
        QTest::newRow("Label3") << u"Label3"_qs << u"QLabel"_qs << u"пт."_qs;
    }

    void controlsCarryTheirCaptionsAndInitialTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, text);
        TempSettings settings;
        fFeat window;
        auto* control = window.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(control))
            shown = label->text();
        else if (auto* line = qobject_cast<QLineEdit*>(control))
            shown = line->text();
        else if (auto* button = qobject_cast<QPushButton*>(control))
            shown = button->text();
        else if (auto* box = qobject_cast<QPlainTextEdit*>(control))
            shown = box->toPlainText();
        if (name == u"tIP")
            QCOMPARE(shown, u"127.0.0.1"_qs); // the installation's default (CMake cache)
        else
            QCOMPARE(shown, text);
    }

    void windowIsTheClientWithItsOwnIcon()
    {
        TempSettings settings;
        fFeat window;
        QCOMPARE(window.windowTitle(), u"Клиент"_qs);
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
        QVERIFY(!window.bUnLoadQues);
        QVERIFY(window.cCon->isEnabled());
        QVERIFY(window.cDisCon->isEnabled());
    }

    void tabOrderFollowsTheDesign()
    {
        TempSettings settings;
        fFeat window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<QWidget*> expected{window.tIP,  window.tPort, window.cLocal,  window.cCon, window.cDisCon,
                                       window.tCom, window.cSend, window.lStatus, window.tFont};
        window.tIP->setFocus();
        QCOMPARE(QApplication::focusWidget(), window.tIP);
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i]);
        }
    }

    void geometryFollowsTheTwipsTable()
    {
        TempSettings settings;
        fFeat window;
        const qreal dpiX = window.screen()->logicalDotsPerInchX();
        const qreal dpiY = window.screen()->logicalDotsPerInchY();
        const auto px = [&](int twips, qreal dpi) { return qRound(twips * dpi / 1440.0); };
        QCOMPARE(window.size(), QSize(px(7335, dpiX), px(4575, dpiY)));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.tIP->pos(), QPoint(px(1560, dpiX), px(120, dpiY)));
        QCOMPARE(window.tIP->width(), px(2415, dpiX));
        QCOMPARE(window.lStatus->geometry().topLeft(), QPoint(0, px(1320, dpiY)));
        QCOMPARE(window.lStatus->width(), px(7215, dpiX));
        QCOMPARE(window.cDisCon->pos(), QPoint(px(4080, dpiX), px(840, dpiY)));
        // The manual command facility lies beyond the client area.
        for (QWidget* hidden : {static_cast<QWidget*>(window.lSend), static_cast<QWidget*>(window.tCom),
                                static_cast<QWidget*>(window.cSend)})
            QVERIFY2(!window.rect().intersects(hidden->geometry()), qPrintable(hidden->objectName()));
        for (QWidget* shown : {static_cast<QWidget*>(window.cLocal), static_cast<QWidget*>(window.tFont),
                               static_cast<QWidget*>(window.Label3), static_cast<QWidget*>(window.lStatus)})
            QVERIFY2(window.rect().contains(shown->geometry()), qPrintable(shown->objectName()));
    }

    void showFont_data()
    {
        QTest::addColumn<QString>("stored"); // empty: nothing stored
        QTest::addColumn<QString>("shown");

        QTest::newRow("nothing stored") << QString() << u"24"_qs;
        QTest::newRow("a number") << u"18"_qs << u"18"_qs;
        QTest::newRow("decimal comma") << u"10,5"_qs << u"10,5"_qs;
        QTest::newRow("shortest form") << u"12,0"_qs << u"12"_qs;
        QTest::newRow("not a number") << u"abc"_qs << u"24"_qs;
        QTest::newRow("point is not a decimal") << u"1.4"_qs << u"24"_qs;
        QTest::newRow("weight form is not a number") << u"12/"_qs << u"24"_qs;
    }

    void showFont()
    {
        QFETCH(QString, stored);
        TempSettings settings;
        if (!stored.isEmpty())
            storeFontSize(stored);
        fFeat window;
        window.Show_Font();
        QTEST(window.tFont->text(), "shown");
        // Showing stores nothing: the store keeps what it had, or stays empty.
        QCOMPARE(fontSizeStored(), !stored.isEmpty());
        if (!stored.isEmpty())
            QCOMPARE(storedFontSize(), stored);
    }

    void typedNumbersAreStoredAtOnce()
    {
        TempSettings settings;
        storeFontSize(u"abc"_qs);
        fFeat window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Show_Font();
        QCOMPARE(storedFontSize(), u"abc"_qs);
        window.tFont->setFocus();
        window.tFont->clear();
        QCOMPARE(storedFontSize(), u"abc"_qs); // empty is not a number
        QTest::keyClick(window.tFont, Qt::Key_1);
        QCOMPARE(window.tFont->text(), u"1"_qs);
        QCOMPARE(storedFontSize(), u"1"_qs); // no lower limit
        QTest::keyClicks(window.tFont, u"20,5"_qs);
        QCOMPARE(storedFontSize(), u"120,5"_qs); // no upper limit either
    }

    void keyFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");

        QTest::newRow("digits") << u"16"_qs << u"16"_qs << u"16"_qs;
        QTest::newRow("letter refused") << u"1a6"_qs << u"16"_qs << u"16"_qs;
        QTest::newRow("cyrillic refused") << u"1ж"_qs << u"1"_qs << u"1"_qs;
        QTest::newRow("point refused") << u"1.5"_qs << u"15"_qs << u"15"_qs;
        QTest::newRow("minus refused") << u"-8"_qs << u"8"_qs << u"8"_qs;
        QTest::newRow("blank refused") << u"1 2"_qs << u"12"_qs << u"12"_qs;
        QTest::newRow("comma accepted") << u"9,5"_qs << u"9,5"_qs << u"9,5"_qs;
        // A slash is accepted, but a text ending in one is not a number.
        QTest::newRow("slash shown not stored") << u"14/"_qs << u"14/"_qs << u"14"_qs;
        QTest::newRow("backslash shown not stored") << u"14\\"_qs << u"14\\"_qs << u"14"_qs;
    }

    void keyFilter()
    {
        QFETCH(QString, typed);
        TempSettings settings;
        fFeat window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.tFont->setFocus();
        type(window.tFont, typed);
        QTEST(window.tFont->text(), "shown");
        QTEST(storedFontSize(), "stored");
    }

    void editingKeysStillWork()
    {
        TempSettings settings;
        fFeat window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.tFont->setFocus();
        QTest::keyClicks(window.tFont, u"123"_qs);
        QTest::keyClick(window.tFont, Qt::Key_Backspace);
        QCOMPARE(window.tFont->text(), u"12"_qs);
        QTest::keyClick(window.tFont, Qt::Key_Home);
        QTest::keyClick(window.tFont, Qt::Key_Delete);
        QCOMPARE(window.tFont->text(), u"2"_qs);
        QCOMPARE(storedFontSize(), u"2"_qs);
    }

    void focusSelectsTheWholeSize()
    {
        TempSettings settings;
        storeFontSize(u"18"_qs);
        fFeat window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Show_Font();
        window.tPort->setFocus();
        QVERIFY(!window.tFont->hasSelectedText());
        // Focus given by a mouse click, which on its own would only place the caret.
        window.tFont->setFocus(Qt::MouseFocusReason);
        QCOMPARE(window.tFont->selectedText(), u"18"_qs);
        QTest::keyClick(window.tFont, Qt::Key_2);
        QCOMPARE(window.tFont->text(), u"2"_qs);
    }

    void closing_data()
    {
        QTest::addColumn<bool>("ask");
        QTest::addColumn<bool>("throughWindow"); // the window's close, or the tray's direct call
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<bool>("ends");

        QTest::newRow("close, Yes") << true << true << Dialogs::Answer::Yes << true;
        QTest::newRow("close, No") << true << true << Dialogs::Answer::No << false;
        QTest::newRow("direct, Yes") << true << false << Dialogs::Answer::Yes << true;
        QTest::newRow("direct, No") << true << false << Dialogs::Answer::No << false;
        QTest::newRow("close, not asking") << false << true << Dialogs::Answer::Ok << true;
        QTest::newRow("direct, not asking") << false << false << Dialogs::Answer::Ok << true;
    }

    void closing()
    {
        QFETCH(bool, ask);
        QFETCH(bool, throughWindow);
        QFETCH(Dialogs::Answer, answer);
        QFETCH(bool, ends);
        TempSettings settings;
        ScriptedDialogs dialogs;
        fFeat window;
        int ended = 0;
        window.setEndProgramHandler([&] { ++ended; });
        window.bUnLoadQues = ask;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (ask)
            dialogs.expectBox(answer);

        bool result = false;
        if (throughWindow)
            result = window.close();
        else
            result = window.Form_QueryUnload();

        QCOMPARE(result, ends);
        QCOMPARE(ended, ends ? 1 : 0);
        if (throughWindow)
            QCOMPARE(window.isVisible(), !ends);
        QCOMPARE(dialogs.pending(), 0);
        if (ask) {
            QCOMPARE(dialogs.boxes().size(), 1);
            const Dialogs::Box& box = dialogs.boxes().first();
            QCOMPARE(box.text, u"Выходим. Уверены?"_qs);
            QCOMPARE(box.title, u"Сервер рецептур"_qs);
            QCOMPARE(box.icon, Dialogs::Icon::Question);
            QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
        } else {
            QVERIFY(dialogs.boxes().isEmpty());
        }
    }

    void minimisingHidesOnlyWithANotificationArea_data()
    {
        QTest::addColumn<bool>("notificationArea");
        QTest::newRow("with a notification area") << true;
        QTest::newRow("without one") << false;
    }

    void minimisingHidesOnlyWithANotificationArea()
    {
        QFETCH(bool, notificationArea);
        TempSettings settings;
        fFeat window;
        window.setNotificationAreaCheck([&] { return notificationArea; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setWindowState(Qt::WindowNoState); // other state changes do nothing
        QVERIFY(window.isVisible());
        window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(window.isMinimized());
        QCOMPARE(window.isVisible(), !notificationArea);
    }
};

QTEST_MAIN(TestfFeat)
#include "TestfFeat.moc"
