#include "NormTable.h"

#include <QTest>

namespace {
// Group, КФА, age band, energy need in cells 1 to 4; cell 0 is not read.
QString row(const QString& group, const QString& kfa, const QString& age, const QString& energy)
{
    return u"0<Sc>"_qs + group + u"<Sc>"_qs + kfa + u"<Sc>"_qs + age + u"<Sc>"_qs + energy;
}
QString table(const QStringList& rows)
{
    return rows.join(u"<Str>"_qs);
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
            << table({row(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs),
                      row(u"I"_qs, u"1,4"_qs, u"30-39"_qs, u"2300"_qs),
                      row(u"II"_qs, u"1,6"_qs, u"18-29"_qs, u"2800"_qs),
                      row(u"I"_qs, u"1,4"_qs, u"40-59"_qs, u"2100"_qs)})
            << QStringList{u"1,4"_qs, u"1,6"_qs};
        QTest::newRow("point and comma are different keys")
            << table({row(u"I"_qs, u"1.4"_qs, u"18-29"_qs, u"1"_qs),
                      row(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2"_qs)})
            << QStringList{u"1.4"_qs, u"1,4"_qs};
        QTest::newRow("no trimming") << table({row(u"I"_qs, u"1,4 "_qs, u"a"_qs, u"1"_qs),
                                               row(u"I"_qs, u"1,4"_qs, u"a"_qs, u"1"_qs)})
                                     << QStringList{u"1,4 "_qs, u"1,4"_qs};
        QTest::newRow("trailing separator is skipped")
            << table({row(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs)}) + u"<Str>"_qs
            << QStringList{u"1,4"_qs};
        QTest::newRow("short rows are skipped")
            << table(
                   {u"0<Sc>I<Sc>1,2<Sc>18-29"_qs, row(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs), u"x"_qs})
            << QStringList{u"1,4"_qs};
        QTest::newRow("empty") << QString() << QStringList();
    }
    void kfaList()
    {
        QFETCH(QString, sNorm);
        QFETCH(QStringList, kfa);
        QCOMPARE(NormTable(sNorm).kfaList(), kfa);
    }

    void ageListKeepsDuplicatesInTableOrder()
    {
        const NormTable norms(table({row(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs),
                                     row(u"II"_qs, u"1,6"_qs, u"18-29"_qs, u"2800"_qs),
                                     row(u"I"_qs, u"1,4"_qs, u"30-39"_qs, u"2300"_qs),
                                     row(u"Ib"_qs, u"1,4"_qs, u"18-29"_qs, u"2500"_qs)}));
        QCOMPARE(norms.ageList(u"1,4"_qs), (QStringList{u"18-29"_qs, u"30-39"_qs, u"18-29"_qs}));
        QCOMPARE(norms.ageList(u"1,6"_qs), QStringList{u"18-29"_qs});
        QCOMPARE(norms.ageList(u"1.4"_qs), QStringList());
        QCOMPARE(norms.ageList(QString()), QStringList());
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
        const QString norms = table({row(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs),
                                     row(u"I"_qs, u"1,4"_qs, u"30-39"_qs, u"2300,5"_qs),
                                     row(u"Ib"_qs, u"1,4"_qs, u"18-29"_qs, u"9999"_qs),
                                     row(u"II"_qs, u"1,6"_qs, u"18-29"_qs, u"много"_qs)});
        QTest::newRow("men") << norms << true << false << u"1,4"_qs << u"18-29"_qs
                             << u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_qs << 2450.0;
        QTest::newRow("women") << norms << false << true << u"1,4"_qs << u"30-39"_qs
                               << u"Женщины I (1,4), 30-39 лет (2300,5 ккал)"_qs << 2300.5;
        QTest::newRow("both ticked: women win") << norms << true << true << u"1,4"_qs << u"18-29"_qs
                                                << u"Женщины I (1,4), 18-29 лет (2450 ккал)"_qs << 2450.0;
        QTest::newRow("neither ticked") << norms << false << false << u"1,4"_qs << u"18-29"_qs
                                        << u"I (1,4), 18-29 лет (2450 ккал)"_qs << 2450.0;
        QTest::newRow("energy not a number") << norms << true << false << u"1,6"_qs << u"18-29"_qs
                                             << u"Мужчины II (1,6), 18-29 лет (много ккал)"_qs << 0.0;
        QTest::newRow("no matching row")
            << norms << true << false << u"1,6"_qs << u"30-39"_qs << u"Мужчины "_qs << 0.0;
        QTest::newRow("nothing chosen")
            << norms << false << true << QString() << QString() << u"Женщины "_qs << 0.0;
        QTest::newRow("no table") << QString() << true << false << u"1,4"_qs << u"18-29"_qs << u"Мужчины "_qs
                                  << 0.0;
    }
    void chosenRow()
    {
        QFETCH(QString, sNorm);
        QFETCH(bool, man);
        QFETCH(bool, girl);
        QFETCH(QString, kfa);
        QFETCH(QString, age);
        QFETCH(QString, group);
        QFETCH(double, energy);
        const NormTable norms(sNorm);
        QCOMPARE(norms.GetFullGroup(NormTable::sexWord(man, girl), kfa, age), group);
        QCOMPARE(norms.GetFizEnergy(kfa, age), energy);
    }

    void readability()
    {
        QVERIFY(NormTable(QString()).isEmpty());
        QVERIFY(!NormTable(QString()).isUnreadable());
        QVERIFY(NormTable(u"мусор"_qs).isUnreadable());
        QVERIFY(NormTable(u"<Str><Str>"_qs).isUnreadable());
        QVERIFY(NormTable(u"0<Sc>I<Sc>1,4<Sc>18-29"_qs).isUnreadable());
        QVERIFY(!NormTable(row(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs) + u"<Str>"_qs).isUnreadable());
        // Cells after the fourth are allowed.
        QVERIFY(
            !NormTable(row(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs) + u"<Sc>x<Sc>y"_qs).isUnreadable());
    }
};

QTEST_GUILESS_MAIN(TestNormTable)
#include "TestNormTable.moc"
