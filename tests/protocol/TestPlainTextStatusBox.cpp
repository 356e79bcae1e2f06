#include "PlainTextStatusBox.h"

#include "StatusLog.h"

#include <QPlainTextEdit>
#include <QTest>

class TestPlainTextStatusBox : public QObject
{
    Q_OBJECT

private slots:
    void showsTheLogLineByLine();
    void lineBreaks_data();
    void lineBreaks();
    void markupStaysText();
    void trimmedLogIsShownWhole();
    void caretAtTheEndAfterEveryLine();
};

void TestPlainTextStatusBox::showsTheLogLineByLine()
{
    QPlainTextEdit edit;
    PlainTextStatusBox box(&edit);
    StatusLog log;
    log.setBox(&box);
    QCOMPARE(edit.toPlainText(), u"Лог сервера:\n"_qs);
    log.AddStatus(u"Подключаемся к серверу: 127.0.0.1 через порт 400"_qs);
    log.AddStatus(u"Подключислись к серверу!"_qs);
    QCOMPARE(
        edit.toPlainText(),
        u"Лог сервера:\n\nПодключаемся к серверу: 127.0.0.1 через порт 400\nПодключислись к серверу!"_qs);
    QCOMPARE(edit.blockCount(), 4);
}

void TestPlainTextStatusBox::lineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("crlf") << u"a\r\nb"_qs << u"a\nb"_qs;
    QTest::newRow("lone cr") << u"a\rb"_qs << u"a\nb"_qs;
    QTest::newRow("lone lf") << u"a\nb"_qs << u"a\nb"_qs;
    QTest::newRow("cr crlf") << u"a\r\r\nb"_qs << u"a\n\nb"_qs;
    QTest::newRow("none") << u"ab"_qs << u"ab"_qs;
}

void TestPlainTextStatusBox::lineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(PlainTextStatusBox::displayText(text), shown);
    QPlainTextEdit edit;
    PlainTextStatusBox box(&edit);
    box.appendText(text);
    QCOMPARE(edit.toPlainText(), shown);
}

void TestPlainTextStatusBox::markupStaysText()
{
    QPlainTextEdit edit;
    PlainTextStatusBox box(&edit);
    StatusLog log;
    log.setBox(&box);
    log.AddStatus(u"Неизвестная команда сервера: <b>x</b> &amp; <img src=y>"_qs);
    QVERIFY(edit.toPlainText().endsWith(u"<b>x</b> &amp; <img src=y>"_qs));
}

void TestPlainTextStatusBox::trimmedLogIsShownWhole()
{
    QPlainTextEdit edit;
    PlainTextStatusBox box(&edit);
    StatusLog log(400);
    log.setBox(&box);
    for (int i = 0; i < 200; ++i) {
        log.AddStatus(u"line %1\r"_qs.arg(i)); // a lone CR from the server ends a shown line too
        QCOMPARE(edit.toPlainText(), PlainTextStatusBox::displayText(log.text()));
    }
    // Held and released in bursts, cutting both lines the box holds and lines it never had.
    for (int i = 0; i < 200; ++i) {
        if (i % 20 == 0)
            log.holdBox();
        log.AddStatus(u"burst line %1"_qs.arg(i, i % 3 ? 1 : 60));
        if (i % 20 == 19) {
            log.releaseBox();
            QCOMPARE(edit.toPlainText(), PlainTextStatusBox::displayText(log.text()));
        }
    }
}

void TestPlainTextStatusBox::caretAtTheEndAfterEveryLine()
{
    QPlainTextEdit edit;
    PlainTextStatusBox box(&edit);
    StatusLog log;
    log.setBox(&box);
    for (int i = 0; i < 3; ++i) {
        QTextCursor start = edit.textCursor();
        start.setPosition(0);
        edit.setTextCursor(start);
        log.AddStatus(u"line"_qs);
        QCOMPARE(edit.textCursor().position(), edit.document()->characterCount() - 1);
    }
}

QTEST_MAIN(TestPlainTextStatusBox)
#include "TestPlainTextStatusBox.moc"
