#include "FitnessLayout.h"

#include <QTest>

#include <limits>

using Control = FitnessLayout::Control;
using Geometry = FitnessLayout::Geometry;

Q_DECLARE_METATYPE(FitnessLayout::Control)
Q_DECLARE_METATYPE(FitnessLayout::Geometry)

namespace {

constexpr float WorkedWidth = 11520;
constexpr float WorkedHeight = 8100;

QList<Control> allControls()
{
    QList<Control> controls;
    for (int i = 0; i < FitnessLayout::ControlCount; ++i)
        controls.append(Control(i));
    return controls;
}

QString describe(const Geometry& g)
{
    return QStringLiteral("(%1, %2) %3 x %4").arg(g.left).arg(g.top).arg(g.width).arg(g.height);
}

// Compares every control and names the first one that differs.
bool sameLayout(const FitnessLayout& a, const FitnessLayout& b, QString* difference)
{
    for (Control c : allControls()) {
        if (a.geometry(c) != b.geometry(c)) {
            *difference = FitnessLayout::controlName(c) + u": "_qs + describe(a.geometry(c)) + u" vs "_qs +
                          describe(b.geometry(c));
            return false;
        }
    }
    return true;
}

FitnessLayout laidOut(float width, float height, int times = 1)
{
    FitnessLayout layout = FitnessLayout::design();
    for (int i = 0; i < times; ++i)
        layout.apply(width, height);
    return layout;
}

} // namespace

class TestFitnessLayout : public QObject
{
    Q_OBJECT

private slots:
    void namesEveryControlOnce()
    {
        const QStringList expected{u"cMan"_qs,      u"cGirl"_qs,  u"lKFA"_qs,    u"cKFA"_qs,    u"lVozr"_qs,
                                   u"cVozr"_qs,     u"lBases"_qs, u"lDishes"_qs, u"lFindBB"_qs, u"lFindD"_qs,
                                   u"lOut"_qs,      u"tOut"_qs,   u"cClear"_qs,  u"lHS"_qs,     u"cAdd"_qs,
                                   u"cClearall"_qs, u"cPrint"_qs};
        QStringList names;
        for (Control c : allControls())
            names.append(FitnessLayout::controlName(c));
        QCOMPARE(names, expected);
    }

    void workedExample_data()
    {
        QTest::addColumn<Control>("control");
        QTest::addColumn<Geometry>("expected");
        // Controls no rule touches keep the design geometry.
        QTest::newRow("cMan") << Control::cMan << Geometry{120, 240, 975, 495};
        QTest::newRow("cGirl") << Control::cGirl << Geometry{960, 240, 975, 495};
        QTest::newRow("lKFA") << Control::lKFA << Geometry{2040, 240, 1005, 555};
        QTest::newRow("cKFA") << Control::cKFA << Geometry{3075, 120, 2895, 675};
        QTest::newRow("lVozr") << Control::lVozr << Geometry{5970, 240, 1800, 555};
        QTest::newRow("cVozr") << Control::cVozr << Geometry{7770, 120, 2895, 675};
        QTest::newRow("lBases") << Control::lBases << Geometry{0, 840, 3840, 3260};
        QTest::newRow("lFindBB") << Control::lFindBB << Geometry{0, 4150, 2340, 435};
        QTest::newRow("lDishes") << Control::lDishes << Geometry{3940, 840, 7380, 3260};
        QTest::newRow("lFindD") << Control::lFindD << Geometry{3940, 4150, 2340, 435};
        QTest::newRow("cPrint") << Control::cPrint << Geometry{7825, 6665, 3495, 735};
        QTest::newRow("cClearall") << Control::cClearall << Geometry{7825, 5930, 3495, 735};
        QTest::newRow("cAdd") << Control::cAdd << Geometry{7825, 5195, 3495, 735};
        QTest::newRow("lOut") << Control::lOut << Geometry{0, 4685, 1365, 555};
        QTest::newRow("tOut") << Control::tOut << Geometry{1365, 4685, 1815, 615};
        QTest::newRow("cClear") << Control::cClear << Geometry{3180, 4695, 495, 615};
        QTest::newRow("lHS") << Control::lHS << Geometry{0, 5320, 7605, 2000};
    }
    void workedExample()
    {
        QFETCH(Control, control);
        QFETCH(Geometry, expected);
        const FitnessLayout layout = laidOut(WorkedWidth, WorkedHeight);
        QCOMPARE(describe(layout.geometry(control)), describe(expected));
        QCOMPARE(layout.geometry(control), expected);
    }

