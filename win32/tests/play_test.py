#!/usr/bin/env python3
"""Plays the game's play-through on the Windows window under Wine, on a private X server with
real X input, and checks what only the Windows window has.

    play_test.py WINE_RUN GAME.exe PROBE.exe DPI          the play-through and the Windows checks
    play_test.py WINE_RUN GAME.exe PROBE.exe DPI theme    the side column under a dark theme

What the window shows is read two ways: the probe, a Windows program in the same Wine session,
reports the captions, the scroll bar, the focus and the message boxes through the Windows API;
screenshots of the X screen give the pixels. Expected values are the game's design at 96 dots
per inch, scaled to DPI here. PLAY_TEST_PICTURES=DIR, given to tests/clean_session.sh as the
test's own setting, keeps there a PNG of a game in progress at DPI, or of the dark theme.
"""
import math
import os
import subprocess
import sys
import tempfile
import time

# The shared helpers are read from the source tree, which the tests leave as they found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))
import play_through  # noqa: E402
import x_display  # noqa: E402
from play_through import WHITE, YELLOW, Failure, cell_points, cell_shows  # noqa: E402

TIMEOUT = 20
BLACK, GREEN, SALMON = (0, 0, 0), (192, 255, 192), (255, 128, 128)
BUTTONS = {"left": 1, "middle": 2, "right": 3}
WHEEL = {"up": 4, "down": 5, "left": 6, "right": 7}
KEYS = {"PageUp": "Prior", "PageDown": "Next", "Shift+Tab": "shift+Tab"}


def check(condition, what):
    if not condition:
        raise Failure(what)


