// The sentences a screen reader reads for the board.
#include "accessible_texts.h"

namespace virurad {

namespace {

// "1 chip", "0 chips", "2 marked cells".
std::string countOf(int n, std::string_view thing)
{
    std::string text = std::to_string(n) + ' ' + std::string(thing);
    return n == 1 ? text : text + 's';
}

} // namespace

std::string boardDescription(const ChipBoard &board)
{
    // A mark changes no count the window shows, but it does change this.
    return board.sizeCaption() + " board, " + countOf(board.chipCount(), "chip") + ", " +
           countOf(board.markCount(), "marked cell");
}

std::string cellName(const ChipBoard &board, int k)
{
    if (!board.isShown(k))
        return {};
    const char *holds = board.hasChip(k)                        ? "chip"
                        : board.colour(k) == CellColour::Yellow ? "marked"
                                                                : "empty";
    return "column " + std::to_string(cellColumn(k) + 1) + ", row " +
           std::to_string(cellRow(k) + 1) + ", " + holds;
}

std::string playAnnouncement(const ChipBoard &board, int k)
{
    const int n = board.chipCount();
    return cellName(board, k) + ", " + std::to_string(n) + (n == 1 ? " chip" : " chips") +
           " on the board";
}

std::string newGameAnnouncement(const ChipBoard &board)
{
    return "New game, " + board.sizeCaption();
}

} // namespace virurad
