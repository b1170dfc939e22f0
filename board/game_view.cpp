// The one order in which every window shows what an event changed.
#include "game_view.h"

#include "accessible_texts.h"
#include "device_pixels.h"

namespace virurad {

namespace {

void showPixels(const Game &game, const Update &update, double ratio, GameView &view)
{
    const ChipBoard &board = game.board();
    const Refresh &refresh = update.refresh;
    if (refresh.wholeBoard || update.restyled) {
        const int side = deviceBoardPixels(ratio);
        view.repaintBoard(Refresh::NoCell, {0, 0, side, side});
        return;
    }
    if (board.isShown(refresh.cell))
        view.repaintBoard(refresh.cell, deviceCellRect(board, refresh.cell, ratio));
    for (const int k : update.ring)
        if (board.isShown(k) && k != refresh.cell)
            view.repaintBoard(k, deviceCellRect(board, k, ratio));
}

} // namespace

void show(const Game &game, const Update &update, double ratio, GameView &view)
{
    const ChipBoard &board = game.board();
    const Refresh &refresh = update.refresh;
    if (refresh.sizeCaption)
        view.showSize(board.sizeCaption(), board.size());
    if (refresh.countCaption)
        view.showCount(board.countCaption());
    showPixels(game, update, ratio, view);
    if (refresh.wholeBoard || refresh.cell != Refresh::NoCell)
        view.describeBoard(boardDescription(board));
    if (board.isShown(refresh.cell) && !refresh.wholeBoard)
        view.cellChanged(refresh.cell);
    // Said before a new game takes away the cells a screen reader holds: the news of each gone
    // cell floods a screen reader, which then lets pass what comes after it.
    if (!update.announcement.empty())
        view.announce(update.announcement);
    if (refresh.wholeBoard)
        view.cellsReplaced();
    if (update.cursorMoved && game.focusedCell() != Refresh::NoCell)
        view.focusCell(game.focusedCell());
    if (update.focus != Control::None)
        view.focusControl(update.focus);
    if (update.check)
        view.check();
}

void paintGame(const Game &game, double ratio, const PixelRect &area, Canvas &canvas)
{
    paintBoard(game.board(), ratio, area, canvas, game.focusedCell(), coloursFor(game.look()));
}

} // namespace virurad
