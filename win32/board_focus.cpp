// The board on the keyboard while a screen reader runs: its place in the tab order, the cell
// cursor's keys and ring, and what screen readers are told of each move and play.
#include "accessible_texts.h"
#include "device_pixels.h"
#include "form1.h"
#include "win32_design.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

namespace virurad {

namespace {

BoardKey boardKey(WPARAM key)
{
    switch (key) {
    case VK_LEFT:
        return BoardKey::Left;
    case VK_RIGHT:
        return BoardKey::Right;
    case VK_UP:
        return BoardKey::Up;
    case VK_DOWN:
        return BoardKey::Down;
    case VK_SPACE:
    case VK_RETURN:
        return BoardKey::Place;
    case 'M':
        return BoardKey::Mark;
    default:
        return BoardKey::None;
    }
}

} // namespace

void Form1::followScreenReader()
{
    BOOL running = FALSE;
    SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0);
    const bool hadBoard = boardHasFocus();
    m_screenReader = running != FALSE;
    if (hadBoard && !m_screenReader) {
        // The board leaves the tab order with the screen reader, and its ring goes with it.
        m_announcing = false;
        repaintCell(m_cursor.cell());
        moveFocus(SizeScroll);
    }
}

HWND Form1::nextInTabOrder(HWND from, bool backwards) const
{
    // The order the window was designed with: the board, the scroll bar, the button. The board
    // takes its place only while a screen reader runs; from nowhere, the first one is next.
    const std::array<HWND, 3> order{m_window, SizeScroll, Test};
    const auto ring = std::span(order).subspan(m_screenReader ? 0 : 1);
    const auto at = std::find(ring.begin(), ring.end(), from);
    if (at == ring.end())
        return ring.front();
    const std::size_t i = std::size_t(at - ring.begin()), n = ring.size();
    return ring[(i + (backwards ? n - 1 : 1)) % n];
}

void Form1::moveFocus(HWND to)
{
    m_focus = to;
    SetFocus(to);
}

void Form1::focusArrived()
{
    // The window itself takes keys only as the board, while a screen reader runs; otherwise the
    // focus goes on to the control that had it.
    HWND to = m_focus;
    if (!to || (to == m_window && !m_screenReader))
        to = nextInTabOrder(nullptr, false);
    if (to != m_window)
        SetFocus(to);
    else
        boardFocusChanged(true);
}

void Form1::boardFocusChanged(bool gained)
{
    // Coming back, the cell is read by its plain name again, as any focus change reads it.
    if (std::exchange(m_announcing, false))
        notifyCell(EVENT_OBJECT_NAMECHANGE, m_cursor.cell());
    repaintCell(m_cursor.cell());
    if (gained)
        notifyCell(EVENT_OBJECT_FOCUS, m_cursor.cell());
}

bool Form1::boardKeyPressed(WPARAM key, LPARAM flags)
{
    const BoardKey pressed = boardKey(key);
    // Only a fresh press plays, as on Check Me!: a held Space would put a chip down and take it
    // up again with every repeat. Bit 30 says the key was already down.
    const bool repeat = flags & (LPARAM(1) << 30);
    if (repeat && (pressed == BoardKey::Place || pressed == BoardKey::Mark))
        return true;
    const KeyPlay play = m_cursor.press(m_board, pressed);
    if (play.from != Refresh::NoCell)
        cursorMoved(play.from);
    show(play.refresh);
    return play.used;
}

void Form1::cursorMoved(int from)
{
    if (std::exchange(m_announcing, false))
        notifyCell(EVENT_OBJECT_NAMECHANGE, from);
    repaintCell(from);
    repaintCell(m_cursor.cell());
    notifyCell(EVENT_OBJECT_FOCUS, m_cursor.cell());
}

void Form1::tellScreenReaders(const Refresh &refresh)
{
    if (refresh.wholeBoard) {
        // Every cell is new, and the scroll bar's value is the new size, read out as "24x24".
        m_announcing = false;
        NotifyWinEvent(EVENT_OBJECT_REORDER, m_window, BoardObjectId, CHILDID_SELF);
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, SizeScroll, OBJID_CLIENT, CHILDID_SELF);
        if (boardHasFocus())
            notifyCell(EVENT_OBJECT_FOCUS, m_cursor.cell());
        return;
    }
    if (refresh.cell == Refresh::NoCell)
        return;
    // A screen reader reads a new name of the focused cell at once: the play and the count.
    if (boardHasFocus() && refresh.cell == m_cursor.cell())
        m_announcing = true;
    else if (std::exchange(m_announcing, false))
        notifyCell(EVENT_OBJECT_NAMECHANGE, m_cursor.cell());
    notifyCell(EVENT_OBJECT_NAMECHANGE, refresh.cell);
}

void Form1::repaintCell(int k)
{
    const RECT r = toRect(deviceCellRect(m_board, k, scale()));
    InvalidateRect(m_window, &r, FALSE);
}

void Form1::notifyCell(DWORD event, int k) const
{
    const LONG id = cellChildId(m_board, k);
    if (id > 0)
        NotifyWinEvent(event, m_window, BoardObjectId, id);
}

int Form1::focusedCell() const
{
    return boardHasFocus() ? m_cursor.cell() : Refresh::NoCell;
}

std::string Form1::cellText(int k) const
{
    return m_announcing && k == focusedCell() ? playAnnouncement(m_board, k) : cellName(m_board, k);
}

void Form1::playCell(int k, MouseButton button)
{
    // As the release of that button on the cell: the same play, the same refresh.
    show(releaseButton(m_board, k, int(button)));
}

} // namespace virurad
