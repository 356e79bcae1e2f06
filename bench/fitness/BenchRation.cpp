// The ration window against a frame (16 ms): opening a 25-entry ration file
// and showing it, and following an add made in the fitness window. Offscreen,
// painted each time, with the settings store in a temporary folder.
#include "common/Dialogs.h"
#include "fitness/FitnessController.h"
#include "fitness/RationFile.h"
#include "fitness/fEnergy.h"
#include "fitness/fRation.h"
#include "support/NullLink.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const QString kDish = u"12,5<Sc>7,25<Sc>30,1<Sc>12<Str>Котлета рубленая из говядины с гарниром<Sc>150/50"_s;

// Picks the file and answers Yes to "replace the current ration?".
class FileDialogs final : public Dialogs::Backend
{
public:
    QString path;
    Dialogs::Answer message(const Dialogs::Box&) override { return Dialogs::Answer::Yes; }
    QString input(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return path; }
    QString openFileName(const QString&, const QString&, const QString&) override { return path; }
};

struct Fixture
{
    NullLink link;
    FitnessController fitness{link};
    FileDialogs dialogs;
    fRation* ration = nullptr;

    Fixture()
    {
        Dialogs::setBackend(&dialogs);
        fitness.form_Bases_Bl(u"Вторые блюда"_s);
        fitness.receiveNorm(u"x<Sc>I<Sc>1,4<Sc>18-29<Sc>2450"_s);
        fitness.energy().openRation();
        ration = fitness.energy().rationWindow();
    }
    ~Fixture() { Dialogs::setBackend(nullptr); }
};

void BM_OpenRationFile(benchmark::State& state)
{
    Fixture f;
    QTemporaryDir dir;
    f.dialogs.path = dir.filePath(u"день.ration"_s);
    RationFile::save(f.dialogs.path, {QStringList(25, kDish), false, u"1,4"_s, u"18-29"_s});
    for (auto _ : state) {
        f.ration->openFile();
        f.ration->repaint();
    }
    if (f.fitness.recipeData().rationEntries().count() != 25)
        state.SkipWithError("the file was not opened");
}
BENCHMARK(BM_OpenRationFile)->Unit(benchmark::kMillisecond);

void BM_RefreshAfterAdd(benchmark::State& state)
{
    Fixture f;
    f.fitness.receiveComposition(kDish);
    auto* cAdd = f.fitness.energy().findChild<QPushButton*>(u"cAdd"_s);
    RationEntries& entries = f.fitness.recipeData().rationEntries();
    for (auto _ : state) {
        state.PauseTiming();
        entries.replace(QStringList(24, kDish));
        state.ResumeTiming();
        cAdd->click(); // the 25th: the window follows with the report's figures
        f.ration->repaint();
    }
    if (entries.count() != 25)
        state.SkipWithError("the add was refused");
}
BENCHMARK(BM_RefreshAfterAdd)->Unit(benchmark::kMillisecond);

} // namespace
