// How the window looks: as designed, or with more contrast for players who see poorly, in the
// game's own colours or in the palette the player chose for their whole system.
#pragma once

#include "window_design.h"

namespace virurad {

// A system's palette for more contrast, in its own terms: Windows' contrast themes and the page's
// forced colours both name these.
struct Palette {
    Rgb window;     // a window's background (Windows' COLOR_WINDOW, CSS Canvas)
    Rgb windowText; // text on it (COLOR_WINDOWTEXT, CanvasText)
    Rgb highlight;  // what has the keyboard (COLOR_HIGHLIGHT, Highlight)
    Rgb buttonFace; // a button's face (COLOR_BTNFACE, ButtonFace)
    Rgb buttonText; // text on it (COLOR_BTNTEXT, ButtonText)

    friend bool operator==(const Palette &, const Palette &) = default;
};

// What the system asks for. With a palette the whole window takes it; with more contrast and no
// palette (a desktop's high-contrast switch, a phone's "increase contrast") the game keeps its
// own colours and adds what those lack.
struct Look {
    bool moreContrast = false;
    bool hasPalette = false;
    Palette palette{};

    friend bool operator==(const Look &, const Look &) = default;
};

// Every colour the window draws in a look.
struct Colours {
    Rgb window;     // around the side controls
    Rgb cellBorder; // the grid's lines
    Rgb empty;      // inside an empty cell
    Rgb marked;     // inside a marked cell
    Rgb chip;
    Rgb ring;      // the keyboard's cell
    bool markSign; // a marked cell also shows a cross, so that a mark is told by its shape too
    Rgb sign;      // the cross
    Rgb sizeLabel; // SizeOf's background and text; Number always has the system's own
    Rgb sizeLabelText;
    Rgb checkFace; // Check Me!'s face and text
    Rgb checkText;
};

Colours coloursFor(const Look &look);

} // namespace virurad
