#include "server/LogText.h"

#include <QTest>

using namespace Qt::StringLiterals;

// A client's text must not start a forged log line, move a terminal's cursor
// or flood the log (line breaks are checked in TestBrastelDemo's log).
class TestLogText : public QObject
{
    Q_OBJECT

private slots:
    void keepsOneBoundedLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxChars"); // 0: the default bound
        QTest::addColumn<QString>("line");
        QTest::newRow("C0 controls") << u"\u001b[2J"_s + QChar(0) << 0 << u"\\x1b[2J\\x00"_s;
        QTest::newRow("DEL, C1 control") << u"a\u007f\u0098"_s << 0 << u"a\\x7f\\x98"_s;
        QTest::newRow("backslash stays readable") << u"a\\nb"_s << 0 << u"a\\\\nb"_s;
        QTest::newRow("cut") << u"abcdef"_s << 3 << u"abc..."_s;
        QTest::newRow("just fits") << u"abc"_s << 3 << u"abc"_s;
        QTest::newRow("default bound") << QString(5000, u'x') << 0 << QString(4096, u'x') + u"..."_s;
    }
    void keepsOneBoundedLine()
    {
        QFETCH(QString, text);
        QFETCH(int, maxChars);
        QFETCH(QString, line);
        QCOMPARE(maxChars ? LogText::printable(text, maxChars) : LogText::printable(text), line);
    }
};

QTEST_GUILESS_MAIN(TestLogText)
#include "TestLogText.moc"
