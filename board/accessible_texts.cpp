// The sentences a screen reader reads for the board.
#include "accessible_texts.h"

#include "window_design.h"

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

// The scroll bar's name, and what the label beside it shows.
constexpr std::string_view SizeName = "Board size";

AccessibleText accessibleText(const ChipBoard &board, Control control)
{
    const Role role = roleOf(control);
    switch (control) {
    case Control::Board:
        return {role, "Board", boardDescription(board), ""};
    case Control::SizeScroll:
        // The size as a number, as a scroll bar's value is read; the size label says it whole.
        return {role, std::string(SizeName), "", std::to_string(board.size())};
    case Control::SizeOf:
        return {role, board.sizeCaption(), std::string(SizeName), ""};
    case Control::Number:
        return {role, board.countCaption(), "Chips placed", ""};
    case Control::Test:
        return {role, std::string(CheckButtonCaption), "", ""};
    default:
        return {};
    }
}

Role roleOf(Control control)
{
    switch (control) {
    case Control::Board:
        return Role::Table;
    case Control::SizeScroll:
        return Role::ScrollBar;
    case Control::Test:
        return Role::Button;
    default:
        return Role::Label;
    }
}

} // namespace virurad
