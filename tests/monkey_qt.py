"""Thousands of random real inputs on the Qt window, and the game still plays true after each batch.

Run inside a private session bus as:
    monkey_qt.py GAME BUS_LAUNCHER XVFB XDOTOOL [SEED]
It starts its own X server, accessibility bus and game, and from a seeded generator clicks both
buttons and drags anywhere in the window, turns the wheel, presses the keys players and screen
reader users press (with and without Ctrl), and so opens and closes Check Me!'s boxes and changes
the size. After every batch it closes any box left open and checks, from the screen's pixels and
over AT-SPI, that every cell shows empty, a chip or a mark and nothing else (a mark never holds a
chip), that the chips shown are the number the count label gives, and that the window still
answers. A failure prints its seed; give that seed to replay the same inputs.
"""
import os
import random
import re
import signal
import sys
import time

# The shared helpers are read from the source tree, which a test leaves as it found it.
sys.dont_write_bytecode = True
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "support"))
sys.path.insert(0, here)

import pyatspi  # noqa: E402

import play_through  # noqa: E402
import x_display  # noqa: E402
from play_qt import WindowManagerFocus  # noqa: E402
from qt_session import Failure, GameSession, child, window_controls  # noqa: E402

BATCHES, BATCH = 20, 100
WIDTH, HEIGHT = 688, 600
# The side column's scroll bar and Check Me!, hit more often than their share of the window.
SCROLL_BAR, CHECK_ME = (600, 120, 89, 17), (600, 448, 89, 33)
KEYS = ["Left", "Right", "Up", "Down", "Prior", "Next", "Home", "End", "Tab", "shift+Tab",
        "space", "Return", "m", "Escape", "ctrl+Left", "ctrl+space", "ctrl+m", "alt+Down", "a"]


class Monkey:
    def __init__(self, session, seed):
        self.session = session
        self.random = random.Random(seed)
        self.origin = session.window_origin()

    def point(self, area=(0, 0, WIDTH, HEIGHT)):
        left, top, width, height = area
        return [self.origin[0] + left + self.random.randrange(width),
                self.origin[1] + top + self.random.randrange(height)]

    def act(self):
        """One real input, as random as a player's who does not know the game."""
        r, x = self.random, self.session.xdotool
        kind = r.choices(["click", "drag", "wheel", "key", "side"], [35, 10, 10, 35, 10])[0]
        button = r.choice([1, 1, 3])
        if kind == "click":
            x("mousemove", *self.point(), "click", button)
        elif kind == "drag":
            x("mousemove", *self.point(), "mousedown", button)
            x("mousemove", *self.point(), "mouseup", button)
        elif kind == "wheel":
            x("mousemove", *self.point(), "click", r.choice([4, 5]))
        elif kind == "key":
            x("key", r.choice(KEYS))
        else:
            x("mousemove", *self.point(r.choice([SCROLL_BAR, CHECK_ME])), "click", 1)


def close_boxes(session, app):
    """Escape until no message box is open: the batch's last inputs may have opened one."""
    for _ in range(10):
        if child(app, pyatspi.ROLE_ALERT) is None:
            return
        session.xdotool("key", "Escape")
        time.sleep(0.2)
    raise Failure("a message box does not close on Escape")


def check(session, controls):
    """The picture agrees with the count label, and every cell shows what a cell can hold."""
    size = int(re.fullmatch(r"(\d+)x\1", controls["size"].name).group(1))
    count = controls["count"].name
    shot = x_display.Screenshot(session.display)
    origin = session.window_origin()
    chips = 0
    for y in range(size):
        for x in range(size):
            middle, corner = play_through.cell_points(x, y, size)
            seen = play_through.cell_shows(
                shot.pixel(origin[0] + int(middle[0]), origin[1] + int(middle[1])),
                shot.pixel(origin[0] + int(corner[0]), origin[1] + int(corner[1])))
            if seen is None:
                raise Failure(f"cell ({x}, {y}) of {size}x{size} shows neither empty, chip nor mark")
            chips += seen == "chip"
    if count != f" {chips} Chips ":
        raise Failure(f"the board shows {chips} chips, the label says {count!r}")
    return size, chips


def settled(session, controls):
    """Checks once the window has drawn what the last input asked: a reading that disagrees is
    read again until the window has had time to catch up."""
    deadline = time.monotonic() + 10
    while True:
        session.wait_for("a moment", lambda: True)
        try:
            return check(session, controls)
        except Failure:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.2)


def main():
    game, bus_launcher, xvfb, xdotool = sys.argv[1:5]
    seed = int(sys.argv[5]) if len(sys.argv) > 5 else random.SystemRandom().randrange(1 << 31)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    print(f"seed {seed}", flush=True)
    try:
        with GameSession(game, bus_launcher, xvfb, xdotool, 1) as session:
            focus = WindowManagerFocus(session.display)
            focus.start()
            focus.ready.wait()
            try:
                app = session.start_game()
                frame = session.wait_for("the game's window", lambda: app[0])
                controls = window_controls(frame)
                monkey = Monkey(session, seed)
                for batch in range(BATCHES):
                    for _ in range(BATCH):
                        monkey.act()
                    close_boxes(session, app)
                    size, chips = settled(session, controls)
                    print(f"batch {batch + 1}: {size}x{size}, {chips} chips", flush=True)
                status = session.close_window()
            finally:
                focus.stop()
            if status != 0:
                raise Failure(f"the game ended with status {status}")
    except (Failure, x_display.Failure) as failure:
        print(f"FAILED with seed {seed}: {failure}", file=sys.stderr, flush=True)
        return 1
    print(f"passed: {BATCHES * BATCH} random inputs with seed {seed}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
