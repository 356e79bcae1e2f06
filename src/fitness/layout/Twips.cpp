#include "fitness/layout/Twips.h"

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

int toPixels(float twips, double dotsPerInch)
{
    if (!(dotsPerInch > 0) || !std::isfinite(twips))
        return 0;
    const double pixels = std::round(double(twips) * dotsPerInch / PerInch);
    // A rectangle coordinate must fit an int whatever size the caller hands in.
    constexpr double limit = std::numeric_limits<int>::max() / 2;
    return int(std::clamp(pixels, -limit, limit));
}

} // namespace Twips
