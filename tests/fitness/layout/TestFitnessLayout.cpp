#include "common/Twips.h"
#include "fitness/layout/FitnessLayout.h"

#include <QTest>

#include <limits>
#include <tuple>
#include <utility>

using namespace Qt::StringLiterals;

using Control = FitnessLayout::Control;
using Geometry = FitnessLayout::Geometry;

namespace {

constexpr float W = 11520; // the worked example's outer size
constexpr float H = 8100;

FitnessLayout laidOut(float width, float height, int times = 1)
{
    FitnessLayout layout = FitnessLayout::design();
    for (int i = 0; i < times; ++i)
        layout.apply(width, height);
    return layout;
}

// Every control's geometry, in the order of FitnessLayout::Control.
QList<Geometry> geometries(const FitnessLayout& layout)
{
    QList<Geometry> all;
    for (int i = 0; i < FitnessLayout::ControlCount; ++i)
        all << layout.geometry(Control(i));
    return all;
}

} // namespace

class TestFitnessLayout : public QObject
{
    Q_OBJECT

private slots:
    void workedExample()
    {
        QList<Geometry> expected{{120, 240, 975, 495},    {960, 240, 975, 495},    {2040, 240, 1005, 555},
                                 {3075, 120, 2895, 675},  {5970, 240, 1800, 555},  {7770, 120, 2895, 675},
                                 {0, 840, 3840, 3260},    {3940, 840, 7380, 3260}, {0, 4150, 2340, 435},
                                 {3940, 4150, 2340, 435}, {0, 4685, 1365, 555},    {1365, 4685, 1815, 615},
                                 {3180, 4695, 495, 615},  {0, 5320, 7605, 2000},   {7825, 5195, 3495, 735},
                                 {7825, 5930, 3495, 735}, {7825, 6665, 3495, 735}};
        FitnessLayout layout = laidOut(W, H);
        QCOMPARE(geometries(layout), expected);
        // The one rule after the designed ones: "&Рацион…" stands on cAdd.
        QCOMPARE(layout.rationButton(), (Geometry{7825, 4460, 3495, 735}));
        // Laid out again at the same size, only lHS changes: the first time its
        // width is measured from its design Left.
        layout.apply(W, H);
        expected[int(Control::lHS)].width = 7725;
        QCOMPARE(geometries(layout), expected);
        // A font that needs the button column wider moves it left to keep it
        // whole at the edge, and lHS stops short of it; a narrower need keeps it.
        for (const float width : {4000.f, 100.f}) {
            layout.setButtonColumnWidth(width);
            layout.apply(W, H);
            const float column = qMax(width, 3495.f);
            for (const Control button : {Control::cAdd, Control::cClearall, Control::cPrint})
                QCOMPARE(layout.geometry(button).left, W - column - 200);
            QCOMPARE(layout.rationButton().width, column);
            QCOMPARE(layout.geometry(Control::lHS).width, W - column - 200 - 100);
        }
    }

    void tooLowForTheLists()
    {
        // From the design, and after a full layout.
        for (auto [layoutsBefore, height] : {std::pair{0, 4839.f}, std::pair{1, 3000.f}}) {
            const FitnessLayout before = laidOut(W, H, layoutsBefore);
            FitnessLayout layout = before;
            layout.apply(W, height);
            // Rule 4 is skipped as a whole, and the rules after it place their
            // controls from what lBases still has.
            const Geometry lBases = before.geometry(Control::lBases);
            const float lFindBBTop = lBases.top + lBases.height + 50;
            QCOMPARE(layout.geometry(Control::lBases), lBases);
            QCOMPARE(layout.geometry(Control::lDishes),
                     (Geometry{lBases.width + 100, 840, 2 * lBases.width - 300, lBases.height}));
            QCOMPARE(layout.geometry(Control::tOut), (Geometry{1365, lFindBBTop + 535, 1815, 615}));
            QCOMPARE(layout.geometry(Control::cPrint), (Geometry{7825, height - 1435, 3495, 735}));
            // lHS would come out with a negative height.
            QCOMPARE(layout.geometry(Control::lHS), before.geometry(Control::lHS));
        }
        // Sizes of zero are taken: 450 wide gives the dish list 2 x 150 - 300 = 0.
        QCOMPARE(laidOut(W, 4840).geometry(Control::lBases), (Geometry{0, 840, 3840, 0}));
        QCOMPARE(laidOut(450, 4840).geometry(Control::lDishes), (Geometry{250, 840, 0, 0}));
    }

    void minimisedThenRestored()
    {
        // First shown minimised, and minimised to its caption bar.
        for (auto [layoutsBefore, width, height] : {std::tuple{0, 0.f, 0.f}, std::tuple{2, 2400.f, 540.f}}) {
            FitnessLayout layout = laidOut(W, H, layoutsBefore);
            layout.apply(width, height);
            // Only Left and Top may go below zero.
            QCOMPARE(layout.geometry(Control::cPrint), (Geometry{width - 3695, height - 1435, 3495, 735}));
            for (const Geometry& g : geometries(layout))
                QVERIFY(g.width >= 0 && g.height >= 0);
            layout.apply(W, H);
            QCOMPARE(geometries(layout), geometries(laidOut(W, H, layoutsBefore + 1)));
        }
    }

    void twipsToPixels()
    {
        constexpr float nan = std::numeric_limits<float>::quiet_NaN();
        // Halves round away from zero; 120 dpi; no dpi; not a number; huge stays an int.
        for (auto [twips, dpi, pixels] :
             {std::tuple{7.5f, 96.0, 1}, std::tuple{-7.5f, 96.0, -1}, std::tuple{7605.f, 120.0, 634},
              std::tuple{100.f, 0.0, 0}, std::tuple{nan, 96.0, 0},
              std::tuple{3e38f, 96.0, std::numeric_limits<int>::max() / 2}}) {
            QCOMPARE(Twips::toPixels(twips, dpi), pixels);
            for (int px = -50; px <= 4000; ++px) // and back, at every usual dpi
                QCOMPARE(Twips::toPixels(Twips::fromPixels(px, dpi ? dpi : 144), dpi ? dpi : 144), px);
        }
        QCOMPARE(Twips::toPixels(QRectF(1440, 1440, 1440, 1440), 96.0, 192.0), QRect(96, 192, 96, 192));
        QCOMPARE(Twips::fromPixels(10, 0), 0.f);
        QCOMPARE(Twips::fromPixels(768, 96), 11520.f);
    }

    void sizeThatIsNotANumberChangesNothing()
    {
        FitnessLayout layout = laidOut(W, H);
        layout.apply(std::numeric_limits<float>::quiet_NaN(), H);
        layout.apply(W, -std::numeric_limits<float>::infinity());
        QCOMPARE(geometries(layout), geometries(laidOut(W, H)));
    }
};

QTEST_APPLESS_MAIN(TestFitnessLayout)
#include "TestFitnessLayout.moc"
