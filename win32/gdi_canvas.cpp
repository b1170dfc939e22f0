// Rectangles and discs in device pixels with GDI.
#include "gdi_canvas.h"

#include "win32_design.h"

namespace virurad {

GdiCanvas::GdiCanvas(HDC dc)
    : m_dc(dc), m_pen(dc, GetStockObject(DC_PEN)), m_brush(dc, GetStockObject(DC_BRUSH))
{
}

void GdiCanvas::fillRect(const PixelRect &r, Rgb colour)
{
    const RECT rect = toRect(r);
    SetDCBrushColor(m_dc, colorRef(colour));
    FillRect(m_dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::fillDisc(const PixelRect &r, Rgb colour)
{
    // Ellipse leaves out the rectangle's right and bottom edges, so the disc with its one-pixel
    // rim stays inside r; the rim takes the disc's own colour.
    SetDCPenColor(m_dc, colorRef(colour));
    SetDCBrushColor(m_dc, colorRef(colour));
    Ellipse(m_dc, r.left, r.top, r.left + r.width, r.top + r.height);
}

} // namespace virurad
