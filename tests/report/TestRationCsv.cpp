#include "report/FakeReportSource.h"
#include "report/RationCsv.h"
#include "report/RationTable.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::Literals::StringLiterals;

namespace {

FakeReportSource twoDishes()
{
    FakeReportSource source;
    // 10.04 g twice: 10,0 in each row, 20,1 in the totals.
    source.dishes = {{u"Борщ; \"наш\""_s, u"150/50"_s, 10.04, 5, 20, 30},
                     {u"=Чай"_s, u"200"_s, 10.04, 0, 1, 0}};
    return source;
}

// The cells of a flat OpenDocument sheet, as "type:value" per cell, row by row.
QList<QStringList> sheetCells(QFile& fods)
{
    QList<QStringList> rows;
    QXmlStreamReader xml(&fods);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.name() == u"table-row"_s && xml.isStartElement())
            rows << QStringList();
        if (xml.name() != u"table-cell"_s || !xml.isStartElement())
            continue;
        const auto a = xml.attributes();
        const QString type = a.value(u"office:value-type"_s).toString();
        const QString number = a.value(u"office:value"_s).toString();
        const int repeat = qMax(1, a.value(u"table:number-columns-repeated"_s).toInt());
        const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        const QString value = type == u"float"_s ? number : type == u"string"_s ? text : QString();
        for (int i = 0; i < repeat && rows.last().size() < 8; ++i)
            rows.last() << type + u':' + value;
    }
    return rows;
}

} // namespace

class TestRationCsv : public QObject
{
    Q_OBJECT

private slots:
    // Quoting (";" and quotes), the disarmed formula, numbers with a decimal comma.
    void writesTheWindowsTable()
    {
        FakeReportSource source = twoDishes();
        source.need = 0; // unknown: shares and need stay empty
        const QByteArray csv = RationCsv::write(RationTable::from(source), QDate(2026, 12, 7));
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(
            QString::fromUtf8(csv.mid(3)).split(u"\r\n"_s),
            (QStringList{u"Дата;7 декабря 2026 г."_s, u"Группа;Мужчины I (1,4), 18-29 лет (2450 ккал)"_s,
                         u"Суточная потребность, ккал;"_s, QString(),
                         u"№;Изделие (блюдо);Выход, г;Белки, г;Жиры, г;Углеводы, г;Калорийность, ккал;"
                         u"Удовлетворение суточной потребности, %"_s,
                         u"1;\"Борщ; \"\"наш\"\"\";150/50;10,0;5,0;50,0;284;"_s,
                         u"2;'=Чай;200;10,0;0,0;1,0;44;"_s, u";Итого:;;20,1;5,0;51,0;328;"_s, QString()}));
    }

    // "Opens correctly" proven with the real program: LibreOffice converts the
    // export (as a Russian-setting user imports it) to a flat sheet.
    void libreOfficeReadsIt()
    {
        const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
        QVERIFY2(!soffice.isEmpty(), "soffice missing: scripts/setup.sh installs libreoffice-calc-nogui");
        QTemporaryDir dir;
        QFile csv(dir.filePath(u"рацион.csv"_s));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(RationCsv::write(RationTable::from(twoDishes()), QDate(2026, 12, 7)));
        csv.close();
        QProcess lo;
        // A profile of its own, so the user's LibreOffice is never touched.
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, dir.path());
        lo.setProcessEnvironment(env);
        lo.start(soffice, {u"-env:UserInstallation=file://"_s + dir.filePath(u"profile"_s), u"--headless"_s,
                           u"--infilter=CSV:59,34,76,1,,1049"_s, u"--convert-to"_s, u"fods"_s, u"--outdir"_s,
                           dir.path(), csv.fileName()});
        QVERIFY(lo.waitForFinished(100000));
        QFile fods(dir.filePath(u"рацион.fods"_s));
        QVERIFY2(fods.open(QIODevice::ReadOnly), lo.readAllStandardError().constData());
        const QList<QStringList> rows = sheetCells(fods);
        QCOMPARE(rows.size(), 8); // three head lines, the blank one, header, two dishes, totals
        QCOMPARE(rows[5],
                 (QStringList{u"float:1"_s, u"string:Борщ; \"наш\""_s, u"string:150/50"_s, u"float:10"_s,
                              u"float:5"_s, u"float:50"_s, u"float:284"_s, u"float:12"_s}));
        QCOMPARE(rows[6].mid(1, 2), (QStringList{u"string:'=Чай"_s, u"float:200"_s}));
        QCOMPARE(rows[7].mid(1), (QStringList{u"string:Итого:"_s, u":"_s, u"float:20.1"_s, u"float:5"_s,
                                              u"float:51"_s, u"float:328"_s, u"float:13"_s}));
        QCOMPARE(rows[2].value(1), u"float:2450"_s);
    }
};

QTEST_GUILESS_MAIN(TestRationCsv)
#include "TestRationCsv.moc"
