#include "server/DemoDatabase.h"

#include "server/DemoDatabaseBuilder.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

using namespace Qt::StringLiterals;

// Prepared once, run for every request: the statements are the whole load.
struct DemoDatabase::Queries
{
    explicit Queries(const QSqlDatabase& db)
        : collections(db), collectionId(db), dishNames(db), composition(db), norms(db)
    {
    }
    QSqlQuery collections;
    QSqlQuery collectionId;
    QSqlQuery dishNames;
    QSqlQuery composition;
    QSqlQuery norms;
};

namespace {

void prepare(QSqlQuery& query, const QString& sql)
{
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DemoDatabase::Failure(query.lastError().text().toStdString());
}

void run(QSqlQuery& query)
{
    if (!query.exec())
        throw DemoDatabase::Failure(query.lastError().text().toStdString());
}

} // namespace

DemoDatabase::DemoDatabase()
    : m_connectionName(u"brastel-demo-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

DemoDatabase::~DemoDatabase()
{
    m_queries.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QString DemoDatabase::open(const QString& path)
{
    m_queries.reset();
    // SQLite's own word for this is "unable to open database file", which
    // does not tell a newcomer that the build makes the file.
    if (!QFileInfo(path).isFile())
        return u"%1: no such database file"_s.arg(path);
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? QSqlDatabase::database(m_connectionName, false)
                          : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    db.close();
    db.setDatabaseName(path);
    db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
    if (!db.open())
        return u"%1: %2"_s.arg(path, db.lastError().text());
    try {
        QSqlQuery version(db);
        if (!version.exec(u"PRAGMA user_version"_s) || !version.next())
            return u"%1: not a database: %2"_s.arg(path, version.lastError().text());
        if (version.value(0).toInt() != DemoDatabaseBuilder::kSchemaVersion)
            return u"%1: schema version %2, %3 expected (rebuild it)"_s.arg(path)
                .arg(version.value(0).toInt())
                .arg(DemoDatabaseBuilder::kSchemaVersion);
        auto queries = std::make_unique<Queries>(db);
        prepare(queries->collections,
                u"SELECT c.name, COUNT(d.id), c.source FROM collections c"
                " LEFT JOIN dishes d ON d.collection_id = c.id GROUP BY c.id ORDER BY c.id"_s);
        prepare(queries->collectionId, u"SELECT id FROM collections WHERE name = ?"_s);
        prepare(queries->dishNames, u"SELECT name FROM dishes WHERE collection_id = ? ORDER BY id"_s);
        prepare(queries->composition,
                u"SELECT d.protein, d.fat, d.carb1, d.carb2, d.name, d.output_weight FROM dishes d"
                " JOIN collections c ON c.id = d.collection_id WHERE c.name = ? AND d.name = ?"_s);
        prepare(queries->norms,
                u"SELECT id, grp, kfa, age_band, energy_kcal FROM norms WHERE sex = ? ORDER BY id"_s);
        m_queries = std::move(queries);
    } catch (const Failure& failure) {
        db.close();
        return u"%1: %2"_s.arg(path, QString::fromStdString(failure.what()));
    }
    return {};
}

QList<DemoDatabase::Collection> DemoDatabase::collections() const
{
    if (!m_queries)
        throw Failure("the database is not open");
    QSqlQuery& query = m_queries->collections;
    run(query);
    QList<Collection> result;
    while (query.next())
        result.append({query.value(0).toString(), query.value(1).toInt(), query.value(2).toString()});
    query.finish();
    return result;
}

std::optional<QStringList> DemoDatabase::dishNames(const QString& collection) const
{
    if (!m_queries)
        throw Failure("the database is not open");
    QSqlQuery& id = m_queries->collectionId;
    id.bindValue(0, collection);
    run(id);
    if (!id.next()) {
        id.finish();
        return std::nullopt;
    }
    const qint64 collectionId = id.value(0).toLongLong();
    id.finish();

    QSqlQuery& query = m_queries->dishNames;
    query.bindValue(0, collectionId);
    run(query);
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    query.finish();
    return names;
}

std::optional<DemoDatabase::Composition> DemoDatabase::composition(const QString& collection,
                                                                   const QString& dish) const
{
    if (!m_queries)
        throw Failure("the database is not open");
    QSqlQuery& query = m_queries->composition;
    query.bindValue(0, collection);
    query.bindValue(1, dish);
    run(query);
    if (!query.next()) {
        query.finish();
        return std::nullopt;
    }
    Composition result{query.value(0).toDouble(), query.value(1).toDouble(), query.value(2).toDouble(),
                       query.value(3).toDouble(), query.value(4).toString(), query.value(5).toString()};
    query.finish();
    return result;
}

QList<DemoDatabase::NormRow> DemoDatabase::norms(Sex sex) const
{
    if (!m_queries)
        throw Failure("the database is not open");
    QSqlQuery& query = m_queries->norms;
    query.bindValue(0, sex == Sex::Men ? u"M"_s : u"F"_s);
    run(query);
    QList<NormRow> rows;
    while (query.next())
        rows.append({query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
                     query.value(3).toString(), query.value(4).toDouble()});
    query.finish();
    return rows;
}
