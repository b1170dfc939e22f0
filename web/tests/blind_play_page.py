"""Plays the blind player's game (tests/blind_play.json) on the page in Chromium, as a screen reader
gets it on Linux: over AT-SPI.

Run inside a private session bus as:
    blind_play_page.py SITE_DIR NODE BUS_LAUNCHER [FIT]
It starts the session's accessibility bus, then the page in headless Chromium (blind_page.mjs) at
FIT times the window's size, 1 unless given, which presses real keys and clicks and reports what
only the screen shows (the focus ring, the boxes opened). What a screen reader does (a cell's
actions, its focus, Check Me!'s press) and reads (the focused object, the announcements, the
cells and controls, the box) goes over AT-SPI. The browser gets no display, the same on a bare
machine and inside a person's desktop session.
"""
import os
import signal
import subprocess
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "support"))

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

import pyatspi  # noqa: E402

import blind_play  # noqa: E402
from accessibility_bus import accessibility_bus_is_up  # noqa: E402

# Chromium names a button's one action "press" and a cell's first "click".
ACTIONS = {"place": ("click",), "mark": ("showContextMenu",), "Press": ("press", "click")}
ROLES = {"push button": "button", "alert": "alert", "dialog": "alert"}


def descendants(accessible, into_tables=True):
    for child in accessible:
        if child is not None:
            yield child
            if into_tables or child.getRole() != pyatspi.ROLE_TABLE:
                yield from descendants(child, into_tables)


def extents(accessible):
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return [box.x, box.y, box.width, box.height]


def attributes(accessible):
    return dict(a.split(":", 1) for a in accessible.getAttributes() if ":" in a)


def pump():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


