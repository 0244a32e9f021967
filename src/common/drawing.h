#pragma once

#include <QPoint>

#include <variant>
#include <vector>

// Drawing primitives shared by the window chart and the printed report. Positions are
// twips (1/1440 inch) from the top-left corner, y growing downwards.

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// Fill styles of a box, numbered as the station's drawing surface numbers them.
enum class FillStyle {
    Solid = 0,
    Transparent = 1,
    HorizontalLines = 2,
    VerticalLines = 3,
    UpwardDiagonal = 4,
    DownwardDiagonal = 5,
    Cross = 6,
    DiagonalCross = 7,
};

struct DrawnLine
{
    QPoint from;
    QPoint to;
    Rgb color;
    int penWidth = 1; // device pixels
    friend bool operator==(const DrawnLine &, const DrawnLine &) = default;
};

struct DrawnBox
{
    QPoint corner1;
    QPoint corner2;
    Rgb outline;
    Rgb fill;
    FillStyle fillStyle = FillStyle::Transparent;
    int penWidth = 1; // device pixels
    friend bool operator==(const DrawnBox &, const DrawnBox &) = default;
};

using DrawnShape = std::variant<DrawnLine, DrawnBox>;
using Drawing = std::vector<DrawnShape>;
