#include "LogText.h"

#include <QTest>

class TestLogText : public QObject
{
    Q_OBJECT

private slots:
    void keepsOneLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << u"Добрый день"_qs << u"Добрый день"_qs;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("line breaks") << u"a\r\nb"_qs << u"a\\r\\nb"_qs;
        QTest::newRow("forged log line")
            << u"hi\n2026-01-01T00:00:00 Dropped x"_qs << u"hi\\n2026-01-01T00:00:00 Dropped x"_qs;
        QTest::newRow("tab") << u"a\tb"_qs << u"a\\tb"_qs;
        QTest::newRow("terminal escape") << u"\u001b[2J"_qs << u"\\x1b[2J"_qs;
        QTest::newRow("C1 control") << u"a\u0098"_qs << u"a\\x98"_qs;
        QTest::newRow("backslash stays readable") << u"a\\nb"_qs << u"a\\\\nb"_qs;
        QTest::newRow("NUL") << QString(QChar(0)) << u"\\x00"_qs;
    }
    void keepsOneLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QCOMPARE(LogText::printable(text), line);
    }

    void boundsTheLength()
    {
        QCOMPARE(LogText::printable(u"abcdef"_qs, 3), u"abc..."_qs);
        QCOMPARE(LogText::printable(u"abc"_qs, 3), u"abc"_qs);
        const QString huge(100000, u'x');
        QCOMPARE(LogText::printable(huge).size(), 4096 + 3);
    }
};

QTEST_GUILESS_MAIN(TestLogText)
#include "TestLogText.moc"
