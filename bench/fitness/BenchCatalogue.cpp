// How long the fitness window takes to take in a large catalogue reply and
// paint it: "$Dishes=" with 100 000 names (target 100 ms) and "$BB=" with
// 10 000 collections (target 30 ms). Offscreen, with the settings store in a
// temporary folder.
#include "fitness/FitnessController.h"
#include "fitness/fEnergy.h"
#include "recipes/Catalogue.h"
#include "support/NullLink.h"

#include <QApplication>
#include <QListWidget>
#include <QStringList>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

QString payload(int count, const QString& stem, const QString& separator, const QString& tail = {})
{
    QStringList items;
    items.reserve(count);
    for (int i = 0; i < count; ++i)
        items << stem + QString::number(i) + tail;
    return items.join(separator);
}

void BM_DishesReply(benchmark::State& state)
{
    NullLink link;
    FitnessController fitness(link);
    const QString dishes = payload(int(state.range(0)), u"Котлета рубленая из говядины №"_s, u"<BL>"_s);
    fitness.form_Bases_Bl(u"Вторые блюда"_s);
    fEnergy& window = fitness.energy();
    for (auto _ : state) {
        fitness.form_Dishes_Bl(dishes);
        window.repaint(); // painted, not just queued
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DishesReply)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_BasesReply(benchmark::State& state)
{
    NullLink link;
    FitnessController fitness(link);
    const QString bases =
        payload(int(state.range(0)), u"Сборник рецептур №"_s, u"<EB>"_s, u"<TB>2024<TB>x"_s);
    fEnergy& window = fitness.energy();
    for (auto _ : state) {
        fitness.form_Bases_Bl(bases);
        window.repaint();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BasesReply)->Arg(10000)->Unit(benchmark::kMillisecond);

// The parsing alone, for comparison with the whole reply.
void BM_DishNamesOnly(benchmark::State& state)
{
    const QString dishes = payload(int(state.range(0)), u"Котлета рубленая из говядины №"_s, u"<BL>"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(Catalogue::dishNames(dishes));
}
BENCHMARK(BM_DishNamesOnly)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
