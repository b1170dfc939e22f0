// The one game every window plays: its keys, the keyboard order, what screen readers are told and
// when, and what a window is handed to show after each event.
#include "accessible_texts.h"
#include "game_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace virurad;

namespace {

namespace expected {
constexpr int Cell23 = 2 * 25 + 3; // column 2, row 3: "column 3, row 4"
} // namespace expected

KeyPress press(Key key, bool shift = false)
{
    return {key, shift, false, false};
}

KeyPress held(Key key)
{
    return {key, false, false, true};
}

// A game with a screen reader on and the keyboard on the board, the cursor at column x, row y.
Game onTheBoard(int x = 0, int y = 0)
{
    Game game;
    game.setScreenReader(true);
    game.boardFocus(true);
    for (int i = 0; i < x; ++i)
        game.key(Control::Board, press(Key::Right));
    for (int i = 0; i < y; ++i)
        game.key(Control::Board, press(Key::Down));
    return game;
}

// Writes down everything a window is handed, in order.
class RecordingView : public GameView {
  public:
    void repaintBoard(int cell, const PixelRect &area) override
    {
        note("repaint " + std::to_string(cell) + " at " + std::to_string(area.left) + "," +
             std::to_string(area.top) + " " + std::to_string(area.width) + "x" +
             std::to_string(area.height));
    }
    void showSize(std::string_view caption, int value) override
    {
        note("size \"" + std::string(caption) + "\" " + std::to_string(value));
    }
    void showCount(std::string_view caption) override
    {
        note("count \"" + std::string(caption) + '"');
    }
    void describeBoard(std::string_view text) override
    {
        note("board \"" + std::string(text) + '"');
    }
    void cellChanged(int k) override { note("cell " + std::to_string(k)); }
    void cellsReplaced() override { note("new cells"); }
    void focusCell(int k) override { note("focus cell " + std::to_string(k)); }
    void announce(std::string_view text) override { note("say \"" + std::string(text) + '"'); }
    void focusControl(Control control) override { note("focus " + std::to_string(int(control))); }
    void check() override { note("check"); }

    std::vector<std::string> said;

  private:
    void note(std::string line) { said.push_back(std::move(line)); }
};

} // namespace

TEST(BoardKeys, ArrowsMoveTheCursorAndItsFocusStoppingAtTheEdges)
{
    Game game = onTheBoard();
    ASSERT_EQ(game.focusedCell(), 0);
    // At the top-left corner Left and Up are the board's keys, but go nowhere.
    for (Key key : {Key::Left, Key::Up}) {
        const Update update = game.key(Control::Board, press(key));
        EXPECT_TRUE(update.handled);
        EXPECT_FALSE(update.cursorMoved);
        EXPECT_EQ(game.focusedCell(), 0);
    }
    const Update right = game.key(Control::Board, press(Key::Right));
    EXPECT_TRUE(right.cursorMoved);
    EXPECT_EQ(right.ring, (std::array<int, 2>{0, 25}));
    EXPECT_EQ(right.announcement, "");
    // A held arrow keeps moving.
    game.key(Control::Board, held(Key::Down));
    game.key(Control::Board, held(Key::Down));
    EXPECT_EQ(game.focusedCell(), 27);
}

TEST(BoardKeys, SpaceEnterAndMPlayTheCursorsCellAndSayWhatItHolds)
{
    Game game = onTheBoard(2, 3);
    Update update = game.key(Control::Board, press(Key::Space));
    EXPECT_EQ(update.refresh, (Refresh{expected::Cell23, false, false, true}));
    EXPECT_EQ(update.announcement, "column 3, row 4, chip, 1 chip on the board");
    EXPECT_FALSE(update.cursorMoved);
    update = game.key(Control::Board, press(Key::M, true));
    EXPECT_EQ(update.announcement, "column 3, row 4, marked, 0 chips on the board");
    update = game.key(Control::Board, press(Key::Enter));
    EXPECT_EQ(update.announcement, "column 3, row 4, chip, 1 chip on the board");
    EXPECT_EQ(game.board().chipCount(), 1);
}

TEST(BoardKeys, AHeldPlayingKeyPlaysOnceAndCommandKeysAreNeverTheGames)
{
    Game game = onTheBoard(1, 1);
    game.key(Control::Board, press(Key::Space));
    for (Key key : {Key::Space, Key::Enter, Key::M}) {
        const Update update = game.key(Control::Board, held(key));
        EXPECT_TRUE(update.handled);
        EXPECT_EQ(update.refresh, Refresh{});
    }
    EXPECT_TRUE(game.board().hasChip(1, 1));
    // Ctrl+Right, Ctrl+Space, Alt+M: the desktop's or the screen reader's, not a move or a play.
    for (Key key : {Key::Right, Key::Space, Key::M, Key::Tab}) {
        const Update update = game.key(Control::Board, {key, false, true, false});
        EXPECT_FALSE(update.handled);
        EXPECT_EQ(update.focus, Control::None);
    }
    EXPECT_EQ(game.focusedCell(), 26);
    EXPECT_EQ(game.board().chipCount(), 1);
    // Keys the board has no use for are left to the window.
    for (Key key : {Key::PageUp, Key::Home, Key::Other})
        EXPECT_FALSE(game.key(Control::Board, press(key)).handled);
}

