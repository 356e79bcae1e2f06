#include "protocol/Cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

// The table codec against the platform's own converter, which shares no code with it.
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
        QVERIFY(Cp1251::decode(QByteArrayView()).isEmpty());
        // Runs of every byte at every place around the sixteen-byte blocks of the fast path.
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        for (int shift = 0; shift < 17; ++shift) {
            const QByteArray run = all.mid(shift) + all.left(shift);
            for (int length : {15, 16, 17, 33, 256})
                QCOMPARE(Cp1251::decode(run.left(length)), reference.decode(run.left(length)));
        }
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
            QVERIFY2(actual == (inCodePage ? expected : QByteArray("?")),
                     qPrintable(u"U+%1"_s.arg(u, 4, 16)));
        }
        // 255 defined bytes plus 0x98, which the reference also maps both ways.
        QCOMPARE(representable, 256);
    }

    void unrepresentableBecomesQuestionMark_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("emoji is one character") << QString::fromUtf16(u"x\U0001F600y") << QByteArray("x?y");
        QTest::newRow("lone high surrogate") << u"x"_s + QChar(0xD83D) + u"y"_s << QByteArray("x?y");
        QTest::newRow("high surrogate at the end") << u"y"_s + QChar(0xD83D) << QByteArray("y?");
        QTest::newRow("cyrillic kept") << u"Хлеб Ґ ґ №"_s << QByteArray("\xD5\xEB\xE5\xE1 \xA5 \xB4 \xB9");
    }
    void unrepresentableBecomesQuestionMark()
    {
        QFETCH(QString, text);
        QTEST(Cp1251::encode(text), "bytes");
    }
};

QTEST_APPLESS_MAIN(TestCp1251)
#include "TestCp1251.moc"
