"""The Qt window follows the desktop's contrast setting, read from a settings portal of the test's own.

Run inside a private session bus as:
    contrast_qt.py GAME BUS_LAUNCHER XVFB XDOTOOL
It plays real games on its own X server while a portal it serves on the session bus
(org.freedesktop.portal.Desktop, org.freedesktop.portal.Settings) says whether the player asked
for more contrast, and reads the board from the screen's pixels: as designed without; with, a
cross on every marked cell, and the chip, the cross and the grid's lines each at 3:1 or more
against an empty cell (WCAG 2.2's contrast ratio). It switches the setting on and off while a
game is in progress and before the game starts, and plays against portals that are old, that
know only GNOME's own switch, that fail, that never answer, and against none.
"""
import os
import signal
import sys
import time

# The shared helpers are read from the source tree, which a test leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))

from gi.repository import Gio, GLib  # noqa: E402

import x_display  # noqa: E402
from wcag import contrast  # noqa: E402
from qt_session import TIMEOUT, Failure, GameSession  # noqa: E402

PORTAL_XML = """
<node>
  <interface name="org.freedesktop.portal.Settings">
    <method name="Read"><arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="v" direction="out"/></method>
    <method name="ReadOne"><arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="v" direction="out"/></method>
    <signal name="SettingChanged"><arg type="s"/><arg type="s"/><arg type="v"/></signal>
    <property name="version" type="u" access="read"/>
  </interface>
</node>"""
APPEARANCE, GNOME = "org.freedesktop.appearance", "org.gnome.desktop.a11y.interface"

# SizeOf's and Number's boxes in the window at scale 1: beside the 600-pixel board.
LABELS = [(600, 144, 89, 25), (600, 272, 89, 49)]

WHITE, YELLOW, BROWN, BLACK = (255, 255, 255), (255, 255, 0), (192, 64, 0), (0, 0, 0)


class Portal:
    """The desktop's settings portal as the test has it behave: `kind` is "v2" (ReadOne and
    Read), "v1" (Read alone, its value wrapped twice, as portals before version 2 give it),
    "gnome" (no appearance contrast, only GNOME's high-contrast switch), "failing" (every read an
    error) or "silent" (never answers)."""

    def __init__(self, kind, contrast_on):
        self.kind, self.on = kind, contrast_on
        self.held = []  # the calls a silent portal keeps unanswered
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        info = Gio.DBusNodeInfo.new_for_xml(PORTAL_XML).interfaces[0]
        self.registration = self.bus.register_object("/org/freedesktop/portal/desktop", info, self.call, self.get)
        self.owner = Gio.bus_own_name_on_connection(self.bus, "org.freedesktop.portal.Desktop",
                                                    Gio.BusNameOwnerFlags.NONE, None, None)

    def value(self, group, key):
        if group == APPEARANCE and key == "contrast" and self.kind != "gnome":
            return GLib.Variant("u", 1 if self.on else 0)
        if group == GNOME and key == "high-contrast":
            return GLib.Variant("b", self.on)
        return None

    def call(self, _bus, _sender, _path, _interface, method, args, invocation):
        group, key = args.unpack()
        value = self.value(group, key)
        if self.kind == "silent":
            self.held.append(invocation)
        elif self.kind == "failing":
            invocation.return_dbus_error("org.freedesktop.portal.Error.Failed", "no settings")
        elif method == "ReadOne" and self.kind == "v1":
            invocation.return_dbus_error("org.freedesktop.DBus.Error.UnknownMethod", "no ReadOne")
        elif value is None:
            invocation.return_dbus_error("org.freedesktop.portal.Error.NotFound", "no such key")
        elif method == "Read":
            invocation.return_value(GLib.Variant("(v)", (GLib.Variant("v", value),)))
        else:
            invocation.return_value(GLib.Variant("(v)", (value,)))

    def get(self, *_):
        return GLib.Variant("u", 1 if self.kind == "v1" else 2)

    def switch(self, on):
        """What the desktop's portal tells every program when the player flips the switch."""
        self.on = on
        group, key = (GNOME, "high-contrast") if self.kind == "gnome" else (APPEARANCE, "contrast")
        self.bus.emit_signal(None, "/org/freedesktop/portal/desktop",
                             "org.freedesktop.portal.Settings", "SettingChanged",
                             GLib.Variant("(ssv)", (group, key, self.value(group, key))))
        self.bus.flush_sync(None)

    def close(self):
        Gio.bus_unown_name(self.owner)
        self.bus.unregister_object(self.registration)


