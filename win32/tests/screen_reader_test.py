#!/usr/bin/env python3
"""Reads and plays the Windows window as a blind player's screen reader does: through Microsoft
Active Accessibility, from a Windows client in a process of its own, under Wine on a private X
server, with real X input.

    screen_reader_test.py WINE_RUN GAME.exe PROBE.exe CLIENT.exe DPI

First with no screen reader running: the window's tree (the board as a table of its cells, each
where it is painted, and the side controls beside it), hit testing, a cell's default action, a
real right click and a size change, with the events each raises; and the focus order as the
window was designed, the board never taking the focus. Then with Windows told that a screen
reader runs: the board takes the focus first, the arrow keys move a cell cursor, Space, Enter and
M play its cell, and each move and play raises the events a screen reader reads out.

Expected values are written out here from the game's rules: cells of 600 / size layout pixels
from the board's top-left corner, scaled to DPI as the play-through scales them, and the names a
cell is read by. Wine's processes each keep the screen-reader flag they first read, so the game
follows a change of it only on Windows; here each game starts with the flag already set.
"""
import os
import re
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import play_test  # noqa: E402
from play_test import BLACK, WHITE, Failure, WineWindow, check, hold, wait  # noqa: E402
from play_through import BROWN, YELLOW, cell_points  # noqa: E402

# MSAA's numbers for what the game shows.
CLIENT, TABLE, CELL = 10, 24, 29
FOCUSED, FOCUSABLE = 0x4, 0x100000
OBJID_CLIENT, BOARD = -4, 1

DESCRIBED = re.compile(r'role (-?\d+) state (-?[0-9a-f]+) at (-?\d+) (-?\d+) (\d+) (\d+) '
                       r'name "(.*?)"(?: value "(.*?)" description "(.*?)")? action "(.*?)"$')


def described(text):
    """An object or cell as the client prints it."""
    m = DESCRIBED.search(text)
    if not m:
        raise Failure(f"the client printed {text!r}")
    role, state, left, top, width, height, name, value, description, action = m.groups()
    return {"role": int(role), "state": int(state, 16),
            "at": tuple(map(int, (left, top, width, height))), "name": name, "value": value,
            "description": description, "action": action}


class Reader:
    """The screen reader's client program, started once for each question."""

    def __init__(self, window, client):
        self.window, self.client = window, client

    def ask(self, *args, timeout=play_test.TIMEOUT):
        out = self.window.run_client(self.client, *args, timeout=timeout)
        if out is None:
            raise Failure(f"the client could not read {' '.join(map(str, args))}")
        return out.splitlines()

    def tree(self):
        """{path: object} for the window's client ("0"), its children ("1", "2" ...) and the
        board's cells ("1 ID")."""
        nodes, parents = {}, {}
        # Some 3,000 calls into the game, a few milliseconds each, longer on a busy machine.
        for line in self.ask("tree", timeout=180):
            depth, kind, number = line.split()[:3]
            depth = int(depth)
            path = "0" if depth == 0 else number if depth == 1 else f"{parents[depth - 1]} {number}"
            node = described(line)
            if kind == "object":
                node["children"] = int(line.split()[4])
            nodes[path] = node
            parents[depth] = path
        return nodes

    def cells(self, *ids):
        lines = self.ask("cells", *ids)
        board = described(lines[0])
        board["children"] = int(lines[0].split()[4])
        return board, {int(line.split()[2]): described(line) for line in lines[1:]}

    def hit(self, x, y):
        """What hit testing reaches at a screen point: the last object or cell on the way down."""
        return described(self.ask("point", x, y)[-1])

    def focus(self):
        lines = self.ask("focus")
        return lines[0].split()[1], described(lines[-1])


