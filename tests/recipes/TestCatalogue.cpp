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
        QTest::newRow("empty payload") << QString() << QStringList() << 0;
        QTest::newRow("fields after the name are ignored")
            << u"Хлеб<TB>12<TB>x<EB>Супы"_qs << QStringList{u"Хлеб"_qs, u"Супы"_qs} << 0;
        QTest::newRow("adjacent separators") << u"А<EB><EB>Б"_qs << QStringList{u"А"_qs, u"Б"_qs} << 1;
        QTest::newRow("separator at the end") << u"А<EB>"_qs << QStringList{u"А"_qs} << 1;
        QTest::newRow("separator at the start") << u"<EB>А"_qs << QStringList{u"А"_qs} << 1;
        QTest::newRow("separator alone") << u"<EB>"_qs << QStringList() << 2;
        QTest::newRow("empty first field is an entry")
            << u"<TB>12<EB>Б"_qs << QStringList{QString(), u"Б"_qs} << 0;
        QTest::newRow("no trimming") << u" Хлеб <EB>Супы "_qs << QStringList{u" Хлеб "_qs, u"Супы "_qs} << 0;
        QTest::newRow("separators are case-sensitive") << u"А<eb>Б"_qs << QStringList{u"А<eb>Б"_qs} << 0;
    }
    void collectionNames()
    {
        QFETCH(QString, payload);
        QFETCH(QStringList, names);
        QFETCH(int, emptyRecords);
        const auto result = Catalogue::collectionNames(payload);
        QCOMPARE(result.names, names);
        QCOMPARE(result.emptyRecords, emptyRecords);
    }

    void dishNames_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("noDishes");
        QTest::newRow("empty payload") << QString() << QStringList() << false;
        QTest::newRow("two names") << u"Батон<BL>Борщ"_qs << QStringList{u"Батон"_qs, u"Борщ"_qs} << false;
        QTest::newRow("trailing separator keeps an empty entry")
            << u"Батон<BL>"_qs << QStringList{u"Батон"_qs, QString()} << false;
        QTest::newRow("two separators keep the middle")
            << u"а<BL><BL>б"_qs << QStringList{u"а"_qs, QString(), u"б"_qs} << false;
        const QStringList noRecipes{Catalogue::NoRecipesLine};
        QTest::newRow("marker") << u"$NO_DISHES"_qs << noRecipes << true;
        QTest::newRow("marker in lower case") << u"$no_dishes"_qs << noRecipes << true;
        QTest::newRow("marker in mixed case") << u"$No_Dishes"_qs << noRecipes << true;
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

    void noRecipesLineIsExact() { QCOMPARE(Catalogue::NoRecipesLine, u"База не содержит рецептур"_qs); }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "TestCatalogue.moc"
