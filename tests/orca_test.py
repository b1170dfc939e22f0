"""What Orca, the screen reader blind players use on Linux, says as a short game is played on the
keyboard, read from Orca's own debug output.

Run inside a private session bus as:
    orca_test.py GAME BUS_LAUNCHER XVFB XDOTOOL ORCA WINDOW_MANAGER
It starts its own X server with a window manager, an accessibility bus on which the screen reader
is switched on as a desktop switches it on, Orca with settings of its own, and the game; plays
with real keys only, as a blind player does; and after each key checks what Orca said. Orca's
speech goes nowhere else: no speech server, no braille display, no sound. Every process it started
is ended, whatever happens.
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

# The shared helpers are read from the source tree, which a test leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))

import Xlib.display  # noqa: E402

import x_display  # noqa: E402
from orca_speech import (OrcaSpeech, Player, print_transcript, report_failure,  # noqa: E402
                         start_orca, stop_orca)
from qt_session import TIMEOUT, TITLE, Failure, GameSession  # noqa: E402


class FocusRing:
    """The dark ring on the cursor's cell, read from the screen: at scale 1, cell (x, y) of a
    board of 24-pixel cells has its left edge at 24 x; the ring stands 2 to 3 pixels inside it,
    between the cell's border and its chip, so the pixel 3 inside the middle of the left edge is
    dark with the ring and the cell's own white or yellow without."""

    def __init__(self, session):
        self.session = session

    def origin(self):
        """Where the window's client area starts on the screen. xdotool's answer is off by the
        window manager's title bar."""
        screen = Xlib.display.Display(self.session.display)
        window = screen.create_resource_object("window", self.session.window)
        root_corner = window.translate_coords(screen.screen().root, 0, 0)
        screen.close()
        return -root_corner.x, -root_corner.y

    def dark(self, x, y, side):
        left, top = self.origin()
        shot = x_display.Screenshot(self.session.display)
        r, g, b = shot.pixel(left + x * side + 3, top + y * side + side // 2)
        return r + g + b < 3 * 64

    def expect(self, x, y, side, shown):
        deadline = time.monotonic() + TIMEOUT
        while self.dark(x, y, side) != shown:
            if time.monotonic() > deadline:
                raise Failure(f"cell ({x}, {y}) {'shows no' if shown else 'still shows a'} "
                              "focus ring")
            time.sleep(0.05)


def play(p, session, speech, since_start):
    """A short game as a blind player plays it. Every sentence expected here is written out from
    how the game is played: cells named by column and row counted from 1, what they hold, the
    count; the message boxes' texts; Orca's own words for a frame, a table, a button, an alert."""
    ring = FocusRing(session)
    # The window opens with the keyboard on the size scroll bar, at 25.
    p.press(None, f"{TITLE} frame", "Board size scroll bar 25", since=since_start)

    # Shift+Tab goes back to the board, first in the tab order, and its top-left cell. Orca reads
    # a table's whole row as the cursor comes to a row, as it does in every table by default.
    p.press("shift+Tab", "Board", "table with 25 rows 25 columns", "column 1, row 1, empty",
            "column 25, row 1, empty", cells=25)
    ring.expect(0, 0, 24, True)
    p.press("Right", "column 2, row 1, empty", cells=1)
    ring.expect(1, 0, 24, True)
    ring.expect(0, 0, 24, False)
    p.press("Right", "column 3, row 1, empty", cells=1)
    for row in (2, 3, 4):
        p.press("Down", f"column 3, row {row}, empty", f"column 25, row {row}, empty", cells=25)

    # Space is the left button: a chip, and the count.
    p.press("space", "column 3, row 4, chip, 1 chip on the board")
    # M is the right button: a mark on a chip takes the chip away.
    p.press("m", "column 3, row 4, marked, 0 chips on the board")
    # A chip on a mark clears the mark; Enter plays as Space does.
    p.press("Return", "column 3, row 4, chip, 1 chip on the board")
    # The cursor stops at the board's edge: the third Left stays on column 1.
    p.press("Left", "column 2, row 4, empty", cells=1)
    p.press("Left", "column 1, row 4, empty", cells=1)
    session.xdotool("key", "Left")
    p.press("Up", "column 1, row 3, empty", "column 25, row 3, empty", cells=25)

    # Tab leaves the board for the scroll bar, and the ring goes with the focus.
    p.press("Tab", "Board size scroll bar 25")
    ring.expect(0, 2, 24, False)
    # A smaller size is a new game: the last one is gone, and Orca says so.
    p.press("Left", "24", "New game, 24x24")
    p.press("shift+Tab", "table with 24 rows 24 columns", "column 1, row 1, empty",
            "column 24, row 1, empty", cells=24)
    ring.expect(0, 0, 25, True)

    # Three chips evenly spaced in the first row.
    p.press("space", "column 1, row 1, chip, 1 chip on the board")
    p.press("Right", "column 2, row 1, empty", cells=1)
    p.press("space", "column 2, row 1, chip, 2 chips on the board")
    p.press("Right", "column 3, row 1, empty", cells=1)
    p.press("space", "column 3, row 1, chip, 3 chips on the board")
    p.press("Tab", "Board size scroll bar 24")
    p.press("Tab", "Check Me! button")
    p.press("Return", "alert Line Found", "There is a line of 3 chips. Try again!", "OK button")
    # The box closes, and the keyboard is back on the button.
    p.press("Return", "Check Me! button")

    # With the middle chip marked away there is no line; the cursor stayed where it was.
    p.press("Tab", "Board", "column 3, row 1, chip", "column 24, row 1, empty", cells=24)
    p.press("Left", "column 2, row 1, chip", cells=1)
    p.press("m", "column 2, row 1, marked, 2 chips on the board")
    p.press("shift+Tab", "Check Me! button")
    p.press("Return", "alert No Line Found!",
            "There is no line! Your result of 2 chips is a success!", "OK button")
    p.press("Return", "Check Me! button")


def main():
    game, bus_launcher, xvfb, xdotool, orca, window_manager = sys.argv[1:7]
    # A stop from outside still ends every process started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    speech = OrcaSpeech()
    player = None
    try:
        with GameSession(game, bus_launcher, xvfb, xdotool, 1) as session, \
                tempfile.TemporaryDirectory() as home:
            # Focus comes back to the game when a message box closes only through a window
            # manager, as on a desktop.
            session.processes.start([window_manager, "--sm-disable"], stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            screen_reader = start_orca(session, orca, home, speech)
            since_start = speech.mark()
            # Qt warns of each object that Orca asks about after it has gone, such as the cells
            # of the last game; that is Orca's way, and the warnings would bury a real failure.
            os.environ["QT_LOGGING_RULES"] = "qt.accessibility.atspi.warning=false"
            session.start_game(accessibility_always_on=False)
            session.xdotool("windowactivate", "--sync", session.window)
            player = Player(session, speech)
            play(player, session, speech, since_start)
            stop_orca(screen_reader)
            status = session.close_window()
            if status != 0:
                raise Failure(f"the game ended with status {status}")
    except Failure as failure:
        report_failure(failure, player, speech)
        return 1
    finally:
        speech.close()
    print_transcript(player.said)
    print("passed: a blind player plays the game with Orca", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
