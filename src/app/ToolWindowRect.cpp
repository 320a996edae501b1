#include "ToolWindowRect.h"

#include <cmath>

namespace App {

namespace {

int roundHalfEven(double value)
{
    return int(std::nearbyint(value)); // the default rounding mode rounds halves to even
}

} // namespace

ToolWindowRect ToolWindowRect::compute(double windowHeight, double picture1Width, double picture1Height,
                                       double statusBarHeight, double picSheetWidth, double picSheetHeight)
{
    ToolWindowRect r;
    r.top = roundHalfEven(windowHeight - picture1Height - 1.35 * statusBarHeight);
    r.left = roundHalfEven(picture1Width + 30);
    r.height = roundHalfEven(picSheetHeight);
    r.width = roundHalfEven(picSheetWidth);
    return r;
}

} // namespace App
