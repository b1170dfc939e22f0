// What the window does to show the game anew: its pixels, the keyboard, what screen readers hear.
#include "board_accessible.h"
#include "form1.h"
#include "win32_design.h"

namespace virurad {

void Form1::repaintBoard(int, const PixelRect &area)
{
    const RECT rect = toRect(area);
    InvalidateRect(m_window, &rect, FALSE);
}

void Form1::notifyBoard(DWORD event, int k) const
{
    const LONG id = k == Refresh::NoCell ? CHILDID_SELF : cellChildId(m_game.board(), k);
    if (id >= 0)
        NotifyWinEvent(event, m_window, BoardObjectId, id);
}

void Form1::cellsReplaced()
{
    m_accessibility.newBoard();
    notifyBoard(EVENT_OBJECT_REORDER, Refresh::NoCell);
}

void Form1::focusControl(Control control)
{
    m_focus = control == Control::Board ? m_window : this->control(control);
    SetFocus(m_focus);
}

} // namespace virurad
