"""Reads and plays the game's page as a screen reader does on Linux: over AT-SPI, the bus through
which Chromium tells screen readers what a page holds.

    atspi_reader.py BUS_LAUNCHER

Run inside a private session bus by screen_reader_test.mjs, which drives the browser: it starts
that bus's accessibility bus, says "ready" once it is up, then answers one request a line on its
input, as JSON, with one line of JSON, until its input ends. Between requests it keeps listening
to the bus, as a screen reader does, since names it has read are only brought up to date by the
events that follow them.
"""
import json
import os
import signal
import subprocess
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

import pyatspi  # noqa: E402

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))
from accessibility_bus import accessibility_bus_is_up  # noqa: E402


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


class Reader:
    """What a screen reader knows of the page: its objects, where the focus is, what it heard."""

    def __init__(self):
        self.focused = None
        self.heard = []  # texts that polite live regions took on, in order
        pyatspi.Registry.registerEventListener(self.event, "object:state-changed:focused",
                                               "object:text-changed:insert")

    def event(self, event):
        try:
            if event.type.startswith("object:state-changed:focused") and event.detail1:
                self.focused = event.source
            elif event.type.startswith("object:text-changed:insert"):
                live = attributes(event.source).get("container-live")
                if live == "polite":
                    self.heard.append(event.source.queryText().getText(0, -1))
        except GLib.Error:
            pass  # an object that went while its event was on its way

    def document(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for accessible in descendants(app):
                if accessible.getRole() == pyatspi.ROLE_DOCUMENT_WEB:
                    return accessible
        return None

    def controls(self):
        """The page's objects but the cells of its tables."""
        document = self.document()
        return [] if document is None else list(descendants(document, into_tables=False))

    def board(self):
        return next((a for a in self.controls()
                     if a.getRole() == pyatspi.ROLE_TABLE and a.name == "Board"), None)

    def cell(self, request):
        """The cell at the request's [row, column] of the board's table, which must have the
        request's name: a screen reader's user acts on the cell they heard."""
        cell = self.board().queryTable().getAccessibleAt(*request["at"])
        if cell.name != request["cell"]:
            raise LookupError(f"the cell at {request['at']} is {cell.name!r}")
        return cell

    def describe(self, accessible):
        if accessible is None:
            return None
        # Debian 12's AT-SPI names a button's role "push button", Debian 13's "button".
        role = accessible.getRoleName().replace("push button", "button")
        return {"role": role, "name": accessible.name,
                "description": accessible.description, "extents": extents(accessible)}

    # The requests, by name.
    def window(self, _):
        """The page's controls as a screen reader lists them, the board's table with its size."""
        document = self.document()
        if document is None:
            return None
        found = self.controls()
        controls = [self.describe(a) for a in found
                    if a.getRole() in (pyatspi.ROLE_TABLE, pyatspi.ROLE_SCROLL_BAR,
                                       pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_IMAGE)]
        board = next((a for a in found if a.getRole() == pyatspi.ROLE_TABLE), None)
        table = board.queryTable() if board else None
        return {"document": self.describe(document), "controls": controls,
                "rows": table.nRows if table else None, "columns": table.nColumns if table else None,
                "row_objects": board.childCount if board else None}

    def cells(self, request):
        """Cells by their row and column in the table, as a screen reader's table keys reach them."""
        table = self.board().queryTable()
        return [self.describe(table.getAccessibleAt(row, column))
                for row, column in request["at"]]

    def act(self, request):
        """Does an action of the cell named so, as a screen reader's user would; returns the
        actions the cell offers."""
        action = self.cell(request).queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if request["action"] in names:
            action.doAction(names.index(request["action"]))
        return names

    def focus(self, request):
        """Puts the focus on the cell named so, as a screen reader does moving onto it."""
        return self.cell(request).queryComponent().grabFocus()

    def focus_is(self, _):
        return self.describe(self.focused)

    def announcements(self, _):
        return self.heard

    def box(self, _):
        """The message box showing on the page, if one is."""
        document = self.document()
        return next((self.describe(a) for a in descendants(document, into_tables=False)
                     if a.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)
                     and a.getState().contains(pyatspi.STATE_SHOWING)), None)


def main():
    Atspi.set_timeout(30000, 30000)
    # The bus and the registry it starts write to the log, never into the answers.
    launcher = subprocess.Popen([sys.argv[1], "--launch-immediately"], stdout=sys.stderr,
                                start_new_session=True)
    try:
        loop = GLib.MainLoop()
        context = loop.get_context()
        while not accessibility_bus_is_up():
            context.iteration(True) if context.pending() else GLib.usleep(20000)
        reader = Reader()

        def answer(channel, condition):
            line = channel.readline()
            if not line:
                loop.quit()
                return False
            request = json.loads(line)
            try:
                reply = {"reply": getattr(reader, request["read"])(request)}
            except (GLib.Error, AttributeError, LookupError, NotImplementedError, TypeError) as error:
                reply = {"error": f"{type(error).__name__}: {error}"}
            print(json.dumps(reply), flush=True)
            return True

        channel = GLib.IOChannel.unix_new(sys.stdin.fileno())
        GLib.io_add_watch(channel, GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP, answer)
        print(json.dumps({"ready": True}), flush=True)
        loop.run()
    finally:
        os.killpg(launcher.pid, signal.SIGTERM)
        launcher.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
