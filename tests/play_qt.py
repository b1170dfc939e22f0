"""Plays the game's play-through (play_through.json) on the Qt window with real X input.

Run inside a private session bus as:
    play_qt.py GAME SCROLL_BAR_PLACES BUS_LAUNCHER XVFB XDOTOOL [SCALE]
It starts its own X server, accessibility bus and game (at Qt's scale factor SCALE, 1 unless
given), clicks, drags, turns the wheel and presses keys with xdotool, and reads the window back as
a player receives it: the captions, the scroll bar's value, the keyboard focus and the message
box over AT-SPI, as a screen reader reads them, and the cells and the box's icon from screenshot
pixels.
"""
import os
import select
import signal
import subprocess
import sys
import threading

# The shared helpers are read from the source tree, which a test leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))

import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402
import Xlib.display  # noqa: E402
import Xlib.X  # noqa: E402

import play_through  # noqa: E402
import x_display  # noqa: E402
from qt_session import (Failure, GameSession, child, descendants, extents,  # noqa: E402
                        window_controls)

BUTTONS = {"left": 1, "middle": 2, "right": 3}
# X's wheel buttons: a notch up, down, left and right.
WHEEL = {"up": 4, "down": 5, "left": 6, "right": 7}
KEYS = {"PageUp": "Prior", "PageDown": "Next", "Shift+Tab": "shift+Tab"}
# The scroll bar's parts by the play-through's names, as scroll_bar_places names them.
SCROLL_BAR_PARTS = {
    "scroll bar's left arrow": "left-arrow",
    "scroll bar's right arrow": "right-arrow",
    "scroll bar's track left of the thumb": "track-left",
    "scroll bar's track right of the thumb": "track-right",
    "scroll bar's thumb": "thumb",
}


class WindowManagerFocus(threading.Thread):
    """The keyboard focus as a desktop's window manager hands it out, which a bare X server does
    not: a window that appears gets the focus, and when the focused window goes, the window shown
    before it gets it back, as the game's window does when its message box closes."""

    def __init__(self, display):
        super().__init__(daemon=True)
        self.display = display
        self.stopping = threading.Event()
        self.ready = threading.Event()

    def run(self):
        x = Xlib.display.Display(self.display)
        # A window may be gone again by the time it is given the focus.
        x.set_error_handler(lambda *_: None)
        x.screen().root.change_attributes(event_mask=Xlib.X.SubstructureNotifyMask)
        x.sync()
        self.ready.set()
        shown = []
        while not self.stopping.is_set():
            if not x.pending_events():
                select.select([x], [], [], 0.1)
                continue
            event = x.next_event()
            if event.type == Xlib.X.MapNotify and not event.override:
                shown.append(event.window.id)
            elif event.type in (Xlib.X.UnmapNotify, Xlib.X.DestroyNotify) and \
                    event.window.id in shown:
                shown.remove(event.window.id)
            else:
                continue
            if shown:
                x.create_resource_object("window", shown[-1]).set_input_focus(
                    Xlib.X.RevertToPointerRoot, Xlib.X.CurrentTime)
                x.flush()
        x.close()

    def stop(self):
        self.stopping.set()
        self.join()


