#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <stdexcept>

// Read-only access to the demo server's SQLite database. Lookups by name are
// exact (case and blanks count), as the client sends back the texts it was
// given. Lives on one thread: Qt SQL connections are bound to their thread.
class DemoDatabase final
{
public:
    // A query that failed on a database that did open (a damaged file, say).
    class Failure : public std::runtime_error
    {
    public:
        using std::runtime_error::runtime_error;
    };

    struct Collection
    {
        QString name;
        int dishCount = 0;
        QString source;
    };

    struct Composition
    {
        double protein = 0;
        double fat = 0;
        double carb1 = 0; // mono- and disaccharides
        double carb2 = 0; // starch
        QString name;
        QString outputWeight; // "100", or a composite such as "150/50"
    };

    struct NormRow
    {
        qint64 id = 0;
        QString group; // "I", "II", ...
        QString kfa;   // "1,4"
        QString ageBand;
        double energyKcal = 0;
    };

    enum class Sex
    {
        Men,
        Women
    };

    DemoDatabase();
    ~DemoDatabase();
    Q_DISABLE_COPY_MOVE(DemoDatabase)

    // Opens the file read-only and checks its schema version. Returns an
    // empty text on success, otherwise why it cannot be used. A missing file
    // is an error, never created.
    QString open(const QString& path);

    // In catalogue order. Throws Failure.
    QList<Collection> collections() const;
    // The dish names of a collection in their order, or nothing when there is
    // no collection of that name. Throws Failure.
    std::optional<QStringList> dishNames(const QString& collection) const;
    // Nothing when the collection or the dish is unknown. Throws Failure.
    std::optional<Composition> composition(const QString& collection, const QString& dish) const;
    // Rows in table order; empty when the database holds none. Throws Failure.
    QList<NormRow> norms(Sex sex) const;

private:
    struct Queries;
    QString m_connectionName;
    std::unique_ptr<Queries> m_queries;
};
