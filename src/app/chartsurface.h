#pragma once

#include "common/drawing.h"

#include <functional>

// What the program draws on the window: lines and boxes in twips, kept until cleared
// and painted beneath the controls. Drawing state (pen width, fill colour and style)
// applies to the shapes drawn after it is set, as on the station's original surface.
class ChartSurface
{
public:
    explicit ChartSurface(std::function<void()> changed = {}) : m_changed(std::move(changed)) {}

    void clear();
    void setDrawWidth(int pixels) { m_drawWidth = pixels; }
    void setFillColor(Rgb color) { m_fillColor = color; }
    void setFillStyle(FillStyle style) { m_fillStyle = style; }
    void drawLine(QPoint from, QPoint to, Rgb color);
    void drawBox(QPoint corner1, QPoint corner2, Rgb outline);

    const Drawing &drawing() const { return m_drawing; }

private:
    void add(DrawnShape shape);

    std::function<void()> m_changed;
    Drawing m_drawing;
    int m_drawWidth = 1;
    Rgb m_fillColor{0, 0, 0};
    FillStyle m_fillStyle = FillStyle::Transparent;
};
