#include "Cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

// The table codec against the platform's own converter (ICU in Debian's Qt),
// which shares no code with it.
class TestCp1251 : public QObject
{
    Q_OBJECT

private slots:
    void decodesEveryByteAsTheReference();
    void encodesEveryRepresentableCharacterAsTheReference();
    void unrepresentableBecomesQuestionMark_data();
    void unrepresentableBecomesQuestionMark();
    void terminatorBytes();
    void decodesMixedRunsAcrossTheWidePath_data();
    void decodesMixedRunsAcrossTheWidePath();
    void emptyInput();
};

void TestCp1251::decodesEveryByteAsTheReference()
{
    QStringDecoder reference("windows-1251");
    QVERIFY(reference.isValid());
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString expected = reference.decode(QByteArrayView(&byte, 1));
        QCOMPARE(expected.size(), 1);
        const QString actual = Cp1251::decode(QByteArrayView(&byte, 1));
        if (actual != expected)
            QFAIL(qPrintable(QStringLiteral("byte %1: U+%2 instead of U+%3")
                                 .arg(b, 2, 16)
                                 .arg(actual.at(0).unicode(), 4, 16)
                                 .arg(expected.at(0).unicode(), 4, 16)));
        QCOMPARE(Cp1251::toUnicode(uchar(b)), char16_t(expected.at(0).unicode()));
    }
    // The undefined byte, explicitly, and inside a longer run.
    QCOMPARE(Cp1251::decode("\x98"), QString(QChar(0x98)));
    QCOMPARE(Cp1251::decode("abcdefgh\x98ijklmnop"), reference.decode("abcdefgh\x98ijklmnop"));
}

void TestCp1251::encodesEveryRepresentableCharacterAsTheReference()
{
    QStringEncoder reference("windows-1251");
    QVERIFY(reference.isValid());
    int representable = 0;
    for (int u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        const QChar ch{char16_t(u)};
        QStringEncoder probe("windows-1251");
        const QByteArray expected = probe.encode(QStringView(&ch, 1));
        const QByteArray actual = Cp1251::encode(QStringView(&ch, 1));
        QCOMPARE(actual.size(), 1);
        if (!probe.hasError() && expected.size() == 1) {
            ++representable;
            if (actual != expected)
                QFAIL(qPrintable(QStringLiteral("U+%1: byte %2 instead of %3")
                                     .arg(u, 4, 16)
                                     .arg(uchar(actual.at(0)), 2, 16)
                                     .arg(uchar(expected.at(0)), 2, 16)));
        } else if (actual != "?") {
            QFAIL(qPrintable(QStringLiteral("U+%1 is not in the code page but encodes as %2")
                                 .arg(u, 4, 16)
                                 .arg(uchar(actual.at(0)), 2, 16)));
        }
    }
    // 255 defined bytes plus 0x98, which the reference also maps both ways.
    QCOMPARE(representable, 256);
}

void TestCp1251::unrepresentableBecomesQuestionMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("cjk") << QStringLiteral("a中b") << QByteArray("a?b");
    QTest::newRow("greek") << QStringLiteral("αβ") << QByteArray("??");
    QTest::newRow("latin accent") << QStringLiteral("café") << QByteArray("caf?");
    QTest::newRow("emoji is one character") << QString::fromUtf16(u"x\U0001F600y") << QByteArray("x?y");
    QTest::newRow("lone high surrogate")
        << QString::fromUtf16(u"x") + QChar(0xD83D) + u"y"_qs << QByteArray("x?y");
    QTest::newRow("lone low surrogate") << QChar(0xDE00) + u"y"_qs << QByteArray("?y");
    QTest::newRow("high surrogate at the end") << u"y"_qs + QChar(0xD83D) << QByteArray("y?");
    QTest::newRow("cyrillic kept") << QStringLiteral("Хлеб Ґ ґ №")
                                   << QByteArray("\xD5\xEB\xE5\xE1 \xA5 \xB4 \xB9");
}

void TestCp1251::unrepresentableBecomesQuestionMark()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1251::encode(text), bytes);
}

void TestCp1251::terminatorBytes()
{
    QCOMPARE(Cp1251::encode(QStringLiteral("<Ґ>")), QByteArray("\x3C\xA5\x3E"));
    QCOMPARE(Cp1251::decode("\x3C\xA5\x3E"), QStringLiteral("<Ґ>"));
}

void TestCp1251::decodesMixedRunsAcrossTheWidePath_data()
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

void TestCp1251::decodesMixedRunsAcrossTheWidePath()
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
    QStringDecoder reference("windows-1251");
    QCOMPARE(Cp1251::decode(bytes), reference.decode(bytes));
}

void TestCp1251::emptyInput()
{
    QVERIFY(Cp1251::decode(QByteArrayView()).isEmpty());
    QVERIFY(Cp1251::encode(QStringView()).isEmpty());
}

QTEST_APPLESS_MAIN(TestCp1251)
#include "TestCp1251.moc"
