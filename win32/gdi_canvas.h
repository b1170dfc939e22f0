// The board's drawing calls in GDI: the game says what to fill, this fills it.
#pragma once

#include "board_painting.h"
#include "gdi_owner.h"

#include <windows.h>

namespace virurad {

// Fills with the DC's own brush and pen, recoloured for each call, so that painting creates no
// GDI object at all and a game of any length leaks no handle.
class GdiCanvas final : public Canvas {
  public:
    explicit GdiCanvas(HDC dc);

    void fillRect(const PixelRect &r, Rgb colour) override;
    void fillDisc(const PixelRect &r, Rgb colour) override;

  private:
    HDC m_dc;
    Selection m_pen;
    Selection m_brush;
};

} // namespace virurad