TEST(SizeKeys, EachKeyOneStepOrToAnEndAndEveryNewGameAnnounced)
{
    Game game;
    const std::vector<std::pair<Key, int>> steps{
        {Key::Left, 24},     {Key::Right, 25}, {Key::Up, 24},  {Key::Down, 25}, {Key::PageUp, 24},
        {Key::PageDown, 25}, {Key::Home, 3},   {Key::Left, 3}, {Key::End, 25},  {Key::Right, 25}};
    int size = 25;
    for (auto [key, to] : steps) {
        const Update update = game.key(Control::SizeScroll, press(key));
        EXPECT_TRUE(update.handled);
        EXPECT_EQ(game.board().size(), to);
        const bool changed = to != size;
        EXPECT_EQ(update.refresh.wholeBoard, changed);
        EXPECT_EQ(update.announcement,
                  changed ? "New game, " + std::to_string(to) + "x" + std::to_string(to) : "");
        size = to;
    }
    // With Ctrl held the scroll bar's keys do nothing, and no toolkit does its own thing instead.
    const Update ctrl = game.key(Control::SizeScroll, {Key::Left, false, true, false});
    EXPECT_TRUE(ctrl.handled);
    EXPECT_EQ(game.board().size(), 25);
    EXPECT_FALSE(game.key(Control::SizeScroll, press(Key::Space)).handled);
}

TEST(CheckKey, AFreshEnterPressesCheckMeAndAHeldOneOnlyOnce)
{
    Game game;
    const Update enter = game.key(Control::Test, press(Key::Enter));
    EXPECT_TRUE(enter.check && enter.handled);
    const Update repeat = game.key(Control::Test, held(Key::Enter));
    EXPECT_FALSE(repeat.check);
    EXPECT_TRUE(repeat.handled);
    // Space is the button's own, as the toolkit presses it.
    EXPECT_FALSE(game.key(Control::Test, press(Key::Space)).handled);
    // Enter anywhere else presses nothing.
    EXPECT_FALSE(game.key(Control::SizeScroll, press(Key::Enter)).check);
}

TEST(KeyboardOrder, TheBoardJoinsTheScrollBarAndCheckMeOnlyWithAScreenReader)
{
    Game game;
    using enum Control;
    EXPECT_EQ(FirstFocus, SizeScroll);
    EXPECT_EQ(game.key(SizeScroll, press(Key::Tab)).focus, Test);
    EXPECT_EQ(game.key(Test, press(Key::Tab)).focus, SizeScroll);
    EXPECT_EQ(game.key(SizeScroll, press(Key::Tab, true)).focus, Test);
    // A page's screen reader puts the keyboard on the board though it is out of the order: Tab
    // goes on to the scroll bar, Shift+Tab back round to Check Me!.
    EXPECT_EQ(game.nextFocus(Board, false), SizeScroll);
    EXPECT_EQ(game.nextFocus(Board, true), Test);
    EXPECT_EQ(game.nextFocus(None, false), SizeScroll);

    game.setScreenReader(true);
    const std::vector<std::pair<Control, Control>> forward{
        {Board, SizeScroll}, {SizeScroll, Test}, {Test, Board}};
    for (auto [from, to] : forward) {
        EXPECT_EQ(game.key(from, press(Key::Tab)).focus, to);
        EXPECT_EQ(game.key(to, press(Key::Tab, true)).focus, from);
    }
    EXPECT_EQ(game.nextFocus(None, false), Board);
    EXPECT_EQ(game.nextFocus(SizeOf, true), Test);
}

