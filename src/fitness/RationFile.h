#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// A ration saved to disk (extension ".ration"): a small JSON text holding a
// format name and version, the group chosen (sex, КФА, age band) and every
// entry in its record text, exactly as the ration stores it:
//
//   {"format": "quorvel-ration", "version": 1,
//    "group": {"sex": "men", "kfa": "1,4", "age": "18-29"},
//    "entries": ["5<Sc>2,5<Sc>10<Sc>15<Str>Борщ<Sc>100"]}
//
// Reading trusts nothing in the file: whatever is refused leaves the caller's
// ration untouched, with one reason to tell the user.
class RationFile final
{
public:
    static constexpr int Version = 1;
    static constexpr qint64 MaxBytes = 1024 * 1024;
    static inline const QString Extension = QStringLiteral("ration");

    struct Content
    {
        QStringList entries; // record texts, at most 25
        bool women = false;
        QString kfa;
        QString age;
    };

    // The reason a read was refused, in Russian, or nothing when it was read.
    struct Result
    {
        Content content;
        QString error;
        bool ok() const { return error.isEmpty(); }
    };

    static QByteArray toJson(const Content& content);
    static Result fromJson(const QByteArray& data);

    // Whole files. save() writes through a temporary file and a rename, so a
    // failed save leaves the previous file as it was; it returns the error
    // text, empty on success. Both messages name the file.
    static Result open(const QString& path);
    static QString save(const QString& path, const Content& content);
    // Any bytes, written the same careful way (the CSV export uses it too).
    static QString write(const QString& path, const QByteArray& data);
};
