#pragma once

#include "common/Twips.h"

#include <array>

// The geometry of the fitness window's controls, in twips, and the fourteen
// rules that make them follow the window's size. Plain numbers: the window maps
// the result onto its widgets, so the rules can be checked without any widget.
class FitnessLayout final
{
public:
    // Every control the layout knows, in the window's tab order.
    enum class Control
    {
        cMan,
        cGirl,
        lKFA,
        cKFA,
        lVozr,
        cVozr,
        lBases,
        lDishes,
        lFindBB,
        lFindD,
        lOut,
        tOut,
        cClear,
        lHS,
        cAdd,
        cClearall,
        cPrint,
    };
    static constexpr int ControlCount = int(Control::cPrint) + 1;

    // Single precision, as the platform keeps them; the rules never round.
    struct Geometry
    {
        float left = 0;
        float top = 0;
        float width = 0;
        float height = 0;

        friend bool operator==(const Geometry&, const Geometry&) = default;
    };

    // The window as designed (client area 11400 x 7695 twips); the captions of
    // lKFA, lVozr and lOut carry their widths at 24 pt.
    static FitnessLayout design();

    const Geometry& geometry(Control control) const { return m_geometry[std::size_t(control)]; }
    void setGeometry(Control control, const Geometry& geometry)
    {
        m_geometry[std::size_t(control)] = geometry;
    }

    // cAdd, cClearall and cPrint share one column, as wide as designed or as
    // the chosen font needs for cAdd's widest caption ("Добавить (25)"),
    // whichever is wider, so no count is ever cut; rules 8 to 10 keep the
    // column at the window's right edge.
    void setButtonColumnWidth(float width);

    // Runs rules 1 to 14 in order for a window whose outer size (frame and
    // title bar included) is given in twips. A rule that would give its
    // control a negative width or height is skipped and that control keeps
    // its geometry; the later rules still run. Left and Top may go negative.
    // A size that is not a finite number changes nothing.
    void apply(float outerWidth, float outerHeight);

    // The ration window's button "&Рацион…", which came after the designed
    // controls and so is kept apart from them: one more rule after rule 14
    // puts it in cAdd's column, directly above cAdd, at cAdd's size (skipped,
    // like the others, when that size is refused).
    const Geometry& rationButton() const { return m_rationButton; }

    // Every control by its object name, in the order of Control, then the
    // ration button "cRation": the window places them from this table.
    Twips::Table placements() const;

private:
    FitnessLayout() = default;
    Geometry& at(Control control) { return m_geometry[std::size_t(control)]; }

    std::array<Geometry, ControlCount> m_geometry{};
    Geometry m_rationButton{};
};
