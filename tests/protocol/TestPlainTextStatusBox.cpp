#include "protocol/PlainTextStatusBox.h"

#include "protocol/StatusLog.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPlainTextStatusBox : public QObject
{
    Q_OBJECT

private slots:

    void showsTheLogLineByLine()
    {
        QPlainTextEdit edit;
        PlainTextStatusBox box(&edit);
        StatusLog log(400); // trimmed from the front while it is shown
        log.setBox(&box);
        for (int i = 0; i < 200; ++i) {
            edit.moveCursor(QTextCursor::Start);
            log.AddStatus(u"line %1\r"_s.arg(i)); // a lone CR from the server ends a shown line too
            QCOMPARE(edit.toPlainText(), PlainTextStatusBox::displayText(log.text()));
            QCOMPARE(edit.textCursor().position(), edit.document()->characterCount() - 1);
        }
        // Held and released in bursts, cutting both lines the box holds and lines it never had.
        for (int i = 0; i < 200; ++i) {
            if (i % 20 == 0)
                log.holdBox();
            log.AddStatus(u"burst line %1"_s.arg(i, i % 3 ? 1 : 60));
            if (i % 20 == 19) {
                log.releaseBox();
                QCOMPARE(edit.toPlainText(), PlainTextStatusBox::displayText(log.text()));
            }
        }
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("cr crlf") << u"a\r\r\nb"_s << u"a\n\nb"_s;
        QTest::newRow("markup stays text")
            << u"<b>x</b> &amp; <img src=y>"_s << u"<b>x</b> &amp; <img src=y>"_s;
    }
    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(PlainTextStatusBox::displayText(text), shown);
        QPlainTextEdit edit;
        PlainTextStatusBox box(&edit);
        box.appendText(text);
        QCOMPARE(edit.toPlainText(), shown);
    }
};

QTEST_MAIN(TestPlainTextStatusBox)
#include "TestPlainTextStatusBox.moc"
