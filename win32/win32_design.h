// The window's design in the terms the Windows API takes: colours, frame style, fonts.
#pragma once

#include "window_design.h"

#include <windows.h>

namespace virurad {

// The window keeps its size: no sizing border and no maximise box.
inline constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

inline COLORREF colorRef(Rgb c)
{
    return RGB(c.red, c.green, c.blue);
}

inline RECT toRect(const PixelRect &r)
{
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

// The outer size of a window whose client area is the designed 688 x 600 at `dpi`.
SIZE windowSize(UINT dpi);

// A font of the design at `dpi`: its point size in pixels at that resolution.
HFONT createFont(const FontDesign &design, UINT dpi);

} // namespace virurad
