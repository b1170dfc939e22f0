// Taps and long presses on the board, turned into the left and right buttons.
#include "touch_pointer.h"

#include "device_pixels.h"

#include <cmath>

namespace virurad {

void TouchPointer::down(const ChipBoard &board, int id, DevicePoint at, double ratio)
{
    ++m_fingers;
    if (m_fingers > 1) {
        // A second finger: a pinch or a two-finger pan, never a play.
        m_ended = true;
        return;
    }
    m_active = true;
    m_id = id;
    m_start = at;
    m_cell = cellAtDevicePixel(board, at.x, at.y, ratio);
    m_ended = m_cell < 0;
}

void TouchPointer::moved(int id, DevicePoint at, double density)
{
    if (!tracking(id))
        return;
    const double slop = TouchSlopPixels * (density > 0 ? density : 1.0);
    if (std::hypot(at.x - m_start.x, at.y - m_start.y) > slop)
        m_ended = true;
}

Refresh TouchPointer::held(ChipBoard &board, int id)
{
    if (!tracking(id))
        return {};
    // Marked while the finger is still down, so the player sees it and lifts; the lift is then
    // no tap.
    m_ended = true;
    return releaseButton(board, m_cell, int(MouseButton::Right));
}

Refresh TouchPointer::up(ChipBoard &board, int id)
{
    const bool tap = tracking(id);
    cancel(id);
    return tap ? releaseButton(board, m_cell, int(MouseButton::Left)) : Refresh{};
}

void TouchPointer::cancel(int id)
{
    if (m_fingers == 0)
        return;
    if (id == m_id)
        m_ended = true;
    if (--m_fingers == 0)
        m_active = false;
}

} // namespace virurad
