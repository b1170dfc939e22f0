#!/usr/bin/env python3
"""Plays the blind player's game (tests/blind_play.json) on the Windows window under Wine, as a
screen reader's user plays it: real X keys and clicks on a private X server, and a screen
reader's client in a process of its own (screen_reader_client.exe) that reads and plays the
window through MSAA and hears its events all the while.

    blind_play_test.py WINE_RUN GAME.exe PROBE.exe CLIENT.exe DPI

The game starts with Windows told that a screen reader runs. The ring is read from the screen's
pixels, and where each cell stands from the painted squares at DPI, as play_test.py reads them.
"""
import json
import os
import re
import select
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import play_test  # noqa: E402
from play_test import BLACK, Failure, WineWindow  # noqa: E402
import blind_play  # noqa: E402
from play_through import cell_points  # noqa: E402

KEYS = {"Ctrl+": "ctrl+", "Shift+": "shift+"}
CONTROLS = ("SizeScroll", "SizeOf", "Number", "Test")
# Where the window was designed to draw them, in its layout pixels at 96 dpi.
DESIGNED = {"SizeScroll": (600, 120, 89, 17), "SizeOf": (600, 144, 89, 25),
            "Number": (600, 272, 89, 49), "Test": (600, 448, 89, 33)}


class ScreenReader:
    """The client, listening from start to end; each question is a line, each answer one."""

    def __init__(self, window, client):
        self.process = subprocess.Popen([window.wine_run, client, "listen"], env=window.env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.pending = b""
        if self.line() != '"listening"':
            raise Failure("the screen reader's client did not start")

    def line(self, timeout=play_test.TIMEOUT):
        deadline = time.monotonic() + timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.process.stdout], [], [], left)[0]:
                raise Failure("the screen reader's client did not answer")
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                raise Failure("the screen reader's client ended")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line.decode("utf-8").strip()

    def ask(self, *words):
        self.process.stdin.write((" ".join(map(str, words)) + "\n").encode("utf-8"))
        self.process.stdin.flush()
        return json.loads(self.line())

    def close(self):
        self.process.stdin.close()
        self.process.wait(play_test.TIMEOUT)


def cell_id(x, y, size):
    """The table's children are its cells row by row, from 1."""
    return y * size + x + 1


