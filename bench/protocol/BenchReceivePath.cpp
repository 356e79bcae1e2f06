// The receive path at full speed, in one run on the same bytes:
//   A  64 MiB of mixed replies in 1460-byte arrivals: split, decode, dispatch;
//   B  one 16 MiB message in 1460-byte arrivals (a splitter that rescans or
//      copies per arrival turns quadratic here);
//   C  the floor: memmem for the terminator plus a table decode, no framing.
// After the runs it prints MB/s and the time ratios A/C and B/C.

#include "common/Dialogs.h"
#include "protocol/Cp1251.h"
#include "protocol/MessageSplitter.h"
#include "protocol/ReplyTarget.h"
#include "protocol/ServerCommands.h"
#include "protocol/ServerLink.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kArrival = 1460; // one Ethernet segment of TCP payload
constexpr qsizetype kMixedBytes = 64 * 1024 * 1024;
constexpr qsizetype kLongBytes = 16 * 1024 * 1024;
const QByteArray kTerm("\x3C\xA5\x3E");

QByteArray cp(const QString& text)
{
    return Cp1251::encode(text);
}

// Realistic replies: Russian names, decimal commas, the real separators.
class ReplyMaker
{
public:
    QByteArray mixed(qsizetype size)
    {
        QByteArray out;
        out.reserve(size + 64 * 1024);
        while (out.size() < size) {
            const quint32 pick = m_random.bounded(100);
            if (pick < 2)
                out += catalogue();
            else if (pick < 12)
                out += dishList();
            else if (pick < 17)
                out += normTable();
            else if (pick < 60)
                out += composition();
            else
                out += small();
        }
        return out;
    }

    QByteArray longMessage(qsizetype size)
    {
        QByteArray out = "$Dishes=";
        while (out.size() < size)
            out += name() + "<BL>";
        return out + kTerm;
    }

private:
    QByteArray name()
    {
        static const QStringList words{u"Салат"_s,    u"из"_s,     u"свежих"_s,    u"овощей"_s,
                                       u"Борщ"_s,     u"Суп"_s,    u"гороховый"_s, u"Котлета"_s,
                                       u"рубленая"_s, u"Каша"_s,   u"гречневая"_s, u"Компот"_s,
                                       u"Хлеб"_s,     u"ржаной"_s, u"Батон"_s,     u"с"_s,
                                       u"маслом"_s,   u"№"_s,      u"«Ёлочка»"_s,  u"Ґ"_s};
        QString text;
        const int count = 1 + int(m_random.bounded(5));
        for (int i = 0; i < count; ++i) {
            if (i)
                text += u' ';
            text += words.at(m_random.bounded(int(words.size())));
        }
        text += u' ' + QString::number(m_random.bounded(1000));
        return cp(text);
    }
    QByteArray number()
    {
        return QByteArray::number(m_random.bounded(100)) + ',' + QByteArray::number(m_random.bounded(100));
    }
    QByteArray catalogue()
    {
        QByteArray out = "$BB=";
        for (int i = 0; i < 40; ++i)
            out += (i ? "<EB>" : "") + name() + "<TB>" + QByteArray::number(i) + "<TB>" + cp(u"Сборник"_s);
        return out + kTerm;
    }
    QByteArray dishList()
    {
        QByteArray out = "$Dishes=";
        const int count = 20 + int(m_random.bounded(400));
        for (int i = 0; i < count; ++i)
            out += (i ? "<BL>" : "") + name();
        return out + kTerm;
    }
    QByteArray composition()
    {
        return "$HSDishes=" + number() + "<Sc>" + number() + "<Sc>" + number() + "<Sc>" + number() + "<Str>" +
               name() + "<Sc>" + "150/50" + kTerm;
    }
    QByteArray normTable()
    {
        QByteArray out = m_random.bounded(2) ? "$Man_Norm=" : "$Girl_Norm=";
        for (int i = 0; i < 60; ++i)
            out += (i ? "<Str>" : "") + cp(u"Группа %1<Sc>%2,%3<Sc>%4-%5<Sc>%6"_s.arg(i % 5 + 1)
                                               .arg(1 + i % 3)
                                               .arg(i % 10)
                                               .arg(18 + i)
                                               .arg(29 + i)
                                               .arg(2000 + 10 * i));
        return out + kTerm;
    }
    QByteArray small()
    {
        switch (m_random.bounded(4)) {
        case 0:
            return "$Dishes=$NO_DISHES" + kTerm;
        case 1:
            return "$No_Fiz_NormDB" + kTerm;
        case 2:
            return "$No_Dishes" + kTerm;
        default:
            return "$Err_inquiry" + kTerm;
        }
    }

    QRandomGenerator m_random{20261206};
};

// Receives every payload and status line, and only counts them.
class CountingTarget final : public ReplyTarget, public ServerLink
{
public:
    void form_Bases_Bl(const QString& payload) override { count(payload); }
    void form_Dishes_Bl(const QString& payload) override { count(payload); }
    void receiveComposition(const QString& payload) override { count(payload); }
    void receiveNorm(const QString& payload) override { count(payload); }
    void SendCommand(const QString& command) override { count(command); }
    void AddStatus(const QString& line) override { count(line); }

