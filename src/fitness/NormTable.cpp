#include "fitness/NormTable.h"

#include "common/Payload.h"
#include "common/RussianFormat.h"
#include "protocol/ProtocolWords.h"

#include <QSet>

using namespace Qt::StringLiterals;

NormTable::NormTable(const QString& sNorm) : m_empty(sNorm.isEmpty())
{
    for (const QString& text : splitPayload(sNorm, Proto::Str)) {
        const QStringList cells = splitPayload(text, Proto::Sc);
        if (cells.size() < 5)
            continue;
        m_rows.append(Row{cells[1], cells[2], cells[3], cells[4]});
    }
}

QStringList NormTable::kfaList() const
{
    // The set only answers "seen already?" in constant time; the list keeps
    // the order of first appearance. A table where every row has its own
    // coefficient would otherwise compare each row with every entry so far.
    QStringList list;
    QSet<QString> seen;
    seen.reserve(m_rows.size());
    for (const Row& row : m_rows) {
        if (!seen.contains(row.kfa)) {
            seen.insert(row.kfa);
            list << row.kfa;
        }
    }
    return list;
}

QStringList NormTable::ageList(const QString& kfa) const
{
    QStringList list;
    for (const Row& row : m_rows) {
        if (row.kfa == kfa)
            list << row.age;
    }
    return list;
}

const NormTable::Row* NormTable::findRow(const QString& kfa, const QString& age) const
{
    for (const Row& row : m_rows) {
        if (row.kfa == kfa && row.age == age)
            return &row;
    }
    return nullptr;
}

QString NormTable::GetFullGroup(const QString& sexWord, const QString& kfa, const QString& age) const
{
    const Row* row = findRow(kfa, age);
    if (!row)
        return sexWord;
    return sexWord + row->group + u" ("_s + row->kfa + u"), "_s + row->age + u" лет ("_s + row->energy +
           u" ккал)"_s;
}

double NormTable::GetFizEnergy(const QString& kfa, const QString& age) const
{
    const Row* row = findRow(kfa, age);
    return row ? RussianFormat::toDouble(row->energy).value_or(0.0) : 0.0;
}

QString NormTable::sexWord(bool man, bool girl)
{
    if (girl)
        return u"Женщины "_s;
    if (man)
        return u"Мужчины "_s;
    return QString();
}
