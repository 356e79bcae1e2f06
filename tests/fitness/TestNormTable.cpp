#include "fitness/NormTable.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// "I 1,4 18-29 2450 | II 1,6 18-29 2800": rows of group, КФА, age band and
// energy need, as cells 1 to 4 (cell 0 is not read).
QString table(const QString& rows)
{
    QStringList texts;
    for (const QString& row : rows.split(u" | "_s))
        texts << u"0<Sc>"_s + row.split(u' ').join(u"<Sc>"_s);
    return texts.join(u"<Str>"_s);
}
} // namespace

class TestNormTable : public QObject
{
    Q_OBJECT

private slots:
    void kfaList_data()
    {
        QTest::addColumn<QString>("sNorm");
        QTest::addColumn<QStringList>("kfa");
        QTest::newRow("duplicates in order of first appearance")
            << table(u"I 1,4 18-29 2450 | I 1,4 30-39 2300 | II 1,6 18-29 2800 | I 1,4 40-59 2100"_s)
            << QStringList{u"1,4"_s, u"1,6"_s};
        QTest::newRow("point and comma are different keys")
            << table(u"I 1.4 a 1 | I 1,4 a 2"_s) << QStringList{u"1.4"_s, u"1,4"_s};
        QTest::newRow("interleaved repeats, letter case counts")
            << table(u"I b a 1 | I a a 2 | I B a 3 | I b a 4 | I a a 5"_s)
            << QStringList{u"b"_s, u"a"_s, u"B"_s};
        QTest::newRow("short rows and a trailing separator skipped, longer rows kept")
            << u"0<Sc>I<Sc>1,2<Sc>18-29<Str>"_s + table(u"I 1,4 a 1 more cells"_s) + u"<Str>"_s
            << QStringList{u"1,4"_s};
    }
    void kfaList()
    {
        QFETCH(QString, sNorm);
        QTEST(NormTable(sNorm).kfaList(), "kfa");
    }

    void ageListKeepsDuplicatesInTableOrder()
    {
        const NormTable norms(
            table(u"I 1,4 18-29 2450 | II 1,6 18-29 2800 | I 1,4 30-39 2300 | Ib 1,4 18-29 1"_s));
        QCOMPARE(norms.ageList(u"1,4"_s), (QStringList{u"18-29"_s, u"30-39"_s, u"18-29"_s}));
        QCOMPARE(norms.ageList(u"1.4"_s), QStringList());
    }

    void chosenRow_data()
    {
        QTest::addColumn<QString>("sNorm");
        QTest::addColumn<bool>("man");
        QTest::addColumn<bool>("girl");
        QTest::addColumn<QString>("kfa");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("group");
        QTest::addColumn<double>("energy");
        const QString norms =
            table(u"I 1,4 18-29 2450 | I 1,4 30-39 2300,5 | Ib 1,4 18-29 9999 | II 1,6 18-29 много"_s);
        const QString kfa = u"1,4"_s, age = u"18-29"_s;
        QTest::newRow("men, first of two matching rows")
            << norms << true << false << kfa << age << u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_s << 2450.0;
        QTest::newRow("women") << norms << false << true << kfa << u"30-39"_s
                               << u"Женщины I (1,4), 30-39 лет (2300,5 ккал)"_s << 2300.5;
        QTest::newRow("both ticked: women win")
            << norms << true << true << kfa << age << u"Женщины I (1,4), 18-29 лет (2450 ккал)"_s << 2450.0;
        QTest::newRow("energy not a number") << norms << true << false << u"1,6"_s << age
                                             << u"Мужчины II (1,6), 18-29 лет (много ккал)"_s << 0.0;
        QTest::newRow("no matching row")
            << norms << true << false << u"1,6"_s << u"30-39"_s << u"Мужчины "_s << 0.0;
        QTest::newRow("no table") << QString() << false << true << kfa << age << u"Женщины "_s << 0.0;
    }
    void chosenRow()
    {
        QFETCH(QString, sNorm);
        QFETCH(bool, man);
        QFETCH(bool, girl);
        QFETCH(QString, kfa);
        QFETCH(QString, age);
        const NormTable norms(sNorm);
        QTEST(norms.GetFullGroup(NormTable::sexWord(man, girl), kfa, age), "group");
        QTEST(norms.GetFizEnergy(kfa, age), "energy");
    }
};

QTEST_GUILESS_MAIN(TestNormTable)
#include "TestNormTable.moc"
