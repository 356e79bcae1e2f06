#pragma once

#include "common/Twips.h"

#include <QList>
#include <QRect>

// The main window's layout as designed, in twips, converted to the pixels of
// the screen at hand so the window keeps its physical size on denser screens.
namespace FeatGeometry {

// The client area, 7335 x 4575 twips.
QRectF clientTwips();

// The visible controls in tab order, Label1 .. Label3. The manual command
// facility (lSend, tCom, cSend) is placed beyond the bottom and right edges
// of the client area on purpose.
const Twips::Table& controls();

// The captions are fixed but the platform's font may be wider than the one the
// window was designed with: each control grows to the width its caption needs
// (`needed`, 0 for none), and the controls to its right that share its rows
// move along so that none overlaps another, keeping at least `gap` between
// them. The rectangles are in pixels, in the order of `controls()`.
QList<QRect> fitCaptions(QList<QRect> rects, const QList<int>& needed, int gap);

} // namespace FeatGeometry
