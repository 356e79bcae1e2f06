#include "recipes/Catalogue.h"

#include "common/Payload.h"
#include "common/RussianFormat.h"
#include "protocol/ProtocolWords.h"

using namespace Qt::StringLiterals;

namespace Catalogue {

CollectionNames collectionNames(const QString& payload)
{
    CollectionNames result;
    const QStringList records = splitPayload(payload, Proto::EB);
    result.names.reserve(records.size());
    for (const QString& record : records) {
        // An empty record splits into no field at all, which is not the same
        // as a record that starts with "<TB>" (an empty name, kept).
        const QStringList fields = splitPayload(record, Proto::TB);
        if (fields.isEmpty()) {
            ++result.emptyRecords;
            continue;
        }
        result.names << fields.first();
        if (result.emptyRecords == 0)
            result.namesBeforeFirstEmpty = result.names.size();
    }
    return result;
}

QString emptyRecordsDescription(int count)
{
    if (count == 1)
        return EmptyRecordDescription;
    return u"Записей каталога без названия сборника: %1"_s.arg(count);
}

DishNames dishNames(const QString& payload)
{
    DishNames result;
    if (payload.size() == Proto::NO_DISHES.size() &&
        RussianFormat::upper(payload) == RussianFormat::upper(Proto::NO_DISHES)) {
        result.noDishes = true;
        result.names << NoRecipesLine;
        return result;
    }
    result.names = splitPayload(payload, Proto::BL);
    return result;
}

} // namespace Catalogue