    void secondLayoutWidensOnlyTheCompositionLabel()
    {
        const FitnessLayout first = laidOut(WorkedWidth, WorkedHeight, 1);
        FitnessLayout second = first;
        second.apply(WorkedWidth, WorkedHeight);
        for (Control c : allControls()) {
            if (c == Control::lHS)
                continue;
            QCOMPARE(describe(second.geometry(c)), describe(first.geometry(c)));
        }
        QCOMPARE(second.geometry(Control::lHS), (Geometry{0, 5320, 7725, 2000}));

        // From then on the layout stands still.
        FitnessLayout third = second;
        third.apply(WorkedWidth, WorkedHeight);
        QString difference;
        QVERIFY2(sameLayout(third, second, &difference), qPrintable(difference));
    }

    void tooSmallWindowSkipsTheListHeight_data()
    {
        QTest::addColumn<bool>("laidOutBefore");
        QTest::addColumn<float>("height");
        QTest::newRow("from the design, 4839 high") << false << 4839.f;
        QTest::newRow("from the design, 3000 high") << false << 3000.f;
        QTest::newRow("after a full layout, 4839 high") << true << 4839.f;
        QTest::newRow("after a full layout, 1000 high") << true << 1000.f;
    }
    void tooSmallWindowSkipsTheListHeight()
    {
        QFETCH(bool, laidOutBefore);
        QFETCH(float, height);
        FitnessLayout layout = FitnessLayout::design();
        if (laidOutBefore)
            layout.apply(WorkedWidth, WorkedHeight);
        const FitnessLayout before = layout;
        layout.apply(WorkedWidth, height);

        // Rule 4 is skipped as a whole: not even the width follows the window.
        const Geometry lBases = before.geometry(Control::lBases);
        QCOMPARE(layout.geometry(Control::lBases), lBases);
        // The rules after it place their controls from what lBases still has.
        QCOMPARE(layout.geometry(Control::lFindBB),
                 (Geometry{lBases.left, lBases.top + lBases.height + 50, 2340, 435}));
        QCOMPARE(layout.geometry(Control::lDishes),
                 (Geometry{lBases.left + lBases.width + 100, 840, 2 * lBases.width - 300, lBases.height}));
        const float lFindBBBottom = lBases.top + lBases.height + 50 + 435;
        QCOMPARE(layout.geometry(Control::tOut), (Geometry{1365, lFindBBBottom + 100, 1815, 615}));
        // The buttons still follow the bottom edge, even above the window.
        QCOMPARE(layout.geometry(Control::cPrint), (Geometry{7825, height - 735 - 700, 3495, 735}));
        // lHS would get a negative height, so rule 14 is skipped too.
        QVERIFY(height - (lFindBBBottom + 100) - 615 - 800 < 0);
        QCOMPARE(layout.geometry(Control::lHS), before.geometry(Control::lHS));
    }

    void heightExactlyAtTheLimitIsAccepted()
    {
        // 840 + 4000: a list of height 0 is a size the platform takes.
        const FitnessLayout layout = laidOut(WorkedWidth, 4840);
        QCOMPARE(layout.geometry(Control::lBases), (Geometry{0, 840, 3840, 0}));
        QCOMPARE(layout.geometry(Control::lDishes), (Geometry{3940, 840, 7380, 0}));
        QCOMPARE(layout.geometry(Control::lFindBB).top, 890.f);
    }

