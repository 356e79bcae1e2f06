#pragma once

// Window geometry is reckoned in twips, 1/1440 inch: 15 twips per pixel on a
// 96 dpi screen.
namespace Twips {

inline constexpr double PerInch = 1440.0;

// Pixels to twips at the given dots per inch (no rounding).
float fromPixels(double pixels, double dotsPerInch);

// Twips to the nearest whole pixel, halves away from zero.
int toPixels(float twips, double dotsPerInch);

} // namespace Twips
