#include "fitness/RationFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kBorshch = u"5<Sc>2,5<Sc>10<Sc>15<Str>Борщ; \"наш\"<Sc>150/50"_s;

QByteArray file(const QString& entries, const QString& version = u"1"_s)
{
    return (u"{\"format\": \"quorvel-ration\", \"version\": "_s + version +
            u", \"group\": {\"sex\": \"men\", \"kfa\": \"1,4\", \"age\": \"18-29\"}, \"entries\": ["_s +
            entries + u"]}"_s)
        .toUtf8();
}
} // namespace

class TestRationFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void roundTrip()
    {
        const RationFile::Content saved{
            {kBorshch, u"1<Sc>1<Sc>1<Sc>1<Sc>н/д<Str>Чай<Sc>0"_s}, true, u"1,6"_s, u"30-39"_s};
        const QString path = m_dir.filePath(u"день.ration"_s);
        QCOMPARE(RationFile::save(path, saved), QString());
        const RationFile::Result read = RationFile::open(path);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.content.entries, saved.entries);
        QCOMPARE(QStringList({read.content.kfa, read.content.age}), QStringList({saved.kfa, saved.age}));
        QVERIFY(read.content.women);
    }

    void badFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QString dish = u"\"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200\""_s;
        QTest::newRow("not JSON") << QByteArray("x;y\n1;2") << u"это не файл рациона"_s;
        QTest::newRow("other JSON") << QByteArray(R"({"entries": []})") << u"это не файл рациона"_s;
        QTest::newRow("cut short") << file(dish).left(60) << u"файл поврежден"_s;
        QTest::newRow("newer") << file(dish, u"2"_s) << u"более новой версией программы (формат 2)"_s;
        QTest::newRow("26 dishes") << file(QStringList(26, dish).join(u',')) << u"больше 25 блюд"_s;
        QTest::newRow("value not a number") << file(dish + u",\"10<Sc>жир<Sc>20<Sc>30<Str>Суп<Sc>200\""_s)
                                            << u"значения блюда 2 не читаются как числа"_s;
        QTest::newRow("value overflows")
            << file(u"\"1e999<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200\""_s) << u"значения блюда 1"_s;
        QTest::newRow("weight not a number")
            << file(u"\"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>сто\""_s) << u"выход блюда 1"_s;
        QTest::newRow("one row") << file(u"\"10<Sc>5<Sc>20<Sc>30\""_s) << u"блюдо 1 записано не в том виде"_s;
        QTest::newRow("entry not text") << file(u"5"_s) << u"файл поврежден"_s;
        QTest::newRow("over 1 MiB") << file(dish) + QByteArray(RationFile::MaxBytes, ' ') << u"больше 1 МБ"_s;
    }
    void badFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = m_dir.filePath(u"плохой.ration"_s);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        const RationFile::Result read = RationFile::open(path);
        QVERIFY2(read.error.startsWith(u"Файл «плохой.ration» не открыт: "_s), qPrintable(read.error));
        QVERIFY2(read.error.contains(reason), qPrintable(read.error));
        QVERIFY(read.content.entries.isEmpty());
    }

    void failedSaveIsReported()
    {
        // A folder where the file should go: nothing can be written there.
        QVERIFY(QDir(m_dir.path()).mkdir(u"taken.ration"_s));
        QCOMPARE(RationFile::save(m_dir.filePath(u"taken.ration"_s), {}).section(u':', 0, 0),
                 u"Файл «taken.ration» не сохранен"_s);
    }
};

QTEST_GUILESS_MAIN(TestRationFile)
#include "TestRationFile.moc"
