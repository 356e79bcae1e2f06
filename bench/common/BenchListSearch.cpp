#include "common/ListSearch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A window with one searchable list of `count` dish-like entries, shown and
// focused so the search finds it as the focused control.
struct Fixture
{
    QWidget window;
    QListWidget* list = new QListWidget(&window);
    QLabel* label = new QLabel(&window);

    explicit Fixture(int count)
    {
        list->setProperty("Tag", u"lFindBB"_s);
        label->setObjectName(u"lFindBB"_s);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(list);
        layout->addWidget(label);
        list->addItems(entries(count));
        ListSearch::install(list);
        window.show();
        QApplication::setActiveWindow(&window);
        list->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

    // The search acts on the focused control: without the focus a run would
    // measure nothing, so it is reported as an error instead.
    bool readyFor(benchmark::State& state) const
    {
        if (QApplication::focusWidget() == list)
            return true;
        state.SkipWithError("the list did not get the focus");
        return false;
    }

    void setSearch(const QString& text) { label->setProperty("Tag", text); }

    static QStringList entries(int count)
    {
        QStringList out;
        out.reserve(count);
        for (int i = 0; i < count; ++i)
            out.append(u"Салат из свежих овощей № %1 с растительным маслом"_s.arg(i));
        return out;
    }
};

// The worst key press: no entry contains the search, every entry is compared.
void BM_KeyPressNoMatch(benchmark::State& state)
{
    Fixture f(int(state.range(0)));
    if (!f.readyFor(state))
        return;
    for (auto _ : state) {
        f.setSearch(u"Ж"_s);
        int key = u'ж';
        FindKeyPress(key);
        benchmark::DoNotOptimize(key);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_KeyPressNoMatch)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Only the last entry matches: a full scan, then the selection moves and the
// list scrolls to it.
void BM_KeyPressMatchAtTheEnd(benchmark::State& state)
{
    const int count = int(state.range(0));
    Fixture f(count);
    if (!f.readyFor(state))
        return;
    const QString unique = u"№ %1 "_s.arg(count - 1);
    for (auto _ : state) {
        f.list->setCurrentRow(0);
        f.setSearch(unique.chopped(1));
        int key = u' ';
        FindKeyPress(key);
        benchmark::DoNotOptimize(key);
    }
    if (f.list->currentRow() != count - 1)
        state.SkipWithError("the search did not find the last entry");
}
BENCHMARK(BM_KeyPressMatchAtTheEnd)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole road of a typed character: key event, filter, search, label.
void BM_TypedCharacterEvent(benchmark::State& state)
{
    Fixture f(int(state.range(0)));
    if (!f.readyFor(state))
        return;
    for (auto _ : state) {
        f.setSearch(u"Ж"_s);
        QKeyEvent press(QEvent::KeyPress, 0x0416, Qt::NoModifier, u"ж"_s);
        QApplication::sendEvent(f.list, &press);
        QKeyEvent release(QEvent::KeyRelease, 0x0416, Qt::NoModifier, u"ж"_s);
        QApplication::sendEvent(f.list, &release);
    }
}
BENCHMARK(BM_TypedCharacterEvent)->Arg(100000)->Unit(benchmark::kMillisecond);

// Down arrow released with a search whose only other match is the last entry.
void BM_ArrowJumpToTheEnd(benchmark::State& state)
{
    const int count = int(state.range(0));
    Fixture f(count);
    if (!f.readyFor(state))
        return;
    f.setSearch(u"№ %1 "_s.arg(count - 1));
    for (auto _ : state) {
        f.list->setCurrentRow(0);
        int key = ListSearch::KeyDown;
        FindKeyUp(key);
        benchmark::DoNotOptimize(key);
    }
    if (f.list->currentRow() != count - 1)
        state.SkipWithError("the arrow did not reach the last entry");
}
BENCHMARK(BM_ArrowJumpToTheEnd)->Arg(100000)->Unit(benchmark::kMillisecond);

// What keeping the lower-cased copy costs while the list is filled.
void BM_FillList(benchmark::State& state)
{
    const bool wired = state.range(1) != 0;
    const QStringList entries = Fixture::entries(int(state.range(0)));
    for (auto _ : state) {
        QListWidget list;
        if (wired)
            ListSearch::install(&list);
        for (const QString& entry : entries)
            list.addItem(entry);
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_FillList)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond);

} // namespace
