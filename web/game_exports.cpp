// The game's window in WebAssembly: the page hands it each player event and lends it a canvas,
// two captions and a message box; the board decides what an event means and what it looks like.
#include "accessible_texts.h"
#include "board_painting.h"
#include "cell_cursor.h"
#include "device_pixels.h"
#include "game_events.h"
#include "line_check.h"
#include "touch_pointer.h"

#include <emscripten/emscripten.h>

#include <string>
#include <string_view>

// What the page does for the game, imported from its object "page". Texts are UTF-8, given by
// where they start in the module's memory and how many bytes they take; they last for the call.
#define PAGE_FUNCTION(name) __attribute__((import_module("page"), import_name(#name))) void name
extern "C" {
PAGE_FUNCTION(fillRect)(int left, int top, int width, int height, int red, int green, int blue);
PAGE_FUNCTION(fillDisc)(int left, int top, int width, int height, int red, int green, int blue);
PAGE_FUNCTION(setBoardPixels)(int side);
PAGE_FUNCTION(setSizeCaption)(const char *text, int length);
PAGE_FUNCTION(setCountCaption)(const char *text, int length);
PAGE_FUNCTION(setBoardDescription)(const char *text, int length);
PAGE_FUNCTION(showMessageBox)(const char *title, int titleLength, const char *text, int textLength,
                              const char *icon, int iconLength);
// The grid of cells that screen readers read in place of the canvas, once the page has built it:
// startCells empties it for a new game, showCell places cell k (column and row counted from 0)
// over its painted square, in device pixels, and names it; announce has screen readers say a text.
PAGE_FUNCTION(startCells)();
PAGE_FUNCTION(showCell)(int k, int column, int row, int left, int top, int width, int height,
                        const char *name, int nameLength);
PAGE_FUNCTION(announce)(const char *text, int length);
}

namespace {

using namespace virurad;

struct PageCanvas final : Canvas {
    void fillRect(const PixelRect &r, Rgb c) override
    {
        ::fillRect(r.left, r.top, r.width, r.height, c.red, c.green, c.blue);
    }
    void fillDisc(const PixelRect &r, Rgb c) override
    {
        ::fillDisc(r.left, r.top, r.width, r.height, c.red, c.green, c.blue);
    }
};

void say(const std::string &text)
{
    announce(text.data(), int(text.size()));
}

// The page's window: the one game, its mouse, its fingers, its keyboard's cell cursor, and the
// density it is painted at.
struct Form1 final : GameView {
    ChipBoard board;
    Pointer pointer;
    TouchPointer touch;
    CellCursor cursor;
    double ratio = 1;
    // The cursor's cell while a cell of the page's grid has the keyboard focus, which only a
    // screen reader gives it; the ring shows there, as in the other windows.
    int ringCell = Refresh::NoCell;
    // Nothing is named or placed for screen readers until the page has built its grid.
    bool cellsShown = false;

    // A canvas keeps what is drawn on it, so the changed pixels are painted at once.
    void repaintBoard(int, const PixelRect &area) override
    {
        PageCanvas canvas;
        paintBoard(board, ratio, area, canvas, ringCell);
    }
    void showSizeCaption(std::string_view text) override
    {
        setSizeCaption(text.data(), int(text.size()));
    }
    void showCountCaption(std::string_view text) override
    {
        setCountCaption(text.data(), int(text.size()));
    }

    void show(const Refresh &refresh)
    {
        if (refresh == Refresh{})
            return;
        showChanges(board, refresh, ratio, *this);
        // A mark changes no caption, but it does change what a screen reader hears of the board.
        const std::string description = boardDescription(board);
        setBoardDescription(description.data(), int(description.size()));
        if (!cellsShown)
            return;
        if (refresh.wholeBoard)
            showCells();
        else if (refresh.cell != Refresh::NoCell)
            showCell(refresh.cell);
    }

    void showCell(int k)
    {
        const std::string name = cellName(board, k);
        const PixelRect r = deviceCellRect(board, k, ratio);
        ::showCell(k, cellColumn(k), cellRow(k), r.left, r.top, r.width, r.height, name.data(),
                   int(name.size()));
    }
    // Row by row, each from its first column, as the page's grid lists them.
    void showCells()
    {
        for (int y = 0; y < board.size(); ++y)
            for (int x = 0; x < board.size(); ++x)
                showCell(CellIndex(x, y));
    }

    void moveRing(int k)
    {
        const int from = ringCell;
        ringCell = k;
        for (const int cell : {from, k})
            if (cell != Refresh::NoCell)
                repaintBoard(cell, deviceCellRect(board, cell, ratio));
    }

