// The game's one board and its design, exported to the page's script as plain C functions.
#include "accessible_texts.h"
#include "device_pixels.h"
#include "game_events.h"
#include "line_check.h"
#include "window_design.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

ChipBoard board;
CheckResult lastCheck;
std::string text; // the last text handed out; the script copies it before the next call

const char *handOut(std::string_view s)
{
    text.assign(s.begin(), s.end());
    return text.c_str();
}

// One number for the script: bits 0..9 the cell to redraw plus one (0 for none), then one bit
// each for the whole board, the size caption and the count caption.
int packed(const Refresh &r)
{
    return (r.cell + 1) | (r.wholeBoard ? 1 << 10 : 0) | (r.sizeCaption ? 1 << 11 : 0) |
           (r.countCaption ? 1 << 12 : 0);
}

int rgb(Rgb c)
{
    return c.red << 16 | c.green << 8 | c.blue;
}

int field(const PixelRect &r, int i)
{
    const int fields[] = {r.left, r.top, r.width, r.height};
    return i >= 0 && i < 4 ? fields[i] : 0;
}

const FontDesign &font(int id)
{
    return id == 0 ? SizeLabelFont : id == 1 ? CountLabelFont : CheckButtonFont;
}

const PixelRect &control(int id)
{
    static const PixelRect rects[] = {SizeScrollRect, SizeLabelRect, CountLabelRect,
                                      CheckButtonRect};
    return rects[id >= 0 && id < 4 ? id : 0];
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int releaseButtonOn(int k, int button)
{
    return packed(releaseButton(board, k, button));
}

EMSCRIPTEN_KEEPALIVE int wholeWindow()
{
    return packed(WholeWindow);
}

EMSCRIPTEN_KEEPALIVE int changeSizeTo(int value)
{
    return packed(changeSize(board, value));
}

EMSCRIPTEN_KEEPALIVE int boardSize()
{
    return board.size();
}

EMSCRIPTEN_KEEPALIVE int cellAtPoint(double x, double y, double ratio)
{
    return cellAtDevicePixel(board, x, y, ratio);
}

// How cell k is drawn in device pixels, as 13 numbers: the cell, its inside within the
// one-pixel border, and its chip (empty without one), each as left, top, width, height; then the
// inside's colour. One call a cell keeps a whole board's drawing quick.
EMSCRIPTEN_KEEPALIVE const int *cellDrawing(int k, double ratio)
{
    static int drawing[13];
    const PixelRect cell = board.cellPixelRect(k);
    const PixelRect parts[] = {
        cell,
        {cell.left + 1, cell.top + 1, cell.width - 2, cell.height - 2},
        board.hasChip(k) ? board.chipPixelRect(k) : PixelRect{},
    };
    for (int part = 0; part < 3; ++part)
        for (int i = 0; i < 4; ++i)
            drawing[part * 4 + i] = field(devicePixelRect(parts[part], ratio), i);
    drawing[12] = rgb(toRgb(board.colour(k)));
    return drawing;
}

EMSCRIPTEN_KEEPALIVE int deviceBoardSide(double ratio)
{
    return deviceBoardPixels(ratio);
}

EMSCRIPTEN_KEEPALIVE const char *sizeCaption()
{
    return handOut(board.sizeCaption());
}

EMSCRIPTEN_KEEPALIVE const char *countCaption()
{
    return handOut(board.countCaption());
}

EMSCRIPTEN_KEEPALIVE const char *boardText()
{
    return handOut(boardDescription(board));
}

// Runs the check; 1 for the information icon, 0 for the critical one.
EMSCRIPTEN_KEEPALIVE int runCheck()
{
    lastCheck = RunCheck(board);
    return lastCheck.icon == CheckResult::Icon::Information;
}

EMSCRIPTEN_KEEPALIVE const char *checkTitle()
{
    return handOut(lastCheck.title);
}

EMSCRIPTEN_KEEPALIVE const char *checkText()
{
    return handOut(lastCheck.text);
}

// The design, for the page to lay itself out by. Texts: 0 title, 1 button caption, 2 scroll
// bar's name, 3 and 4 the labels' descriptions, 5 the board's name.
EMSCRIPTEN_KEEPALIVE const char *designText(int id)
{
    const std::string_view texts[] = {WindowTitle,          CheckButtonCaption,    SizeScrollName,
                                      SizeLabelDescription, CountLabelDescription, BoardName};
    return handOut(id >= 0 && id < 6 ? texts[id] : "");
}

// Controls 0..3: SizeScroll, SizeOf, Number, Test.
EMSCRIPTEN_KEEPALIVE int controlRect(int id, int i)
{
    return field(control(id), i);
}

// 0 window, 1 chip, 2 cell border, 3 button face, 4 size label.
EMSCRIPTEN_KEEPALIVE int designRgb(int id)
{
    const Rgb colours[] = {WindowGreen, ChipBrown, CellBorder, CheckButtonFace,
                           SizeLabelBackground};
    return rgb(colours[id >= 0 && id < 5 ? id : 0]);
}

// Fonts 0..2: SizeOf, Number, Test; as a CSS font shorthand, designed face first.
EMSCRIPTEN_KEEPALIVE const char *designFont(int id)
{
    const FontDesign &f = font(id);
    return handOut(std::to_string(f.weight) + " " + std::to_string(f.points * 4 / 3) + "px \"" +
                   std::string(f.face) + "\", \"" + std::string(f.standIn) + "\", " +
                   (f.face == SizeLabelFont.face ? "sans-serif" : "serif"));
}

EMSCRIPTEN_KEEPALIVE int windowSide(int i)
{
    return i == 0 ? WindowWidth : WindowHeight;
}

EMSCRIPTEN_KEEPALIVE int sizeLimit(int i)
{
    return i == 0 ? MinSize : MaxSide;
}
}