class Events:
    """Every focus, name, state, value and reorder event of the game, each read at once. Two
    streams are followed apart: what a key or click is expected to raise at once, every focus
    change and every change of a cell's name, and all other events."""

    def __init__(self, window, client):
        self.out = tempfile.TemporaryFile("w+")
        self.process = subprocess.Popen([window.wine_run, client, "events"], env=window.env,
                                        stdin=subprocess.PIPE, stdout=self.out,
                                        stderr=subprocess.DEVNULL)
        wait(lambda: "watching" in self.text(), "the event watcher")
        self.seen = {True: 0, False: 0}

    def text(self):
        self.out.seek(0)
        return self.out.read()

    def stream(self, told_at_once):
        events = []
        # Whole lines only: the client may be writing the next one.
        for line in self.text().split("\n")[1:-1]:
            words = line.split()
            if len(words) < 6 or words[5] == "unread":
                continue
            event = dict(described(line), kind=words[1], window=words[2], object=int(words[3]),
                         child=int(words[4]))
            kind = event["kind"]
            at_once = kind == "focus" or (kind == "name" and event["object"] == BOARD)
            if at_once == told_at_once:
                events.append(event)
        return events

    def new(self, told_at_once):
        return self.stream(told_at_once)[self.seen[told_at_once]:]

    def after(self, action, wanted, what):
        """Does `action`, then waits until the focus and name events it raises match `wanted`, a
        list of (kind, window, object, child, name); returns them with all they were read with.
        One more than wanted, from this action or an earlier one, fails here or at the next."""
        action()
        try:
            wait(lambda: len(self.new(True)) >= len(wanted), what)
        except Failure:
            pass
        got = self.new(True)
        self.seen[True] += len(got)
        seen = [(e["kind"], e["window"], e["object"], e["child"], e["name"]) for e in got]
        check(seen == wanted, f"{what}: events {seen}, expected {wanted}")
        return got

    def others(self):
        """The other events since the last look."""
        events = self.new(False)
        self.seen[False] += len(events)
        return events

    def close(self):
        self.process.stdin.close()
        self.process.wait(play_test.TIMEOUT)
        self.out.close()


class ReadWindow(WineWindow):
    def run_client(self, client, *args, timeout=play_test.TIMEOUT):
        """The client's output, or None if it could not read the window. Into a file, as the
        probe's, for the Wine processes that may outlive it."""
        with tempfile.TemporaryFile("w+") as out:
            status = subprocess.run([self.wine_run, client, *map(str, args)], env=self.env,
                                    stdout=out, stderr=subprocess.DEVNULL,
                                    timeout=timeout).returncode
            out.seek(0)
            return out.read() if status == 0 else None

    def screen_box(self, x, y, size):
        """Cell (x, y) of a board of `size` cells on the screen: left, top, width, height."""
        left, top, right, bottom = self.cell_box(x, y, size)
        ox, oy = self.state()["origin"]
        return ox + left, oy + top, right - left, bottom - top

    def screen_rect(self, left, top, width, height):
        """A rectangle of the design at 96 dpi on the screen at this density."""
        ox, oy = self.state()["origin"]
        dev = self.dev
        return (ox + dev(left), oy + dev(top), dev(left + width) - dev(left),
                dev(top + height) - dev(top))

    def middle(self, x, y, size):
        left, top, width, height = self.screen_box(x, y, size)
        return left + width // 2, top + height // 2

    def ring(self, x, y, size):
        """Whether cell (x, y) shows a dark ring inside its border: the middles of its four sides
        three layout pixels in, between the border and where a chip would stand (five in)."""
        left, top, right, bottom = self.cell_box(x, y, size)
        three = self.dev(3)
        mx, my = (left + right) // 2, (top + bottom) // 2
        sides = [(left + three, my), (right - 1 - three, my), (mx, top + three),
                 (mx, bottom - 1 - three)]
        colours = {self.pixel(*p) for p in sides}
        return "ring" if colours == {BLACK} else "none" if colours == {WHITE} else str(colours)


def cell_id(x, y, size):
    """The board's children are its cells row by row, from 1."""
    return y * size + x + 1


def cell_name(x, y, holds):
    return f"column {x + 1}, row {y + 1}, {holds}"


