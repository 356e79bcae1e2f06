#include "protocol/MessageSplitter.h"

#include "protocol/Cp1251.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kTerm("\x3C\xA5\x3E");

// Feeds the arrivals one by one and records, per arrival, what was handed on.
QList<QStringList> feed(MessageSplitter& splitter, const QList<QByteArray>& arrivals)
{
    QList<QStringList> handed;
    for (const auto& arrival : arrivals) {
        splitter.append(arrival);
        QStringList now;
        while (auto message = splitter.takeMessage())
            now << *message;
        handed << now;
    }
    return handed;
}

} // namespace

class TestMessageSplitter : public QObject
{
    Q_OBJECT

private slots:

    void splitsArrivals_data()
    {
        QTest::addColumn<QList<QByteArray>>("arrivals");
        QTest::addColumn<QList<QStringList>>("expected");
        QTest::addColumn<qsizetype>("pendingAfter");

        // Cut terminators and near misses over random arrivals: fuzz/FuzzProtocol.cpp.
        QTest::newRow("terminator cut after each byte")
            << QList<QByteArray>{Cp1251::encode(u"a<"_s), Cp1251::encode(u"Ґ"_s), Cp1251::encode(u"><Ґ"_s),
                                 Cp1251::encode(u"<Ґ>"_s)}
            << QList<QStringList>{{}, {}, {u"a"_s}, {u"<Ґ"_s}} << qsizetype(0);
        QTest::newRow("no terminator at all") << QList<QByteArray>{Cp1251::encode(u"$BB=unfinished"_s)}
                                              << QList<QStringList>{{}} << qsizetype(14);
        QTest::newRow("remainder counted") << QList<QByteArray>{Cp1251::encode(u"a<Ґ>bc<"_s)}
                                           << QList<QStringList>{{u"a"_s}} << qsizetype(3);
        QTest::newRow("empty arrival changes nothing")
            << QList<QByteArray>{Cp1251::encode(u"a<"_s), QByteArray(), Cp1251::encode(u"Ґ>"_s)}
            << QList<QStringList>{{}, {}, {u"a"_s}} << qsizetype(0);
        QTest::newRow("nul bytes are text too")
            << QList<QByteArray>{QByteArray("a\0b", 3) + kTerm}
            << QList<QStringList>{{u"a"_s + QChar(0) + u"b"_s}} << qsizetype(0);
    }
    void splitsArrivals()
    {
        QFETCH(QList<QByteArray>, arrivals);
        QFETCH(QList<QStringList>, expected);
        QFETCH(qsizetype, pendingAfter);
        MessageSplitter splitter;
        QCOMPARE(feed(splitter, arrivals), expected);
        QCOMPARE(splitter.pendingBytes(), pendingAfter);
        QVERIFY(!splitter.overflowed());
    }

    void overflowDropsAndIgnoresUntilCleared()
    {
        MessageSplitter splitter(100);
        // Only the part held without a terminator counts, not complete messages.
        splitter.append(QByteArray(150, 'y') + kTerm + QByteArray(60, 'x'));
        QCOMPARE(splitter.takeMessage().value_or(QString()).size(), 150);
        QVERIFY(!splitter.takeMessage());
        splitter.append(QByteArray(40, 'x'));
        QVERIFY(!splitter.takeMessage());
        QVERIFY2(!splitter.overflowed(), "exactly the limit is still allowed");
        QCOMPARE(splitter.pendingBytes(), qsizetype(100));
        splitter.append(QByteArray(1, 'x'));
        QVERIFY(!splitter.takeMessage());
        QVERIFY(splitter.overflowed());
        QCOMPARE(splitter.pendingBytes(), qsizetype(0));
        // A late terminator does not resurrect the dropped text.
        splitter.append("tail" + kTerm);
        QVERIFY(!splitter.takeMessage());
        QCOMPARE(splitter.pendingBytes(), qsizetype(0));
        splitter.dropIncomplete();
        QVERIFY(!splitter.overflowed());
        // Dropping the incomplete end (a reconnect) keeps the whole messages before it.
        splitter.append("a" + kTerm + "b" + kTerm + "$BB=broken <");
        QCOMPARE(splitter.takeMessage().value_or(QString()), u"a"_s);
        splitter.dropIncomplete();
        QCOMPARE(feed(splitter, {"\xA5>fresh" + kTerm}), (QList<QStringList>{{u"b"_s, u"Ґ>fresh"_s}}));
    }
};

QTEST_APPLESS_MAIN(TestMessageSplitter)
#include "TestMessageSplitter.moc"