class QtWindow(play_through.Window):
    def __init__(self, session, app, scroll_bar_places):
        self.session = session
        self.app = app
        self.scale = session.scale
        self.origin = session.window_origin()
        frame = session.wait_for("the game's window", lambda: app[0] if app.childCount else None)
        self.controls = session.wait_for(
            "the window's controls",
            lambda: (lambda found: found if all(found.values()) else None)(window_controls(frame)))
        self.scroll_bar = scroll_bar_places
        self.pixels = None

    # Real input, at the device pixel floor(v * scale) of each layout point.
    def screen(self, point):
        return [self.origin[i] + int(point[i] * self.scale) for i in (0, 1)]

    def click(self, button, point):
        self.session.xdotool("mousemove", *self.screen(point), "click", BUTTONS[button])

    def drag(self, button, start, end, during):
        self.session.xdotool("mousemove", *self.screen(start), "mousedown", BUTTONS[button])
        self.session.xdotool("mousemove", *self.screen(end))
        during()
        self.session.xdotool("mouseup", BUTTONS[button])

    def wheel(self, direction, point):
        self.session.xdotool("mousemove", *self.screen(point), "click", WHEEL[direction])

    def key(self, name):
        self.session.xdotool("key", KEYS.get(name, name))

    def place(self, name):
        """The middle of a part of the scroll bar as the window's style lays it out at the
        value the bar shows now, or of the open message box's OK button where a screen reader
        finds it."""
        if name in SCROLL_BAR_PARTS:
            left, top, width, height = self.scroll_bar[self.scroll_value()][SCROLL_BAR_PARTS[name]]
            return left + width / 2, top + height / 2
        if name == "message box's OK":
            alert = self.alert()
            ok = alert and next((c for c in descendants(alert)
                                 if c.getRole() == pyatspi.ROLE_PUSH_BUTTON and c.name == "OK"),
                                None)
            on_screen = ok and self.box_on_screen(alert)
            if not on_screen:
                raise Failure("no message box with an OK button is open")
            x, y, width, height = on_screen(extents(ok, pyatspi.DESKTOP_COORDS))
            return ((x + width / 2 - self.origin[0]) / self.scale,
                    (y + height / 2 - self.origin[1]) / self.scale)
        raise Failure(f"the Qt window has no place called {name!r}")

    # What the window shows. A screenshot of the whole screen is slow, so one is taken only
    # for the readings that need pixels, once in each round of readings.
    def settle(self):
        self.pixels = None

    def pixel(self, point):
        if self.pixels is None:
            self.pixels = x_display.Screenshot(self.session.display)
        return self.pixels.pixel(*point)

    def scroll_value(self):
        return int(self.controls["scroll"].queryValue().currentValue)

    def alert(self):
        return child(self.app, pyatspi.ROLE_ALERT)

    def read(self, what):
        try:
            return self.read_now(what)
        except GLib.Error as error:
            # An object went as it was read, a box closing say: the next round reads again.
            return f"unreadable: {error.message}"

    def read_now(self, what):
        if what == "size":
            return self.controls["size"].name
        if what == "count":
            return self.controls["count"].name
        if what == "scroll":
            return self.scroll_value()
        if what == "focus":
            focused = [name for name, key in (("SizeScroll", "scroll"), ("Test", "check"))
                       if self.controls[key].getState().contains(pyatspi.STATE_FOCUSED)]
            return focused[0] if len(focused) == 1 else None
        if what == "box":
            return self.box()
        raise Failure(f"the play-through asks for {what!r}, which this driver cannot read")

    def box(self):
        alert = self.alert()
        if alert is None:
            return None
        inside = list(descendants(alert))
        texts = [c.name for c in inside if c.getRole() == pyatspi.ROLE_LABEL]
        images = [c for c in inside if c.getRole() == pyatspi.ROLE_IMAGE]
        on_screen = self.box_on_screen(alert)
        icon = None
        if on_screen and len(images) == 1:
            icon = self.icon(on_screen(extents(images[0], pyatspi.DESKTOP_COORDS)))
        return {"title": alert.name, "text": texts[0] if len(texts) == 1 else texts, "icon": icon}

    def box_on_screen(self, alert):
        """Turns extents of the box's parts into X screen pixels, measured from the box's own X
        window: Qt gives the extents of its standard widgets in its layout pixels, which at a
        scale factor above 1 are not the screen's. None while the box has no X window shown."""
        windows = self.session.x_windows_named(alert.name)
        if len(windows) != 1:
            return None
        left, top, width, _ = self.session.geometry(windows[0])
        box_left, box_top, box_width, _ = extents(alert, pyatspi.DESKTOP_COORDS)
        unit = width / box_width
        return lambda r: (round(left + (r[0] - box_left) * unit),
                          round(top + (r[1] - box_top) * unit),
                          round(r[2] * unit), round(r[3] * unit))

    def icon(self, area):
        """The box's icon as a player tells them apart: an error's is a red disc, information's
        a blue letter i."""
        x, y, width, height = area
        red = blue = 0
        for py in range(y, y + height):
            for px in range(x, x + width):
                r, g, b = self.pixel((px, py))
                red += r > 160 and g < 100 and b < 100
                blue += b > 160 and r < 100
        if red > width * height // 4 and blue == 0:
            return "error"
        if blue > width * height // 40 and red == 0:
            return "information"
        return None

    def cell(self, x, y, size):
        middle, corner = play_through.cell_points(x, y, size)
        return play_through.cell_shows(self.pixel(self.screen(middle)),
                                       self.pixel(self.screen(corner)))


def scroll_bar_places(program, display, scale):
    """Every part of the scroll bar at every value, from the game's own style on the same screen
    and scale: {value: {part: (left, top, width, height)}}."""
    found = subprocess.run([program], capture_output=True, text=True, check=True,
                           env=dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                                    QT_SCALE_FACTOR=f"{scale:g}")).stdout
    places = {}
    for line in found.splitlines():
        value, part, *rect = line.split()
        places.setdefault(int(value), {})[part] = tuple(map(int, rect))
    if sorted(places) != list(range(3, 26)):
        raise Failure(f"scroll_bar_places gave the values {sorted(places)}")
    return places


def main():
    game, places_program, bus_launcher, xvfb, xdotool = sys.argv[1:6]
    scale = float(sys.argv[6]) if len(sys.argv) > 6 else 1.0
    # A stop from outside still ends every process started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    try:
        with GameSession(game, bus_launcher, xvfb, xdotool, scale) as session:
            focus = WindowManagerFocus(session.display)
            focus.start()
            focus.ready.wait()
            try:
                places = scroll_bar_places(places_program, session.display, scale)
                window = QtWindow(session, session.start_game(), places)
                steps = play_through.PlayThrough(window).play()
                status = session.close_window()
            finally:
                focus.stop()
            if status != 0:
                raise Failure(f"the game ended with status {status}")
    except (Failure, play_through.Failure, x_display.Failure) as failure:
        print(f"FAILED: {failure}", file=sys.stderr, flush=True)
        return 1
    print(f"passed: all {steps} steps of the play-through on the Qt window at scale {scale:g}",
          flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
