// What a window does, in its toolkit's own way, to show the game anew after an event.
#pragma once

#include "board_painting.h"
#include "game.h"

#include <string_view>

namespace virurad {

class GameView {
  public:
    // The board's pixels within `area` (device pixels) no longer show the game: paint them with
    // paintGame, now or at the toolkit's next paint. `cell` is the one cell that changed, or
    // Refresh::NoCell for more.
    virtual void repaintBoard(int cell, const PixelRect &area) = 0;
    // SizeOf shows `caption`, and the scroll bar `value`.
    virtual void showSize(std::string_view caption, int value) = 0;
    virtual void showCount(std::string_view caption) = 0;

    // For screen readers: the board's one-sentence description; cell k's new name; a new game,
    // whose cells replace every cell a screen reader holds; the accessible focus on cell k; a
    // sentence to say at once.
    virtual void describeBoard(std::string_view description) = 0;
    virtual void cellChanged(int k) = 0;
    virtual void cellsReplaced() = 0;
    virtual void focusCell(int k) = 0;
    virtual void announce(std::string_view text) = 0;

    // The keyboard goes to `control`; Check Me! was pressed by its key.
    virtual void focusControl(Control control) = 0;
    virtual void check() = 0;

  protected:
    ~GameView() = default;
};

// Hands the view what `update` says changed, read from the game, in an order every toolkit takes:
// the captions, the pixels, a changed cell, what screen readers are told, the cells of a new
// game and the accessible focus, then where the keyboard goes. An empty update hands it nothing.
void show(const Game &game, const Update &update, double ratio, GameView &view);

// Paints the game's board within `area` (device pixels at `ratio`), with the focus ring where
// the keyboard is.
void paintGame(const Game &game, double ratio, const PixelRect &area, Canvas &canvas);

} // namespace virurad
