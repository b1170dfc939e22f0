#!/usr/bin/env python3
"""Thousands of random real inputs on the Windows window under Wine, and the game still plays true.

    monkey_test.py WINE_RUN GAME.exe PROBE.exe [SEED]

From a seeded generator it clicks both buttons and drags anywhere in the window, turns the wheel,
presses the keys players and screen-reader users press (with and without Ctrl), and so opens and
closes Check Me!'s boxes and changes the size. After every batch it closes any box left open and
checks, through the probe and from the screen's pixels, that every cell shows empty, a chip or a
mark in its frame (a mark never holds a chip), that the chips shown are the number the count
label gives, and that the window still answers. A failure prints its seed; give that seed to
replay the same inputs.
"""
import os
import random
import re
import sys
import time

# The play-through's driver of this window gives the input and the readings.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from play_test import TIMEOUT, Failure, WineWindow, run_on_x_server  # noqa: E402

BATCHES, BATCH = 20, 100
WIDTH, HEIGHT = 688, 600
# The side column's scroll bar and Check Me!, hit more often than their share of the window.
SCROLL_BAR, CHECK_ME = (600, 120, 89, 17), (600, 448, 89, 33)
# Alt is left out: alone it opens the window's system menu, which no player of the game means.
KEYS = ["Left", "Right", "Up", "Down", "Prior", "Next", "Home", "End", "Tab", "shift+Tab",
        "space", "Return", "m", "Escape", "ctrl+Left", "ctrl+space", "ctrl+m", "a"]


class Monkey:
    def __init__(self, window, seed):
        self.window = window
        self.random = random.Random(seed)

    def point(self, area=(0, 0, WIDTH, HEIGHT)):
        left, top, width, height = area
        return left + self.random.random() * width, top + self.random.random() * height

    def act(self):
        """One real input, as random as a player's who does not know the game."""
        r, w = self.random, self.window
        kind = r.choices(["click", "drag", "wheel", "key", "side"], [35, 10, 10, 35, 10])[0]
        button = r.choice(["left", "left", "right"])
        if kind == "click":
            w.click(button, self.point())
        elif kind == "drag":
            w.drag(button, self.point(), self.point(), lambda: None)
        elif kind == "wheel":
            w.wheel(r.choice(["up", "down"]), self.point())
        elif kind == "key":
            w.xdo("key", r.choice(KEYS))
        else:
            w.click("left", self.point(r.choice([SCROLL_BAR, CHECK_ME])))


def answering(window):
    """The window's state once the probe reads it. One reading came back empty on a loaded CI
    machine, and the same seed replayed read every time; so the window counts as not answering
    only when no reading succeeds within TIMEOUT seconds, and a game that ended says so."""
    deadline = time.monotonic() + TIMEOUT
    while True:
        window.settle()
        if window.process.poll() is not None:
            raise Failure(f"the game ended with status {window.process.returncode}")
        if window.state():
            return window.state()
        if time.monotonic() > deadline:
            raise Failure("the window does not answer")
        time.sleep(0.5)


def close_boxes(window):
    """Escape until no message box is open: the batch's last inputs may have opened one."""
    for _ in range(10):
        if not answering(window).get("box"):
            return
        window.xdo("key", "Escape")
        time.sleep(0.3)
    raise Failure("a message box does not close on Escape")


def check(window):
    """The picture agrees with the count label, and every cell shows what a cell can hold."""
    window.settle()
    if not window.state():
        raise Failure("the window does not answer")
    size = int(re.fullmatch(r"(\d+)x\1", window.read("size")).group(1))
    count = window.read("count")
    chips = 0
    for y in range(size):
        for x in range(size):
            seen = window.cell(x, y, size)
            if seen not in ("empty", "chip", "marked"):
                raise Failure(f"cell ({x}, {y}) of {size}x{size} shows {seen}")
            chips += seen == "chip"
    if count != f" {chips} Chips ":
        raise Failure(f"the board shows {chips} chips, the label says {count!r}")
    return size, chips


def settled(window):
    """Checks once the window has drawn what the last input asked: a reading that disagrees is
    read again until the window has had time to catch up."""
    deadline = time.monotonic() + 20
    while True:
        try:
            return check(window)
        except Failure:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.3)


def main():
    wine_run, game, probe = sys.argv[1:4]
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else random.SystemRandom().randrange(1 << 31)
    print(f"seed {seed}", flush=True)

    def body(display, windows):
        window = WineWindow(wine_run, game, probe, 96, display)
        windows.append(window)
        monkey = Monkey(window, seed)
        for batch in range(BATCHES):
            for _ in range(BATCH):
                monkey.act()
            close_boxes(window)
            size, chips = settled(window)
            if window.process.poll() is not None:
                raise Failure(f"the game ended with status {window.process.returncode}")
            print(f"batch {batch + 1}: {size}x{size}, {chips} chips", flush=True)

    status = run_on_x_server(96, body)
    if status:
        print(f"FAILED with seed {seed}", file=sys.stderr, flush=True)
    else:
        print(f"passed: {BATCHES * BATCH} random inputs with seed {seed}", flush=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
