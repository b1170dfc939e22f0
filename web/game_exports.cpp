// The game's window in WebAssembly: the page hands the game each player event and shows what
// comes back on a canvas it lends, two captions, a table of cells for screen readers and a box.
#include "accessible_texts.h"
#include "device_pixels.h"
#include "game_view.h"
#include "line_check.h"

#include <emscripten/emscripten.h>

#include <string>
#include <string_view>

// What the page does for the game, imported from its object "page". Texts are UTF-8, given by
// where they start in the module's memory and how many bytes they take; they last for the call.
// clang-format off
#define PAGE_FUNCTION(name) __attribute__((import_module("page"), import_name(#name))) void name
extern "C" {
PAGE_FUNCTION(fillRect)(int left, int top, int width, int height, int red, int green, int blue);
PAGE_FUNCTION(fillDisc)(int left, int top, int width, int height, int red, int green, int blue);
PAGE_FUNCTION(setBoardPixels)(int side);
PAGE_FUNCTION(setSize)(const char *text, int length, int value);
PAGE_FUNCTION(setCount)(const char *text, int length);
PAGE_FUNCTION(setBoardDescription)(const char *text, int length);
PAGE_FUNCTION(showMessageBox)(const char *title, int titleLength, const char *text, int textLength,
                              const char *icon, int iconLength);
// The table of cells screen readers read in place of the canvas: replaceCells empties it for a
// new game, showCell places cell k (column and row counted from 0) over its painted square, in
// device pixels, and names it; focusCell gives it the keyboard; announce has a text said.
PAGE_FUNCTION(replaceCells)();
PAGE_FUNCTION(showCell)(int k, int column, int row, int left, int top, int width, int height,
                        const char *name, int nameLength);
PAGE_FUNCTION(focusCell)(int k);
PAGE_FUNCTION(announce)(const char *text, int length);
// The keyboard goes to a control of the window (a Control's number).
PAGE_FUNCTION(focusControl)(int control);
}
// clang-format on

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

// The page's window: the one game, and the density it is painted at.
struct Form1 final : GameView {
    Game game;
    double ratio = 1;
    // Nothing is named or placed for screen readers until the page has built its table.
    bool cellsShown = false;

    void showUpdate(const Update &update) { virurad::show(game, update, ratio, *this); }

    // A canvas keeps what is drawn on it, so the changed pixels are painted at once.
    void repaintBoard(int, const PixelRect &area) override
    {
        PageCanvas canvas;
        paintGame(game, ratio, area, canvas);
    }
    void showSize(std::string_view caption, int value) override
    {
        setSize(caption.data(), int(caption.size()), value);
    }
    void showCount(std::string_view caption) override
    {
        setCount(caption.data(), int(caption.size()));
    }
    void describeBoard(std::string_view description) override
    {
        setBoardDescription(description.data(), int(description.size()));
    }
    void cellChanged(int k) override
    {
        if (!cellsShown)
            return;
        const std::string name = cellName(game.board(), k);
        const PixelRect r = deviceCellRect(game.board(), k, ratio);
        ::showCell(k, cellColumn(k), cellRow(k), r.left, r.top, r.width, r.height, name.data(),
                   int(name.size()));
    }
    // Row by row, each from its first column, as the page's table lists them.
    void cellsReplaced() override
    {
        if (!cellsShown)
            return;
        replaceCells();
        const int size = game.board().size();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                cellChanged(CellIndex(x, y));
    }
    void focusCell(int k) override { ::focusCell(k); }
    void announce(std::string_view text) override { ::announce(text.data(), int(text.size())); }
    void focusControl(Control control) override { ::focusControl(int(control)); }
    void check() override
    {
        const CheckResult result = RunCheck(game.board());
        const std::string_view icon =
            result.icon == CheckResult::Icon::Error ? "error" : "information";
        showMessageBox(result.title.data(), int(result.title.size()), result.text.data(),
                       int(result.text.size()), icon.data(), int(icon.size()));
    }
};

Form1 window;

Rgb rgbOf(unsigned colour)
{
    return {std::uint8_t(colour >> 16), std::uint8_t(colour >> 8), std::uint8_t(colour)};
}

} // namespace

