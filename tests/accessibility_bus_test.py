"""What a screen reader hears of the game, read over the real AT-SPI bus as Orca reads it.

Run inside a private session bus as:
    accessibility_bus_test.py GAME BUS_LAUNCHER XVFB XDOTOOL [SCALE]
It starts its own X server, accessibility bus and game (at Qt's scale factor SCALE, 1 unless
given), plays with real clicks and accessibility actions, reads the board as a table of cells
whose extents are their squares on the screen, plays a short game through the cells' actions
alone as a blind player would, and ends every process it started, whatever happens.
"""

import os
import signal
import sys

# The shared helpers are read from the source tree, which a test leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))

import pyatspi  # noqa: E402

from qt_session import (TITLE, Failure, GameSession, child, descendants, expect,  # noqa: E402
                        extents, press, window_controls)

SESSION = None  # the X server, bus and game of this run


def wait_for(what, condition):
    return SESSION.wait_for(what, condition)


class EventLog:
    """The change events the bus carried, as a screen reader would be told them."""

    # Orca listens for state changes too, and Qt reports objects gone only to those who do.
    KINDS = ("object:property-change:accessible-name",
             "object:property-change:accessible-description",
             "object:children-changed:remove",
             "object:state-changed")

    def __init__(self):
        self.events = []
        pyatspi.Registry.registerEventListener(self.events.append, *self.KINDS)

    def saw(self, kind, source):
        return any(e.type == kind and e.source == source for e in self.events)

    def clear(self):
        self.events.clear()


NAME_CHANGED, DESCRIPTION_CHANGED, CHILD_REMOVED, _ = EventLog.KINDS


def spoken(accessible):
    """One line of what a screen reader reads of an object: role, name, description, text."""
    line = f"{accessible.getRoleName()} | name {accessible.name!r}"
    line += f" | description {accessible.description!r}"
    try:
        text = accessible.queryText()
        line += f" | text {text.getText(0, -1)!r}"
    except NotImplementedError:
        pass
    try:
        value = accessible.queryValue()
        line += f" | value {value.currentValue:g} in {value.minimumValue:g}..{value.maximumValue:g}"
    except NotImplementedError:
        pass
    return line


def say(moment, *accessibles):
    for accessible in accessibles:
        print(f"{moment}: {spoken(accessible)}", flush=True)








def click_cell(x, y, button):
    """A real click at the centre of cell (x, y) of the 25 x 25 board, whose cells of 24 pixels
    start at the window's top-left corner."""
    at = SESSION.on_screen(x * 24 + 12, y * 24 + 12)
    SESSION.xdotool("mousemove", "--window", SESSION.window, *at, "click", button)


def turn_wheel():
    """Real wheel turns, down and up, over the size scroll bar (600, 120, 89 x 17) and then over
    the board. None may start a new game: the check after them must still count the chip."""
    for x, y in ((644, 128), (300, 300)):
        SESSION.xdotool("mousemove", "--window", SESSION.window, *SESSION.on_screen(x, y),
                        "click", "5", "click", "4", "click", "5")


def hear_change(log, kind, accessible, what, wanted):
    """A change event for the object arrived, and the object now reads as wanted."""
    wait_for(f"a change event for {what}", lambda: log.saw(kind, accessible))
    read = accessible.name if kind == NAME_CHANGED else accessible.description
    expect(what, read, wanted)




def cells_of(board):
    """Every cell of the board's table with the column and row the table gives it."""
    table = board.queryTable()
    return [(board[i], table.getColumnAtIndex(i), table.getRowAtIndex(i))
            for i in range(board.childCount)]


def table_size(board):
    table = board.queryTable()
    return table.nColumns, table.nRows, board.childCount


def cell_named(board, name):
    """The cell a screen reader's user finds by its name."""
    return next((cell for cell in board if cell.name == name), None)




