// Small owners for GDI objects and device contexts, so no handle outlives its use.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace virurad {

// Owns a font, and deletes it when replaced or destroyed.
struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// BeginPaint and EndPaint around one WM_PAINT.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    PaintDc(const PaintDc &) = delete;
    PaintDc &operator=(const PaintDc &) = delete;
    ~PaintDc() { EndPaint(m_window, &m_paint); }

    HDC dc() const { return m_dc; }
    const RECT &area() const { return m_paint.rcPaint; }

  private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// Selects an object into a DC for one scope and puts the previous one back.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    Selection(const Selection &) = delete;
    Selection &operator=(const Selection &) = delete;
    ~Selection() { SelectObject(m_dc, m_previous); }

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace virurad
