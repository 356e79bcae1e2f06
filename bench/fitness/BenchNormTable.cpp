// A norm table where every row has its own КФА (goal: 100 000 rows in
// 0.3 s): the distinct-coefficient list alone, and the whole norm reply as
// the fitness window takes it in (both lists refilled, offscreen).
#include "fitness/FitnessController.h"
#include "fitness/NormTable.h"
#include "support/NullLink.h"

#include <QStringList>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

QString distinctKfaTable(int rows)
{
    QStringList table;
    table.reserve(rows);
    for (int i = 0; i < rows; ++i)
        table << u"%1<Sc>I<Sc>1,%1<Sc>18-29<Sc>2450"_s.arg(i);
    return table.join(u"<Str>"_s);
}

void BM_KfaList(benchmark::State& state)
{
    const NormTable table(distinctKfaTable(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(table.kfaList());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_KfaList)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_NormReply(benchmark::State& state)
{
    NullLink link;
    FitnessController fitness(link);
    const QString table = distinctKfaTable(int(state.range(0)));
    fitness.energy();
    for (auto _ : state)
        fitness.receiveNorm(table);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NormReply)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
