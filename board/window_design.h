// How the game's window looks, the same in every front end: its size, colours, controls and fonts.
#pragma once

#include "chip_board.h"

#include <string_view>

namespace virurad {

inline constexpr std::string_view WindowTitle = "Vir Urad Izuva?";

// The window's fixed client area at 96 dots per inch: the board and a column beside it.
inline constexpr int WindowWidth = 688;
inline constexpr int WindowHeight = BoardPixels;

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

inline constexpr Rgb WindowGreen{192, 255, 192};
inline constexpr Rgb ChipBrown{192, 64, 0};
inline constexpr Rgb CellBorder{0, 0, 0};
inline constexpr Rgb CheckButtonFace{255, 128, 128};
inline constexpr Rgb SizeLabelBackground{255, 255, 255};
// Text on a background the game fixes (the size label's white, the button's salmon) is this
// dark ink, never the theme's text colour, which a dark theme makes light.
inline constexpr Rgb FixedInk{0, 0, 0};
// The keyboard's cell cursor on the board, for players who also see a little.
inline constexpr Rgb FocusRing{0, 0, 0};

constexpr Rgb toRgb(CellColour c)
{
    return {c.red, c.green, c.blue};
}

// A face the window was designed with, and the metric-compatible face that Debian ships for it.
struct FontDesign {
    std::string_view face;
    std::string_view standIn;
    double points;
    int weight;               // 400 regular, 700 bold
    std::string_view generic; // the kind of face to fall back on: "sans-serif" or "serif"
};

inline constexpr FontDesign SizeLabelFont{"MS Sans Serif", "Liberation Sans", 13.5, 700,
                                          "sans-serif"};
inline constexpr FontDesign CountLabelFont{"MS Sans Serif", "Liberation Sans", 13.5, 400,
                                           "sans-serif"};
inline constexpr FontDesign CheckButtonFont{"Times New Roman", "Liberation Serif", 12, 700,
                                            "serif"};

// The side controls start where the board ends; each is 89 pixels wide, so the last pixel
// column of each lies just past the window's edge, as the window was designed.
inline constexpr int ColumnLeft = BoardPixels;
inline constexpr int ColumnWidth = 89;
inline constexpr PixelRect SizeScrollRect{ColumnLeft, 120, ColumnWidth, 17};
inline constexpr PixelRect SizeLabelRect{ColumnLeft, 144, ColumnWidth, 25};
inline constexpr PixelRect CountLabelRect{ColumnLeft, 272, ColumnWidth, 49};
inline constexpr PixelRect CheckButtonRect{ColumnLeft, 448, ColumnWidth, 33};

inline constexpr std::string_view CheckButtonCaption = "Check Me!";

} // namespace virurad
