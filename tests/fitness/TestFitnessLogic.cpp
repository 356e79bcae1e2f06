#include "fitness/NormTable.h"
#include "fitness/RationFile.h"

#include <QFile>
#include <QTemporaryDir>

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
const QString kSoup = u"5<Sc>2,5<Sc>10<Sc>15<Str>Борщ; \"наш\"<Sc>150/50"_s;

QByteArray file(const QString& entries, const QString& version = u"1"_s)
{
    return (u"{\"format\": \"quorvel-ration\", \"version\": "_s + version +
            u", \"group\": {\"sex\": \"men\", \"kfa\": \"1,4\", \"age\": \"18-29\"}, \"entries\": ["_s +
            entries + u"]}"_s)
        .toUtf8();
}
} // namespace

// The norm tables and the ration files: the fitness side without windows.
class TestFitnessLogic : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // КФА: repeats dropped in order of first appearance, letter case counting; short rows and a
    // trailing separator skipped, longer rows kept. Ages: duplicates kept, in table order.
    void lists()
    {
        QCOMPARE(NormTable(table(u"I b a 1 | I a a 2 | I B a 3 | I b a 4 | I a a 5"_s)).kfaList(),
                 (QStringList{u"b"_s, u"a"_s, u"B"_s}));
        QCOMPARE(NormTable(u"0<Sc>I<Sc>1,2<Sc>18-29<Str>"_s + table(u"I 1,4 a 1 more cells"_s) + u"<Str>"_s)
                     .kfaList(),
                 QStringList{u"1,4"_s});
        const NormTable norms(
            table(u"I 1,4 18-29 2450 | II 1,6 18-29 2800 | I 1,4 30-39 2300 | Ib 1,4 18-29 1"_s));
        QCOMPARE(norms.ageList(u"1,4"_s), (QStringList{u"18-29"_s, u"30-39"_s, u"18-29"_s}));
        QCOMPARE(norms.ageList(u"1.4"_s), QStringList());
    }

    void chosenRow()
    {
        const QString norms =
            table(u"I 1,4 18-29 2450 | I 1,4 30-39 2300,5 | Ib 1,4 18-29 9999 | II 1,6 18-29 много"_s);
        const QString kfa = u"1,4"_s, age = u"18-29"_s;
        const struct
        {
            QString sNorm;
            bool man, girl;
            QString kfa, age, group;
            double energy;
        } cases[] = {
            // Men, the first of two matching rows; women; both ticked: women win.
            {norms, true, false, kfa, age, u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_s, 2450},
            {norms, false, true, kfa, u"30-39"_s, u"Женщины I (1,4), 30-39 лет (2300,5 ккал)"_s, 2300.5},
            {norms, true, true, kfa, age, u"Женщины I (1,4), 18-29 лет (2450 ккал)"_s, 2450},
            // Energy not a number; no matching row; no table.
            {norms, true, false, u"1,6"_s, age, u"Мужчины II (1,6), 18-29 лет (много ккал)"_s, 0},
            {norms, true, false, u"1,6"_s, u"30-39"_s, u"Мужчины "_s, 0},
            {QString(), false, true, kfa, age, u"Женщины "_s, 0},
        };
        for (const auto& c : cases) {
            const NormTable norm(c.sNorm);
            QCOMPARE(norm.GetFullGroup(NormTable::sexWord(c.man, c.girl), c.kfa, c.age), c.group);
            QCOMPARE(norm.GetFizEnergy(c.kfa, c.age), c.energy);
        }
    }

    void roundTrip()
    {
        const RationFile::Content saved{
            {kSoup, u"1<Sc>1<Sc>1<Sc>1<Sc>н/д<Str>Чай<Sc>0"_s}, true, u"1,6"_s, u"30-39"_s};
        const QString path = m_dir.filePath(u"день.ration"_s);
        QCOMPARE(RationFile::save(path, saved), QString());
        const RationFile::Result read = RationFile::open(path);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.content.entries, saved.entries);
        QCOMPARE(QStringList({read.content.kfa, read.content.age}), QStringList({saved.kfa, saved.age}));
        QVERIFY(read.content.women);
    }

    void badFilesAreRefused()
    {
        const QString dish = u"\"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200\""_s;
        const QString path = m_dir.filePath(u"плохой.ration"_s);
        for (const auto& [bytes, reason] :
             {std::pair{QByteArray("x;y\n1;2"), u"это не файл рациона"_s},
              {QByteArray(R"({"entries": []})"), u"это не файл рациона"_s},
              {file(dish).left(60), u"файл поврежден"_s},
              {file(dish, u"2"_s), u"более новой версией программы (формат 2)"_s},
              {file(QStringList(26, dish).join(u',')), u"больше 25 блюд"_s},
              {file(dish + u",\"10<Sc>жир<Sc>20<Sc>30<Str>Суп<Sc>200\""_s),
               u"значения блюда 2 не читаются как числа"_s},
              {file(u"\"1e999<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200\""_s), u"значения блюда 1"_s},
              {file(u"\"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>сто\""_s), u"выход блюда 1"_s},
              {file(u"\"10<Sc>5<Sc>20<Sc>30\""_s), u"блюдо 1 записано не в том виде"_s},
              {file(u"5"_s), u"файл поврежден"_s},
              {file(dish) + QByteArray(RationFile::MaxBytes, ' '), u"больше 1 МБ"_s}}) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size());
            out.close();
            const RationFile::Result read = RationFile::open(path);
            QVERIFY2(read.error.startsWith(u"Файл «плохой.ration» не открыт: "_s) &&
                         read.error.contains(reason),
                     qPrintable(read.error));
            QVERIFY(read.content.entries.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestFitnessLogic)
#include "TestFitnessLogic.moc"