def expect_extents(what, accessible, layout):
    """The object's extents are its rectangle of the window's layout, in screen pixels: within
    the window, and on the screen from where X has put the window."""
    x, y, width, height = SESSION.on_screen(*layout)
    expect(f"{what} in the window", extents(accessible, pyatspi.WINDOW_COORDS),
           [x, y, width, height])
    left, top = SESSION.window_origin()
    expect(f"{what} on the screen", extents(accessible, pyatspi.DESKTOP_COORDS),
           [left + x, top + y, width, height])


def window_at_start(app):
    frame = wait_for("the game's window", lambda: app[0] if app.childCount else None)
    expect("the window's role is a frame or window",
           frame.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW), True)
    expect("the window's name", frame.name, TITLE)
    wait_for("the board", lambda: child(frame, name="Board"))
    controls = window_controls(frame)
    missing = [key for key, accessible in controls.items() if accessible is None]
    if missing:
        raise Failure(f"the window has no {missing}")
    say("start", frame, *controls.values())
    expect("the size label", controls["size"].name, "25x25")
    expect("the count label", controls["count"].name, " 0 Chips ")
    expect("the board", controls["board"].description, "25x25 board, 0 chips, 0 marked cells")
    focusable = [c.name for c in frame if c.getState().contains(pyatspi.STATE_FOCUSABLE)]
    expect("what the keyboard reaches", sorted(focusable), ["Board size", "Check Me!"])
    return controls


def cells_at_start(board):
    """A 25 x 25 table of empty cells, each named by where it stands, none focusable; cell (2, 3)
    covers the 24 pixels of column 2 and row 3 from the window's top-left corner."""
    expect("the board's role", board.getRole(), pyatspi.ROLE_TABLE)
    expect("the table's columns, rows and cells at start", table_size(board), (25, 25, 625))
    for cell, column, row in cells_of(board):
        expect("a cell's role", cell.getRole(), pyatspi.ROLE_TABLE_CELL)
        expect("a cell's name", cell.name, f"column {column + 1}, row {row + 1}, empty")
        if cell.getState().contains(pyatspi.STATE_FOCUSABLE):
            raise Failure(f"{cell.name!r} takes the keyboard focus")
    cell = board.queryTable().getAccessibleAt(3, 2)
    say("start", cell)
    expect("cell (2, 3) at start", cell.name, "column 3, row 4, empty")
    expect_extents("cell (2, 3)", cell, (48, 72, 24, 24))


def play_on_the_board(controls, log):
    log.clear()
    click_cell(3, 4, 1)
    hear_change(log, NAME_CHANGED, controls["count"], "the count after a chip", " 1 Chips ")
    hear_change(log, DESCRIPTION_CHANGED, controls["board"], "the board after a chip",
                "25x25 board, 1 chip, 0 marked cells")
    log.clear()
    # A mark changes no count the window shows, yet the board's description follows it.
    click_cell(5, 4, 3)
    hear_change(log, DESCRIPTION_CHANGED, controls["board"], "the board after a mark",
                "25x25 board, 1 chip, 1 marked cell")
    expect("the count after a mark", controls["count"].name, " 1 Chips ")
    say("after the clicks", controls["board"], controls["size"], controls["count"])


def side_controls_on_screen(controls):
    """The side controls' extents are where they are drawn, in screen pixels, as the cells' are;
    Qt's own would give its layout pixels, which at scale 2 put "Check Me!" on the board."""
    for key, layout in (("scroll", (600, 120, 89, 17)), ("size", (600, 144, 89, 25)),
                        ("count", (600, 272, 89, 49)), ("check", (600, 448, 89, 33))):
        expect_extents(f"the {controls[key].name!r} control", controls[key], layout)


