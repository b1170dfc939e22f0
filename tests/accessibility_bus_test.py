"""What a screen reader hears of the game, read over the real AT-SPI bus as Orca reads it.

Run inside a private session bus as:
    accessibility_bus_test.py GAME BUS_LAUNCHER XVFB XDOTOOL [SCALE]
It starts its own X server, accessibility bus and game (at Qt's scale factor SCALE, 1 unless
given), plays with real clicks and accessibility actions, reads the board as a table of cells
whose extents are their squares on the screen, plays a short game through the cells' actions
alone as a blind player would, and ends every process it started, whatever happens.
"""

import math
import os
import select
import signal
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

import pyatspi  # noqa: E402
import Xlib.display  # noqa: E402
import Xlib.protocol.event  # noqa: E402
import Xlib.X  # noqa: E402

TIMEOUT = 30  # seconds for any one thing to happen, generous for sanitizer builds under load
TITLE = "Vir Urad Izuva?"
SCALE = 1.0  # screen pixels to each of the window's layout pixels, set from the command line


def on_screen(*layout):
    """A point (x, y) or a rectangle (x, y, width, height) of the window's layout in screen
    pixels. Each edge is scaled and rounded on its own, so that the cells still tile the board."""
    edge = lambda v: math.floor(v * SCALE + 0.5)  # noqa: E731
    if len(layout) == 2:
        return [edge(v) for v in layout]
    x, y, width, height = layout
    return [edge(x), edge(y), edge(x + width) - edge(x), edge(y + height) - edge(y)]


class Failure(Exception):
    pass


def wait_for(what, condition, timeout=TIMEOUT):
    """Polls `condition`, letting bus events in meanwhile, until it gives something true."""
    deadline = time.monotonic() + timeout
    context = GLib.MainContext.default()
    while True:
        STARTED.check_running()
        while context.iteration(False):
            pass
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(0.02)


def expect(what, seen, wanted):
    if seen != wanted:
        raise Failure(f"{what}: expected {wanted!r}, read {seen!r}")


class Processes:
    """Starts helper processes, each in a group of its own, and ends them all on close."""

    def __init__(self):
        self.started = []

    def start(self, args, **kwargs):
        process = subprocess.Popen(args, start_new_session=True, **kwargs)
        self.started.append(process)
        return process

    def check_running(self):
        """Every process started so far is still there: one that died fails the test at once."""
        for process in self.started:
            if process.poll() is not None:
                raise Failure(f"{process.args[0]} ended early with status {process.returncode}")

    def close(self):
        for process in reversed(self.started):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
        for process in reversed(self.started):
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()


STARTED = Processes()


def start_x_server(xvfb):
    """An X server on the first free display, which it names once it is ready. Without -noreset
    it resets whenever its last client leaves, as the bus launcher does after publishing the
    bus's address, and now and then turned the registry and the game away meanwhile."""
    read_end, write_end = os.pipe()
    STARTED.start([xvfb, "-displayfd", str(write_end), "-nolisten", "tcp", "-noreset",
                   "-screen", "0", "1600x1280x24"], pass_fds=[write_end])
    os.close(write_end)
    if not select.select([read_end], [], [], TIMEOUT)[0]:
        raise Failure("Xvfb did not start")
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise Failure("Xvfb ended before naming its display")
    return ":" + number


def accessibility_bus_is_up():
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    reply = session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "NameHasOwner",
                              GLib.Variant("(s)", ("org.a11y.Bus",)), None,
                              Gio.DBusCallFlags.NONE, -1, None)
    return reply.unpack()[0]


def close_window(window_id):
    """Asks the window to close, as a window manager's close button does."""
    screen = Xlib.display.Display()
    window = screen.create_resource_object("window", window_id)
    close = Xlib.protocol.event.ClientMessage(
        window=window, client_type=screen.intern_atom("WM_PROTOCOLS"),
        data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), Xlib.X.CurrentTime, 0, 0, 0]))
    window.send_event(close)
    # A round trip, not just a flush: closing the connection straight after a flush lost about
    # one message in fifty.
    screen.sync()
    screen.close()


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


