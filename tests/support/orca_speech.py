"""Orca, the screen reader blind players use on Linux, switched on as a desktop switches it on,
with settings that keep its speech inside the test, and what it says read from its debug output
as it writes it; and a player who presses real keys and checks what Orca says after each.

For the tests that play a window of the game with Orca inside a GameSession (qt_session.py)."""

import json
import os
import re
import signal
import sys
import threading
import time
import tty

from gi.repository import Gio, GLib

from qt_session import TIMEOUT, Failure


class OrcaSpeech:
    """Orca's debug output, read as Orca writes it, and what it says in it.

    Orca writes its debug file through a buffer that it flushes only when full; a terminal
    gets each line at once, so the file it is given is the far end of a pseudo-terminal."""

    LINE = re.compile(r"SPEECH OUTPUT: '(.*)'(?: ?\{.*\})?$")

    def __init__(self):
        self.terminal, self.far_end = os.openpty()
        tty.setraw(self.far_end)  # lines as written, with no carriage returns added
        self.path = os.ttyname(self.far_end)
        self.utterances = []
        self.lines = []  # every line of the debug output, for a failure's record
        self.written = time.monotonic()  # when Orca last wrote to it
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        pending = b""
        while True:
            try:
                chunk = os.read(self.terminal, 65536)
            except OSError:
                return
            if not chunk:
                return
            *lines, pending = (pending + chunk).split(b"\n")
            with self.lock:
                self.written = time.monotonic()
                for line in lines:
                    self.lines.append(line.decode("utf-8", "replace"))
                    found = self.LINE.search(self.lines[-1])
                    if found:
                        self.utterances.append(found.group(1))

    def heard(self, since=0):
        with self.lock:
            return self.utterances[since:]

    def mark(self):
        with self.lock:
            return len(self.utterances)

    def idle_for(self):
        """How long Orca has written nothing to its debug output, in seconds: Orca writes there
        whatever it does, and when idle, Orca 48 only notes every two seconds that it clears a
        cache."""
        with self.lock:
            return time.monotonic() - self.written

    def all_lines(self):
        with self.lock:
            return list(self.lines)

    def close(self):
        os.close(self.terminal)
        os.close(self.far_end)


def plain(utterance):
    """An utterance without what differs between Orca's versions: a closing full stop, Orca 43's
    "push button" for Orca 48's "button", the percentage Orca 48 adds to a scroll bar's value,
    the description Orca 48 adds to a table's size in the same sentence, and the word
    "notification" that Orca says before a notification's text."""
    text = utterance.strip().rstrip(".")
    text = re.sub(r"^notification ", "", text, flags=re.IGNORECASE)
    text = re.sub(r"^(table with \d+ rows \d+ columns) .*$", r"\1", text)
    text = text.replace("push button", "button")
    return re.sub(r" \d+ percent$", "", text)


def settings_for_orca(folder):
    """Orca's defaults but for where its speech goes: no speech server (each utterance is still
    written to the debug output), no braille display and no sounds, so that nothing leaves the
    test."""
    quiet = {"speechServerFactory": "", "enableBraille": False, "enableBrailleMonitor": False,
             "enableSound": False, "profile": ["Default", "default"]}
    os.makedirs(folder)
    with open(os.path.join(folder, "user-settings.conf"), "w", encoding="utf-8") as f:
        json.dump({"general": quiet, "profiles": {"default": quiet}, "pronunciations": {},
                   "keybindings": {}}, f)