def click_middle(accessible):
    """A real click at the middle of an object's extents, as a screen reader routes the mouse."""
    x, y, width, height = extents(accessible, pyatspi.DESKTOP_COORDS)
    SESSION.xdotool("mousemove", x + width // 2, y + height // 2, "click", "1")


def check_me(app, controls, press_check=lambda check: press(check, "Press")):
    press_check(controls["check"])
    alert = wait_for("a message box", lambda: child(app, pyatspi.ROLE_ALERT))
    inside = wait_for("the message box's contents", lambda: list(descendants(alert)))
    say("message box", alert, *inside)
    expect("the message box's title", alert.name, "No Line Found!")
    texts = [c.name for c in inside if c.getRole() == pyatspi.ROLE_LABEL]
    expect("the message box's text", texts,
           ["There is no line! Your result of 1 chips is a success!"])
    buttons = [c for c in inside if c.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    expect("the message box's buttons", [b.name for b in buttons], ["OK"])
    heard = alert.getRoleName(), alert.name, texts[0]
    press(buttons[0], "Press")
    wait_for("the message box to close", lambda: child(app, pyatspi.ROLE_ALERT) is None)
    return heard


def change_size(controls, log):
    log.clear()
    controls["scroll"].queryValue().currentValue = 24
    hear_change(log, NAME_CHANGED, controls["size"], "the size label", "24x24")
    # Every cell read so far was of the last game, and the board tells that each is gone.
    wait_for("the board telling that the 625 cells read are gone",
             lambda: cells_gone(log, controls["board"]) == 625)
    hear_change(log, NAME_CHANGED, controls["count"], "the count in a new game", " 0 Chips ")
    hear_change(log, DESCRIPTION_CHANGED, controls["board"], "the board in a new game",
                "24x24 board, 0 chips, 0 marked cells")
    say("after the size change", controls["board"], controls["scroll"], controls["size"])


def cells_gone(log, board):
    return sum(1 for e in log.events if e.type == CHILD_REMOVED and e.source == board)


def cell_events(log):
    """The names of the cells that announced a change of name."""
    return [e.source.name for e in log.events
            if e.type == NAME_CHANGED and e.source.getRole() == pyatspi.ROLE_TABLE_CELL]


def act_on_cell(controls, log, cell, action, name, count, board):
    """An accessibility action on a cell: the cell, the count label and the board then read as a
    click would have left them, and the cell alone announced its change."""
    log.clear()
    press(cell, action)
    hear_change(log, NAME_CHANGED, cell, f"the cell after {action!r}", name)
    hear_change(log, DESCRIPTION_CHANGED, controls["board"], f"the board after {action!r}", board)
    expect(f"the count after {action!r}", controls["count"].name, count)
    expect(f"the cells that announced {action!r}", cell_events(log), [name])


def cells_in_a_small_game(controls, log):
    """At size 5 the table is 5 x 5, cell (2, 3) is the 120-pixel square at (240, 360) of the
    window's layout, a real click at the centre of its extents lands on it, and both actions play
    it as clicks do."""
    board = controls["board"]
    log.clear()
    controls["scroll"].queryValue().currentValue = 5
    hear_change(log, NAME_CHANGED, controls["size"], "the size label", "5x5")
    wait_for("a 5 x 5 table", lambda: table_size(board) == (5, 5, 25))
    names = sorted(cell.name for cell, _, _ in cells_of(board))
    expect("the cells of a 5 x 5 board", names,
           sorted(f"column {x}, row {y}, empty" for x in range(1, 6) for y in range(1, 6)))
    cell = cell_named(board, "column 3, row 4, empty")
    expect("the table's place of cell (2, 3)", board.queryTable().getAccessibleAt(3, 2), cell)
    expect_extents("cell (2, 3) at size 5", cell, (240, 360, 120, 120))

    # Flat review clicks the middle of the extents it was given; the board names the cell there.
    x, y, width, height = extents(cell, pyatspi.DESKTOP_COORDS)
    found = board.queryComponent().getAccessibleAtPoint(x + width // 2, y + height // 2,
                                                        pyatspi.DESKTOP_COORDS)
    expect("the cell at the middle of cell (2, 3)", found, cell)
    log.clear()
    SESSION.xdotool("mousemove", x + width // 2, y + height // 2, "click", "1")
    hear_change(log, NAME_CHANGED, cell, "cell (2, 3) after a click", "column 3, row 4, chip")
    hear_change(log, NAME_CHANGED, controls["count"], "the count after a click", " 1 Chips ")
    expect("the cells that announced the click", cell_events(log), ["column 3, row 4, chip"])
    say("after a click on the cell's extents", cell, controls["count"], board)

    act_on_cell(controls, log, cell, "Place or remove chip", "column 3, row 4, empty",
                " 0 Chips ", "5x5 board, 0 chips, 0 marked cells")
    act_on_cell(controls, log, cell, "Mark or unmark", "column 3, row 4, marked", " 0 Chips ",
                "5x5 board, 0 chips, 1 marked cell")
    act_on_cell(controls, log, cell, "Mark or unmark", "column 3, row 4, empty", " 0 Chips ",
                "5x5 board, 0 chips, 0 marked cells")
    expect("the size after playing cells", controls["size"].name, "5x5")


HEARD = []


def hear(line):
    HEARD.append(line)
    print(f"heard: {line}", flush=True)


def blind_play(app, controls, log):
    """A short game with no mouse: a chip and a mark placed through the cells' actions, then
    the check, all found by name as a screen reader's user finds them."""
    board = controls["board"]
    cell = wait_for("cell (2, 3) by its name", lambda: cell_named(board, "column 3, row 4, empty"))
    hear(f"{cell.getRoleName()}: {cell.name}")
    log.clear()
    press(cell, "Place or remove chip")
    hear_change(log, NAME_CHANGED, controls["count"], "the count", " 1 Chips ")
    hear(f"{controls['count'].getRoleName()}: {controls['count'].name}")
    hear(f"{cell.getRoleName()}: {cell.name}")
    other = cell_named(board, "column 1, row 1, empty")
    log.clear()
    press(other, "Mark or unmark")
    hear_change(log, NAME_CHANGED, other, "the marked cell", "column 1, row 1, marked")
    hear_change(log, DESCRIPTION_CHANGED, board, "the board", "5x5 board, 1 chip, 1 marked cell")
    hear(f"{other.getRoleName()}: {other.name}")
    hear(f"{board.getRoleName()}: {board.name}, {board.description}")
    role, title, text = check_me(app, controls)
    hear(f"{role}: {title}: {text}")


def play():
    # Listening before the game starts, so that Qt learns from the start that events are wanted.
    log = EventLog()
    app = SESSION.start_game()
    controls = window_at_start(app)
    board_area = controls["board"].queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    expect("the board's place in the window", list(board_area), SESSION.on_screen(0, 0, 600, 600))
    cells_at_start(controls["board"])
    side_controls_on_screen(controls)
    play_on_the_board(controls, log)
    turn_wheel()
    # Pressed where its extents say it is: the box counts the one chip, and no other came.
    check_me(app, controls, click_middle)
    expect("the size after the wheel turns", controls["size"].name, "25x25")
    change_size(controls, log)
    cells_in_a_small_game(controls, log)
    blind_play(app, controls, log)
    expect("the game's exit status", SESSION.close_window(), 0)


def main():
    global SESSION
    game, bus_launcher, xvfb, xdotool = sys.argv[1:5]
    scale = float(sys.argv[5]) if len(sys.argv) > 5 else 1.0
    # A stop from outside still ends every process started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    try:
        with GameSession(game, bus_launcher, xvfb, xdotool, scale) as SESSION:
            play()
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr, flush=True)
        return 1
    print("A blind player's game, as heard:", flush=True)
    for line in HEARD:
        print(f"  {line}", flush=True)
    print("passed: a screen reader hears the game and plays it", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