def child(parent, role=None, name=None, description=None):
    """The first child with the given role, name and description; None stands for any."""
    for c in parent:
        try:
            if c is not None and role in (None, c.getRole()) and name in (None, c.name) and \
                    description in (None, c.description):
                return c
        except GLib.Error:
            pass  # a window closing takes its objects with it while the list is being read
    return None


def game_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid and app.childCount > 0:
            return app
    return None


def x_window(xdotool):
    """The game's X window, found by its title among the windows that are mapped."""
    found = subprocess.run([xdotool, "search", "--onlyvisible", "--name", r"^Vir Urad Izuva\?$"],
                           capture_output=True, text=True)
    windows = found.stdout.split()
    return int(windows[0]) if len(windows) == 1 else None


def click_cell(xdotool, window, x, y, button):
    """A real click at the centre of cell (x, y) of the 25 x 25 board, whose cells of 24 pixels
    start at the window's top-left corner."""
    at = on_screen(x * 24 + 12, y * 24 + 12)
    subprocess.run([xdotool, "mousemove", "--window", str(window), *map(str, at),
                    "click", str(button)], check=True)


def turn_wheel(xdotool, window):
    """Real wheel turns, down and up, over the size scroll bar (600, 120, 89 x 17) and then over
    the board. None may start a new game: the check after them must still count the chip."""
    for x, y in ((644, 128), (300, 300)):
        subprocess.run([xdotool, "mousemove", "--window", str(window), *map(str, on_screen(x, y)),
                        "click", "5", "click", "4", "click", "5"], check=True)


def press(accessible, action_name):
    """Does an accessibility action as a screen reader's user would. Qt answers at once and
    presses the button a moment later; were a toolkit to press it before answering, a message
    box's own loop would hold the answer back, so a late answer is only noted and the test goes
    on to look for what the action did."""
    action = accessible.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if action_name not in names:
        raise Failure(f"{accessible.name!r} has no {action_name} action, only {names}")
    try:
        action.doAction(names.index(action_name))
    except GLib.Error as error:
        print(f"{action_name} on {accessible.name!r} answered late: {error.message}", flush=True)


def hear_change(log, kind, accessible, what, wanted):
    """A change event for the object arrived, and the object now reads as wanted."""
    wait_for(f"a change event for {what}", lambda: log.saw(kind, accessible))
    read = accessible.name if kind == NAME_CHANGED else accessible.description
    expect(what, read, wanted)


def window_origin(xdotool, window):
    """Where the window's top-left corner stands on the screen, as X reports it."""
    found = subprocess.run([xdotool, "getwindowgeometry", "--shell", str(window)],
                           capture_output=True, text=True, check=True)
    values = dict(line.split("=", 1) for line in found.stdout.split())
    return int(values["X"]), int(values["Y"])


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


def extents(accessible, coords):
    return list(accessible.queryComponent().getExtents(coords))


def expect_extents(what, accessible, layout, xdotool, window):
    """The object's extents are its rectangle of the window's layout, in screen pixels: within
    the window, and on the screen from where X has put the window."""
    x, y, width, height = on_screen(*layout)
    expect(f"{what} in the window", extents(accessible, pyatspi.WINDOW_COORDS),
           [x, y, width, height])
    left, top = window_origin(xdotool, window)
    expect(f"{what} on the screen", extents(accessible, pyatspi.DESKTOP_COORDS),
           [left + x, top + y, width, height])


def window_at_start(app):
    frame = wait_for("the game's window", lambda: app[0] if app.childCount else None)
    expect("the window's role is a frame or window",
           frame.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW), True)
    expect("the window's name", frame.name, TITLE)
    controls = {
        "board": wait_for("the board", lambda: child(frame, name="Board")),
        "scroll": child(frame, pyatspi.ROLE_SCROLL_BAR),
        "size": child(frame, pyatspi.ROLE_LABEL, description="Board size"),
        "count": child(frame, pyatspi.ROLE_LABEL, description="Chips placed"),
        "check": child(frame, pyatspi.ROLE_PUSH_BUTTON, "Check Me!"),
    }
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