    qsizetype chars = 0;
    qsizetype calls = 0;

private:
    void count(const QString& text)
    {
        chars += text.size();
        ++calls;
        benchmark::DoNotOptimize(text.constData());
    }
};

// "$No_Fiz_NormDB" shows a box; the benchmark answers it without one.
class SilentDialogs final : public Dialogs::Backend
{
public:
    Dialogs::Answer message(const Dialogs::Box&) override { return Dialogs::Answer::Ok; }
    QString input(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
};

const QByteArray& mixedBytes()
{
    static const QByteArray bytes = ReplyMaker().mixed(kMixedBytes);
    return bytes;
}

const QByteArray& longBytes()
{
    static const QByteArray bytes = ReplyMaker().longMessage(kLongBytes);
    return bytes;
}

// The splitter lives as long as the session does, so it is kept across
// iterations unless `freshSplitter` asks for the first message's cost.
void receive(benchmark::State& state, const QByteArray& bytes, bool freshSplitter = false)
{
    SilentDialogs dialogs;
    Dialogs::setBackend(&dialogs);
    qsizetype messages = 0;
    std::optional<MessageSplitter> splitter;
    splitter.emplace();
    for (auto _ : state) {
        if (freshSplitter)
            splitter.emplace();
        CountingTarget target;
        for (qsizetype at = 0; at < bytes.size(); at += kArrival) {
            splitter->append(QByteArrayView(bytes).sliced(at, std::min(kArrival, bytes.size() - at)));
            while (auto message = splitter->takeMessage()) {
                ParseServerCommand(std::move(*message), &target, target);
                ++messages;
            }
        }
        benchmark::DoNotOptimize(target.chars);
    }
    Dialogs::setBackend(nullptr);
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
    state.counters["messages"] = benchmark::Counter(double(messages) / double(state.iterations()));
}

// The floor: find every terminator with memmem and decode every byte with a
// 256-entry table, in one pass over the whole buffer, no arrivals.
void baseline(benchmark::State& state, const QByteArray& bytes)
{
    // A local copy of the table, so the loop below inlines its lookups.
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[size_t(b)] = Cp1251::toUnicode(uchar(b));
    std::vector<char16_t> out(size_t(bytes.size()));
    qsizetype messages = 0;
    for (auto _ : state) {
        const char* data = bytes.constData();
        const size_t size = size_t(bytes.size());
        size_t from = 0;
        while (from < size) {
            const void* hit = memmem(data + from, size - from, kTerm.constData(), 3);
            const size_t end = hit ? size_t(static_cast<const char*>(hit) - data) : size;
            for (size_t i = from; i < end; ++i)
                out[i] = table[uchar(data[i])];
            ++messages;
            from = end + 3;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
    state.counters["messages"] = benchmark::Counter(double(messages) / double(state.iterations()));
}

void A_MixedReplies(benchmark::State& state)
{
    receive(state, mixedBytes());
}
void B_OneLongMessage(benchmark::State& state)
{
    receive(state, longBytes());
}
// For reference: the long message into a splitter that has never held one.
void B_FreshSplitter(benchmark::State& state)
{
    receive(state, longBytes(), true);
}
void C_BaselineMixed(benchmark::State& state)
{
    baseline(state, mixedBytes());
}
void C_BaselineLong(benchmark::State& state)
{
    baseline(state, longBytes());
}

BENCHMARK(A_MixedReplies)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(B_OneLongMessage)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(B_FreshSplitter)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(C_BaselineMixed)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(C_BaselineLong)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the bytes per second of every run for the closing summary.
class SummaryReporter final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            const auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end() && run.run_type == Run::RT_Iteration)
                rates[run.run_name.function_name] = double(it->second);
        }
    }
    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Build the inputs before any timing starts.
    std::printf("mixed replies: %lld bytes, long message: %lld bytes\n",
                static_cast<long long>(mixedBytes().size()), static_cast<long long>(longBytes().size()));
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto rate = [&](const char* name) {
        const auto it = reporter.rates.find(name);
        return it == reporter.rates.end() ? 0.0 : it->second;
    };
    const double a = rate("A_MixedReplies"), b = rate("B_OneLongMessage");
    const double c = rate("C_BaselineMixed"), cLong = rate("C_BaselineLong");
    if (a <= 0 || b <= 0 || c <= 0 || cLong <= 0)
        return 0; // a filter left some out
    constexpr double mb = 1e6;
    std::printf("\nA mixed replies   %8.0f MB/s\n", a / mb);
    std::printf("B one long message %7.0f MB/s\n", b / mb);
    if (const double fresh = rate("B_FreshSplitter"); fresh > 0)
        std::printf("B, fresh splitter  %7.0f MB/s (the first long message of a session)\n", fresh / mb);
    std::printf("C baseline (mixed) %7.0f MB/s\n", c / mb);
    std::printf("C baseline (long)  %7.0f MB/s\n", cLong / mb);
    std::printf("time A/C  %.2f   (target <= 2)\n", c / a);
    std::printf("time B/C  %.2f   (target <= 2, against the baseline over B's bytes)\n", cLong / b);
    std::printf("cost per byte B/A %.2f   (target <= 1.5)\n", a / b);
    return 0;
}