def check_tree(window, reader):
    """The window's client holds the board, a table of its 625 cells each named, placed where it
    is painted and played by its default action, and beside it the side controls with names."""
    nodes = reader.tree()
    client, board = nodes["0"], nodes["1"]
    check((client["role"], client["name"], client["children"]) == (CLIENT, "Vir Urad Izuva?", 5),
          f"the window's client {client}")
    check((board["role"], board["name"], board["children"], board["description"]) ==
          (TABLE, "Board", 625, "25x25 board, 0 chips, 0 marked cells"), f"the board {board}")
    check(board["at"] == window.screen_rect(0, 0, 600, 600), f"the board at {board['at']}")
    controls = {"2": ("Board size", "25x25", (600, 120, 89, 17)),
                "3": ("25x25", "", (600, 144, 89, 25)),
                "4": (" 0 Chips ", "", (600, 272, 89, 49)),
                "5": ("Check Me!", "", (600, 448, 89, 33))}
    for path, (name, value, rect) in controls.items():
        seen = nodes[path]
        check((seen["name"], seen["value"], seen["at"]) == (name, value, window.screen_rect(*rect)),
              f"child {path} of the client: {seen}")
    wrong = []
    for y in range(25):
        for x in range(25):
            cell = nodes.get(f"1 {cell_id(x, y, 25)}")
            expected = {"role": CELL, "name": cell_name(x, y, "empty"),
                        "at": window.screen_box(x, y, 25), "action": "Place or remove chip"}
            if not cell or {k: cell[k] for k in expected} != expected or cell["state"] & FOCUSABLE:
                wrong.append((x, y, cell))
    check(not wrong, f"{len(wrong)} cells read wrong, the first {wrong[:3]}")
    # Cell (2, 3) of 25 x 25 is 24 x 24 layout pixels at 48, 72.
    ox, oy = window.state()["origin"]
    s = window.scale
    check(nodes[f"1 {cell_id(2, 3, 25)}"]["at"] == (ox + 48 * s, oy + 72 * s, 24 * s, 24 * s),
          "cell (2, 3) is not the 24 x 24 pixels at 48, 72")


def check_hits(window, reader):
    """A point finds what is drawn there: a cell from its first pixel to its last, the side
    controls by their names."""
    left, top, width, height = window.screen_box(24, 24, 25)
    hits = {"the middle of cell (2, 3)": (window.middle(2, 3, 25), cell_name(2, 3, "empty")),
            "the first pixel of cell (3, 3)": (window.screen_box(3, 3, 25)[:2],
                                               cell_name(3, 3, "empty")),
            "the last pixel of cell (24, 24)": ((left + width - 1, top + height - 1),
                                                cell_name(24, 24, "empty")),
            "the scroll bar": (window.screen_rect(640, 128, 1, 1)[:2], "Board size"),
            "Check Me!": (window.screen_rect(644, 464, 1, 1)[:2], "Check Me!")}
    for what, ((x, y), name) in hits.items():
        found = reader.hit(x, y)
        check(found["name"] == name, f"hit testing {what} at {x}, {y} found {found}")


def check_plays(window, reader, events):
    """The default action plays a cell as the left button does, a real right click marks one,
    and each is told as a change of the cell's name; the scroll bar's new size is a new game."""
    k = cell_id(2, 3, 25)
    events.after(lambda: check(reader.ask("act", k) == [f"act {k} done"], "the default action"),
                 [("name", "game", BOARD, k, cell_name(2, 3, "chip"))], "the default action")
    play_test.expect(window, {"count": " 1 Chips "}, {"2 3": "chip"})
    k = cell_id(4, 4, 25)
    events.after(lambda: window.click("right", (4 * 24 + 12, 4 * 24 + 12)),
                 [("name", "game", BOARD, k, cell_name(4, 4, "marked"))], "a right click")
    play_test.expect(window, {"count": " 1 Chips "}, {"4 4": "marked"})

    events.after(lambda: window.click("left", window.place("scroll bar's left arrow")), [],
                 "a click on the scroll bar's arrow")
    play_test.expect(window, {"size": "24x24"})
    check_new_game_told(events)
    board, cells = reader.cells(cell_id(2, 3, 24), cell_id(4, 4, 24), cell_id(23, 23, 24))
    check((board["children"], board["description"]) ==
          (576, "24x24 board, 0 chips, 0 marked cells"), f"the board of 24 x 24: {board}")
    expected = {cell_id(2, 3, 24): (cell_name(2, 3, "empty"), window.screen_box(2, 3, 24)),
                cell_id(4, 4, 24): (cell_name(4, 4, "empty"), window.screen_box(4, 4, 24)),
                cell_id(23, 23, 24): (cell_name(23, 23, "empty"), window.screen_box(23, 23, 24))}
    for k, (name, at) in expected.items():
        check((cells[k]["name"], cells[k]["at"]) == (name, at),
              f"after the new game, cell {k}: {cells[k]}")
    ox, oy = window.state()["origin"]
    s = window.scale
    check(cells[cell_id(2, 3, 24)]["at"] == (ox + 50 * s, oy + 75 * s, 25 * s, 25 * s),
          "cell (2, 3) of 24 x 24 is not the 25 x 25 pixels at 50, 75")