def cells_at_start(board, xdotool, window):
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
    expect_extents("cell (2, 3)", cell, (48, 72, 24, 24), xdotool, window)


def play_on_the_board(controls, log, xdotool, window):
    log.clear()
    click_cell(xdotool, window, 3, 4, 1)
    hear_change(log, NAME_CHANGED, controls["count"], "the count after a chip", " 1 Chips ")
    hear_change(log, DESCRIPTION_CHANGED, controls["board"], "the board after a chip",
                "25x25 board, 1 chip, 0 marked cells")
    log.clear()
    # A mark changes no count the window shows, yet the board's description follows it.
    click_cell(xdotool, window, 5, 4, 3)
    hear_change(log, DESCRIPTION_CHANGED, controls["board"], "the board after a mark",
                "25x25 board, 1 chip, 1 marked cell")
    expect("the count after a mark", controls["count"].name, " 1 Chips ")
    say("after the clicks", controls["board"], controls["size"], controls["count"])


def descendants(accessible):
    for c in accessible:
        if c is not None:
            yield c
            yield from descendants(c)


def check_me(app, controls):
    press(controls["check"], "Press")
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


def cells_in_a_small_game(controls, log, xdotool, window):
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
    expect_extents("cell (2, 3) at size 5", cell, (240, 360, 120, 120), xdotool, window)

    # Flat review clicks the middle of the extents it was given; the board names the cell there.
    x, y, width, height = extents(cell, pyatspi.DESKTOP_COORDS)
    found = board.queryComponent().getAccessibleAtPoint(x + width // 2, y + height // 2,
                                                        pyatspi.DESKTOP_COORDS)
    expect("the cell at the middle of cell (2, 3)", found, cell)
    log.clear()
    subprocess.run([xdotool, "mousemove", str(x + width // 2), str(y + height // 2),
                    "click", "1"], check=True)
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


def play(game_path, xdotool):
    # Listening before the game starts, so that Qt learns from the start that events are wanted.
    log = EventLog()
    game = STARTED.start([game_path], env=dict(os.environ, QT_QPA_PLATFORM="xcb",
                                               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                               QT_SCALE_FACTOR=f"{SCALE:g}"))
    app = wait_for("the game on the accessibility bus", lambda: game_application(game.pid))
    controls = window_at_start(app)
    window = wait_for("the game's window on screen", lambda: x_window(xdotool))
    board_area = controls["board"].queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    expect("the board's place in the window", list(board_area), on_screen(0, 0, 600, 600))
    cells_at_start(controls["board"], xdotool, window)
    play_on_the_board(controls, log, xdotool, window)
    turn_wheel(xdotool, window)
    check_me(app, controls)
    expect("the size after the wheel turns", controls["size"].name, "25x25")
    change_size(controls, log)
    cells_in_a_small_game(controls, log, xdotool, window)
    blind_play(app, controls, log)

    close_window(window)
    try:
        status = game.wait(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure("the game did not end when its window was closed")
    expect("the game's exit status", status, 0)


def main():
    global SCALE
    game_path, bus_launcher, xvfb, xdotool = sys.argv[1:5]
    SCALE = float(sys.argv[5]) if len(sys.argv) > 5 else 1.0
    # A stop from outside still ends every process started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    # libatspi gives up on an answer after 0.8 s, too soon for a sanitizer build under load.
    Atspi.set_timeout(TIMEOUT * 1000, TIMEOUT * 1000)
    with tempfile.TemporaryDirectory() as runtime:
        try:
            # Qt and the bus launcher keep their runtime files here, apart from other runs.
            os.environ["XDG_RUNTIME_DIR"] = runtime
            os.environ["DISPLAY"] = start_x_server(xvfb)
            STARTED.start([bus_launcher, "--launch-immediately"])
            wait_for("the accessibility bus", accessibility_bus_is_up)
            play(game_path, xdotool)
        except Failure as failure:
            print(f"FAILED: {failure}", file=sys.stderr, flush=True)
            return 1
        finally:
            STARTED.close()
    print("A blind player's game, as heard:", flush=True)
    for line in HEARD:
        print(f"  {line}", flush=True)
    print("passed: a screen reader hears the game and plays it", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
