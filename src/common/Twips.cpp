#include "common/Twips.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Twips {

float fromPixels(double pixels, double dotsPerInch)
{
    if (!(dotsPerInch > 0))
        return 0;
    return float(pixels * PerInch / dotsPerInch);
}

int toPixels(double twips, double dotsPerInch)
{
    if (!(dotsPerInch > 0) || !std::isfinite(twips))
        return 0;
    const double pixels = std::round(twips * dotsPerInch / PerInch);
    // A rectangle coordinate must fit an int whatever size the caller hands in.
    constexpr double limit = std::numeric_limits<int>::max() / 2;
    return int(std::clamp(pixels, -limit, limit));
}

QRect toPixels(const QRectF& twips, double dpiX, double dpiY)
{
    return QRect(toPixels(twips.left(), dpiX), toPixels(twips.top(), dpiY), toPixels(twips.width(), dpiX),
                 toPixels(twips.height(), dpiY));
}

} // namespace Twips
