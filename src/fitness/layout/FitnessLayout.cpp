#include "fitness/layout/FitnessLayout.h"

#include <algorithm>

#include "fitness/layout/Twips.h"

#include <cmath>

namespace {

using Control = FitnessLayout::Control;
using Geometry = FitnessLayout::Geometry;

// The platform refuses a negative size, and a size it cannot read at all;
// either way the control keeps what it had.
bool acceptableSize(float width, float height)
{
    return width >= 0 && height >= 0;
}

} // namespace

FitnessLayout FitnessLayout::design()
{
    FitnessLayout layout;
    const auto set = [&layout](Control c, float left, float top, float width, float height) {
        layout.at(c) = Geometry{left, top, width, height};
    };
    set(Control::cMan, 120, 240, 975, 495);
    set(Control::cGirl, 960, 240, 975, 495);
    set(Control::lKFA, 2040, 240, 1005, 555);
    set(Control::cKFA, 3120, 120, 2895, 675);
    set(Control::lVozr, 6000, 240, 1800, 555);
    set(Control::cVozr, 8160, 120, 2895, 675);
    set(Control::lBases, 0, 840, 4095, 3390);
    set(Control::lDishes, 4200, 840, 6975, 3390);
    set(Control::lFindBB, 0, 4320, 2340, 435);
    set(Control::lFindD, 4200, 4320, 2340, 435);
    set(Control::lOut, 840, 5040, 1365, 555);
    set(Control::tOut, 3120, 4920, 1815, 615);
    set(Control::cClear, 4920, 4920, 495, 615);
    set(Control::lHS, 120, 5520, 6135, 1815);
    set(Control::cAdd, 7680, 5040, 3495, 735);
    set(Control::cClearall, 7680, 5760, 3495, 735);
    set(Control::cPrint, 7680, 6480, 3495, 735);
    layout.m_rationButton = Geometry{7680, 4305, 3495, 735};
    return layout;
}

void FitnessLayout::setCaptionWidths(float lKFAWidth, float lVozrWidth, float lOutWidth)
{
    at(Control::lKFA).width = lKFAWidth;
    at(Control::lVozr).width = lVozrWidth;
    at(Control::lOut).width = lOutWidth;
}

void FitnessLayout::apply(float outerWidth, float outerHeight)
{
    // A size that is not a number would carry into every Left and Top.
    if (!std::isfinite(outerWidth) || !std::isfinite(outerHeight))
        return;
    const float W = outerWidth;
    const float H = outerHeight;
    Geometry& lKFA = at(Control::lKFA);
    Geometry& cKFA = at(Control::cKFA);
    Geometry& lVozr = at(Control::lVozr);
    Geometry& cVozr = at(Control::cVozr);
    Geometry& lBases = at(Control::lBases);
    Geometry& lFindBB = at(Control::lFindBB);
    Geometry& lDishes = at(Control::lDishes);
    Geometry& lFindD = at(Control::lFindD);
    Geometry& cPrint = at(Control::cPrint);
    Geometry& cClearall = at(Control::cClearall);
    Geometry& cAdd = at(Control::cAdd);
    Geometry& lOut = at(Control::lOut);
    Geometry& tOut = at(Control::tOut);
    Geometry& cClear = at(Control::cClear);
    Geometry& lHS = at(Control::lHS);

    // Each rule reads what the rules before it left, and stands alone when the
    // size it asks for cannot be had.
    const auto move = [](Geometry& g, float left, float top, float width, float height) {
        if (acceptableSize(width, height))
            g = Geometry{left, top, width, height};
    };

    move(cKFA, lKFA.left + lKFA.width + 30, cKFA.top, cKFA.width, cKFA.height);                          // 1
    move(lVozr, cKFA.left + cKFA.width, lVozr.top, lVozr.width, lVozr.height);                           // 2
    move(cVozr, lVozr.left + lVozr.width, cVozr.top, cVozr.width, cVozr.height);                         // 3
    move(lBases, lBases.left, lBases.top, W / 3, H - lBases.top - 4000);                                 // 4
    move(lFindBB, lBases.left, lBases.top + lBases.height + 50, lFindBB.width, lFindBB.height);          // 5
    move(lDishes, lBases.left + lBases.width + 100, lDishes.top, 2 * lBases.width - 300, lBases.height); // 6
    move(lFindD, lDishes.left, lDishes.top + lDishes.height + 50, lFindD.width, lFindD.height);          // 7
    move(cPrint, W - cPrint.width - 200, H - cPrint.height - 700, cPrint.width, cPrint.height);          // 8
    move(cClearall, cPrint.left, cPrint.top - cClearall.height, cClearall.width, cClearall.height);      // 9
    move(cAdd, cClearall.left, cClearall.top - cAdd.height, cAdd.width, cAdd.height);                    // 10
    move(lOut, lBases.left, lFindBB.top + lFindBB.height + 100, lOut.width, lOut.height);                // 11
    move(tOut, lBases.left + lOut.width, lFindBB.top + lFindBB.height + 100, tOut.width, tOut.height);   // 12
    move(cClear, tOut.left + tOut.width, tOut.top + 10, cClear.width, cClear.height);                    // 13
    // The width is taken from where lHS stood before this rule moves it: its
    // design Left on the first layout, so lHS comes out 120 twips narrower
    // then than on every later layout at the same size.
    move(lHS, lOut.left, tOut.top + tOut.height + 20, cPrint.left - lHS.left - 100,
         H - tOut.top - tOut.height - 800); // 14
    move(m_rationButton, cAdd.left, cAdd.top - cAdd.height, cAdd.width, cAdd.height);
}

void FitnessLayout::setButtonColumnWidth(float width)
{
    const float designed = design().geometry(Control::cAdd).width;
    for (const Control control : {Control::cAdd, Control::cClearall, Control::cPrint})
        at(control).width = std::max(designed, width);
}

QRect FitnessLayout::rationButtonPixelRect(double dotsPerInch) const
{
    return toPixels(m_rationButton, dotsPerInch);
}

QRect FitnessLayout::pixelRect(Control control, double dotsPerInch) const
{
    return toPixels(geometry(control), dotsPerInch);
}

QRect FitnessLayout::toPixels(const Geometry& g, double dotsPerInch)
{
    return QRect(Twips::toPixels(g.left, dotsPerInch), Twips::toPixels(g.top, dotsPerInch),
                 Twips::toPixels(g.width, dotsPerInch), Twips::toPixels(g.height, dotsPerInch));
}