TEST(Focus, TheBoardTakesTheKeyboardOnlyWhileAScreenReaderRuns)
{
    Game game;
    // Handed the keyboard with no screen reader, the board passes it on.
    Update update = game.boardFocus(true);
    EXPECT_EQ(update.focus, FirstFocus);
    EXPECT_EQ(game.focusedCell(), Refresh::NoCell);

    game.setScreenReader(true);
    update = game.boardFocus(true);
    EXPECT_EQ(update.focus, Control::None);
    EXPECT_TRUE(update.cursorMoved);
    EXPECT_EQ(update.ring, (std::array<int, 2>{Refresh::NoCell, 0}));
    EXPECT_EQ(game.focusedCell(), 0);
    update = game.boardFocus(false);
    EXPECT_EQ(update.ring, (std::array<int, 2>{0, Refresh::NoCell}));
    EXPECT_EQ(game.focusedCell(), Refresh::NoCell);

    // The screen reader stopping sends the keyboard on from the board, and only from there.
    game.boardFocus(true);
    EXPECT_EQ(game.setScreenReader(false).focus, FirstFocus);
    EXPECT_EQ(game.setScreenReader(true).focus, Control::None);
    game.boardFocus(false);
    EXPECT_EQ(game.setScreenReader(false).focus, Control::None);
}

TEST(Focus, AScreenReadersFocusOnACellPutsTheCursorAndTheKeyboardThere)
{
    Game game; // a page's: it never learns that a screen reader runs
    game.changeSize(5);
    Update update = game.focusCell(CellIndex(4, 4));
    EXPECT_EQ(update.focus, Control::Board);
    EXPECT_EQ(game.focusedCell(), CellIndex(4, 4));
    update = game.key(Control::Board, press(Key::Left));
    EXPECT_EQ(update.ring, (std::array<int, 2>{CellIndex(4, 4), CellIndex(3, 4)}));
    // A cell off a 5 x 5 board, or no cell, moves nothing.
    for (int k : {CellIndex(5, 0), CellIndex(0, 5), -1, 625})
        EXPECT_EQ(game.focusCell(k).focus, Control::None) << k;
    EXPECT_EQ(game.focusedCell(), CellIndex(3, 4));
}

TEST(Announcements, AScreenReadersActionIsSaidAndAMousePlayIsNot)
{
    Game game;
    Update update = game.cellAction(expected::Cell23, MouseButton::Left);
    EXPECT_EQ(update.announcement, "column 3, row 4, chip, 1 chip on the board");
    update = game.cellAction(expected::Cell23, MouseButton::Right);
    EXPECT_EQ(update.announcement, "column 3, row 4, marked, 0 chips on the board");
    // A cell off the board, or a button that plays nothing, says nothing.
    game.changeSize(3);
    EXPECT_EQ(game.cellAction(CellIndex(3, 0), MouseButton::Left).announcement, "");
    EXPECT_EQ(game.cellAction(0, MouseButton::Middle).announcement, "");

    // The mouse: pressed and released on cell (1, 1) of 3 x 3, 200 pixels each.
    game.pressButton(1, {300, 300}, 1.0);
    update = game.releaseButton(1, {300, 300}, 1.0);
    EXPECT_EQ(update.refresh.cell, CellIndex(1, 1));
    EXPECT_EQ(update.announcement, "");
}

TEST(Announcements, ANewGameIsSaidAndTakesTheCursorHome)
{
    Game game = onTheBoard(4, 4);
    Update update = game.changeSize(24);
    EXPECT_EQ(update.announcement, "New game, 24x24");
    EXPECT_TRUE(update.cursorMoved);
    EXPECT_EQ(game.focusedCell(), 0);
    // A value the scroll bar already showed wipes nothing and says nothing.
    game.key(Control::Board, press(Key::Space));
    update = game.changeSize(24);
    EXPECT_EQ(update.refresh, Refresh{});
    EXPECT_EQ(update.announcement, "");
    EXPECT_EQ(game.board().chipCount(), 1);
    // Without the keyboard on the board, no cell takes the focus.
    Game away;
    EXPECT_FALSE(away.changeSize(10).cursorMoved);
}

TEST(Showing, APlayIsItsCaptionsPixelsCellAndSentenceInThatOrder)
{
    Game game = onTheBoard(2, 3);
    RecordingView view;
    show(game, game.key(Control::Board, press(Key::Space)), 1.5, view);
    EXPECT_EQ(view.said,
              (std::vector<std::string>{"count \" 1 Chips \"", "repaint 53 at 72,108 36x36",
                                        "board \"25x25 board, 1 chip, 0 marked cells\"", "cell 53",
                                        "say \"column 3, row 4, chip, 1 chip on the board\""}));
    // A mark on an empty cell changes no caption.
    view.said.clear();
    show(game, game.cellAction(0, MouseButton::Right), 1.0, view);
    EXPECT_EQ(view.said,
              (std::vector<std::string>{"repaint 0 at 0,0 24x24",
                                        "board \"25x25 board, 1 chip, 1 marked cell\"", "cell 0",
                                        "say \"column 1, row 1, marked, 1 chip on the board\""}));
}

