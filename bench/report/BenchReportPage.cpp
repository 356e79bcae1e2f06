#include "report/CalorieReport.h"
#include "report/PagePrinting.h"
#include "report/PictureCanvas.h"
#include "report/ReportSource.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A full ration: 25 dishes whose names take one or two lines.
class FullRation final : public ReportSource
{
public:
    int rationUpperBound() const override { return 25; }
    bool rationIsEmpty() const override { return false; }
    QString GetDishName(int i) const override
    {
        return i % 2 ? u"Котлета рубленая из говядины с гарниром %1"_s.arg(i) : u"Борщ %1"_s.arg(i);
    }
    QString GetDishWeight(int) const override { return u"150/50"_s; }
    double GetDishProtein(int i) const override { return 10.04 + i; }
    double GetDishFat(int i) const override { return 5.5 + i / 3.0; }
    double GetDishCarb1(int) const override { return 20.25; }
    double GetDishCarb2(int) const override { return 7.75; }
    double GetDishKkal(int i) const override { return 250 + i; }
    QString GetFullGroup() const override { return u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_s; }
    double GetFizEnergy() const override { return 2450; }
};

QPicture composePage()
{
    static const FullRation ration;
    PictureCanvas canvas;
    CalorieReport(ration, QDate(2026, 12, 6)).Form_Kkal(canvas);
    return canvas.takePicture();
}

void BM_ComposePage(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(composePage());
}
BENCHMARK(BM_ComposePage)->Unit(benchmark::kMicrosecond);

// What the preview does on every repaint of the whole page.
void BM_PaintPreview(benchmark::State& state)
{
    const QPicture page = composePage();
    QImage image(774, 1127, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.drawPicture(0, 0, page);
    }
}
BENCHMARK(BM_PaintPreview)->Unit(benchmark::kMicrosecond);

// The same page played at 1200 dpi into a PDF, as the printer gets it.
void BM_SavePdf(benchmark::State& state)
{
    const QPicture page = composePage();
    QTemporaryDir dir;
    const QString file = dir.filePath(u"page.pdf"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(PagePrinting::savePdf(page, file));
}
BENCHMARK(BM_SavePdf)->Unit(benchmark::kMillisecond);

void BM_GetStr(benchmark::State& state)
{
    const QString name(state.range(0), u'ж');
    for (auto _ : state)
        benchmark::DoNotOptimize(CalorieReport::GetStr(name, CalorieReport::kNameIndent));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_GetStr)->Arg(29)->Arg(60)->Arg(3000)->Arg(300000)->Complexity(benchmark::oN);

} // namespace
