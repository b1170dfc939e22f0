"""Plays the game's play-through (tests/play_through.json) on one window, step by step.

A driver for a front end subclasses Window: it gives real input to the window and reads back
what the window shows. The play-through decides where everything is in the window's layout
pixels and what must show after each step, so that every front end is held to the same list.
"""
import json
import os
import time

TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "play_through.json")

# What a cell shows, from two of its pixels: the middle and a point just inside its border.
WHITE, YELLOW, BROWN = (255, 255, 255), (255, 255, 0), (192, 64, 0)


class Failure(Exception):
    pass


def cell_shows(middle, corner):
    """'empty', 'chip' or 'marked' from the colours of a cell's middle and of a point near its
    top-left corner inside the border; None for anything else, such as a cell not drawn yet."""
    if corner == YELLOW and middle == YELLOW:
        return "marked"
    if corner == WHITE and middle == WHITE:
        return "empty"
    if corner == WHITE and middle == BROWN:
        return "chip"
    return None


def cell_points(x, y, size):
    """The layout points a driver reads cell (x, y) by on a board of `size` cells: its middle,
    and a point 3 pixels inside its top-left corner, clear of the border and of the chip."""
    side = 600 / size
    return ((x + 0.5) * side, (y + 0.5) * side), (x * side + 3, y * side + 3)


class Window:
    """Real input to one window and what it shows, in the window's layout pixels.

    Points are floats in layout pixels from the client area's top-left corner; a driver turns
    them into its screen's pixels (at a scale s, the device pixel floor(v * s))."""

    def click(self, button, point):
        raise NotImplementedError

    def drag(self, button, start, end, during):
        """Press at start, move to end, call during() with the button still down, release."""
        raise NotImplementedError

    def wheel(self, direction, point):
        raise NotImplementedError

    def key(self, name):
        raise NotImplementedError

    def place(self, name):
        """Where a named part of a control is drawn in this window ("scroll bar's thumb", ...)."""
        raise NotImplementedError

    def read(self, what):
        """The window's size or count caption, scroll bar value, focused control (SizeScroll or
        Test), or open message box ({title, text, icon} or None)."""
        raise NotImplementedError

    def cell(self, x, y, size):
        """What cell (x, y) of a board of `size` cells shows: empty, chip or marked."""
        raise NotImplementedError

    def settle(self):
        """Called before each reading; a driver may refresh what it reads from (a screenshot)."""


class PlayThrough:
    def __init__(self, window, table=TABLE, timeout=20):
        with open(table, encoding="utf-8") as f:
            data = json.load(f)
        self.places = data["places"]
        self.steps = data["steps"]
        self.window = window
        self.timeout = timeout
        self.size = 25

    def point(self, place):
        """A place of the table as a layout point: a cell's middle at the board's size now, a
        pixel's middle, or where the window draws a named part."""
        if isinstance(place, list):
            side = 600 / self.size
            return ((place[0] + 0.5) * side, (place[1] + 0.5) * side)
        if isinstance(place, str) and isinstance(self.places.get(place), dict):
            place = self.places[place]
        if isinstance(place, dict):
            return (place["at"][0] + 0.5, place["at"][1] + 0.5)
        return self.window.place(place)

    def act(self, step):
        action = step.get("do")
        if not action:
            return
        kind, *args = action
        if kind == "click":
            self.window.click(args[0], self.point(args[1]))
        elif kind == "drag":
            during = step.get("during")
            self.window.drag(args[0], self.point(args[1]), self.point(args[2]),
                             lambda: self.expect(during, "while the button is down") if during else None)
        elif kind == "wheel":
            self.window.wheel(args[0], self.point(args[1]))
        elif kind == "key":
            self.window.key(args[0])
        else:
            raise Failure(f"the table asks for an action no driver knows: {action}")

    def seen(self, expected):
        """What the window shows of each expected thing, keyed as the table keys it."""
        self.window.settle()
        seen = {}
        for what, wanted in expected.items():
            if what == "cells":
                seen[what] = {xy: self.window.cell(*map(int, xy.split()), self.size)
                              for xy in wanted}
            else:
                seen[what] = self.window.read(what)
        return seen

    def expect(self, expected, moment):
        deadline = time.monotonic() + self.timeout
        while True:
            seen = self.seen(expected)
            if seen == expected:
                return
            if time.monotonic() > deadline:
                wrong = {k: (expected[k], seen[k]) for k in expected if seen[k] != expected[k]}
                raise Failure(f"{moment}: expected, seen: {wrong}")
            time.sleep(0.05)

    def play(self, log=print):
        for number, step in enumerate(self.steps, 1):
            what = f"step {number} {json.dumps(step.get('do', 'start'))}"
            self.act(step)
            expected = step["expect"]
            if "size" in expected:
                self.size = int(expected["size"].split("x")[0])
            self.expect(expected, what)
            log(f"passed {what}" + (f": {step['say']}" if "say" in step else ""))
        return len(self.steps)