def check_new_game_told(events):
    """A new size is told as a new table of cells and as the scroll bar's value, "24x24"."""
    wanted = {("reorder", "game", "Board", ""), ("value", "ScrollBar", "Board size", "24x24")}
    told = set()

    def arrived():
        told.update((e["kind"], e["window"], e["name"], e["value"]) for e in events.others())
        return wanted <= told
    try:
        wait(arrived, "the new game told")
    except Failure:
        raise Failure(f"a new game of 24 x 24 was told as {told}") from None


def check_focus_order(window, reader, events):
    """With no screen reader the board takes no focus: Tab and Shift+Tab go between the scroll
    bar and the button, and the board raises no focus event."""
    check(reader.focus()[1]["name"] == "Board size", "the focus at start")
    for key, control, name in (("Tab", "Test", "Check Me!"), ("Tab", "SizeScroll", "Board size"),
                               ("Shift+Tab", "Test", "Check Me!"),
                               ("Shift+Tab", "SizeScroll", "Board size")):
        window_class = "Button" if control == "Test" else "ScrollBar"
        events.after(lambda: window.key(key), [("focus", window_class, OBJID_CLIENT, 0, name)],
                     f"{key} with no screen reader")
        play_test.expect(window, {"focus": control})
    check(window.ring(0, 0, 25) == "none", "a focus ring with no screen reader")


def without_screen_reader(window, reader, client):
    # With no window manager, Wine gives its window the keyboard at the first click on it.
    window.click("left", (650, 60))
    events = Events(window, client)
    try:
        check_focus_order(window, reader, events)
        print("passed: the focus order with no screen reader", flush=True)
        check_tree(window, reader)
        print("passed: the board as a table of its cells, and the side controls", flush=True)
        check_hits(window, reader)
        print("passed: hit testing", flush=True)
        check_plays(window, reader, events)
        print("passed: the default action, a right click and a new size, with their events",
              flush=True)
    finally:
        events.close()


def moves(window, events, steps, size=25):
    """Each key of `steps` and the cell it moves the cursor to, or None where it stays."""
    for key, to in steps:
        wanted = [("focus", "game", BOARD, cell_id(*to, size), cell_name(*to, "empty"))
                  ] if to else []
        got = events.after(lambda: window.key(key), wanted, f"{key} on the board")
        if to:
            check(got[-1]["state"] & FOCUSED and got[-1]["at"] == window.screen_box(*to, size),
                  f"the focused cell {got[-1]}")


