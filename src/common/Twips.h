#pragma once

#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>

// Window geometry is reckoned in twips, 1/1440 inch: 15 twips per pixel on a
// 96 dpi screen. Every window converts its designed geometry here.
namespace Twips {

inline constexpr double PerInch = 1440.0;

// Pixels to twips at the given dots per inch (no rounding).
float fromPixels(double pixels, double dotsPerInch);

// Twips to the nearest whole pixel, halves away from zero.
int toPixels(double twips, double dotsPerInch);
// Each coordinate of a rectangle in twips (left, top, width, height) so.
QRect toPixels(const QRectF& twips, double dpiX, double dpiY);

// A designed control: its object name and its rectangle in twips. Each
// window keeps its controls in a table of these.
struct Placement
{
    QString name;
    QRectF twips;
};
using Table = QList<Placement>;

} // namespace Twips
