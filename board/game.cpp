// Every player event as one move on the game, and what each tells a screen reader.
#include "game.h"

#include "accessible_texts.h"

#include <algorithm>

namespace virurad {

namespace {

BoardKey boardKeyOf(Key key)
{
    switch (key) {
    case Key::Left:
        return BoardKey::Left;
    case Key::Right:
        return BoardKey::Right;
    case Key::Up:
        return BoardKey::Up;
    case Key::Down:
        return BoardKey::Down;
    case Key::Space:
    case Key::Enter:
        return BoardKey::Place;
    case Key::M:
        return BoardKey::Mark;
    default:
        return BoardKey::None;
    }
}

// The scroll bar's new value for a key, or 0 for a key that is not the scroll bar's.
int sizeAfter(Key key, int size)
{
    switch (key) {
    case Key::Left:
    case Key::Up:
    case Key::PageUp:
        return std::max(MinSize, size - 1);
    case Key::Right:
    case Key::Down:
    case Key::PageDown:
        return std::min(MaxSide, size + 1);
    case Key::Home:
        return MinSize;
    case Key::End:
        return MaxSide;
    default:
        return 0;
    }
}

} // namespace

void Game::pressButton(int button, DevicePoint at, double ratio)
{
    m_pointer.press(m_board, button, at, ratio);
}

Update Game::releaseButton(int button, DevicePoint at, double ratio)
{
    return play(m_pointer.release(m_board, button, at, ratio), false);
}

void Game::touchDown(int id, DevicePoint at, double ratio)
{
    m_touch.down(m_board, id, at, ratio);
}

void Game::touchMoved(int id, DevicePoint at, double density)
{
    m_touch.moved(id, at, density);
}

Update Game::touchHeld(int id)
{
    return play(m_touch.held(m_board, id), false);
}

Update Game::touchUp(int id)
{
    return play(m_touch.up(m_board, id), false);
}

void Game::touchCancelled(int id)
{
    m_touch.cancel(id);
}

Update Game::changeSize(int value)
{
    Update update;
    update.refresh = virurad::changeSize(m_board, value);
    if (!update.refresh.wholeBoard)
        return update;
    m_cursor.newGame();
    // The scroll bar's own value is all a screen reader would say, and the last game is gone.
    update.announcement = newGameAnnouncement(m_board);
    // The cell that had the focus belonged to the last game.
    update.cursorMoved = m_boardFocused;
    return update;
}

Update Game::key(Control at, KeyPress press)
{
    press.repeat |= press.key == m_released.key && m_released.time != 0 &&
                    press.time - m_released.time <= RepeatMilliseconds;
    if (press.command) {
        // The scroll bar would otherwise take such keys in its toolkit's own way.
        const bool scrollKey = press.key != Key::Tab && sizeAfter(press.key, MaxSide) != 0;
        Update update;
        update.handled = at == Control::SizeScroll && scrollKey;
        return update;
    }
    if (press.key == Key::Tab) {
        Update update;
        update.focus = nextFocus(at, press.shift);
        update.handled = true;
        return update;
    }
    if (at == Control::Board)
        return boardKey(press);
    if (at == Control::SizeScroll)
        return sizeKey(press);
    Update update;
    if (at == Control::Test && press.key == Key::Enter) {
        // Only a fresh press: a held key's repeats would open the box again as each one closed.
        update.check = !press.repeat;
        update.handled = true;
    }
    return update;
}

void Game::keyReleased(Key key, unsigned long time)
{
    m_released.key = key;
    m_released.time = time;
}

Update Game::boardKey(KeyPress press)
{
    const BoardKey key = boardKeyOf(press.key);
    Update update;
    if (key == BoardKey::None)
        return update;
    update.handled = true;
    // A held arrow keeps moving; a held Space or M would put a chip down and take it up again.
    if (press.repeat && (key == BoardKey::Place || key == BoardKey::Mark))
        return update;
    const KeyPlay keyPlay = m_cursor.press(m_board, key);
    if (keyPlay.from == Refresh::NoCell) {
        update = play(keyPlay.refresh, true);
        update.handled = true;
        return update;
    }
    moveRing(update, keyPlay.from);
    update.cursorMoved = true;
    return update;
}

Update Game::sizeKey(KeyPress press)
{
    const int size = sizeAfter(press.key, m_board.size());
    if (size == 0)
        return {};
    Update update = changeSize(size);
    update.handled = true;
    return update;
}

Update Game::cellAction(int k, MouseButton button)
{
    return play(virurad::releaseButton(m_board, k, int(button)), true);
}

Update Game::focusCell(int k)
{
    if (!m_board.isShown(k))
        return {};
    const int from = focusedCell();
    m_cursor.moveTo(m_board, k);
    m_boardFocused = true;
    Update update;
    moveRing(update, from);
    update.cursorMoved = true;
    update.focus = Control::Board;
    return update;
}

Update Game::boardFocus(bool has)
{
    Update update;
    if (has == m_boardFocused)
        return update;
    if (has && !boardTakesFocus()) {
        update.focus = FirstFocus;
        return update;
    }
    const int from = focusedCell();
    m_boardFocused = has;
    moveRing(update, from);
    update.cursorMoved = has;
    return update;
}

Update Game::setScreenReader(bool running)
{
    Update update;
    if (running == m_screenReader)
        return update;
    m_screenReader = running;
    if (!running && m_boardFocused)
        update.focus = FirstFocus;
    return update;
}

Update Game::setLook(const Look &look)
{
    Update update;
    update.restyled = look != m_look;
    m_look = look;
    return update;
}

Control Game::nextFocus(Control from, bool backwards) const
{
    // The order the window was designed with; the board takes its place only while it takes the
    // keyboard, though a page's screen reader may still put the keyboard on it.
    static constexpr std::array<Control, 3> order{Control::Board, Control::SizeScroll,
                                                  Control::Test};
    const auto at = std::find(order.begin(), order.end(), from);
    int i = at == order.end() ? (backwards ? 0 : -1) : int(at - order.begin());
    const int n = int(order.size()), step = backwards ? n - 1 : 1;
    do
        i = (i + step + n) % n;
    while (order[std::size_t(i)] == Control::Board && !boardTakesFocus());
    return order[std::size_t(i)];
}

Update Game::play(const Refresh &refresh, bool announced) const
{
    Update update;
    update.refresh = refresh;
    if (announced && refresh.cell != Refresh::NoCell)
        update.announcement = playAnnouncement(m_board, refresh.cell);
    return update;
}

void Game::moveRing(Update &update, int from) const
{
    if (from != focusedCell())
        update.ring = {from, focusedCell()};
}

} // namespace virurad
