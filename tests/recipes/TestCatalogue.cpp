#include "Catalogue.h"

#include <QTest>

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void collectionNames_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("emptyRecords");
        QTest::addColumn<int>("namesBeforeFirstEmpty");
        QTest::newRow("separator at each end") << u"<EB>А<EB>"_qs << QStringList{u"А"_qs} << 2 << 0;
        QTest::newRow("empty records among names")
            << u"А<EB>Б<EB><EB>В<EB><EB>Г"_qs << QStringList{u"А"_qs, u"Б"_qs, u"В"_qs, u"Г"_qs} << 2 << 2;
        QTest::newRow("empty first field is an entry")
            << u"<TB>12<EB> Б "_qs << QStringList{QString(), u" Б "_qs} << 0 << 2;
        QTest::newRow("separators are case-sensitive") << u"А<eb>Б"_qs << QStringList{u"А<eb>Б"_qs} << 0 << 1;
    }
    void collectionNames()
    {
        QFETCH(QString, payload);
        QFETCH(QStringList, names);
        QFETCH(int, emptyRecords);
        QFETCH(int, namesBeforeFirstEmpty);
        const auto result = Catalogue::collectionNames(payload);
        QCOMPARE(result.names, names);
        QCOMPARE(result.emptyRecords, emptyRecords);
        QCOMPARE(result.namesBeforeFirstEmpty, namesBeforeFirstEmpty);
    }

    void dishNames_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("noDishes");
        const QStringList noRecipes{u"База не содержит рецептур"_qs};
        QTest::newRow("empty payload") << QString() << QStringList() << false;
        QTest::newRow("empty elements kept")
            << u"а<BL><BL>б<BL>"_qs << QStringList{u"а"_qs, QString(), u"б"_qs, QString()} << false;
        QTest::newRow("marker") << u"$NO_DISHES"_qs << noRecipes << true;
        QTest::newRow("marker with a blank is a name")
            << u"$NO_DISHES "_qs << QStringList{u"$NO_DISHES "_qs} << false;
        QTest::newRow("marker among names is a name")
            << u"$NO_DISHES<BL>Батон"_qs << QStringList{u"$NO_DISHES"_qs, u"Батон"_qs} << false;
    }
    void dishNames()
    {
        QFETCH(QString, payload);
        QFETCH(QStringList, names);
        QFETCH(bool, noDishes);
        const auto result = Catalogue::dishNames(payload);
        QCOMPARE(result.names, names);
        QCOMPARE(result.noDishes, noDishes);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "TestCatalogue.moc"