TEST(Showing, AMoveRepaintsBothRingsAndFocusesTheNewCell)
{
    Game game = onTheBoard();
    RecordingView view;
    show(game, game.key(Control::Board, press(Key::Down)), 2.0, view);
    EXPECT_EQ(view.said, (std::vector<std::string>{"repaint 0 at 0,0 48x48",
                                                   "repaint 1 at 0,48 48x48", "focus cell 1"}));
}

TEST(Showing, ANewGameIsEverythingAnewAndNothingIsNothing)
{
    Game game = onTheBoard(3, 3);
    RecordingView view;
    show(game, game.key(Control::SizeScroll, press(Key::Left)), 2.0, view);
    EXPECT_EQ(view.said,
              (std::vector<std::string>{"size \"24x24\" 24", "count \" 0 Chips \"",
                                        "repaint -1 at 0,0 1200x1200",
                                        "board \"24x24 board, 0 chips, 0 marked cells\"",
                                        "say \"New game, 24x24\"", "new cells", "focus cell 0"}));
    view.said.clear();
    show(game, game.changeSize(24), 1.0, view);
    show(game, game.key(Control::Board, press(Key::Other)), 1.0, view);
    show(game, game.releaseButton(4, {10, 10}, 1.0), 1.0, view);
    EXPECT_TRUE(view.said.empty());
    // Tab and Enter on Check Me! hand over the keyboard and the check.
    show(game, game.key(Control::SizeScroll, press(Key::Tab)), 1.0, view);
    show(game, game.key(Control::Test, press(Key::Enter)), 1.0, view);
    EXPECT_EQ(view.said, (std::vector<std::string>{"focus 5", "check"}));
}

TEST(ControlTexts, EachControlsRoleNameDescriptionAndValue)
{
    Game game;
    game.changeSize(24);
    game.cellAction(0, MouseButton::Left);
    const ChipBoard &board = game.board();
    const auto text = [&](Control c) { return accessibleText(board, c); };
    EXPECT_EQ(text(Control::Board).role, Role::Table);
    EXPECT_EQ(text(Control::Board).name, "Board");
    EXPECT_EQ(text(Control::Board).description, "24x24 board, 1 chip, 0 marked cells");
    EXPECT_EQ(text(Control::SizeScroll).role, Role::ScrollBar);
    EXPECT_EQ(text(Control::SizeScroll).name, "Board size");
    EXPECT_EQ(text(Control::SizeScroll).value, "24");
    EXPECT_EQ(text(Control::SizeOf).name, "24x24");
    EXPECT_EQ(text(Control::SizeOf).description, "Board size");
    EXPECT_EQ(text(Control::Number).name, " 1 Chips ");
    EXPECT_EQ(text(Control::Number).description, "Chips placed");
    EXPECT_EQ(text(Control::Test).role, Role::Button);
    EXPECT_EQ(text(Control::Test).name, "Check Me!");
    EXPECT_EQ(CellRole, Role::TableCell);
}

TEST(Look, ASystemsContrastSettingRepaintsEverythingAndKeepsTheGame)
{
    Game game;
    game.cellAction(expected::Cell23, MouseButton::Left);
    const Look more{true, false, {}};
    RecordingView view;
    show(game, game.setLook(more), 1.0, view);
    EXPECT_EQ(view.said, (std::vector<std::string>{"repaint -1 at 0,0 600x600"}));
    EXPECT_EQ(game.look(), more);
    EXPECT_TRUE(game.board().hasChip(2, 3));
    // The same setting again, as a desktop may repeat it, repaints nothing.
    EXPECT_FALSE(game.setLook(more).restyled);
    EXPECT_TRUE(game.setLook({}).restyled);
}

TEST(BoardKeys, AKeyReleasedAndPressedAgainAtOnceIsHeldDown)
{
    // X11 repeats a held key as a release and a press at once, which a toolkit may not mark as
    // a repeat when the machine is busy.
    Game game = onTheBoard(1, 1);
    EXPECT_EQ(game.key(Control::Board, {Key::Space, false, false, false, 1000}).refresh.cell, 26);
    for (unsigned long t = 1500; t < 2000; t += 40) {
        game.keyReleased(Key::Space, t);
        EXPECT_EQ(game.key(Control::Board, {Key::Space, false, false, false, t + 3}).refresh,
                  Refresh{});
    }
    EXPECT_TRUE(game.board().hasChip(1, 1));
    // Pressed again as a finger does, a twentieth of a second after the release, or another key
    // at once: each plays.
    game.keyReleased(Key::Space, 2100);
    EXPECT_EQ(game.key(Control::Board, {Key::Space, false, false, false, 2150}).refresh.cell, 26);
    game.keyReleased(Key::Space, 2300);
    EXPECT_EQ(game.key(Control::Board, {Key::M, false, false, false, 2300}).refresh.cell, 26);
    EXPECT_EQ(game.board().colour(26), CellColour::Yellow);
}