def with_screen_reader(window, reader, client):
    """The board first in the tab order, its cursor on the keys, each move and play told."""
    window.click("left", (650, 60))
    where, focused = reader.focus()
    check(where == "game" and focused["name"] == cell_name(0, 0, "empty") and
          focused["state"] & FOCUSED and focused["state"] & FOCUSABLE,
          f"the focus at start with a screen reader: {where} {focused}")
    play_test.expect(window, {"focus": None})
    wait(lambda: window.settle() or window.ring(0, 0, 25) == "ring",
         "the focus ring on the first cell")
    events = Events(window, client)
    try:
        moves(window, events, [("Up", None), ("Left", None), ("Right", (1, 0)), ("Down", (1, 1)),
                               ("Down", (1, 2)), ("Down", (1, 3)), ("Right", (2, 3))])
        window.settle()
        check((window.ring(2, 3, 25), window.ring(1, 3, 25)) == ("ring", "none"),
              "the ring did not follow the cursor")
        k = cell_id(2, 3, 25)
        # The cell's middle shows the play, inside the ring.
        plays = [("space", "chip, 1 chip on the board", " 1 Chips ", BROWN),
                 ("m", "marked, 0 chips on the board", " 0 Chips ", YELLOW),
                 ("Return", "chip, 1 chip on the board", " 1 Chips ", BROWN)]
        for key, told, count, middle in plays:
            events.after(lambda: window.key(key),
                         [("name", "game", BOARD, k, cell_name(2, 3, told))], f"{key} on the board")
            play_test.expect(window, {"count": count})
            middle_at = window.device(cell_points(2, 3, 25)[0])
            wait(lambda: window.settle() or window.pixel(*middle_at) == middle,
                 f"the cell's middle after {key}")
        # Held, Space plays once: its repeats would take the chip away and put it back.
        events.after(lambda: hold(window, "space", 1.5),
                     [("name", "game", BOARD, k, cell_name(2, 3, "empty, 0 chips on the board"))],
                     "a held Space")
        # Moving on, the cell is read by its name alone again.
        events.after(lambda: window.key("Left"),
                     [("name", "game", BOARD, k, cell_name(2, 3, "empty")),
                      ("focus", "game", BOARD, cell_id(1, 3, 25), cell_name(1, 3, "empty"))],
                     "Left after a play")
        print("passed: the cursor keys and plays with a screen reader, with their events",
              flush=True)
        check_tab_ring(window, events)
    finally:
        events.close()


def check_tab_ring(window, events):
    """Tab goes from the board to the scroll bar and the button and back; a new size, made on
    the scroll bar, brings the cursor home."""
    def board(x, y, size=25):
        return [("focus", "game", OBJID_CLIENT, 0, "Vir Urad Izuva?"),
                ("focus", "game", BOARD, cell_id(x, y, size), cell_name(x, y, "empty"))]
    scroll_bar = [("focus", "ScrollBar", OBJID_CLIENT, 0, "Board size")]
    button = [("focus", "Button", OBJID_CLIENT, 0, "Check Me!")]
    for key, wanted, control in (("Tab", scroll_bar, "SizeScroll"), ("Tab", button, "Test"),
                                 ("Tab", board(1, 3), None), ("Shift+Tab", button, "Test"),
                                 ("Shift+Tab", scroll_bar, "SizeScroll")):
        events.after(lambda: window.key(key), wanted, f"{key} with a screen reader")
        play_test.expect(window, {"focus": control})
    window.settle()
    check(window.ring(1, 3, 25) == "none", "a focus ring while the board has no focus")
    events.after(lambda: window.key("Left"), [], "Left on the scroll bar")
    play_test.expect(window, {"size": "24x24"})
    check_new_game_told(events)
    events.after(lambda: window.key("Shift+Tab"), board(0, 0, 24), "Shift+Tab back to the board")
    wait(lambda: window.settle() or window.ring(0, 0, 24) == "ring", "the ring on the first cell")
    print("passed: the tab order through the board, and a new size with a screen reader",
          flush=True)


def set_screen_reader(wine_run, client, env, on):
    subprocess.run([wine_run, client, "screen-reader", "1" if on else "0"], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180, check=True)


def main():
    wine_run, game, probe, client, dpi = sys.argv[1:5] + [int(sys.argv[5])]

    def body(display, windows):
        env = dict(os.environ, DISPLAY=display)
        for on, part in ((False, without_screen_reader), (True, with_screen_reader)):
            # The flag lives in the prefix's registry; each game reads it as it starts.
            set_screen_reader(wine_run, client, env, on)
            windows.append(ReadWindow(wine_run, game, probe, dpi, display))
            part(windows[-1], Reader(windows[-1], client), client)
            play_test.check_close(windows[-1])

    return play_test.run_on_x_server(dpi, body)


if __name__ == "__main__":
    sys.exit(main())