def switch_screen_reader_on():
    """What a desktop does when its user turns the screen reader on."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    for switch in ("IsEnabled", "ScreenReaderEnabled"):
        bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                      GLib.Variant("(ssv)", ("org.a11y.Status", switch, GLib.Variant("b", True))),
                      None, Gio.DBusCallFlags.NONE, -1, None)


class Player:
    """Presses real keys and checks what Orca says after each."""

    def __init__(self, session, speech):
        self.session = session
        self.speech = speech
        self.said = []  # (key, [what Orca said]) for the record at the end

    def press(self, key, *expected, cells=None, since=None):
        """Presses `key` and waits until Orca has said each of `expected`, in that order, as
        whole utterances. With `cells`, also the number of utterances that name a cell: one
        after a move along a row, a whole row when the cursor comes to a row. With no key, what
        Orca said from `since` on is checked."""
        if since is None:
            since = self.speech.mark()
        if key:
            self.session.xdotool("key", key)
        deadline = time.monotonic() + TIMEOUT
        while True:
            said = self.speech.heard(since)
            heard = [plain(u) for u in said]
            if in_order(expected, heard):
                break
            if time.monotonic() > deadline:
                raise Failure(f"after {key or 'the start'}, Orca should have said {list(expected)};"
                              f" it said {heard}")
            self.session.processes.check_running()
            time.sleep(0.05)
        naming_cells = [u for u in heard if re.match(r"column \d+, row \d+", u)]
        if cells is not None and len(naming_cells) != cells:
            raise Failure(f"after {key}, Orca named {len(naming_cells)} cells: {naming_cells}")
        self.said.append((key or "start", said))


def in_order(expected, heard):
    """Whether each of `expected` was heard, in that order, as one utterance or as a run of them:
    Orca 48 says "clickable" apart from the control it follows, and Orca 43 reads a control apart
    from its role as a page loads."""
    start = 0
    for wanted in expected:
        found = next((end for begin in range(start, len(heard))
                      for end in range(begin + 1, len(heard) + 1)
                      if " ".join(heard[begin:end]) == wanted), None)
        if found is None:
            return False
        start = found
    return True


def own_session_pgrep(home):
    """A folder whose pgrep looks only at the caller's own session. Orca will not start while its
    user runs another Orca anywhere on the machine, which it asks pgrep; the test's Orca, in a
    session of its own, must not meet the Orca of a player at this desktop, or of a test run
    beside this one. Returns the folder, for the front of Orca's PATH."""
    folder = os.path.join(home, "bin")
    os.makedirs(folder)
    path = os.path.join(folder, "pgrep")
    with open(path, "w", encoding="utf-8") as f:
        f.write('#!/bin/sh\nexec /usr/bin/pgrep --session 0 "$@"\n')
    os.chmod(path, 0o755)
    return folder


def start_orca(session, orca, home, speech):
    """Switches the screen reader on and starts Orca in `session`, with its settings in the
    folder `home` and its debug output to `speech`; returns once Orca has begun to speak."""
    switch_screen_reader_on()
    prefs = os.path.join(home, "orca")
    settings_for_orca(prefs)
    screen_reader = session.processes.start(
        [orca, "--user-prefs", prefs, "--debug-file", speech.path],
        env=dict(os.environ, HOME=home, PATH=own_session_pgrep(home) + ":" + os.environ["PATH"]))
    session.wait_for("Orca to start", lambda: speech.mark() > 0)
    return screen_reader


def stop_orca(screen_reader):
    """Ends Orca once the test has heard all it needs. Orca 48 can lose a SIGTERM: its handler
    writes to the debug output, and fails when the signal comes while Orca is writing there
    already. Nothing of Orca's outlives the test's own X server and buses, so it is killed."""
    os.killpg(screen_reader.pid, signal.SIGKILL)
    screen_reader.wait(timeout=TIMEOUT)


def print_transcript(said, file=sys.stdout):
    print("What Orca said, key by key:", file=file, flush=True)
    for key, heard in said:
        print(f"  {key}: {' / '.join(heard)}", file=file, flush=True)


# The lines of Orca's debug output that show what it was told and what it made of it: the keys,
# the events from the applications, what it chose to present or to ignore, and its speech.
TELLING = re.compile(r"keyval_name=|EVENT MANAGER: [a-z-]+:[a-z-:]+ for |WEB: Presenting object|"
                     r"Ignoring|SPEECH OUTPUT")


def report_failure(failure, player, speech, record="orca-debug.log"):
    """What a failed play leaves to find its cause: the failure, what Orca said key by key up to
    it, and the end of Orca's own account of the last keys; the whole of Orca's debug output is
    written to `record`, in the test's working folder."""
    print(f"FAILED: {failure}", file=sys.stderr, flush=True)
    if player is not None:
        print_transcript(player.said, file=sys.stderr)
    lines = speech.all_lines()
    with open(record, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    print(f"The end of Orca's debug output (all of it is in {os.path.abspath(record)}):",
          file=sys.stderr)
    for line in [line for line in lines if TELLING.search(line)][-80:]:
        print(f"  {line.strip()[:240]}", file=sys.stderr)
    sys.stderr.flush()
