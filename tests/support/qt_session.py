"""The real game on a private X server with an accessibility bus of its own, read as a screen
reader reads it (over AT-SPI) and played with real X input.

For the tests that start the Qt game itself, inside a private session bus (dbus-run-session):

    with GameSession(game, bus_launcher, xvfb, xdotool, scale) as session:
        app = session.start_game()
        ...

Every process the session starts is ended when it closes, whatever happened meanwhile.
"""
import os
import signal
import subprocess
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

import pyatspi  # noqa: E402
import Xlib.display  # noqa: E402
import Xlib.protocol.event  # noqa: E402
import Xlib.X  # noqa: E402

import x_display  # noqa: E402
from accessibility_bus import accessibility_bus_is_up  # noqa: E402

TIMEOUT = 30  # seconds for any one thing to happen, generous for sanitizer builds under load
TITLE = "Vir Urad Izuva?"


class Failure(Exception):
    pass


def expect(what, seen, wanted):
    if seen != wanted:
        raise Failure(f"{what}: expected {wanted!r}, read {seen!r}")


class Processes:
    """Starts helper processes, each in a group of its own, and ends them all on close."""

    def __init__(self):
        self.started = []

    def start(self, args, **kwargs):
        return self.adopt(subprocess.Popen(args, start_new_session=True, **kwargs))

    def adopt(self, process):
        """A process started elsewhere in a group of its own, to be ended with the others."""
        self.started.append(process)
        return process

    def check_running(self):
        """Every process started so far is still there: one that died fails the test at once."""
        for process in self.started:
            if process.poll() is not None:
                raise Failure(f"{process.args[0]} ended early with status {process.returncode}")

    def close(self):
        for process in reversed(self.started):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
        for process in reversed(self.started):
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()


def child(parent, role=None, name=None, description=None):
    """The first child with the given role, name and description; None stands for any."""
    for c in parent:
        try:
            if c is not None and role in (None, c.getRole()) and name in (None, c.name) and \
                    description in (None, c.description):
                return c
        except GLib.Error:
            pass  # a window closing takes its objects with it while the list is being read
    return None


def descendants(accessible):
    for c in accessible:
        if c is not None:
            yield c
            yield from descendants(c)


def extents(accessible, coords):
    return list(accessible.queryComponent().getExtents(coords))


def press(accessible, action_name):
    """Does an accessibility action as a screen reader's user would. Qt answers at once and
    presses the button a moment later; were a toolkit to press it before answering, a message
    box's own loop would hold the answer back, so a late answer is only noted and the test goes
    on to look for what the action did."""
    action = accessible.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if action_name not in names:
        raise Failure(f"{accessible.name!r} has no {action_name} action, only {names}")
    try:
        action.doAction(names.index(action_name))
    except GLib.Error as error:
        print(f"{action_name} on {accessible.name!r} answered late: {error.message}", flush=True)


def window_controls(frame):
    """The window's controls as a screen reader finds them, by role, name and description."""
    return {
        "board": child(frame, name="Board"),
        "scroll": child(frame, pyatspi.ROLE_SCROLL_BAR),
        "size": child(frame, pyatspi.ROLE_LABEL, description="Board size"),
        "count": child(frame, pyatspi.ROLE_LABEL, description="Chips placed"),
        "check": child(frame, pyatspi.ROLE_PUSH_BUTTON, "Check Me!"),
    }


