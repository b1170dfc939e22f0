"""Plays the blind player's game (blind_play.json) on the Qt window, as a screen reader gets it.

Run inside a private session bus as:
    blind_play_qt.py GAME BUS_LAUNCHER XVFB XDOTOOL [SCALE]
It starts its own X server, accessibility bus and game (at Qt's scale factor SCALE, 1 unless
given) with the desktop's screen-reader switch on, presses real keys with xdotool, does what a
screen reader does over AT-SPI (a cell's actions, its focus, Check Me!'s press), and reads back
what a screen reader reads and is told: the focused object, the announcements, the cells and
controls, the message box, and the focus ring from the screen's pixels.
"""
import os
import signal
import sys
import time

# The shared helpers are read from the source tree, which a test leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))

import pyatspi  # noqa: E402
from gi.repository import Gio, GLib  # noqa: E402

import blind_play  # noqa: E402
import x_display  # noqa: E402
from play_qt import WindowManagerFocus  # noqa: E402
from qt_session import Failure, GameSession, child, descendants, extents, press  # noqa: E402

KEYS = {"Shift+Tab": "shift+Tab", "Ctrl+Right": "ctrl+Right", "Ctrl+Left": "ctrl+Left",
        "Ctrl+space": "ctrl+space", "Ctrl+m": "ctrl+m"}
ACTIONS = {"place": "Place or remove chip", "mark": "Mark or unmark", "Press": "Press"}
BUTTONS = {"left": 1, "middle": 2, "right": 3}
BLACK = (0, 0, 0)


def role_of(accessible):
    """The table's name for an object's role; Orca 43's AT-SPI says "push button"."""
    name = accessible.getRoleName()
    return "button" if name == "push button" else name