// The player's events, one function each. Points are in device pixels of the window's client
// area; buttons are the game's numbers (1 left, 2 right, 4 middle); keys and controls are the
// game's Key and Control numbers, which the page has from the design.
extern "C" {

// Paints the board at `ratio` device pixels to a layout pixel: at the start, beside the captions
// the page already shows, and whenever the window is scaled anew or changes screens.
EMSCRIPTEN_KEEPALIVE void showWindow(double ratio)
{
    window.ratio = ratio > 0 ? ratio : 1;
    setBoardPixels(deviceBoardPixels(window.ratio));
    Update update;
    update.refresh.wholeBoard = true;
    window.showUpdate(update);
}

EMSCRIPTEN_KEEPALIVE void buttonPressed(int button, double x, double y)
{
    window.game.pressButton(button, {x, y}, window.ratio);
}

EMSCRIPTEN_KEEPALIVE void buttonReleased(int button, double x, double y)
{
    window.showUpdate(window.game.releaseButton(button, {x, y}, window.ratio));
}

// A finger or a pen's tip, told apart from other fingers by `id`. The page starts a timer of
// the design's long press at each touchDown and calls touchHeld when it fires, unless the finger
// lifted or was cancelled first; `density` is device pixels to a screen pixel.
EMSCRIPTEN_KEEPALIVE void touchDown(int id, double x, double y)
{
    window.game.touchDown(id, {x, y}, window.ratio);
}

EMSCRIPTEN_KEEPALIVE void touchMoved(int id, double x, double y, double density)
{
    window.game.touchMoved(id, {x, y}, density);
}

EMSCRIPTEN_KEEPALIVE void touchHeld(int id)
{
    window.showUpdate(window.game.touchHeld(id));
}

EMSCRIPTEN_KEEPALIVE void touchUp(int id)
{
    window.showUpdate(window.game.touchUp(id));
}

EMSCRIPTEN_KEEPALIVE void touchCancelled(int id)
{
    window.game.touchCancelled(id);
}

// The pointer moved the scroll bar to `value`.
EMSCRIPTEN_KEEPALIVE void sizeChanged(int value)
{
    window.showUpdate(window.game.changeSize(value));
}

// A key went down on `control`; true if it was the game's, which the browser must then leave.
EMSCRIPTEN_KEEPALIVE int keyDown(int control, int key, int shift, int command, int repeat)
{
    const Update update =
        window.game.key(Control(control), {Key(key), shift != 0, command != 0, repeat != 0});
    window.showUpdate(update);
    return update.handled;
}

// The page has built its table for screen readers: every cell is placed and named in it now,
// and again whenever it changes.
EMSCRIPTEN_KEEPALIVE void showCells()
{
    if (window.cellsShown)
        return;
    window.cellsShown = true;
    window.cellsReplaced();
}

// A screen reader's action on cell k of the table: the release of that game button on it.
EMSCRIPTEN_KEEPALIVE void cellAction(int k, int button)
{
    window.showUpdate(window.game.cellAction(k, MouseButton(button)));
}

// Cell k of the table took the keyboard, which only a screen reader gives it.
EMSCRIPTEN_KEEPALIVE void cellFocused(int k)
{
    window.showUpdate(window.game.focusCell(k));
}

// The table lost the keyboard to something outside it.
EMSCRIPTEN_KEEPALIVE void boardBlurred()
{
    window.showUpdate(window.game.boardFocus(false));
}

// The look the browser asks for; with a palette, its colours as 0xRRGGBB: window, window text,
// highlight, button face and button text.
EMSCRIPTEN_KEEPALIVE void setLook(int more, int hasPalette, unsigned window_, unsigned text,
                                  unsigned highlight, unsigned face, unsigned faceText)
{
    const Palette palette{rgbOf(window_), rgbOf(text), rgbOf(highlight), rgbOf(face),
                          rgbOf(faceText)};
    window.showUpdate(window.game.setLook({more != 0, hasPalette != 0, palette}));
}

EMSCRIPTEN_KEEPALIVE void checkClicked()
{
    window.check();
}
}
