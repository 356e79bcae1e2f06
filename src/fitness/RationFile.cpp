#include "fitness/RationFile.h"

#include "common/NumberHelpers.h"
#include "common/Payload.h"
#include "common/RussianFormat.h"
#include "protocol/ProtocolWords.h"
#include "recipes/Composition.h"
#include "recipes/RationEntries.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kFormat = u"quorvel-ration"_s;

// Why an entry of a file cannot go into the ration; empty when it can. An
// entry is a record of two rows whose first four values are finite numbers
// and whose weight reads as a total (0 included: such portions can be added).
QString entryProblem(const QString& entry, int number)
{
    const QStringList rows = splitPayload(entry, Proto::Str);
    const QStringList values = splitPayload(elementAt(rows, 0), Proto::Sc);
    const QStringList identity = splitPayload(elementAt(rows, 1), Proto::Sc);
    if (rows.size() != 2 || values.size() < 4 || identity.size() < 2)
        return u"блюдо %1 записано не в том виде"_s.arg(number);
    for (int c = 0; c < 4; ++c) {
        const auto value = RussianFormat::toDouble(values[c]);
        if (!value || !std::isfinite(*value))
            return u"значения блюда %1 не читаются как числа"_s.arg(number);
    }
    try {
        if (!std::isfinite(GetOutSum(identity[1])))
            throw NotANumber(identity[1]);
    } catch (const NotANumber&) {
        return u"выход блюда %1 не читается как число"_s.arg(number);
    }
    return QString();
}

RationFile::Result refused(const QString& reason)
{
    return RationFile::Result{{}, reason};
}

QString named(const QString& path, const QString& verb, const QString& reason)
{
    return u"Файл «%1» %2: %3."_s.arg(QFileInfo(path).fileName(), verb, reason);
}

} // namespace

QByteArray RationFile::toJson(const Content& content)
{
    const QJsonObject group{
        {u"sex"_s, content.women ? u"women"_s : u"men"_s}, {u"kfa"_s, content.kfa}, {u"age"_s, content.age}};
    const QJsonObject root{{u"format"_s, kFormat},
                           {u"version"_s, Version},
                           {u"group"_s, group},
                           {u"entries"_s, QJsonArray::fromStringList(content.entries)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

RationFile::Result RationFile::fromJson(const QByteArray& data)
{
    if (data.size() > MaxBytes)
        return refused(u"он больше 1 МБ"_s);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    const QJsonObject root = document.object();
    // Valid JSON of some other shape is some other program's file; text that
    // is not JSON at all is ours only if it begins like ours.
    if (parseError.error != QJsonParseError::NoError)
        return refused(data.contains(kFormat.toUtf8()) ? u"файл поврежден"_s : u"это не файл рациона"_s);
    if (!document.isObject() || root.value(u"format"_s).toString() != kFormat)
        return refused(u"это не файл рациона"_s);
    const QJsonValue version = root.value(u"version"_s);
    if (!version.isDouble() || version.toDouble() < 1 || version.toDouble() != std::floor(version.toDouble()))
        return refused(u"файл поврежден"_s);
    if (version.toDouble() > Version)
        return refused(u"он записан более новой версией программы (формат %1)"_s.arg(version.toDouble()));
    const QJsonValue entries = root.value(u"entries"_s);
    const QJsonValue group = root.value(u"group"_s);
    if (!entries.isArray() || !group.isObject())
        return refused(u"файл поврежден"_s);
    if (entries.toArray().size() > RationEntries::MaxEntries)
        return refused(u"в нем больше %1 блюд"_s.arg(RationEntries::MaxEntries));

    Result result;
    for (const QJsonValue& entry : entries.toArray()) {
        if (!entry.isString())
            return refused(u"файл поврежден"_s);
        const QString problem = entryProblem(entry.toString(), int(result.content.entries.size()) + 1);
        if (!problem.isEmpty())
            return refused(problem);
        result.content.entries << entry.toString();
    }
    const QJsonObject g = group.toObject();
    const QString sex = g.value(u"sex"_s).toString();
    if ((sex != u"men"_s && sex != u"women"_s) || !g.value(u"kfa"_s).isString() ||
        !g.value(u"age"_s).isString())
        return refused(u"файл поврежден"_s);
    result.content.women = sex == u"women"_s;
    result.content.kfa = g.value(u"kfa"_s).toString();
    result.content.age = g.value(u"age"_s).toString();
    return result;
}

RationFile::Result RationFile::open(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(named(path, u"не открыт"_s, file.errorString()));
    // One byte more than allowed tells a file that is too large without
    // reading all of it.
    Result result = fromJson(file.read(MaxBytes + 1));
    if (!result.ok())
        result.error = named(path, u"не открыт"_s, result.error);
    return result;
}

QString RationFile::save(const QString& path, const Content& content)
{
    return write(path, toJson(content));
}

QString RationFile::write(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return named(path, u"не сохранен"_s, file.errorString());
    file.write(data);
    if (!file.commit())
        return named(path, u"не сохранен"_s, file.errorString());
    return QString();
}
