#pragma once

namespace App {

// Where the two tool windows place themselves over the main window's right
// pane, in twips relative to the main window; halves round to even.
struct ToolWindowRect
{
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;

    static ToolWindowRect compute(double windowHeight, double picture1Width, double picture1Height,
                                  double statusBarHeight, double picSheetWidth, double picSheetHeight);
};

} // namespace App
