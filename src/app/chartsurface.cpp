#include "chartsurface.h"

void ChartSurface::clear()
{
    m_drawing.clear();
    if (m_changed)
        m_changed();
}

void ChartSurface::drawLine(QPoint from, QPoint to, Rgb color)
{
    add(DrawnLine{from, to, color, m_drawWidth});
}

void ChartSurface::drawBox(QPoint corner1, QPoint corner2, Rgb outline)
{
    add(DrawnBox{corner1, corner2, outline, m_fillColor, m_fillStyle, m_drawWidth});
}

void ChartSurface::add(DrawnShape shape)
{
    m_drawing.push_back(std::move(shape));
    if (m_changed)
        m_changed();
}
