// Turns the window's events into moves on the board and says what the window must redraw.
#include "game_events.h"

#include "device_pixels.h"

namespace virurad {

Refresh releaseButton(ChipBoard &board, int k, int button)
{
    if (!board.isShown(k))
        return {};
    if (button == int(MouseButton::Left)) {
        board.pressLeft(k);
        // A chip comes or goes, so the count always changes.
        return {k, false, false, true};
    }
    if (button == int(MouseButton::Right)) {
        const bool chipRemoved = board.pressRight(k);
        return {k, false, false, chipRemoved};
    }
    return {};
}

Refresh changeSize(ChipBoard &board, int value)
{
    if (value < MinSize || value > MaxSide || value == board.size())
        return {};
    board.setSize(value);
    return WholeWindow;
}

unsigned Pointer::bit(int button)
{
    // Buttons the game has no number for, and nonsense, share no bit with any real button.
    return button > 0 && button < 32 ? 1u << button : 0u;
}

void Pointer::press(const ChipBoard &board, int button, DevicePoint at, double ratio)
{
    if (cellAtDevicePixel(board, at.x, at.y, ratio) >= 0)
        m_pressedOnBoard |= bit(button);
    else
        m_pressedOnBoard &= ~bit(button);
}

Refresh Pointer::release(ChipBoard &board, int button, DevicePoint at, double ratio)
{
    const bool pressedOnBoard = (m_pressedOnBoard & bit(button)) != 0;
    m_pressedOnBoard &= ~bit(button);
    if (!pressedOnBoard)
        return {};
    return releaseButton(board, cellAtDevicePixel(board, at.x, at.y, ratio), button);
}

} // namespace virurad