class Board:
    """The game's board on the screen at scale 1: cells of 24 pixels on a 25 x 25 board."""

    def __init__(self, session):
        self.session = session
        self.origin = session.window_origin()

    def click(self, x, y, button):
        at = [self.origin[0] + x * 24 + 12, self.origin[1] + y * 24 + 12]
        self.session.xdotool("mousemove", *at, "click", button)

    def pixel(self, shot, x, y):
        return shot.pixel(self.origin[0] + x, self.origin[1] + y)

    def look(self):
        """What the board shows: an empty cell's inside, a chip's middle at (0, 0), the middle of
        the mark at (1, 0) and a point of its yellow clear of any cross, and a grid line."""
        shot = x_display.Screenshot(self.session.display)
        return {"empty": self.pixel(shot, 2 * 24 + 3, 3), "chip": self.pixel(shot, 12, 12),
                "mark": self.pixel(shot, 24 + 12, 12), "mark corner": self.pixel(shot, 24 + 3, 3),
                "line": self.pixel(shot, 2 * 24, 12),
                "labels": [self.text_contrast(shot, rect) for rect in LABELS]}

    def text_contrast(self, shot, rect):
        """A label's text against its background, as a checker reads it off the screen: the
        colour most of its box has, against the one that stands out from it most."""
        left, top, width, height = rect
        seen = {}
        for y in range(top, top + height):
            for x in range(left, left + width):
                rgb = self.pixel(shot, x, y)
                seen[rgb] = seen.get(rgb, 0) + 1
        background = max(seen, key=seen.get)
        return max(contrast(rgb, background) for rgb in seen)

    def expect(self, what, wanted):
        deadline = time.monotonic() + TIMEOUT
        while True:
            self.session.wait_for("a moment", lambda: True)
            seen = self.look()
            if wanted(seen):
                return seen
            if time.monotonic() > deadline:
                raise Failure(f"{what}: the board shows {seen}")
            time.sleep(0.1)


def labels_read(seen):
    return all(ratio >= 4.5 for ratio in seen["labels"])


def designed(seen):
    return labels_read(seen) and (seen["empty"], seen["chip"], seen["mark"], seen["mark corner"], seen["line"]) == \
        (WHITE, BROWN, YELLOW, YELLOW, BLACK)


def more_contrast(seen):
    """A cross on the mark, and every shape at 3:1 against an empty cell."""
    empty = seen["empty"]
    return labels_read(seen) and seen["mark"] != seen["mark corner"] and all(
        contrast(seen[part], empty) >= 3 for part in ("chip", "mark", "line"))


def play(session, portal, contrast_at_start):
    """A chip at (0, 0), a mark at (1, 0), and the setting flipped under them both ways."""
    session.start_game()
    board = Board(session)
    board.click(0, 0, 1)
    board.click(1, 0, 3)
    first, then = (more_contrast, designed) if contrast_at_start else (designed, more_contrast)
    seen = board.expect("the game as it starts", first)
    for look in (then, first):
        portal.switch(look is more_contrast)
        seen = board.expect(f"after the switch to {look.__name__}", look)
    # The game went on through every switch: the chip and the mark are where they were.
    portal.switch(True)
    seen = board.expect("more contrast once more", more_contrast)
    ratios = {part: round(contrast(seen[part], seen["empty"]), 2)
              for part in ("chip", "mark", "line")}
    ratios["labels"] = [round(ratio, 2) for ratio in seen["labels"]]
    print(f"  contrast against an empty cell: {ratios}", flush=True)


def unanswered(session, portal):
    """With a portal that fails, never answers, or is not there, the window opens at once, in
    the look as designed, and plays."""
    start = time.monotonic()
    session.start_game()
    board = Board(session)
    board.click(0, 0, 1)
    board.click(1, 0, 3)
    board.expect("a game with no answer from the portal", designed)
    if portal and portal.kind == "silent" and not portal.held:
        raise Failure("the game never asked the silent portal")
    print(f"  the window opened and played in {time.monotonic() - start:.1f} s", flush=True)


def run(session, kind, contrast_at_start):
    portal = Portal(kind, contrast_at_start) if kind != "none" else None
    try:
        if kind in ("failing", "silent", "none"):
            unanswered(session, portal)
        else:
            play(session, portal, contrast_at_start)
        status = session.close_window()
        if status != 0:
            raise Failure(f"the game ended with status {status}")
    finally:
        if portal:
            portal.close()


def main():
    game, bus_launcher, xvfb, xdotool = sys.argv[1:5]
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    cases = [("v2", False), ("v2", True), ("v1", True), ("gnome", False), ("failing", False),
             ("silent", False), ("none", False)]
    try:
        # One X server and accessibility bus; each case starts the game anew under its portal.
        with GameSession(game, bus_launcher, xvfb, xdotool, 1) as session:
            for kind, at_start in cases:
                print(f"portal {kind}, more contrast at start: {at_start}", flush=True)
                run(session, kind, at_start)
    except (Failure, x_display.Failure) as failure:
        print(f"FAILED: {failure}", file=sys.stderr, flush=True)
        return 1
    print("passed: the Qt window follows the desktop's contrast setting", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
