#include "fitness/layout/FitnessLayout.h"

#include <algorithm>

#include "common/Twips.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

using Control = FitnessLayout::Control;
using Geometry = FitnessLayout::Geometry;

// The platform refuses a negative size, and a size it cannot read at all;
// either way the control keeps what it had.
bool acceptableSize(float width, float height)
{
    return width >= 0 && height >= 0;
}

// The window as designed, in the order of Control, then the ration button.
const Twips::Table& designTable()
{
    static const Twips::Table table = {
        {u"cMan"_s, {120, 240, 975, 495}},      {u"cGirl"_s, {960, 240, 975, 495}},
        {u"lKFA"_s, {2040, 240, 1005, 555}},    {u"cKFA"_s, {3120, 120, 2895, 675}},
        {u"lVozr"_s, {6000, 240, 1800, 555}},   {u"cVozr"_s, {8160, 120, 2895, 675}},
        {u"lBases"_s, {0, 840, 4095, 3390}},    {u"lDishes"_s, {4200, 840, 6975, 3390}},
        {u"lFindBB"_s, {0, 4320, 2340, 435}},   {u"lFindD"_s, {4200, 4320, 2340, 435}},
        {u"lOut"_s, {840, 5040, 1365, 555}},    {u"tOut"_s, {3120, 4920, 1815, 615}},
        {u"cClear"_s, {4920, 4920, 495, 615}},  {u"lHS"_s, {120, 5520, 6135, 1815}},
        {u"cAdd"_s, {7680, 5040, 3495, 735}},   {u"cClearall"_s, {7680, 5760, 3495, 735}},
        {u"cPrint"_s, {7680, 6480, 3495, 735}}, {u"cRation"_s, {7680, 4305, 3495, 735}},
    };
    return table;
}

Geometry geometryOf(const QRectF& twips)
{
    return Geometry{float(twips.left()), float(twips.top()), float(twips.width()), float(twips.height())};
}

QRectF rectOf(const Geometry& g)
{
    return QRectF(g.left, g.top, g.width, g.height);
}

} // namespace

FitnessLayout FitnessLayout::design()
{
    FitnessLayout layout;
    const Twips::Table& table = designTable();
    for (int i = 0; i < ControlCount; ++i)
        layout.m_geometry[std::size_t(i)] = geometryOf(table[i].twips);
    layout.m_rationButton = geometryOf(table[ControlCount].twips);
    return layout;
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

Twips::Table FitnessLayout::placements() const
{
    Twips::Table table = designTable();
    for (int i = 0; i < ControlCount; ++i)
        table[i].twips = rectOf(m_geometry[std::size_t(i)]);
    table[ControlCount].twips = rectOf(m_rationButton);
    return table;
}
