#include "Catalogue.h"

#include "Payload.h"
#include "ProtocolWords.h"
#include "RussianFormat.h"

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
    }
    return result;
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
