#include "report/PreviewLayout.h"

#include <algorithm>
#include <cmath>

namespace {

int notBelowZero(int value)
{
    return std::max(value, 0);
}

// An arrow key must move the page; a step of 0 would leave it where it is.
int step(int maximum)
{
    return std::max(1, static_cast<int>(std::lround(maximum / 10.0)));
}

} // namespace

PreviewLayout::Ranges PreviewLayout::Init_Scroll(const QRect& page, const QSize& backInner, int vsWidth,
                                                 int hsHeight)
{
    Ranges r;
    r.hMin = -page.top();
    r.hMax = page.width() - backInner.width() + vsWidth;
    r.hStep = step(r.hMax);
    r.vMin = -page.top();
    r.vMax = page.height() - backInner.height() + hsHeight;
    r.vStep = step(r.vMax);
    return r;
}

PreviewLayout::Geometry PreviewLayout::Form_Resize(const QSize& window, int backTop, int vsWidth,
                                                   int hsHeight)
{
    Geometry g;
    const int backWidth = notBelowZero(window.width() - 10);
    const int backHeight = notBelowZero(window.height() - backTop - 10);
    g.back = QRect(5, backTop, backWidth, backHeight);
    g.vertical =
        QRect(notBelowZero(backWidth - vsWidth - 2), 0, vsWidth, notBelowZero(backHeight - hsHeight - 25));
    g.horizontal =
        QRect(0, notBelowZero(backHeight - hsHeight - 24), notBelowZero(backWidth - 2 - vsWidth), hsHeight);
    return g;
}
