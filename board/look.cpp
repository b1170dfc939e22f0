// The colours of each look.
#include "look.h"

#include "chip_board.h"

namespace virurad {

Colours coloursFor(const Look &look)
{
    if (look.hasPalette) {
        // Every line and shape in the palette's text colour on its window colour, which the
        // player chose to tell apart; the keyboard's cell in the highlight, as the system shows it.
        const Palette &p = look.palette;
        return {.window = p.window,
                .cellBorder = p.windowText,
                .empty = p.window,
                .marked = p.window,
                .chip = p.windowText,
                .ring = p.highlight,
                .markSign = true,
                .sign = p.windowText,
                .sizeLabel = p.window,
                .sizeLabelText = p.windowText,
                .checkFace = p.buttonFace,
                .checkText = p.buttonText};
    }
    // Yellow on white is hardly seen: with more contrast asked for, a marked cell also carries a
    // dark cross. The other colours already stand out from white.
    return {.window = WindowGreen,
            .cellBorder = CellBorder,
            .empty = toRgb(CellColour::White),
            .marked = toRgb(CellColour::Yellow),
            .chip = ChipBrown,
            .ring = FocusRing,
            .markSign = look.moreContrast,
            .sign = FixedInk,
            .sizeLabel = SizeLabelBackground,
            .sizeLabelText = FixedInk,
            .checkFace = CheckButtonFace,
            .checkText = FixedInk};
}

} // namespace virurad
