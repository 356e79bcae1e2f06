#include "report/RationCsv.h"

#include "common/RussianFormat.h"
#include "report/RationTable.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace RationCsv {
namespace {

QString line(const QStringList& cells)
{
    return cells.join(u';') + u"\r\n"_s;
}

// "13%" as the number 13; the empty share stays empty.
QString percent(QString share)
{
    share.chop(share.endsWith(u'%') ? 1 : 0);
    return share;
}

QString numberOrText(const QString& text)
{
    return cell(text, RussianFormat::isNumeric(text));
}

QString row(const RationTable::Row& row)
{
    return line({cell(row.number, true), cell(row.name), numberOrText(row.weight), cell(row.protein, true),
                 cell(row.fat, true), cell(row.carb, true), cell(row.kkal, true),
                 cell(percent(row.share), true)});
}

} // namespace

QString cell(const QString& text, bool isNumber)
{
    QString out = text;
    if (!isNumber && !out.isEmpty() && u"=+-@"_s.contains(out.front()))
        out.prepend(u'\'');
    if (out.contains(u';') || out.contains(u'"') || out.contains(u'\n') || out.contains(u'\r'))
        out = u'"' + out.replace(u'"', u"\"\""_s) + u'"';
    return out;
}

QByteArray write(const RationTable& table, const QDate& date)
{
    QString csv;
    csv += line({cell(u"Дата"_s), cell(RussianFormat::longDate(date))});
    csv += line({cell(u"Группа"_s), cell(table.group)});
    csv += line({cell(u"Суточная потребность, ккал"_s),
                 table.need > 0 ? cell(RussianFormat::shortest(table.need), true) : QString()});
    csv += u"\r\n"_s;
    csv += line({u"№"_s, u"Изделие (блюдо)"_s, u"Выход, г"_s, u"Белки, г"_s, u"Жиры, г"_s, u"Углеводы, г"_s,
                 u"Калорийность, ккал"_s, u"Удовлетворение суточной потребности, %"_s});
    for (const RationTable::Row& r : table.rows)
        csv += row(r);
    csv += row(table.totals);
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

} // namespace RationCsv
