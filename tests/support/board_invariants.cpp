// The rules every state of a game must keep.
#include "board_invariants.h"

namespace support {

using namespace virurad;

std::string brokenInvariant(const ChipBoard &board)
{
    int chips = 0;
    for (int k = 0; k < CellCount; ++k) {
        const bool yellow = board.colour(k) == CellColour::Yellow;
        if (board.hasChip(k) && yellow)
            return "yellow cell " + std::to_string(k) + " holds a chip";
        if (!board.isShown(k) && (board.hasChip(k) || yellow))
            return "cell " + std::to_string(k) + " off the board holds a chip or mark";
        chips += board.hasChip(k) ? 1 : 0;
    }
    if (board.chipCount() != chips)
        return "count " + std::to_string(board.chipCount()) + " with " + std::to_string(chips) +
               " chips standing";
    return {};
}

} // namespace support
