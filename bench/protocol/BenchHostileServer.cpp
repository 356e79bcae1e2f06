// What a hostile server can make the client pay, through the real receive
// path (splitter, session, dispatcher, status log shown in a QPlainTextEdit)
// with the stream cut into 1460-byte arrivals:
//   Flood/unknown  1 000 000 unknown messages "$x"   (goal 2 s, 150 MiB)
//   Flood/empty    1 000 000 empty messages          (goal 2 s, 150 MiB)
//   HugeMess       one "$Mess=" of 16 MiB of short lines, its box laid out
//                  (goal 0.5 s, 100 MiB above idle)
// Counters: peak_MiB is the process's resident high-water mark after the
// run, idle_MiB the resident size before it, max_pass_ms the longest time
// (CPU) the event loop was held in one turn. Run one case per process for honest
// peaks: --benchmark_filter=Flood/unknown
#include "common/Dialogs.h"
#include "protocol/ClientSocket.h"
#include "protocol/Cp1251.h"
#include "protocol/PlainTextStatusBox.h"
#include "protocol/ServerSession.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kArrival = 1460;

// Hands the stream on in arrivals, announcing each like a real socket.
class ArrivalSocket final : public ClientSocket
{
public:
    explicit ArrivalSocket(QByteArray stream) : m_stream(std::move(stream)) {}
    void Connect(const QString&, const QString&) override {}
    void Close() override {}
    void SendData(const QString&) override {}
    QByteArray GetData() override
    {
        // Like a socket's notifier: one announcement waits at a time.
        const QByteArray chunk = m_stream.mid(m_at, kArrival);
        m_at += chunk.size();
        if (!drained() && !m_announced) {
            m_announced = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_announced = false;
                    emit DataArrival();
                },
                Qt::QueuedConnection);
        }
        return chunk;
    }
    int State() const override { return sckConnected; }
    QString LocalIP() const override { return u"127.0.0.1"_s; }
    bool drained() const { return m_at >= m_stream.size(); }

private:
    QByteArray m_stream;
    qsizetype m_at = 0;
    bool m_announced = false;
};

// Lays the real box out (what a user would wait for) without waiting for a click.
class LayoutOnlyDialogs final : public Dialogs::Backend
{
public:
    Dialogs::Answer message(const Dialogs::Box& box) override
    {
        std::unique_ptr<QMessageBox> shown(Dialogs::createMessageBox(box));
        shown->ensurePolished();
        benchmark::DoNotOptimize(shown->sizeHint());
        ++boxes;
        return Dialogs::Answer::Ok;
    }
    QString input(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    int boxes = 0;
};

double statusMiB(const char* key)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// CPU time, not wall time: the figure must not depend on what else the
// machine is running.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Feeds `stream` to a session and runs the event loop until `done`.
template <typename Done> void receive(benchmark::State& state, const QByteArray& stream, Done done)
{
    LayoutOnlyDialogs dialogs;
    Dialogs::setBackend(&dialogs);
    QPlainTextEdit edit;
    PlainTextStatusBox box(&edit);
    double maxPassMs = 0;
    state.counters["idle_MiB"] = statusMiB("VmRSS:");
    for (auto _ : state) {
        auto* socket = new ArrivalSocket(stream);
        ServerSession session(socket);
        session.setStatusBox(&box);
        emit socket->DataArrival();
        while (!(socket->drained() && session.bufferedBytes() == 0 && done(session, dialogs))) {
            const double start = threadCpuMs();
            QCoreApplication::processEvents();
            maxPassMs = std::max(maxPassMs, threadCpuMs() - start);
        }
    }
    state.counters["max_pass_ms"] = maxPassMs;
    state.counters["peak_MiB"] = statusMiB("VmHWM:");
    Dialogs::setBackend(nullptr);
}

void BM_Flood(benchmark::State& state, const QByteArray& message)
{
    constexpr int count = 1000000;
    QByteArray stream = (message + QByteArrayLiteral("<\xA5>")).repeated(count - 1);
    stream += QByteArrayLiteral("$last<\xA5>");
    receive(state, stream, [](const ServerSession& session, const LayoutOnlyDialogs&) {
        return session.statusLog().text().endsWith(u"$last"_s);
    });
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK_CAPTURE(BM_Flood, unknown, QByteArrayLiteral("$x"))->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Flood, empty, QByteArray())->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_HugeMess(benchmark::State& state)
{
    const qsizetype size = 16 * 1024 * 1024;
    const QByteArray line = Cp1251::encode(u"строка сообщения\r\n"_s);
    const QByteArray stream =
        QByteArrayLiteral("$Mess=") + line.repeated(size / line.size()) + QByteArrayLiteral("<\xA5>");
    int boxesBefore = 0;
    receive(state, stream, [&boxesBefore](const ServerSession&, const LayoutOnlyDialogs& dialogs) {
        if (dialogs.boxes > boxesBefore) {
            boxesBefore = dialogs.boxes;
            return true;
        }
        return false;
    });
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(BM_HugeMess)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
