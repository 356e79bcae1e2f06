#include "server/RequestHandler.h"

#include "common/RussianFormat.h"
#include "protocol/ProtocolWords.h"
#include "server/DemoDatabase.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// Text that no client of this protocol sends: C0 and C1 controls (0x98, the
// one byte Windows-1251 leaves undefined, decodes into the C1 range), except
// the blanks and line breaks a user may type into a message.
bool isBinary(const QString& message)
{
    for (const QChar ch : message) {
        const char16_t c = ch.unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || (c >= 0x7F && c <= 0x9F))
            return true;
    }
    return false;
}

} // namespace

RequestHandler::RequestHandler(const DemoDatabase& database, Options options)
    : m_database(database), m_options(options)
{
}

RequestHandler::Outcome RequestHandler::handle(const QString& message) const
{
    if (isBinary(message))
        return {Action::Drop, u"sent binary data"_s, {}};
    try {
        if (Proto::isWholeWord(message, Proto::GetDishTables))
            return {Action::Reply, catalogue(), {}};
        if (Proto::startsWithWord(message, Proto::GetDishes))
            return {Action::Reply, dishes(message.mid(Proto::GetDishes.size())), {}};
        if (Proto::startsWithWord(message, Proto::GetHSDishes))
            return {Action::Reply, composition(message.mid(Proto::GetHSDishes.size())), {}};
        if (Proto::isWholeWord(message, Proto::Get_Man_Norm))
            return {Action::Reply, norms(true), {}};
        if (Proto::isWholeWord(message, Proto::Get_Girl_Norm))
            return {Action::Reply, norms(false), {}};
        if (Proto::startsWithWord(message, Proto::Mess))
            return {Action::AdminMessage, message.mid(Proto::Mess.size()), {}};
    } catch (const DemoDatabase::Failure& failure) {
        // A damaged database must not answer with an empty catalogue or an
        // empty dish list, which the client would take for real data.
        return {Action::Reply, Proto::Err_inquiry,
                u"database failure: "_s + QString::fromStdString(failure.what())};
    }
    return {Action::Reply, Proto::Err_inquiry, {}};
}

QString RequestHandler::catalogue() const
{
    QStringList records;
    for (const DemoDatabase::Collection& c : m_database.collections())
        records.append(QStringList{c.name, QString::number(c.dishCount), c.source}.join(Proto::TB));
    return Proto::BB + records.join(Proto::EB);
}

QString RequestHandler::dishes(const QString& collection) const
{
    const std::optional<QStringList> names = m_database.dishNames(collection);
    if (!names || names->isEmpty())
        return Proto::Dishes + Proto::NO_DISHES;
    return Proto::Dishes + names->join(Proto::BL);
}

QString RequestHandler::composition(const QString& arguments) const
{
    // Collection and dish names never hold "<Str>" (the database builder
    // refuses them), so the first one is the split.
    const qsizetype split = arguments.indexOf(Proto::Str);
    if (split < 0)
        return Proto::Err_inquiry;
    const std::optional<DemoDatabase::Composition> found =
        m_database.composition(arguments.left(split), arguments.mid(split + Proto::Str.size()));
    if (!found)
        return Proto::Err_inquiry;
    using RussianFormat::shortest;
    const QString values = QStringList{shortest(found->protein), shortest(found->fat), shortest(found->carb1),
                                       shortest(found->carb2)}
                               .join(Proto::Sc);
    return Proto::HSDishes + values + Proto::Str + found->name + Proto::Sc + found->outputWeight;
}

QString RequestHandler::norms(bool men) const
{
    if (!m_options.norms)
        return Proto::No_Fiz_NormDB;
    const QList<DemoDatabase::NormRow> rows =
        m_database.norms(men ? DemoDatabase::Sex::Men : DemoDatabase::Sex::Women);
    if (rows.isEmpty())
        return Proto::No_Fiz_NormDB;
    QStringList lines;
    for (const DemoDatabase::NormRow& row : rows) {
        lines.append(QStringList{QString::number(row.id), row.group, row.kfa, row.ageBand,
                                 RussianFormat::shortest(row.energyKcal)}
                         .join(Proto::Sc));
    }
    return (men ? Proto::Man_Norm : Proto::Girl_Norm) + lines.join(Proto::Str);
}
