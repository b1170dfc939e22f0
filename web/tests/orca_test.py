"""What Orca, the screen reader blind players use on Linux, says as a short game is played on the
page in Chromium with the keyboard, read from Orca's own debug output.

Run inside a private session bus as:
    orca_test.py SITE_DIR NODE BUS_LAUNCHER XVFB XDOTOOL ORCA WINDOW_MANAGER
It starts its own X server with a window manager and an accessibility bus, a Chromium window
(orca_browser.mjs) opened at the game's address, and once the game is up, the screen reader,
switched on as a desktop switches it on, Orca with settings of its own. It then plays with real
keys only, in Orca's browse mode, in which a blind player reads a page, and after each key checks
what Orca said. Every process it started is ended, whatever happens.

Orca comes to a page that has loaded, as to a game left open in a tab: Orca 43, watching a page
load on a busy machine, can take the page's "busy", "not busy" and "loaded" events in the wrong
order, since it asks the browser about the first while the others come in. It then holds the
page for still loading, and leaves out whatever appears on it, the game's message boxes
included.
"""

import os
import queue
import signal
import subprocess
import sys
import tempfile
import threading
import time

# The shared helpers are read from the source tree, which a test leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))

from orca_speech import (OrcaSpeech, Player, in_order, plain, print_transcript,  # noqa: E402
                         report_failure, start_orca, stop_orca)
from qt_session import TIMEOUT, Failure, GameSession  # noqa: E402

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

    def answer(self, question):
        """Asks the browser about the page, and returns its answer."""
        self.process.stdin.write(question + "\n")
        self.process.stdin.flush()
        return self.line(f"the answer to {question!r}")

    def ask(self, question, answer):
        """Asks the browser about the page, and waits for the answer wanted."""
        if self.answer(question) != answer:
            raise Failure(f"the browser did not answer {question!r} with {answer!r}")

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


def check_me(p, session, speech, browser, title, text):
    """Return on "Check Me!" opens its box, and Escape closes it. Orca reads how the game went
    from the box as it opens, but how much of it depends on the order in which the browser's
    events reach it: as an alert with its title and message, or from the box's heading, or the
    message alone. The player must hear the title or the message, and the box's button, before
    closing it; what the box holds, and when, the page's AT-SPI test checks."""
    since = speech.mark()
    session.xdotool("key", "Return")

    def read():
        heard = [plain(u) for u in speech.heard(since)]
        return "OK button" in heard and any(title in u or u.endswith(text) for u in heard)

    try:
        session.wait_for(f"Orca to read the box {title!r}", read)
    except Failure as failure:
        raise Failure(f"{failure}; it said {speech.heard(since)}; the page has "
                      f"{browser.answer('state?')}") from None
    settle(session, speech)
    p.said.append(("Return", speech.heard(since)))
    # Escape closes the box as its button does. Return would too, but in browse mode Orca 48
    # keeps it for itself where its reading of the box stands on the text rather than the button.
    closing = speech.mark()
    session.xdotool("key", "Escape")
    browser.ask("box closed?", "box closed")
    settle(session, speech)
    p.said.append(("Escape", speech.heard(closing)))


def back_to(p, session, speech, control):
    """Shift+Tab until Orca names `control`, at most twice: the page hands the keyboard back to
    "Check Me!" when its box closes, but Orca 48 in browse mode may then put it where its own
    reading of the page stands, after the button."""
    for _ in range(2):
        since = speech.mark()
        press_for_any(p, session, speech, "shift+Tab", {"Check Me! button", control})
        if in_order([control], [plain(u) for u in speech.heard(since)]):
            return
    raise Failure(f"Shift+Tab twice did not reach {control!r}")


def press_for_any(p, session, speech, key, heard_any):
    """Presses `key` and waits until Orca has said one of `heard_any`, where its versions differ,
    then until it has said all it has to say."""
    since = speech.mark()
    session.xdotool("key", key)
    try:
        session.wait_for(f"Orca to say one of {sorted(heard_any)}", lambda: any(
            in_order([wanted], [plain(u) for u in speech.heard(since)]) for wanted in heard_any))
    except Failure as failure:
        raise Failure(f"after {key}, {failure}; it said {speech.heard(since)}") from None
    settle(session, speech)
    p.said.append((key, speech.heard(since)))


def settle(session, speech):
    """Waits until Orca has said nothing more for a second: a key pressed while it still reads a
    page that has changed under it may go unspoken."""
    heard = [speech.mark(), time.monotonic()]

    def quiet():
        if speech.mark() != heard[0]:
            heard[:] = [speech.mark(), time.monotonic()]
        return time.monotonic() - heard[1] > 1

    session.wait_for("Orca to finish speaking", quiet)


def play(p, session, speech, browser):
    """A short game as a blind player plays it. Every sentence expected here is written out from
    how the game is played: cells named by column and row counted from 1, what they hold, the
    count; the captions, the controls' names and the message boxes' texts; Orca's own words for
    a page, a table, a scroll bar, a button and an alert."""
    # The page put the keyboard on the scroll bar: Tab goes round the window's two controls.
    # Orca 43, which says nothing of the window as it starts, reads it at the first.
    p.press("Tab", "Check Me! button")
    p.press("Tab", "Board size horizontal scroll bar 25 clickable")

    # T goes to the next table, the board, and reads its first row; Down reads the next rows
    # (Orca 48 reads a row it comes to once more from its second cell on).
    p.press("t", "table with 25 rows 25 columns", *row(1, 25))
    p.press("Down", *row(2, 25))
    p.press("Down", *row(3, 25))
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
    check_me(p, session, speech, browser, "Line Found", "There is a line of 3 chips. Try again!")
    # Back on the page, Shift+Tab goes to the scroll bar.
    back_to(p, session, speech, "Board size horizontal scroll bar 25 clickable")

    # Page Up, a key Orca leaves to the page, takes the scroll bar one step down: a new game,
    # the last one gone, and the page says so.
    p.press("Prior", "New game, 24x24")
    p.press("Tab", "Check Me! button")
    check_me(p, session, speech, browser, "No Line Found!",
             "There is no line! Your result of 0 chips is a success!")
    back_to(p, session, speech, "Board size horizontal scroll bar 24 clickable")


def main():
    site, node, bus_launcher, xvfb, xdotool, orca, window_manager = sys.argv[1:8]
    # A stop from outside still ends every process started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    speech = OrcaSpeech()
    player = None
    try:
        with GameSession(None, bus_launcher, xvfb, xdotool, 1) as session, \
                tempfile.TemporaryDirectory() as home:
            # The new window takes the focus, and a closed box gives it back, through a window
            # manager, as on a desktop.
            session.processes.start([window_manager, "--sm-disable"], stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            browser = Browser(session, node, site)
            if browser.line("that the board is ready") != "ready":
                raise Failure("the browser did not say that the board is ready")
            screen_reader = start_orca(session, orca, home, speech)
            # Orca goes on starting after its first words: Orca 48 reads the window and where
            # its keyboard is, then sets itself up for the browser, and a key pressed meanwhile
            # can go unheard. The player waits until Orca has done all it had to do.
            session.wait_for("Orca to finish starting", lambda: speech.idle_for() > 1)
            player = Player(session, speech)
            play(player, session, speech, browser)
            # Orca is stopped once the window has gone, with nothing of the page left to ask.
            browser.close()
            stop_orca(screen_reader)
    except Failure as failure:
        report_failure(failure, player, speech)
        return 1
    finally:
        speech.close()
    print_transcript(player.said)
    print("passed: a blind player plays the page with Orca", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
