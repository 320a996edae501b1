#pragma once

namespace Xl {

// Constants with the spreadsheet automation values, so that callers written
// against them read the same.

enum class Direction
{
    Down = -4121,
    Up = -4162,
    ToRight = -4161,
    ToLeft = -4159
};

enum class HAlign
{
    General = 1,
    Left = -4131,
    Center = -4108,
    Right = -4152,
    Fill = 5,
    Justify = -4130,
    CenterAcrossSelection = 7,
    Distributed = -4117
};
enum class VAlign
{
    Top = -4160,
    Center = -4108,
    Bottom = -4107,
    Justify = -4130,
    Distributed = -4117
};

enum class BordersIndex
{
    DiagonalDown = 5,
    DiagonalUp = 6,
    EdgeLeft = 7,
    EdgeTop = 8,
    EdgeBottom = 9,
    EdgeRight = 10,
    InsideVertical = 11,
    InsideHorizontal = 12
};
enum class LineStyle
{
    None = -4142,
    Continuous = 1,
    Dash = -4115,
    DashDot = 4,
    DashDotDot = 5,
    Dot = -4118,
    Double = -4119,
    SlantDashDot = 13
};
enum class BorderWeight
{
    Hairline = 1,
    Thin = 2,
    Medium = -4138,
    Thick = 4
};
constexpr int ColorIndexAutomatic = -4105;
constexpr int ColorIndexNone = -4142;

enum class SheetType
{
    Worksheet,
    Chart,
    Dialog,
    Macro
};

} // namespace Xl