    // A play through the grid or the keyboard, which a screen reader's user hears at once.
    void showPlay(const Refresh &refresh)
    {
        show(refresh);
        if (refresh.cell != Refresh::NoCell)
            say(playAnnouncement(board, refresh.cell));
    }

    void newGame()
    {
        cursor.newGame();
        ringCell = Refresh::NoCell;
        if (cellsShown)
            startCells();
    }
};

Form1 window;

void showCheck(const CheckResult &result)
{
    const std::string_view icon =
        result.icon == CheckResult::Icon::Error ? "error" : "information";
    showMessageBox(result.title.data(), int(result.title.size()), result.text.data(),
                   int(result.text.size()), icon.data(), int(icon.size()));
}

} // namespace

// The player's events, one function each. Points are in device pixels of the window's client
// area; buttons are the game's numbers (1 left, 2 right, 4 middle).
extern "C" {

// Paints the board at `ratio` device pixels to a layout pixel: at the start, where the page
// already shows the captions a new window starts with, and again whenever the window is scaled
// anew or moves to a screen of another density. The game itself is left as it is.
EMSCRIPTEN_KEEPALIVE void showWindow(double ratio)
{
    window.ratio = ratio > 0 ? ratio : 1;
    setBoardPixels(deviceBoardPixels(window.ratio));
    window.show(Refresh{Refresh::NoCell, true, false, false});
}

EMSCRIPTEN_KEEPALIVE void buttonPressed(int button, double x, double y)
{
    window.pointer.press(window.board, button, {x, y}, window.ratio);
}

EMSCRIPTEN_KEEPALIVE void buttonReleased(int button, double x, double y)
{
    window.show(window.pointer.release(window.board, button, {x, y}, window.ratio));
}

// A finger or a pen's tip, told apart from other fingers by `id`. The page starts a timer of
// the design's long press at each touchDown and calls touchHeld when it fires, unless the finger
// lifted or was cancelled first; `density` is device pixels to a screen pixel.
EMSCRIPTEN_KEEPALIVE void touchDown(int id, double x, double y)
{
    window.touch.down(window.board, id, {x, y}, window.ratio);
}

EMSCRIPTEN_KEEPALIVE void touchMoved(int id, double x, double y, double density)
{
    window.touch.moved(id, {x, y}, density);
}

EMSCRIPTEN_KEEPALIVE void touchHeld(int id)
{
    window.show(window.touch.held(window.board, id));
}

EMSCRIPTEN_KEEPALIVE void touchUp(int id)
{
    window.show(window.touch.up(window.board, id));
}

EMSCRIPTEN_KEEPALIVE void touchCancelled(int id)
{
    window.touch.cancel(id);
}

EMSCRIPTEN_KEEPALIVE void sizeChanged(int value)
{
    const Refresh refresh = changeSize(window.board, value);
    if (!refresh.wholeBoard)
        return;
    window.newGame();
    window.show(refresh);
    if (window.cellsShown)
        say(newGameAnnouncement(window.board));
}

// The page has built its grid for screen readers: every cell is placed and named in it now, and
// again whenever it changes.
EMSCRIPTEN_KEEPALIVE void showCells()
{
    if (window.cellsShown)
        return;
    window.cellsShown = true;
    startCells();
    window.showCells();
}

// A screen reader's action on cell k of the grid: the release of that game button (1 left, 2
// right) on it.
EMSCRIPTEN_KEEPALIVE void playCell(int k, int button)
{
    window.showPlay(releaseButton(window.board, k, button));
}

// Cell k of the grid took the keyboard focus, or, for any index that is no cell on the board,
// the grid lost it: the cursor and its ring follow.
EMSCRIPTEN_KEEPALIVE void cellFocused(int k)
{
    window.cursor.moveTo(window.board, k);
    window.moveRing(window.board.isShown(k) ? window.cursor.cell() : Refresh::NoCell);
}

// A key on the focused cell, as the board numbers them (BoardKey). Returns the cell the cursor
// is on afterwards, which the page gives the focus, or -1 for a key that is not the board's.
EMSCRIPTEN_KEEPALIVE int cellKey(int key)
{
    const bool boardKey = key >= int(BoardKey::Left) && key <= int(BoardKey::Mark);
    const KeyPlay play =
        window.cursor.press(window.board, boardKey ? BoardKey(key) : BoardKey::None);
    if (!play.used)
        return -1;
    window.showPlay(play.refresh);
    if (play.from != Refresh::NoCell && window.ringCell != Refresh::NoCell)
        window.moveRing(window.cursor.cell());
    return window.cursor.cell();
}

EMSCRIPTEN_KEEPALIVE void checkClicked()
{
    showCheck(RunCheck(window.board));
}
}
