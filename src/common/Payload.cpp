#include "common/Payload.h"

QStringList splitPayload(const QString& text, const QString& separator)
{
    if (text.isEmpty())
        return {};
    return text.split(separator, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

QString elementAt(const QStringList& parts, qsizetype index)
{
    return index >= 0 && index < parts.size() ? parts[index] : QString();
}
