#pragma once

#include <QList>
#include <QRect>
#include <QString>

// The main window's layout as designed, in twips (1/1440 inch; 15 twips make
// a pixel at 96 dots per inch), and its conversion to the pixels of the
// screen at hand, so the window keeps its physical size on denser screens.
namespace FeatGeometry {

struct Control
{
    QString name; // the control's object name
    QRect twips;  // left, top, width, height
};

// The client area, 7335 x 4575 twips.
QRect clientTwips();

// The visible controls in tab order, Label1 .. Label3. The manual command
// facility (lSend, tCom, cSend) is placed beyond the bottom and right edges
// of the client area on purpose.
const QList<Control>& controls();

int toPixels(int twips, qreal dotsPerInch);
QRect toPixels(const QRect& twips, qreal dpiX, qreal dpiY);

} // namespace FeatGeometry