class Browser:
    """The page's browser, blind_page.mjs, asked one line at a time."""

    def __init__(self, site, node, fit):
        self.process = subprocess.Popen([node, os.path.join(HERE, "blind_page.mjs"), site, str(fit)],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        if self.line() != "ready":
            raise blind_play.Failure("the page did not load")

    def line(self):
        line = self.process.stdout.readline()
        if not line:
            raise blind_play.Failure(f"the browser ended with status {self.process.wait()}")
        return line.strip()

    def ask(self, *request):
        self.process.stdin.write(" ".join(map(str, request)) + "\n")
        self.process.stdin.flush()
        return self.line()

    def close(self):
        self.process.stdin.close()
        print(self.process.stdout.read(), end="", flush=True)
        return self.process.wait()


class PageBlindWindow(blind_play.BlindWindow):
    name = "web"
    knows_screen_reader = False

    def __init__(self, browser, fit):
        self.browser, self.fit = browser, fit
        self.focused = None
        self.heard = []
        self.boxes = 0
        self.held = blind_play.HeldCells()
        pyatspi.Registry.registerEventListener(self.event, "object:state-changed:focused",
                                               "object:text-changed:insert")
        self.document = self.wait_for_document()

    def event(self, event):
        try:
            if event.type.startswith("object:state-changed:focused") and event.detail1:
                self.focused = event.source
            elif event.type.startswith("object:text-changed:insert") and \
                    attributes(event.source).get("id") == "Said":
                # What the page has a screen reader say, apart from the captions it reads anew.
                sentence = event.source.queryText().getText(0, -1)
                self.heard.append(sentence)
                self.held.hear(sentence)
        except GLib.Error:
            pass  # an object that went while its event was on its way

    def wait_for_document(self):
        for _ in range(400):
            pump()
            for app in pyatspi.Registry.getDesktop(0):
                found = app and next((a for a in descendants(app)
                                      if a.getRole() == pyatspi.ROLE_DOCUMENT_WEB), None)
                if found:
                    return found
            GLib.usleep(50000)
        raise blind_play.Failure("no page on the accessibility bus")

    def objects(self):
        return list(descendants(self.document, into_tables=False))

    def board(self):
        return next(a for a in self.objects() if a.getRole() == pyatspi.ROLE_TABLE)

    # What a player does.
    def key(self, name):
        self.browser.ask("key", name)

    def hold(self, name):
        self.browser.ask("hold", name)

    def click(self, button, place, size):
        side = 600 / size
        self.browser.ask("click", button, (place[0] + 0.5) * side, (place[1] + 0.5) * side)

    # What a screen reader does.
    def cell(self, x, y):
        found = self.board().queryTable().getAccessibleAt(y, x)
        if found is None:
            raise blind_play.Failure(f"the table has no cell at column {x}, row {y}")
        return self.held.give((x, y), found)

    def act(self, target, action, old=False):
        if target == "Check Me!":
            found = self.control("Test")
        elif old:
            given = self.held.old(target)
            if not given:
                raise blind_play.Failure(f"no cell {target} was given before this game")
            found = given[-1]
        else:
            found = self.cell(*target)
        try:
            do = found.queryAction()
            names = [do.getName(i) for i in range(do.nActions)]
            offered = [i for i, name in enumerate(names) if name in ACTIONS[action]]
            if not offered:
                raise ValueError(f"{found.name!r} offers only the actions {names}")
            do.doAction(offered[0])
        except (GLib.Error, ValueError, NotImplementedError):
            if not old:
                raise
            # The cell is gone, as it should be: what it did, if anything, is read next.

    def focus_cell(self, x, y):
        self.cell(x, y).queryComponent().grabFocus()

    # What a screen reader reads and hears.
    def start_step(self):
        pump()
        self.held.begin_step()
        self.heard.clear()
        self.browser.ask("boxes")
        self.boxes = 0

    def control(self, name):
        roles = {"SizeScroll": pyatspi.ROLE_SCROLL_BAR, "Test": pyatspi.ROLE_PUSH_BUTTON}
        described = {"SizeOf": "Board size", "Number": "Chips placed"}
        return next((a for a in self.objects() if a.getRole() == roles.get(name) or
                     (name in described and a.description == described[name]
                      and a.getRole() != pyatspi.ROLE_SCROLL_BAR)), None)

    def read_control(self, name):
        found = self.control(name)
        if found is None:
            return None
        # A caption is read by its text.
        text = found.queryText().getText(0, -1) if name in ("SizeOf", "Number") else None
        seen = {"name": found.name or text, "description": found.description}
        if name == "SizeScroll":
            seen["value"] = f"{found.queryValue().currentValue:g}"
        return seen

    def read(self, what, wanted, size):
        pump()
        try:
            return self.read_now(what, wanted, size)
        except GLib.Error as error:
            return f"unreadable: {error.message}"
        except StopIteration:
            # The table is hidden while a box is open, and comes back a moment after it closes.
            return "unreadable: no table"

    def read_now(self, what, wanted, size):
        if what == "heard":
            return list(self.heard)
        if what == "boxes":
            self.boxes += int(self.browser.ask("boxes"))
            return self.boxes
        if what == "focus":
            focused = self.focused
            role = focused and focused.getRoleName()
            return focused and f"{ROLES.get(role, role)}: {focused.name}"
        if what == "names":
            return {xy: self.cell(*map(int, xy.split())).name for xy in wanted}
        if what == "controls":
            return {name: self.read_control(name) for name in wanted}
        if what == "board":
            board = self.board()
            table = board.queryTable()
            return {"rows": table.nRows, "columns": table.nColumns,
                    "description": board.description}
        if what == "ring":
            ring = self.browser.ask("ring", size)
            return None if ring == "none" else ring
        if what == "box":
            return self.box()
        if what == "placed":
            return self.misplaced(wanted, size)
        raise blind_play.Failure(f"the table asks for {what!r}, which this driver cannot read")

    def box(self):
        found = next((a for a in self.objects() if a.getRole() in (pyatspi.ROLE_ALERT,
                                                                   pyatspi.ROLE_DIALOG)
                      and a.getState().contains(pyatspi.STATE_SHOWING)), None)
        return found and {"title": found.name, "text": found.description}

    def misplaced(self, places, size):
        """The cells and controls of `places` whose extents are not where the window draws them,
        from the page's top-left corner, or where the screen reader finds something else at
        their middle."""
        wrong = []
        left, top = extents(self.document)[:2]
        for place in places:
            layout = blind_play.designed_place(place, size)
            found = (self.control(place) if place in blind_play.CONTROLS
                     else self.cell(*map(int, place.split())))
            wanted = [left + round(layout[0] * self.fit), top + round(layout[1] * self.fit),
                      round(layout[2] * self.fit), round(layout[3] * self.fit)]
            at = extents(found)
            hits = self.hits((at[0] + at[2] // 2, at[1] + at[3] // 2))
            # Chromium finds what the pointer would: a control, or the text inside it; its hit
            # test passes through the cells, as the pointer does, to the picture beneath.
            if at != wanted or (place in blind_play.CONTROLS and found not in hits):
                wrong.append({place: {"extents": at, "drawn": wanted,
                                      "hit": [f"{h.getRoleName()}: {h.name}" for h in hits]}})
        return wrong

    def hits(self, point):
        """What a screen reader finds at a point of the screen, and everything that holds it.
        Chromium answers from its renderer's last hit test: the question is asked twice."""
        component = self.document.queryComponent()
        component.getAccessibleAtPoint(*point, pyatspi.DESKTOP_COORDS)
        GLib.usleep(100000)
        pump()
        found = [component.getAccessibleAtPoint(*point, pyatspi.DESKTOP_COORDS)]
        while found[-1] is not None and found[-1] != self.document:
            found.append(found[-1].parent)
        return found


def main():
    site, node, bus_launcher = sys.argv[1:4]
    fit = float(sys.argv[4]) if len(sys.argv) > 4 else 1.0
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside"))
    Atspi.set_timeout(30000, 30000)
    launcher = subprocess.Popen([bus_launcher, "--launch-immediately"], stdout=sys.stderr,
                                start_new_session=True)
    browser = None
    try:
        while not accessibility_bus_is_up():
            GLib.usleep(20000)
        browser = Browser(site, node, fit)
        steps = blind_play.BlindPlay(PageBlindWindow(browser, fit)).play()
        status, browser = browser.close(), None
        if status != 0:
            raise blind_play.Failure(f"the browser ended with status {status}")
    except blind_play.Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr, flush=True)
        return 1
    finally:
        if browser:
            browser.process.kill()
            browser.process.wait()
        os.killpg(launcher.pid, signal.SIGTERM)
        launcher.wait()
    print(f"passed: all {steps} steps of the blind player's game on the page at {fit:g} times "
          "its size", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