class WineWindow(play_through.Window):
    """The game under Wine: X input at device pixels, read back through the probe and the screen."""

    def __init__(self, wine_run, game, probe, dpi, display):
        self.wine_run, self.probe_exe, self.scale = wine_run, probe, dpi / 96
        self.display = display
        self.env = dict(os.environ, DISPLAY=display)
        # The first run in a new Wine prefix makes the prefix, which takes a while.
        subprocess.run([wine_run, probe, "window"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=180)
        self.process = subprocess.Popen([wine_run, game], env=self.env)
        self.settle()
        wait(lambda: self.settle() or (self.state() and len(self.state()["controls"]) == 4),
             "the window with its four controls")

    # Device pixels: a layout point v is device pixel floor(v * scale), as the table says.
    def dev(self, v):
        """A design length or edge in device pixels, halves rounded up as the window rounds."""
        return int(v * self.scale + 0.5)

    def device(self, point):
        return math.floor(point[0] * self.scale), math.floor(point[1] * self.scale)

    def layout(self, x, y):
        """The layout point whose device pixel is (x, y)."""
        return (x + 0.5) / self.scale, (y + 0.5) / self.scale

    # What the probe and the screen show, read at most once between two settles.
    def settle(self):
        self._state = self._shot = None

    def run_probe(self, *args):
        # Into a file, not a pipe: the Wine server and desktop processes that the first program
        # of a session starts stay on, and would keep a pipe open.
        # What went wrong is kept, for a test that cannot do without the reading to say.
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            status = subprocess.run([self.wine_run, self.probe_exe, *args], env=self.env,
                                    stdout=out, stderr=err, timeout=TIMEOUT).returncode
            out.seek(0)
            err.seek(0)
            self.probe_failure = f"the probe ended with {status}: {err.read().strip()}"
            return out.read() if status == 0 else None

    def state(self):
        if self._state is None:
            out = self.run_probe("window")
            self._state = parse_probe(out) if out else {}
        return self._state

    def origin(self):
        """Where the client area stands on the screen, which the window must be showing."""
        if "origin" not in self.state():
            raise Failure(f"no reading of the window: {self.probe_failure}")
        return self.state()["origin"]

    def screen(self):
        if self._shot is None:
            self._shot = x_display.Screenshot(self.display)
        return self._shot

    def pixel(self, x, y):
        """The device pixel at device coordinates of the client area."""
        ox, oy = self.origin()
        return self.screen().pixel(ox + x, oy + y)

    def control(self, name):
        return self.state()["controls"][name]

    # Real input, at the screen pixel under a layout point.
    def xdo(self, *args):
        x_display.xdotool(self.display, *args)

    def at(self, point):
        x, y = self.device(point)
        ox, oy = self.origin()
        return ox + x, oy + y

    def click(self, button, point):
        # X handles the requests in order, so the click lands where the pointer was moved to.
        self.xdo("mousemove", *self.at(point), "click", BUTTONS[button])

    def drag(self, button, start, end, during):
        self.xdo("mousemove", *self.at(start), "mousedown", BUTTONS[button])
        self.xdo("mousemove", *self.at(end))
        during()
        self.xdo("mouseup", BUTTONS[button])

    def wheel(self, direction, point):
        self.xdo("mousemove", *self.at(point), "click", WHEEL[direction])

    def key(self, name):
        self.xdo("key", KEYS.get(name, name))

    def place(self, name):
        """Where the window draws a named part, from the scroll bar's and the box's own layout."""
        self.settle()
        if name == "message box's OK":
            wait(lambda: self.settle() or "button" in self.state().get("box", {}), "a box's OK")
            left, top, width, height = self.state()["box"]["button"][1]
            return self.layout(left + width // 2, top + height // 2)
        bar = self.control("SizeScroll")
        left, top, width, height = bar["rect"]
        arrows, thumb_left, thumb_right = bar["arrows"], *bar["thumb"]
        x = {"scroll bar's left arrow": arrows // 2,
             "scroll bar's right arrow": width - arrows // 2 - 1,
             "scroll bar's track left of the thumb": (arrows + thumb_left) // 2,
             "scroll bar's track right of the thumb": (thumb_right + width - arrows) // 2,
             "scroll bar's thumb": (thumb_left + thumb_right) // 2}[name]
        return self.layout(left + x, top + height // 2)

    def read(self, what):
        state = self.state()
        if not state:
            return None
        if what == "size":
            return self.control("SizeOf")["text"]
        if what == "count":
            return self.control("Number")["text"]
        if what == "scroll":
            return self.control("SizeScroll")["pos"]
        if what == "focus":
            return next((name for name, c in state["controls"].items() if c["focus"]), None)
        if what == "box":
            return self.box(state.get("box"))
        raise Failure(f"no reading of {what}")

    def box(self, box):
        """The open box as the table describes it; a Windows box also has one OK button and
        disables its owner while it is open, or the reading says what is wrong."""
        if not box:
            return None
        seen = {"title": box.get("title"), "text": box.get("text"),
                "icon": self.icon_colour(box["icon"]) if "icon" in box else None}
        if box.get("buttons") != ["OK"]:
            seen["buttons"] = box.get("buttons")
        if box.get("owner-enabled") != "0":
            seen["modal"] = False
        return seen

    def icon_colour(self, rect):
        """"error" for a mostly red icon, as the stop sign is, "information" for a blue one."""
        left, top, width, height = rect
        red = blue = 0
        for y in range(top, top + height):
            for x in range(left, left + width):
                r, g, b = self.pixel(x, y)
                red += r > 160 and g < 90 and b < 90
                blue += b > 160 and r < 90
        if red > 3 * blue and red > 20:
            return "error"
        return "information" if blue > 3 * red and blue > 20 else None

    def cell_box(self, x, y, size):
        """Cell (x, y) of a board of `size` cells in device pixels: left, top, right, bottom,
        each edge rounded to a whole layout pixel and then to a device pixel, halves up."""
        edge = lambda i: self.dev(math.floor(i * 600 / size + 0.5))
        return edge(x), edge(y), edge(x + 1), edge(y + 1)

    def cell(self, x, y, size):
        middle, corner = cell_points(x, y, size)
        shows = cell_shows(self.pixel(*self.device(middle)), self.pixel(*self.device(corner)))
        if shows is None:
            return None
        # Beyond the table's two points, the whole frame: a black border on every side, the
        # cell's colour just inside it and still 3 pixels in, where a chip must not reach. A
        # board still drawn at another size fails here, as its borders stand elsewhere.
        left, top, right, bottom = self.cell_box(x, y, size)
        inside = YELLOW if shows == "marked" else WHITE
        mx, my = (left + right) // 2, (top + bottom) // 2
        one, three = self.dev(1), self.dev(3)
        sides = [((left, my), (left + one, my), (left + three, my)),
                 ((right - 1, my), (right - 1 - one, my), (right - 1 - three, my)),
                 ((mx, top), (mx, top + one), (mx, top + three)),
                 ((mx, bottom - 1), (mx, bottom - 1 - one), (mx, bottom - 1 - three))]
        for border, just_inside, three_in in sides:
            found = (self.pixel(*border), self.pixel(*just_inside), self.pixel(*three_in))
            if found != (BLACK, inside, inside):
                return f"{shows} without its frame: border, inside, 3 in {found}"
        return shows

    def save_picture(self, path):
        """The client area as a PNG, for a person to look at."""
        ox, oy = self.origin()
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{self.dev(688)}x{self.dev(600)}+{ox}+{oy}", path],
                       env=self.env, check=True)


def parse_probe(out):
    """The probe's lines: the window, its controls by the game's names, and the open box."""
    state, controls, statics, box = {}, {}, [], {}
    for line in out.splitlines():
        words = line.split('"')
        fields = words[-1].split()
        if line.startswith("window "):
            state["title"] = words[1]
            state["origin"] = (int(fields[0]), int(fields[1]))
            state["client"] = (int(fields[2]), int(fields[3]))
        elif line.startswith("control "):
            kind = line.split()[1]
            control = {"class": kind, "text": words[1],
                       "rect": tuple(int(f) for f in fields[:4]), "focus": fields[-1] == "1"}
            if kind == "ScrollBar":
                after = lambda name, n=1: [int(f) for f in
                                           fields[fields.index(name) + 1:fields.index(name) + 1 + n]]
                control["pos"], = after("pos")
                control["range"] = tuple(after("range", 2))
                control["arrows"], = after("arrows")
                control["thumb"] = tuple(after("thumb", 2))
                controls["SizeScroll"] = control
            elif kind == "Button":
                controls["Test"] = control
            else:
                statics.append(control)
        elif line.startswith("box "):
            part = line.split()[1]
            if part in ("title", "text"):
                box[part] = words[1]
            elif part == "icon":
                box["icon"] = tuple(int(f) for f in fields[2:6])
            elif part == "button":
                box.setdefault("buttons", []).append(words[1])
                box["button"] = (words[1], tuple(int(f) for f in fields[:4]))
            else:
                box[part] = fields[2]
    # The two labels by where they stand: the size above the count.
    for name, control in zip(("SizeOf", "Number"), sorted(statics, key=lambda c: c["rect"][1])):
        controls[name] = control
    state["controls"] = controls
    if box:
        state["box"] = box
    return state


def wait(condition, what, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.05)


def check_start(window):
    """The window and its controls where the design puts them at this density, and the colours
    the table does not name: the green beside the board, the pink button, the white label."""
    window.settle()
    state, dev = window.state(), window.dev
    check(state["title"] == "Vir Urad Izuva?", f"title {state['title']!r}")
    check(state["client"] == (dev(688), dev(600)), f"client area {state['client']}")
    expected = {"SizeScroll": (600, 120, 89, 17), "SizeOf": (600, 144, 89, 25),
                "Number": (600, 272, 89, 49), "Test": (600, 448, 89, 33)}
    for name, (left, top, width, height) in expected.items():
        rect = (dev(left), dev(top), dev(left + width) - dev(left), dev(top + height) - dev(top))
        check(window.control(name)["rect"] == rect, f"{name} at {window.control(name)['rect']}")
    check(window.control("Test")["text"] == "Check Me!", "the button's caption")
    check(window.control("SizeScroll")["range"] == (3, 25), "the scroll bar's range 3..25")
    pixels = {(0, 0): BLACK, (dev(600) - 1, dev(600) - 1): BLACK, (dev(640), dev(60)): GREEN,
              (dev(640), dev(590)): GREEN, (dev(606), dev(452)): SALMON,
              (dev(603), dev(147)): WHITE}
    wait(lambda: window.settle() or all(window.pixel(*p) == c for p, c in pixels.items()),
         f"the board's corners black, the green column, the pink button, the white label {pixels}")


def check_game_ends_as_played(window):
    """What the table leaves (two chips and a mark) stays through what plays nothing on
    Windows alone: a release beyond the window's edge, and the wheel over the board and the
    scroll bar's track in every direction."""
    window.drag("left", (7 * 24 + 12, 12), (900, 300), lambda: None)
    for direction in ("up", "down", "left", "right"):
        window.wheel(direction, (3 * 24 + 12, 3 * 24 + 12))
        window.wheel(direction, window.place("scroll bar's track left of the thumb"))
    # A chip whose count shows that everything before it has been handled.
    window.click("left", (5 * 24 + 12, 12))
    expect(window, {"size": "25x25", "scroll": 25, "count": " 3 Chips "},
           {"7 0": "empty", "5 0": "chip", "0 0": "chip", "1 0": "marked", "2 0": "chip"})


def check_held_keys(window):
    """A held key repeats on the scroll bar, one step per repeat, but a held Enter on the
    button opens the box once: only a fresh press checks the board."""
    expect(window, {"focus": "Test"})
    window.key("Tab")
    expect(window, {"focus": "SizeScroll"})
    hold(window, "Left", 1.5)
    # One step would be the press alone: more shows that the X server repeats the key and
    # that the repeats reach the window.
    wait(lambda: window.settle() or window.read("scroll") <= 22, "a held Left to repeat")
    window.key("End")
    window.key("Tab")
    expect(window, {"size": "25x25", "focus": "Test", "box": None})

    with tempfile.TemporaryFile("w+") as watcher:
        counting = subprocess.Popen([window.wine_run, window.probe_exe, "boxes", "4000"],
                                    env=window.env, stdout=watcher, stderr=subprocess.DEVNULL)
        wait(lambda: watcher.seek(0) == 0 and "watching" in watcher.read(), "the box watcher")
        hold(window, "Return", 1.5)
        counting.wait(TIMEOUT)
        watcher.seek(0)
        report = watcher.read().split()
    check(report[-2:] == ["opened", "1"], f"a held Enter opened boxes: {report}")
    window.settle()
    if window.read("box"):
        window.key("Return")
    expect(window, {"box": None, "focus": "Test"})


def hold(window, key, seconds):
    window.xdo("keydown", key)
    time.sleep(seconds)
    window.xdo("keyup", key)


def check_close(window):
    window.key("alt+F4")
    try:
        status = window.process.wait(TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure("closing the window did not end the game") from None
    check(status == 0, f"the game ended with status {status}")


def expect(window, readings, cells=None):
    wanted = dict(readings, **({"cells": cells} if cells else {}))
    play_through.PlayThrough(window).expect(wanted, "the Windows checks")


def play(window, dpi):
    check_start(window)
    print("passed: the window's layout and colours at start", flush=True)
    steps = play_through.PlayThrough(window, timeout=TIMEOUT).play(
        log=lambda line: print(line, flush=True))
    print(f"passed: all {steps} steps of the play-through", flush=True)
    if os.environ.get("PLAY_TEST_PICTURES"):
        window.save_picture(os.path.join(os.environ["PLAY_TEST_PICTURES"], f"win32-{dpi}dpi.png"))
    for part in (check_game_ends_as_played, check_held_keys, check_close):
        part(window)
        print(f"passed: {part.__name__.removeprefix('check_').replace('_', ' ')}", flush=True)


# A dark theme with a light text, the count label's face and text in colours of their own.
THEME = {"ButtonFace": (40, 40, 60), "ButtonText": (250, 230, 120),
         "Window": (0, 0, 0), "WindowText": (255, 255, 255)}


def set_theme(wine_run, env):
    for name, rgb in THEME.items():
        subprocess.run([wine_run, "reg", "add", r"HKCU\Control Panel\Colors", "/v", name, "/t",
                        "REG_SZ", "/d", " ".join(map(str, rgb)), "/f"], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)


def caption_colours(window, name, face, text, inset=0):
    """How a control's caption shows on its face: whether every pixel is a blend of the two
    colours, as smoothed text is, channel by channel, and how many pixels are well into the
    text's colour (the strokes)."""
    left, top, width, height = window.control(name)["rect"]
    right = min(left + width, window.dev(688))
    blended, strokes = True, 0
    for y in range(top + inset, top + height - inset):
        for x in range(left + inset, right - inset):
            pixel = window.pixel(x, y)
            blended &= all(min(f, t) - 3 <= p <= max(f, t) + 3
                           for p, f, t in zip(pixel, face, text))
            strokes += all(abs(p - t) < abs(p - f) for p, f, t in zip(pixel, face, text)
                           if f != t)
    return blended, strokes


def check_theme(window):
    """Under a dark theme every caption of the side column stays readable: the count in the
    theme's button text on the theme's control face, the size and the button's caption in a
    fixed dark text on their fixed white and pink (inside the button's edges)."""
    captions = {"Number": (THEME["ButtonFace"], THEME["ButtonText"], 0),
                "SizeOf": (WHITE, BLACK, 0), "Test": (SALMON, BLACK, window.dev(3))}
    seen = {}

    def readable():
        window.settle()
        seen.update({name: caption_colours(window, name, *colours)
                     for name, colours in captions.items()})
        return all(blended and strokes > 20 for blended, strokes in seen.values())
    try:
        wait(readable, "readable captions under a dark theme")
    except Failure:
        raise Failure(f"captions under a dark theme, (only blends of face and text, strokes): "
                      f"{seen}") from None
    if os.environ.get("PLAY_TEST_PICTURES"):
        window.save_picture(os.path.join(os.environ["PLAY_TEST_PICTURES"], "win32-theme.png"))
    print("passed: the side column's captions under a dark theme", flush=True)
    # With no window manager, Wine gives its window the keyboard at the first click on it.
    window.click("left", (650, 60))
    check_close(window)


def run_on_x_server(dpi, body):
    """Runs body(display, windows) on a private X server, body adding each game it starts to
    windows; reports a failure, and leaves no game, Wine server or X server behind."""
    xvfb, display = x_display.start_x_server()
    windows = []
    try:
        body(display, windows)
    except (Failure, x_display.Failure) as failure:
        print(f"FAILED at {dpi} dpi: {failure}", file=sys.stderr)
        return 1
    finally:
        for window in windows:
            if window.process.poll() is None:
                window.process.kill()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ))
        xvfb.terminate()
        xvfb.wait()
    return 0


def main():
    wine_run, game, probe, dpi = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    theme = sys.argv[5:] == ["theme"]

    def body(display, windows):
        if theme:
            set_theme(wine_run, dict(os.environ, DISPLAY=display))
        windows.append(WineWindow(wine_run, game, probe, dpi, display))
        check_theme(windows[0]) if theme else play(windows[0], dpi)

    return run_on_x_server(dpi, body)


if __name__ == "__main__":
    sys.exit(main())