class GameSession:
    """An X server, an accessibility bus on the session bus, and the game at Qt's scale factor
    `scale` with accessibility on, each started once and ended when the session closes."""

    def __init__(self, game, bus_launcher, xvfb, xdotool, scale):
        self.game_path, self.bus_launcher = game, bus_launcher
        self.xvfb, self.xdotool_path = xvfb, xdotool
        self.scale = scale
        self.processes = Processes()
        self.runtime = None
        self.game = None
        self.window = None  # the game's X window, once it is shown

    def __enter__(self):
        # libatspi gives up on an answer after 0.8 s, too soon for a sanitizer build under load.
        Atspi.set_timeout(TIMEOUT * 1000, TIMEOUT * 1000)
        self.runtime = tempfile.TemporaryDirectory()
        try:
            # Qt and the bus launcher keep their runtime files here, apart from other runs.
            os.environ["XDG_RUNTIME_DIR"] = self.runtime.name
            # -noreset: without it the X server resets whenever its last client leaves, as the
            # bus launcher does after publishing the bus's address, and now and then turned the
            # registry and the game away meanwhile.
            server, self.display = x_display.start_x_server(xvfb=self.xvfb, timeout=TIMEOUT)
            self.processes.adopt(server)
            os.environ["DISPLAY"] = self.display
            self.processes.start([self.bus_launcher, "--launch-immediately"])
            self.wait_for("the accessibility bus", accessibility_bus_is_up)
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *_):
        self.processes.close()
        self.runtime.cleanup()
        return False

    def wait_for(self, what, condition, timeout=TIMEOUT):
        """Polls `condition`, letting bus events in meanwhile, until it gives something true."""
        deadline = time.monotonic() + timeout
        context = GLib.MainContext.default()
        while True:
            self.processes.check_running()
            while context.iteration(False):
                pass
            result = condition()
            if result:
                return result
            if time.monotonic() > deadline:
                raise Failure(f"timed out waiting for {what}")
            time.sleep(0.02)

    def start_game(self, accessibility_always_on=True):
        """Starts the game and returns its application on the accessibility bus once its window
        is shown. Without `accessibility_always_on`, Qt turns its accessibility on only as it
        does on a player's desktop: when the bus says that assistive technology is enabled."""
        always_on = {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"} if accessibility_always_on else {}
        self.game = self.processes.start(
            [self.game_path], env=dict(os.environ, QT_QPA_PLATFORM="xcb",
                                       QT_SCALE_FACTOR=f"{self.scale:g}", **always_on))
        app = self.wait_for("the game on the accessibility bus", self.game_application)
        self.window = self.wait_for("the game's window on screen", self.x_window)
        return app

    def game_application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == self.game.pid and app.childCount > 0:
                return app
        return None

    def xdotool(self, *args, capture=False):
        if not capture:
            return x_display.xdotool(self.display, *args, xdotool=self.xdotool_path)
        return subprocess.run([self.xdotool_path, *map(str, args)], capture_output=True,
                              text=True, env=dict(os.environ, DISPLAY=self.display)).stdout

    def x_window(self):
        """The game's X window, found by its title among the windows that are mapped."""
        windows = self.x_windows_named(TITLE)
        return windows[0] if len(windows) == 1 else None

    def window_origin(self):
        """Where the window's top-left corner stands on the screen, as X reports it."""
        return self.geometry(self.window)[:2]

    def geometry(self, window):
        """An X window's left, top, width and height on the screen, as X reports them."""
        found = self.xdotool("getwindowgeometry", "--shell", window, capture=True)
        values = dict(line.split("=", 1) for line in found.split())
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def x_windows_named(self, title):
        """The mapped X windows with exactly this title."""
        pattern = "^" + "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in title) + "$"
        return [int(w) for w in self.xdotool("search", "--onlyvisible", "--name", pattern,
                                             capture=True).split()]

    def on_screen(self, *layout):
        """A point (x, y) or a rectangle (x, y, width, height) of the window's layout in the
        window's screen pixels. Each edge is scaled and rounded on its own, so that the cells
        still tile the board."""
        edge = lambda v: int(v * self.scale + 0.5)  # noqa: E731
        if len(layout) == 2:
            return [edge(v) for v in layout]
        x, y, width, height = layout
        return [edge(x), edge(y), edge(x + width) - edge(x), edge(y + height) - edge(y)]

    def close_window(self):
        """Asks the window to close, as a window manager's close button does, and waits for the
        game to end."""
        screen = Xlib.display.Display(self.display)
        window = screen.create_resource_object("window", self.window)
        close = Xlib.protocol.event.ClientMessage(
            window=window, client_type=screen.intern_atom("WM_PROTOCOLS"),
            data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), Xlib.X.CurrentTime, 0, 0, 0]))
        window.send_event(close)
        # A round trip, not just a flush: closing the connection straight after a flush lost
        # about one message in fifty.
        screen.sync()
        screen.close()
        try:
            status = self.game.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the game did not end when its window was closed") from None
        # It ended as asked: the session may start the game again.
        self.processes.started.remove(self.game)
        return status
