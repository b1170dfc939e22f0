// Turns the window's events into moves on the board and says what the window must redraw.
#include "game_events.h"

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
    if (value < MinSize || value > MaxSide)
        return {};
    board.setSize(value);
    return WholeWindow;
}
