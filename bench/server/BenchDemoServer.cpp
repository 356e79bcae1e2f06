// Load of the demo server: many clients, each running the client's whole
// exchange in rounds against the real brastel-demo process on 127.0.0.1.
// Bounded in clients, rounds and time; it stops by itself.

#include "common/Payload.h"
#include "protocol/Cp1251.h"
#include "protocol/MessageSplitter.h"
#include "protocol/ProtocolWords.h"
#include "server/DemoDatabase.h"
#include "server/RequestHandler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kDeadlineMs = 120000;
constexpr int kDishesPerRound = 3;

// One client: catalogue, a dish list, compositions, both norm tables; each
// request waits for its reply, as the real client's user does.
class LoadClient final : public QObject
{
public:
    LoadClient(int id, int rounds, std::vector<qint64>& latenciesNs)
        : m_id(id), m_roundsLeft(rounds), m_latencies(latenciesNs)
    {
        connect(&m_socket, &QTcpSocket::connected, this, [this] { startRound(); });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        connect(&m_socket, &QTcpSocket::disconnected, this, [this] { fail(); });
    }

    void start(quint16 port) { m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port); }
    bool done() const { return m_done; }
    bool failed() const { return m_failed; }
    int replies() const { return m_replies; }
    std::function<void()> onFinished;

private:
    void startRound()
    {
        m_step = 0;
        ask(Proto::GetDishTables, Proto::BB);
    }

    void ask(const QString& request, const QString& expectedWord)
    {
        m_expected = expectedWord;
        m_clock.start();
        m_socket.write(Cp1251::encode(request + Proto::Terminator));
    }

    void read()
    {
        m_splitter.append(m_socket.readAll());
        while (const std::optional<QString> reply = m_splitter.takeMessage()) {
            m_latencies.push_back(m_clock.nsecsElapsed());
            if (!reply->startsWith(m_expected))
                return fail();
            ++m_replies;
            next(reply->mid(m_expected.size()));
        }
    }

    void next(const QString& payload)
    {
        ++m_step;
        if (m_step == 1) {
            const QStringList records = splitPayload(payload, Proto::EB);
            if (records.isEmpty())
                return fail();
            m_collection = splitPayload(records[m_id % records.size()], Proto::TB).value(0);
            return ask(Proto::GetDishes + m_collection, Proto::Dishes);
        }
        if (m_step == 2) {
            m_dishes = splitPayload(payload, Proto::BL).mid(0, kDishesPerRound);
            if (m_dishes.isEmpty())
                return fail();
        }
        const int dish = m_step - 2;
        if (dish < m_dishes.size())
            return ask(Proto::GetHSDishes + m_collection + Proto::Str + m_dishes[dish], Proto::HSDishes);
        if (dish == m_dishes.size())
            return ask(Proto::Get_Man_Norm, Proto::Man_Norm);
        if (dish == m_dishes.size() + 1)
            return ask(Proto::Get_Girl_Norm, Proto::Girl_Norm);
        if (--m_roundsLeft > 0)
            return startRound();
        m_done = true;
        m_socket.disconnectFromHost();
        if (onFinished)
            onFinished();
    }

    void fail()
    {
        if (m_done)
            return;
        m_done = true;
        m_failed = true;
        m_socket.abort();
        if (onFinished)
            onFinished();
    }

    QTcpSocket m_socket;
    MessageSplitter m_splitter{1 << 20};
    QElapsedTimer m_clock;
    int m_id;
    int m_roundsLeft;
    int m_step = 0;
    int m_replies = 0;
    bool m_done = false;
    bool m_failed = false;
    QString m_expected;
    QString m_collection;
    QStringList m_dishes;
    std::vector<qint64>& m_latencies;
};

// The real program on a free port; stopped when this goes.
class DemoProcess
{
public:
    DemoProcess()
    {
        m_process.start(QStringLiteral(BRASTEL_DEMO_EXE),
                        {u"--port=0"_s, u"--db"_s, QStringLiteral(BRASTEL_DEMO_DB)});
        if (!m_process.waitForReadyRead(10000) && !m_process.canReadLine())
            return;
        static const QRegularExpression line(u"^Listening on 127\\.0\\.0\\.1:(\\d+)$"_s);
        const auto match = line.match(QString::fromUtf8(m_process.readLine()).trimmed());
        if (match.hasMatch())
            m_port = quint16(match.captured(1).toUInt());
    }
    ~DemoProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

void BM_LoadWholeExchange(benchmark::State& state)
{
    const int clientCount = int(state.range(0));
    const int rounds = int(state.range(1));
    DemoProcess demo;
    if (demo.port() == 0) {
        state.SkipWithError("brastel-demo did not start");
        return;
    }
    std::vector<qint64> latencies;
    latencies.reserve(size_t(clientCount) * size_t(rounds) * (4 + kDishesPerRound));
    qint64 replies = 0;
    int lost = 0;
    double seconds = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<LoadClient>> clients;
        QEventLoop loop;
        int finished = 0;
        for (int i = 0; i < clientCount; ++i) {
            clients.push_back(std::make_unique<LoadClient>(i, rounds, latencies));
            clients.back()->onFinished = [&] {
                if (++finished == clientCount)
                    loop.quit();
            };
        }
        QTimer::singleShot(kDeadlineMs, &loop, &QEventLoop::quit);
        QElapsedTimer wall;
        wall.start();
        for (auto& client : clients)
            client->start(demo.port());
        loop.exec();
        seconds += wall.nsecsElapsed() / 1e9;
        for (const auto& client : clients) {
            replies += client->replies();
            if (!client->done() || client->failed())
                ++lost;
        }
    }
    if (lost > 0) {
        state.SkipWithError("a client lost a reply or did not finish in time");
        return;
    }
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double q) { return latencies[size_t(q * double(latencies.size() - 1))] / 1e6; };
    state.counters["clients"] = clientCount;
    state.counters["replies"] = double(replies);
    state.counters["replies_per_s"] = double(replies) / seconds;
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = latencies.empty() ? 0 : latencies.back() / 1e6;
    state.counters["lost_clients"] = lost;
}
BENCHMARK(BM_LoadWholeExchange)->Args({200, 20})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The server's own share of a reply: request text in, reply text out.
void BM_HandleRequest(benchmark::State& state)
{
    static DemoDatabase database;
    static const bool opened = database.open(QStringLiteral(BRASTEL_DEMO_DB)).isEmpty();
    if (!opened) {
        state.SkipWithError("no database");
        return;
    }
    const RequestHandler handler(database, {});
    const QStringList requests{
        Proto::GetDishTables, Proto::GetDishes + u"Морская рыба"_s,
        Proto::GetHSDishes + u"Комплексные блюда"_s + Proto::Str + u"Фруктовый салат"_s, Proto::Get_Man_Norm};
    const QString& request = requests[state.range(0)];
    for (auto _ : state) {
        const RequestHandler::Outcome outcome = handler.handle(request);
        benchmark::DoNotOptimize(Cp1251::encode(outcome.text + Proto::Terminator));
    }
    state.SetLabel(request.left(20).toStdString());
}
BENCHMARK(BM_HandleRequest)->DenseRange(0, 3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