    void minimisedWindowThenRestored_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("0 x 0") << 0.f << 0.f;
        QTest::newRow("caption bar only") << 2400.f << 540.f;
        QTest::newRow("tiny, lists too narrow") << 300.f << 300.f;
    }
    void minimisedWindowThenRestored()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        const FitnessLayout normal = laidOut(WorkedWidth, WorkedHeight, 2);
        FitnessLayout layout = normal;
        layout.apply(width, height);

        QCOMPARE(layout.geometry(Control::lBases), normal.geometry(Control::lBases));
        QCOMPARE(layout.geometry(Control::lHS), normal.geometry(Control::lHS));
        // Only Left and Top may go below zero; no size ever does.
        const Geometry cPrint = layout.geometry(Control::cPrint);
        QCOMPARE(cPrint.left, width - 3495 - 200);
        QCOMPARE(cPrint.top, height - 735 - 700);
        QVERIFY(cPrint.left < 0);
        QVERIFY(cPrint.top < 0);
        for (Control c : allControls()) {
            QVERIFY2(layout.geometry(c).width >= 0, qPrintable(FitnessLayout::controlName(c)));
            QVERIFY2(layout.geometry(c).height >= 0, qPrintable(FitnessLayout::controlName(c)));
        }

        layout.apply(WorkedWidth, WorkedHeight);
        QString difference;
        QVERIFY2(sameLayout(layout, normal, &difference), qPrintable(difference));
    }

    void firstShownMinimisedThenRestored()
    {
        // The stored window state may open the window minimised: its first
        // layout then runs against the minimised size, and lHS, whose rule is
        // skipped, still stands at its design Left when the window is restored.
        FitnessLayout layout = FitnessLayout::design();
        layout.apply(0, 0);
        QCOMPARE(layout.geometry(Control::lHS), FitnessLayout::design().geometry(Control::lHS));
        layout.apply(WorkedWidth, WorkedHeight);
        QString difference;
        QVERIFY2(sameLayout(layout, laidOut(WorkedWidth, WorkedHeight, 1), &difference),
                 qPrintable(difference));
    }

    void narrowWindowSkipsOnlyTheDishList()
    {
        // 450 wide: lBases gets 150, and 2 x 150 - 300 = 0 is still a width.
        FitnessLayout layout = laidOut(450, WorkedHeight);
        QCOMPARE(layout.geometry(Control::lDishes), (Geometry{250, 840, 0, 3260}));

        // 447 wide: lBases gets 149 and the dish list would be -2 wide.
        const FitnessLayout before = layout;
        layout.apply(447, WorkedHeight);
        QCOMPARE(layout.geometry(Control::lBases), (Geometry{0, 840, 149, 3260}));
        QCOMPARE(layout.geometry(Control::lDishes), before.geometry(Control::lDishes));
        // lFindD is placed from where the dish list stayed.
        QCOMPARE(layout.geometry(Control::lFindD), (Geometry{250, 4150, 2340, 435}));
    }

    void widening_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("worked example") << WorkedWidth << WorkedHeight;
        QTest::newRow("maximised on a large screen") << 28800.f << 16200.f;
        QTest::newRow("a narrow window") << 6000.f << 6000.f;
    }
    void widening()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        const FitnessLayout narrow = laidOut(width, height, 2);
        FitnessLayout wide = narrow;
        wide.apply(width + 300, height);

        const auto delta = [&](Control c) {
            const Geometry a = narrow.geometry(c);
            const Geometry b = wide.geometry(c);
            return Geometry{b.left - a.left, b.top - a.top, b.width - a.width, b.height - a.height};
        };
        QCOMPARE(delta(Control::lBases), (Geometry{0, 0, 100, 0}));
        QCOMPARE(delta(Control::lDishes), (Geometry{100, 0, 200, 0}));
        QCOMPARE(delta(Control::lFindD), (Geometry{100, 0, 0, 0}));
        for (Control button : {Control::cAdd, Control::cClearall, Control::cPrint})
            QCOMPARE(delta(button), (Geometry{300, 0, 0, 0}));
        // The composition label takes up the room the buttons leave.
        QCOMPARE(delta(Control::lHS), (Geometry{0, 0, 300, 0}));
        for (Control still :
             {Control::cMan, Control::cGirl, Control::lKFA, Control::cKFA, Control::lVozr, Control::cVozr,
              Control::lFindBB, Control::lOut, Control::tOut, Control::cClear})
            QCOMPARE(delta(still), (Geometry{0, 0, 0, 0}));
    }

    void captionWidthsPlaceTheirNeighbours_data()
    {
        QTest::addColumn<float>("lKFAWidth");
        QTest::addColumn<float>("lVozrWidth");
        QTest::addColumn<float>("lOutWidth");
        QTest::newRow("24 pt, as designed") << 1005.f << 1800.f << 1365.f;
        QTest::newRow("smaller font") << 510.f << 915.f << 690.f;
        QTest::newRow("larger font") << 1500.f << 2685.f << 2040.f;
    }
    void captionWidthsPlaceTheirNeighbours()
    {
        QFETCH(float, lKFAWidth);
        QFETCH(float, lVozrWidth);
        QFETCH(float, lOutWidth);
        FitnessLayout layout = FitnessLayout::design();
        layout.setCaptionWidths(lKFAWidth, lVozrWidth, lOutWidth);
        layout.apply(WorkedWidth, WorkedHeight);

        const float cKFALeft = 2040 + lKFAWidth + 30;
        QCOMPARE(layout.geometry(Control::lKFA), (Geometry{2040, 240, lKFAWidth, 555}));
        QCOMPARE(layout.geometry(Control::cKFA).left, cKFALeft);
        QCOMPARE(layout.geometry(Control::lVozr).left, cKFALeft + 2895);
        QCOMPARE(layout.geometry(Control::lVozr).width, lVozrWidth);
        QCOMPARE(layout.geometry(Control::cVozr).left, cKFALeft + 2895 + lVozrWidth);
        QCOMPARE(layout.geometry(Control::tOut).left, lOutWidth);
        QCOMPARE(layout.geometry(Control::cClear).left, lOutWidth + 1815);
    }

    void sizeThatIsNotANumberChangesNothing_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("width NaN") << nan << WorkedHeight;
        QTest::newRow("height NaN") << WorkedWidth << nan;
        QTest::newRow("width infinite") << inf << WorkedHeight;
        QTest::newRow("height minus infinite") << WorkedWidth << -inf;
    }
    void sizeThatIsNotANumberChangesNothing()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        const FitnessLayout normal = laidOut(WorkedWidth, WorkedHeight);
        FitnessLayout layout = normal;
        layout.apply(width, height);
        QString difference;
        QVERIFY2(sameLayout(layout, normal, &difference), qPrintable(difference));
    }

    void pixelRectangles_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<Control>("control");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("96 dpi, lBases") << 96.0 << Control::lBases << QRect(0, 56, 256, 217);
        QTest::newRow("96 dpi, cClear") << 96.0 << Control::cClear << QRect(212, 313, 33, 41);
        QTest::newRow("96 dpi, cPrint") << 96.0 << Control::cPrint << QRect(522, 444, 233, 49);
        QTest::newRow("144 dpi, lBases") << 144.0 << Control::lBases << QRect(0, 84, 384, 326);
        QTest::newRow("120 dpi, lHS") << 120.0 << Control::lHS << QRect(0, 443, 634, 167);
    }
    void pixelRectangles()
    {
        QFETCH(double, dpi);
        QFETCH(Control, control);
        QFETCH(QRect, pixels);
        QCOMPARE(laidOut(WorkedWidth, WorkedHeight).pixelRect(control, dpi), pixels);
    }
};

QTEST_APPLESS_MAIN(TestFitnessLayout)
#include "TestFitnessLayout.moc"
