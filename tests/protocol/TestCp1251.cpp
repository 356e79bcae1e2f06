#include "protocol/Cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

// The table codec against the platform's own converter (ICU in Debian's Qt),
// which shares no code with it.
class TestCp1251 : public QObject
{
    Q_OBJECT

private slots:

    void decodesEveryByteAsTheReference()
    {
        QStringDecoder reference("windows-1251");
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString expected = reference.decode(QByteArrayView(&byte, 1));
            QCOMPARE(Cp1251::decode(QByteArrayView(&byte, 1)), expected);
            QCOMPARE(Cp1251::toUnicode(uchar(b)), char16_t(expected.at(0).unicode()));
        }
        // The undefined byte goes to U+0098, as the reference has it.
        QCOMPARE(Cp1251::decode("\x98"), QString(QChar(0x98)));
        QVERIFY(Cp1251::decode(QByteArrayView()).isEmpty());
    }

    void encodesEveryRepresentableCharacterAsTheReference()
    {
        int representable = 0;
        for (int u = 0; u < 0x10000; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            const QChar ch{char16_t(u)};
            QStringEncoder probe("windows-1251");
            const QByteArray expected = probe.encode(QStringView(&ch, 1));
            const bool inCodePage = !probe.hasError() && expected.size() == 1;
            representable += inCodePage;
            const QByteArray actual = Cp1251::encode(QStringView(&ch, 1));
            if (actual != (inCodePage ? expected : QByteArray("?")))
                QFAIL(qPrintable(
                    u"U+%1 encodes as %2"_s.arg(u, 4, 16).arg(QString::fromLatin1(actual.toHex()))));
        }
        // 255 defined bytes plus 0x98, which the reference also maps both ways.
        QCOMPARE(representable, 256);
    }

    void unrepresentableBecomesQuestionMark_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("cjk") << u"a中b"_s << QByteArray("a?b");
        QTest::newRow("latin accent") << u"café"_s << QByteArray("caf?");
        QTest::newRow("emoji is one character") << QString::fromUtf16(u"x\U0001F600y") << QByteArray("x?y");
        QTest::newRow("lone high surrogate") << u"x"_s + QChar(0xD83D) + u"y"_s << QByteArray("x?y");
        QTest::newRow("lone low surrogate") << QChar(0xDE00) + u"y"_s << QByteArray("?y");
        QTest::newRow("high surrogate at the end") << u"y"_s + QChar(0xD83D) << QByteArray("y?");
        QTest::newRow("cyrillic kept") << u"Хлеб Ґ ґ №"_s << QByteArray("\xD5\xEB\xE5\xE1 \xA5 \xB4 \xB9");
        QTest::newRow("terminator") << u"<Ґ>"_s << QByteArray("<\xA5>");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void unrepresentableBecomesQuestionMark()
    {
        QFETCH(QString, text);
        QTEST(Cp1251::encode(text), "bytes");
    }

    void decodesMixedRunsAcrossTheWidePath_data()
    {
        // Lengths and positions around the sixteen-byte blocks of the fast path,
        // with bytes from each of its cases: ASCII, a letter from 0xC0, and the
        // 0x80 to 0xBF range that it leaves to the table.
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("byte");
        for (int length : {1, 15, 16, 17, 31, 32, 33, 100})
            for (int at : {-1, 0, length / 2, length - 1})
                for (int byte : {0x7F, 0x80, 0x98, 0xA5, 0xBF, 0xC0, 0xE0, 0xFF})
                    QTest::addRow("len %d byte %x at %d", length, byte, at) << length << at << byte;
    }
    void decodesMixedRunsAcrossTheWidePath()
    {
        QFETCH(int, length);
        QFETCH(int, at);
        QFETCH(int, byte);
        QByteArray bytes(length, Qt::Uninitialized);
        // A Russian-looking base: ASCII and letters from 0xC0 alternating.
        for (int i = 0; i < length; ++i)
            bytes[i] = i % 3 ? char('a' + i % 26) : char(0xC0 + i % 64);
        if (at >= 0)
            bytes[at] = char(byte);
        QCOMPARE(Cp1251::decode(bytes), QStringDecoder("windows-1251").decode(bytes));
    }
};

QTEST_APPLESS_MAIN(TestCp1251)
#include "TestCp1251.moc"
