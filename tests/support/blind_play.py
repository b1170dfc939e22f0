"""Plays the blind player's game (tests/blind_play.json) on one window, step by step.

A driver for a front end subclasses BlindWindow: it presses real keys, does what a screen reader
does, and reads back what a screen reader reads and hears. The table decides what must be read
and heard after each step, so that every front end is held to the same list.
"""
import json
import os
import time

TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "blind_play.json")


class Failure(Exception):
    pass


class BlindWindow:
    """Real keys and a screen reader's actions on one window, and what the screen reader gets.

    `name` is the window's name in the table's "skip" ("qt", "win32", "web"); `knows_screen_reader`
    is False for a window that cannot tell whether a screen reader runs, which plays a step's
    "page" part instead of the step where it has one."""

    name = ""
    knows_screen_reader = True

    def key(self, name):
        raise NotImplementedError

    def hold(self, name):
        """Holds the key down for a second and a half, long enough for it to repeat."""
        raise NotImplementedError

    def act(self, target, action, old=False):
        """The screen reader's action on a cell (x, y) ("place" or "mark"), or "Press" on the
        control named `target`; with `old`, on the object it was given for that cell before the
        last new game."""
        raise NotImplementedError

    def focus_cell(self, x, y):
        raise NotImplementedError

    def click(self, button, place, size):
        """A real click on a cell [x, y] of a board of `size`, or on a named place."""
        raise NotImplementedError

    def start_step(self):
        """Forgets what was heard and how many boxes opened so far."""

    def read(self, what, wanted, size):
        """What the window shows of one expectation of the table, in the table's form: focus,
        heard, names, controls, board, ring, box, boxes; or for placed, the cells of `wanted`
        that are not where they are painted."""
        raise NotImplementedError


class HeldCells:
    """The cells a screen reader was given, each with the step it was given in. A cell is of an
    old game if it was given before the step whose action began the last new game: counted by
    steps, as the announcement of a new game may come after its new table is read."""

    def __init__(self):
        self.step = 0
        self.new_game_step = 0
        self.cells = {}  # (x, y) -> [(cell object, the step it was given in)]

    def begin_step(self):
        self.step += 1

    def hear(self, sentence):
        if sentence.startswith("New game"):
            self.new_game_step = self.step

    def give(self, xy, found):
        self.cells.setdefault(xy, []).append((found, self.step))
        return found

    def old(self, xy):
        """The cells at xy given before the last new game, the last given last."""
        return [c for c, step in self.cells.get(xy, []) if step < self.new_game_step]


# The side controls where the window was designed to draw them, in its layout pixels.
CONTROLS = {"SizeScroll": (600, 120, 89, 17), "SizeOf": (600, 144, 89, 25),
            "Number": (600, 272, 89, 49), "Test": (600, 448, 89, 33)}


def designed_place(place, size):
    """Where the window was designed to draw a place the table lists under "placed": a side
    control's rectangle, or cell "x y"'s square on a board of `size` cells, in layout pixels."""
    if place in CONTROLS:
        return CONTROLS[place]
    x, y = map(int, place.split())
    edge = lambda i: round(i * 600 / size)  # noqa: E731
    return edge(x), edge(y), edge(x + 1) - edge(x), edge(y + 1) - edge(y)


def merged(step, window):
    """The step as this window plays it: a page's own action and expectations where it has them."""
    if window.knows_screen_reader or "page" not in step:
        return step
    own = dict(step, **{k: v for k, v in step["page"].items() if k != "expect"})
    own["expect"] = dict(step["expect"], **step["page"].get("expect", {}))
    return own


def subset(seen, wanted):
    """Whether everything wanted is seen: dictionaries compared on the keys wanted only."""
    if isinstance(wanted, dict) and isinstance(seen, dict):
        return all(k in seen and subset(seen[k], v) for k, v in wanted.items())
    return seen == wanted


class BlindPlay:
    # After a step's expectations are met, how long to go on listening for a sentence or a box
    # that must not come.
    QUIET = 0.6

    def __init__(self, window, table=TABLE, timeout=20):
        with open(table, encoding="utf-8") as f:
            self.steps = json.load(f)["steps"]
        self.window = window
        self.timeout = timeout
        self.size = 25

    def act(self, action):
        kind, *args = action
        w = self.window
        if kind == "key":
            w.key(args[0])
        elif kind == "hold":
            w.hold(args[0])
        elif kind in ("act", "act old"):
            target = tuple(args[0]) if isinstance(args[0], list) else args[0]
            w.act(target, args[1] if len(args) > 1 else "Press", old=kind == "act old")
        elif kind == "focus":
            w.focus_cell(*args[0])
        elif kind == "click":
            w.click(args[0], args[1], self.size)
        else:
            raise Failure(f"the table asks for an action no driver knows: {action}")

    def seen(self, expected):
        return {what: self.window.read(what, wanted, self.size) for what, wanted in expected.items()}

    def matches(self, what, seen, wanted):
        if what == "placed":
            return seen == []
        return subset(seen, wanted)

    def expect(self, expected, moment):
        deadline = time.monotonic() + self.timeout
        while True:
            seen = self.seen(expected)
            if all(self.matches(k, seen[k], expected[k]) for k in expected):
                return
            if time.monotonic() > deadline:
                wrong = {k: (expected[k], seen[k]) for k in expected
                         if not self.matches(k, seen[k], expected[k])}
                raise Failure(f"{moment}: expected, read: {wrong}")
            time.sleep(0.05)

    def play(self, log=print):
        played = 0
        for number, step in enumerate(self.steps, 1):
            step = merged(step, self.window)
            what = f"step {number} {json.dumps(step.get('do', 'start'))}"
            if self.window.name in step.get("skip", {}):
                log(f"skipped {what}: {step['skip'][self.window.name]}")
                continue
            self.window.start_step()
            if "do" in step:
                self.act(step["do"])
            expected = step["expect"]
            board = expected.get("board")
            if board:
                self.size = board["rows"]
            self.expect(expected, what)
            # Nothing more may be said, and no other box open, a moment later.
            quiet = {k: v for k, v in expected.items() if k in ("heard", "boxes")}
            if quiet:
                time.sleep(self.QUIET)
                self.expect(quiet, f"{what}, a moment later")
            played += 1
            log(f"passed {what}" + (f": {step['say']}" if "say" in step else ""))
        return played
