#pragma once

#include <QString>
#include <QStringList>

// The two catalogue replies as lists of entries. Entries are kept exactly as
// received: their text is the key the window sends back to the server.
namespace Catalogue {

// "$BB=": one name per collection record, in the order received.
struct CollectionNames
{
    QStringList names;
    // Records with no first field at all (two adjacent "<EB>", or one at
    // either end of the payload): they add nothing and are reported together,
    // once per reply, when the first of them is met.
    int emptyRecords = 0;
    // How many names come before the first empty record (all of them when
    // there is none): the entries listed when its report is shown.
    qsizetype namesBeforeFirstEmpty = 0;
};

// "$Dishes=": the dish names, or the no-recipes marker.
struct DishNames
{
    QStringList names;
    bool noDishes = false; // the payload was "$NO_DISHES" in any letter case
};

CollectionNames collectionNames(const QString& payload);
DishNames dishNames(const QString& payload);

// The single line shown in a disabled dish list when a collection is empty.
inline const QString NoRecipesLine = QStringLiteral("База не содержит рецептур");

// What form_Bases_Bl reports for an empty record. The code is ours; the
// catalogue reply has no codes of its own.
inline const QString StepFailedMessage = QStringLiteral("Ошибка выполнения функции.");
inline const QString EmptyRecordDescription = QStringLiteral("Запись каталога без названия сборника");
inline constexpr int EmptyRecordCode = 9;
// EmptyRecordDescription for one empty record, with the count for more.
QString emptyRecordsDescription(int count);

} // namespace Catalogue
