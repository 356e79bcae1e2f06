#pragma once

#include <QRect>
#include <QSize>

// The geometry rules of the preview window, in pixels, apart from the widgets
// so they can be checked by themselves.
class PreviewLayout final
{
public:
    // Scroll ranges of the two bars. The small step is what an arrow key moves.
    struct Ranges
    {
        int hMin = 0;
        int hMax = 0;
        int hStep = 1;
        int vMin = 0;
        int vMax = 0;
        int vStep = 1;
    };

    struct Geometry
    {
        QRect back; // the grey container
        QRect vertical;
        QRect horizontal;
    };

    // Init_Scroll: from the page's rectangle inside the container, the
    // container's inner size and the bars' thickness. Both minimums come from
    // the page's top offset, so at the left end the page sits as far from the
    // container's left edge as from its top.
    static Ranges Init_Scroll(const QRect& page, const QSize& backInner, int vsWidth, int hsHeight);

    // Form_Resize: the container and its bars for a window whose outer size
    // is `window`; the container keeps its top `backTop`. Sizes and positions
    // that would go below zero (a window smaller than the margins) are held
    // at zero.
    static Geometry Form_Resize(const QSize& window, int backTop, int vsWidth, int hsHeight);

    // The margins of Form_Resize count from the outer edges of a window frame
    // this much larger than the client area; Qt reports client sizes, so this
    // is added back. It keeps the bars on the visible right and bottom edges.
    static constexpr QSize kFrame{7, 34};
};
