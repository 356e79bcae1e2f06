#include "protocol/MessageSplitter.h"

#include "protocol/Cp1251.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kTerm("\x3C\xA5\x3E");

QByteArray wire(const QString& text)
{
    return Cp1251::encode(text);
}

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

        // Several messages in one arrival or one in several, cut terminators, near
        // misses and empty messages: agreesWithANaiveSplitter.
        QTest::newRow("no terminator at all")
            << QList<QByteArray>{wire(u"$BB=unfinished"_s)} << QList<QStringList>{{}} << qsizetype(14);
        QTest::newRow("remainder counted")
            << QList<QByteArray>{wire(u"a<Ґ>bc<"_s)} << QList<QStringList>{{u"a"_s}} << qsizetype(3);
        QTest::newRow("empty arrival changes nothing")
            << QList<QByteArray>{wire(u"a<"_s), QByteArray(), wire(u"Ґ>"_s)}
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

    void messageLeavesTheBufferBeforeItIsReturned()
    {
        MessageSplitter splitter;
        splitter.append(wire(u"$Mess=one<Ґ>$Mess=two<Ґ>"_s));
        QCOMPARE(splitter.pendingBytes(), qsizetype(24));
        QCOMPARE(splitter.takeMessage().value_or(QString()), u"$Mess=one"_s);
        QCOMPARE(splitter.pendingBytes(), qsizetype(12));
        // An arrival while the first message is being handled (a nested event loop).
        splitter.append(wire(u"$Mess=three<Ґ>"_s));
        QCOMPARE(splitter.takeMessage().value_or(QString()), u"$Mess=two"_s);
        QCOMPARE(splitter.takeMessage().value_or(QString()), u"$Mess=three"_s);
        QVERIFY(!splitter.takeMessage());
        QCOMPARE(splitter.pendingBytes(), qsizetype(0));
    }

    void overflowDropsAndIgnoresUntilCleared()
    {
        MessageSplitter splitter(100);
        // Complete messages are handed on whatever their size; only the part
        // held without a terminator counts.
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
        splitter.clear();
        QVERIFY(!splitter.overflowed());
        // A clear also forgets a partial message.
        splitter.append("$BB=broken half");
        splitter.clear();
        QCOMPARE(splitter.pendingBytes(), qsizetype(0));
        splitter.append("fresh" + kTerm);
        QCOMPARE(splitter.takeMessage().value_or(QString()), u"fresh"_s);
    }

    void agreesWithANaiveSplitter_data()
    {
        // Arrival sizes from single bytes to more than the buffer's first size,
        // so every way of making room (moving the remainder, growing) is taken.
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("maxArrival");
        for (int seed = 1; seed <= 4; ++seed)
            for (int maxArrival : {3, 100, 1460, 40000})
                QTest::addRow("seed %d arrivals up to %d", seed, maxArrival) << seed << maxArrival;
    }
    void agreesWithANaiveSplitter()
    {
        QFETCH(int, seed);
        QFETCH(int, maxArrival);
        QRandomGenerator random{quint32(seed)};
        // Messages of very different lengths; bytes drawn mostly from the
        // terminator's own, so near misses are common.
        const QByteArray alphabet("<\xA5>ab\xC0<Str>");
        QByteArray stream;
        for (int m = 0; m < 300; ++m) {
            const int length = random.bounded(8) == 0 ? random.bounded(30000) : random.bounded(40);
            for (int i = 0; i < length; ++i)
                stream += alphabet.at(random.bounded(int(alphabet.size())));
            stream += kTerm;
        }
        stream += "unfinished<";
        // The reference: search the whole joined text from its start each time.
        QStringList expected;
        for (qsizetype from = 0;;) {
            const qsizetype at = stream.indexOf(kTerm, from);
            if (at < 0)
                break;
            expected << Cp1251::decode(QByteArrayView(stream).sliced(from, at - from));
            from = at + 3;
        }
        MessageSplitter splitter;
        QStringList got;
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype size = std::min<qsizetype>(1 + random.bounded(maxArrival), stream.size() - at);
            splitter.append(QByteArrayView(stream).sliced(at, size));
            at += size;
            while (auto message = splitter.takeMessage())
                got << *message;
        }
        QCOMPARE(got.size(), expected.size());
        QCOMPARE(got, expected);
        QCOMPARE(splitter.pendingBytes(), qsizetype(11));
    }
};

QTEST_APPLESS_MAIN(TestMessageSplitter)
#include "TestMessageSplitter.moc"
