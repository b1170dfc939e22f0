"""What Orca, the screen reader blind players use on Linux, says as a short game is played on the
page in Chromium with the keyboard, read from Orca's own debug output.

Run inside a private session bus as:
    orca_test.py SITE_DIR NODE BUS_LAUNCHER XVFB XDOTOOL ORCA WINDOW_MANAGER
It starts its own X server with a window manager, an accessibility bus on which the screen reader
is switched on as a desktop switches it on, Orca with settings of its own, and a Chromium window
(orca_browser.mjs) into whose address bar the player types the game's address; then plays with
real keys only, in Orca's browse mode, in which a blind player reads a page, and after each key
checks what Orca said. Every process it started is ended, whatever happens.
"""

import os
import queue
import signal
import subprocess
import sys
import tempfile
import threading

# The shared helpers are read from the source tree, which a test leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))

from orca_speech import (OrcaSpeech, Player, plain, print_transcript, start_orca,  # noqa: E402
                         stop_orca)
from qt_session import TIMEOUT, TITLE, Failure, GameSession  # noqa: E402

class Browser:
    """The Chromium window of orca_browser.mjs and the lines it writes."""

    def __init__(self, session, node, site):
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "orca_browser.mjs")
        self.process = session.processes.start([node, script, site], stdin=subprocess.PIPE,
                                               stdout=subprocess.PIPE, text=True)
        self.lines = queue.Queue()
        threading.Thread(target=self.read, daemon=True).start()

    def read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())
        self.lines.put(None)

    def line(self, what):
        try:
            line = self.lines.get(timeout=TIMEOUT)
        except queue.Empty:
            raise Failure(f"the browser did not write {what}") from None
        if line is None:
            raise Failure(f"the browser ended with status {self.process.wait()} before {what}")
        return line

    def close(self):
        """Closes the window; the page must have had no console errors and made no requests
        outside the game's folder."""
        self.process.stdin.close()
        try:
            status = self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the browser did not close") from None
        if status != 0:
            raise Failure(f"the browser ended with status {status}")


def row(number, size):
    return [f"column {x}, row {number}, empty" for x in range(1, size + 1)]


def play(session, speech, browser):
    """A short game as a blind player plays it. Every sentence expected here is written out from
    how the game is played: cells named by column and row counted from 1, what they hold, the
    count; the captions, the controls' names and the message boxes' texts; Orca's own words for
    a page, a table, a scroll bar, a button and an alert."""
    p = Player(session, speech)
    # A new window has the keyboard in its address bar, where the player types the address.
    p.press(None, "Address and search bar autocomplete about:blank selected", since=0,
            label="a new window")
    address, since_typing = browser.line("the game's address"), speech.mark()
    session.xdotool("type", "--delay", "20", address)
    # Orca echoes each key; the address ends with its last slash.
    session.wait_for("Orca to echo the address", lambda: [
        plain(u) for u in speech.heard(since_typing)].count("slash") == address.count("/"))
    # Orca says when the page has loaded. The board may come up before or after that, and Orca
    # reads the captions the board fills in only if it has the page by then: the count's caption
    # is heard below, as the plays change it.
    p.press("Return", f"Finished loading {TITLE}")
    if browser.line("that the board is ready") != "ready":
        raise Failure("the browser did not say that the board is ready")
    # The keyboard is on the scroll bar: Tab goes round the window's two controls.
    p.press("Tab", "Check Me! button")
    p.press("Tab", "Board size horizontal scroll bar 25 clickable")

    # T goes to the next table, the board, and reads its first row; Down reads the next rows.
    p.press("t", "table with 25 rows 25 columns", *row(1, 25), cells=25)
    p.press("Down", *row(2, 25), cells=25)
    p.press("Down", *row(3, 25), cells=25)
    # Enter clicks the cell at the start of the row: a chip, and the page says the cell and the
    # count (Orca also reads the count's caption, before or after it).
    p.press("Return", "column 1, row 3, chip, 1 chip on the board")
    # Right moves cell by cell along the row, and Space plays the cell there.
    p.press("Right", "column 2, row 3, empty", cells=1)
    p.press("space", "column 2, row 3, chip, 2 chips on the board")
    p.press("Right", "column 3, row 3, empty", cells=1)
    # The Menu key opens the cell's context menu: the right button's mark, and again its unmark.
    p.press("Menu", "column 3, row 3, marked, 2 chips on the board")
    p.press("Menu", "column 3, row 3, empty, 2 chips on the board")
    p.press("Left", "column 2, row 3, chip", cells=1)
    p.press("Right", "column 3, row 3, empty", cells=1)
    # Three chips evenly spaced in the third row.
    p.press("space", "column 3, row 3, chip, 3 chips on the board")

    # Tab leaves the board for the scroll bar, then the button, whose box Orca reads out: its
    # title and message, and its button.
    p.press("Tab", "leaving table", "Board size horizontal scroll bar 25 clickable")
    p.press("Tab", "Check Me! button")
    p.press("Return", "Line Found There is a line of 3 chips. Try again!", "OK button")
    # The box closes, and the window is there again: Orca hears its captions anew.
    p.press("Return", "Chips placed 3 Chips")
    # The keyboard is back on the button, after the scroll bar.
    p.press("shift+Tab", "Board size horizontal scroll bar 25 clickable")

    # Page Up, a key Orca leaves to the page, takes the scroll bar one step down: a new game,
    # the last one gone, and the page says so.
    p.press("Prior", "New game, 24x24")
    p.press("Tab", "Check Me! button")
    p.press("Return", "No Line Found! There is no line! Your result of 0 chips is a success!",
            "OK button")
    p.press("Return", "Board size 24x24")
    p.press("shift+Tab", "Board size horizontal scroll bar 24 clickable")
    return p.said


def main():
    site, node, bus_launcher, xvfb, xdotool, orca, window_manager = sys.argv[1:8]
    # A stop from outside still ends every process started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    speech = OrcaSpeech()
    try:
        with GameSession(None, bus_launcher, xvfb, xdotool, 1) as session, \
                tempfile.TemporaryDirectory() as home:
            # The new window takes the focus, and a closed box gives it back, through a window
            # manager, as on a desktop.
            session.processes.start([window_manager, "--sm-disable"], stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            screen_reader = start_orca(session, orca, home, speech)
            browser = Browser(session, node, site)
            said = play(session, speech, browser)
            # Orca is stopped once the window has gone, with nothing of the page left to ask.
            browser.close()
            stop_orca(screen_reader)
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr, flush=True)
        return 1
    finally:
        speech.close()
    print_transcript(said)
    print("passed: a blind player plays the page with Orca", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