def switch_screen_reader_on():
    """What a desktop does when its user turns the screen reader on."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled",
                                         GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, -1, None)


class Listener:
    """What a screen reader is told as it happens: the focus, the announcements, the boxes."""

    def __init__(self):
        self.focused = None
        self.heard = []
        self.boxes = 0
        self.held = blind_play.HeldCells()
        self.frame = None  # the game's window, whose boxes are the other windows it activates
        pyatspi.Registry.registerEventListener(
            self.event, "object:state-changed:focused", "object:state-changed:showing",
            "object:announcement", "window:activate")

    def event(self, event):
        try:
            kind, source = event.type, event.source
            if kind.startswith("object:state-changed:focused") and event.detail1:
                self.focused = source
            elif kind.startswith("object:announcement"):
                self.hear(str(event.any_data))
            elif kind.startswith("object:state-changed:showing") and event.detail1 and \
                    source.getRole() == pyatspi.ROLE_NOTIFICATION:
                # Qt before 6.8 announces through a notification that appears.
                self.hear(source.name)
            elif kind.startswith("window:activate") and source != self.frame:
                # Read by where it comes from alone: a box a held key closes at once is gone
                # before its role can be asked.
                self.boxes += 1
        except GLib.Error:
            pass  # an object that went while its event was on its way


    def hear(self, sentence):
        self.heard.append(sentence)
        self.held.hear(sentence)


class QtBlindWindow(blind_play.BlindWindow):
    name = "qt"

    def __init__(self, session, app, listener):
        self.session, self.app, self.listener = session, app, listener
        self.scale = session.scale
        self.origin = session.window_origin()
        self.frame = session.wait_for("the game's window", lambda: app[0] if app.childCount else None)
        self.board = session.wait_for("the board", lambda: child(self.frame, name="Board"))
        listener.frame = self.frame

    def pump(self):
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass

    # What a player does.
    def key(self, name):
        self.session.xdotool("key", KEYS.get(name, name))

    def hold(self, name):
        # No finger presses a key again within a twentieth of a second of letting it go, which
        # is how the game tells X11's repeats of a held key from new presses.
        time.sleep(0.1)
        self.session.xdotool("keydown", KEYS.get(name, name))
        time.sleep(1.5)
        self.session.xdotool("keyup", KEYS.get(name, name))

    def screen(self, point):
        return [self.origin[i] + int(point[i] * self.scale) for i in (0, 1)]

    def click(self, button, place, size):
        side = 600 / size
        self.session.xdotool("mousemove", *self.screen(((place[0] + 0.5) * side,
                                                        (place[1] + 0.5) * side)),
                             "click", BUTTONS[button])

    # What a screen reader does.
    def cell(self, x, y):
        found = self.board.queryTable().getAccessibleAt(y, x)
        if found is None:
            raise Failure(f"the table has no cell at column {x}, row {y}")
        return self.listener.held.give((x, y), found)

    def act(self, target, action, old=False):
        if target == "Check Me!":
            return press(self.control("Test"), ACTIONS[action])
        if old:
            given = self.listener.held.old(target)
            if not given:
                raise Failure(f"the screen reader was given no cell {target} before this game")
            try:
                given[-1].queryAction().doAction(0)
            except GLib.Error:
                pass  # the cell is gone, as it should be: what it did, if anything, is read next
            return
        press(self.cell(*target), ACTIONS[action])

    def focus_cell(self, x, y):
        self.cell(x, y).queryComponent().grabFocus()

    # What a screen reader reads and hears.
    def start_step(self):
        self.pump()
        self.listener.held.begin_step()
        self.listener.heard.clear()
        self.listener.boxes = 0

    def control(self, name):
        if name == "SizeScroll":
            return child(self.frame, pyatspi.ROLE_SCROLL_BAR)
        if name == "Test":
            return child(self.frame, name="Check Me!")
        return child(self.frame, pyatspi.ROLE_LABEL,
                     description={"SizeOf": "Board size", "Number": "Chips placed"}[name])

    def read_control(self, name):
        found = self.control(name)
        if found is None:
            return None
        seen = {"name": found.name, "description": found.description}
        if name == "SizeScroll":
            seen["value"] = f"{found.queryValue().currentValue:g}"
        return seen

    def read(self, what, wanted, size):
        self.pump()
        try:
            return self.read_now(what, wanted, size)
        except GLib.Error as error:
            # An object went as it was read, a box closing say: the next round reads again.
            return f"unreadable: {error.message}"

    def read_now(self, what, wanted, size):
        if what == "heard":
            return list(self.listener.heard)
        if what == "boxes":
            return self.listener.boxes
        if what == "focus":
            focused = self.listener.focused
            return focused and f"{role_of(focused)}: {focused.name}"
        if what == "names":
            return {xy: self.cell(*map(int, xy.split())).name for xy in wanted}
        if what == "controls":
            return {name: self.read_control(name) for name in wanted}
        if what == "board":
            table = self.board.queryTable()
            return {"rows": table.nRows, "columns": table.nColumns,
                    "description": self.board.description}
        if what == "ring":
            return self.ring(size)
        if what == "box":
            return self.box()
        if what == "placed":
            return self.misplaced(wanted, size)
        raise Failure(f"the table asks for {what!r}, which this driver cannot read")

    def ring(self, size):
        """The one cell whose pixel 3 inside the middle of its left edge is dark: the ring stands
        between the cell's border and its chip."""
        shot = x_display.Screenshot(self.session.display)
        side = 600 / size
        ringed = [f"{x} {y}" for x in range(size) for y in range(size)
                  if shot.pixel(*self.screen((x * side + 3, (y + 0.5) * side))) == BLACK]
        return ringed[0] if len(ringed) == 1 else (None if not ringed else ringed)

    def box(self):
        alert = child(self.app, pyatspi.ROLE_ALERT)
        if alert is None:
            return None
        texts = [c.name for c in descendants(alert) if c.getRole() == pyatspi.ROLE_LABEL]
        return {"title": alert.name, "text": texts[0] if len(texts) == 1 else texts}

    def misplaced(self, places, size):
        """The cells and controls of `places` whose extents are not where they are drawn, on the
        screen in X's pixels, or where the screen reader finds something else at their middle."""
        wrong = []
        for place in places:
            layout = blind_play.designed_place(place, size)
            found = (self.control(place) if place in blind_play.CONTROLS
                     else self.cell(*map(int, place.split())))
            left, top, width, height = self.session.on_screen(*layout)
            wanted = [self.origin[0] + left, self.origin[1] + top, width, height]
            at = extents(found, pyatspi.DESKTOP_COORDS)
            middle = (at[0] + at[2] // 2, at[1] + at[3] // 2)
            hit = self.hit(middle)
            if at != wanted or hit != found:
                wrong.append({place: {"extents": at, "drawn": wanted,
                                      "hit": hit and hit.name}})
        return wrong

    def hit(self, point):
        """What a screen reader finds at a screen point, from the window down."""
        found = self.frame.queryComponent().getAccessibleAtPoint(*point, pyatspi.DESKTOP_COORDS)
        if found is not None and found.getRole() == pyatspi.ROLE_TABLE:
            found = found.queryComponent().getAccessibleAtPoint(*point, pyatspi.DESKTOP_COORDS)
        return found


def main():
    game, bus_launcher, xvfb, xdotool = sys.argv[1:5]
    scale = float(sys.argv[5]) if len(sys.argv) > 5 else 1.0
    # A stop from outside still ends every process started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    try:
        with GameSession(game, bus_launcher, xvfb, xdotool, scale) as session:
            focus = WindowManagerFocus(session.display)
            focus.start()
            focus.ready.wait()
            try:
                switch_screen_reader_on()
                listener = Listener()
                window = QtBlindWindow(session, session.start_game(), listener)
                # The window hears of the screen reader a moment after it opens.
                session.wait_for("the board taking the keyboard", lambda: window.board.getState()
                                 .contains(pyatspi.STATE_FOCUSABLE))
                steps = blind_play.BlindPlay(window).play()
                status = session.close_window()
            finally:
                focus.stop()
            if status != 0:
                raise Failure(f"the game ended with status {status}")
    except (Failure, blind_play.Failure, x_display.Failure) as failure:
        print(f"FAILED: {failure}", file=sys.stderr, flush=True)
        return 1
    print(f"passed: all {steps} steps of the blind player's game on the Qt window at scale "
          f"{scale:g}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
