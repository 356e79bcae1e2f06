#include "recipes/Catalogue.h"

#include <QTest>

using namespace Qt::StringLiterals;

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
        QTest::newRow("separator at each end") << u"<EB>А<EB>"_s << QStringList{u"А"_s} << 2 << 0;
        QTest::newRow("empty records among names")
            << u"А<EB>Б<EB><EB>В<EB><EB>Г"_s << QStringList{u"А"_s, u"Б"_s, u"В"_s, u"Г"_s} << 2 << 2;
        QTest::newRow("empty first field is an entry")
            << u"<TB>12<EB> Б "_s << QStringList{QString(), u" Б "_s} << 0 << 2;
        QTest::newRow("separators are case-sensitive") << u"А<eb>Б"_s << QStringList{u"А<eb>Б"_s} << 0 << 1;
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
        const QStringList noRecipes{u"База не содержит рецептур"_s};
        QTest::newRow("empty payload") << QString() << QStringList() << false;
        QTest::newRow("empty elements kept")
            << u"а<BL><BL>б<BL>"_s << QStringList{u"а"_s, QString(), u"б"_s, QString()} << false;
        QTest::newRow("marker") << u"$NO_DISHES"_s << noRecipes << true;
        QTest::newRow("marker with a blank is a name")
            << u"$NO_DISHES "_s << QStringList{u"$NO_DISHES "_s} << false;
        QTest::newRow("marker among names is a name")
            << u"$NO_DISHES<BL>Батон"_s << QStringList{u"$NO_DISHES"_s, u"Батон"_s} << false;
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