class BlindWine(blind_play.BlindWindow):
    name = "win32"

    def __init__(self, window, reader):
        self.window, self.reader = window, reader
        self.size = self.old_size = 25

    def key(self, name):
        for word, xdotool in KEYS.items():
            name = name.replace(word, xdotool)
        self.window.xdo("key", name)

    def hold(self, name):
        play_test.hold(self.window, name, 1.5)

    def act(self, target, action, old=False):
        if target == "Check Me!":
            done = self.reader.ask("press", target)
        elif action == "place":
            size = self.old_size if old else self.size
            done = self.reader.ask("act-old" if old else "act", cell_id(*target, size))
        else:
            raise Failure(f"MSAA has no action {action!r} on a cell")
        # An object of the last game is meant to fail; the step says what it must not change.
        if "result" not in done or (done["result"] != "00000000" and not old):
            raise Failure(f"the screen reader's action on {target} failed: {done}")

    def focus_cell(self, x, y):
        done = self.reader.ask("take-focus", cell_id(x, y, self.size))
        if done.get("result") != "00000000":
            raise Failure(f"the screen reader's focus on cell {x} {y} failed: {done}")

    def click(self, button, place, size):
        if isinstance(place, list):
            point = cell_points(*place, size)[0]
        else:
            point = self.window.place(place)
        self.window.click(button, point)

    def start_step(self):
        self.reader.ask("start")

    def read(self, what, wanted, size):
        if size != self.size:
            self.old_size, self.size = self.size, size
        if what in ("focus", "heard", "box", "boxes"):
            return self.reader.ask(what)
        if what == "names":
            cells = {key: cell_id(*map(int, key.split()), size) for key in wanted}
            names = self.reader.ask("names", *cells.values())
            return {key: names.get(str(k), names) for key, k in cells.items()}
        if what == "controls":
            read = self.reader.ask("controls")
            return dict(zip(CONTROLS, read)) if isinstance(read, list) else read
        if what == "board":
            return self.table()
        if what == "ring":
            return self.ring(size)
        if what == "placed":
            return self.misplaced(wanted, size)
        raise Failure(f"no reading of {what}")

    def table(self):
        """Rows and columns as a screen reader's user learns them: from the last cell's name,
        which must also be the last of rows x columns children."""
        read = self.reader.ask("board")
        last = re.match(r"column (\d+), row (\d+),", read.get("last", ""))
        if not last or read["role"] != "table":
            return read
        columns, rows = map(int, last.groups())
        if read["children"] != rows * columns:
            return read
        return {"rows": rows, "columns": columns, "description": read["description"]}

    def ring(self, size):
        """The cells that show the focus ring on the screen: "x y" for one, None for none."""
        self.window.settle()
        ringed = [f"{x} {y}" for y in range(size) for x in range(size) if self.ringed(x, y, size)]
        return ringed[0] if len(ringed) == 1 else ringed or None

    def ringed(self, x, y, size):
        """A dark ring inside the cell's border: the middles of its four sides three layout
        pixels in, between the border and where a chip would stand (five in)."""
        left, top, right, bottom = self.window.cell_box(x, y, size)
        three = self.window.dev(3)
        mx, my = (left + right) // 2, (top + bottom) // 2
        sides = [(left + three, my), (right - 1 - three, my), (mx, top + three),
                 (mx, bottom - 1 - three)]
        return all(self.window.pixel(*p) == BLACK for p in sides)

    def misplaced(self, wanted, size):
        """The cells whose extents are not their painted squares on the screen, and the side
        controls whose extents are not their rectangles of the design, or that hit testing does
        not find at the middle of those."""
        self.window.settle()
        ox, oy = self.window.origin()
        dev = self.window.dev
        cells = {key: cell_id(*map(int, key.split()), size) for key in wanted
                 if key not in CONTROLS}
        located = self.reader.ask("locate", *cells.values()) if cells else {}
        controls = dict(zip(CONTROLS, self.reader.ask("controls")))
        wrong = []
        for key in wanted:
            if key in CONTROLS:
                left, top, width, height = DESIGNED[key]
                drawn = [ox + dev(left), oy + dev(top), dev(left + width) - dev(left),
                         dev(top + height) - dev(top)]
                at, found = controls[key].get("at"), controls[key]["name"]
            else:
                left, top, right, bottom = self.window.cell_box(*map(int, key.split()), size)
                drawn = [ox + left, oy + top, right - left, bottom - top]
                at, found = located.get(str(cells[key])), cells[key]
            hit = self.reader.ask("hit", drawn[0] + drawn[2] // 2, drawn[1] + drawn[3] // 2)
            if at != drawn or not hit or found not in hit[:2]:
                wrong.append({"place": key, "drawn": drawn, "located": at,
                              "hit at its middle": hit})
        return wrong


def set_screen_reader(wine_run, client, env, on):
    subprocess.run([wine_run, client, "screen-reader", "1" if on else "0"], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180, check=True)


def run(argv, screen_reader, play):
    """Starts the game with Windows told whether a screen reader runs, and the client beside
    it, and hands both to play(window, player); argv is the tests' WINE_RUN GAME PROBE CLIENT
    DPI."""
    wine_run, game, probe, client, dpi = argv[:4] + [int(argv[4])]

    def body(display, windows):
        # The flag lives in the prefix's registry; the game reads it as it starts.
        set_screen_reader(wine_run, client, dict(os.environ, DISPLAY=display), screen_reader)
        window = WineWindow(wine_run, game, probe, dpi, display)
        windows.append(window)
        # With no window manager, Wine gives its window the keyboard at the first click on it.
        window.click("left", (650, 60))
        reader = ScreenReader(window, client)
        try:
            play(window, BlindWine(window, reader))
        finally:
            reader.close()
        play_test.check_close(window)

    return play_test.run_on_x_server(dpi, body)


def main():
    def play(window, player):
        try:
            played = blind_play.BlindPlay(player, timeout=play_test.TIMEOUT).play(
                log=lambda line: print(line, flush=True))
        except blind_play.Failure as failure:
            raise Failure(str(failure)) from None
        print(f"passed: {played} steps of the blind player's game at {window.scale * 96:.0f} dpi",
              flush=True)

    return run(sys.argv[1:], True, play)


if __name__ == "__main__":
    sys.exit(main())
