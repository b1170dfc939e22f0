#!/usr/bin/env python3
"""Plays the Windows game under Wine on a private X server with real X input.

    play_test.py WINE_RUN GAME.exe PROBE.exe DPI     (PLAY_TEST_PICTURES=DIR keeps a PNG there)

What the window shows is read two ways: the probe, a Windows program in the same Wine session,
reports the controls' classes, texts, rectangles, scroll position and focus and the message
boxes through the Windows API; screenshots of the X screen give the pixels. Expected values are
the game's design at 96 dots per inch, scaled to DPI here.
"""
import os
import select
import subprocess
import sys
import tempfile
import time

TIMEOUT = 20
WINE_RUN, GAME, PROBE, DPI = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
SCALE = DPI / 96

WHITE, YELLOW, BLACK = (255, 255, 255), (255, 255, 0), (0, 0, 0)
GREEN, BROWN, SALMON = (192, 255, 192), (192, 64, 0), (255, 128, 128)


class Failure(Exception):
    pass


def dev(v):
    """A design coordinate in device pixels, halves rounded up as the window rounds them."""
    return int(v * SCALE + 0.5)


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                             "-noreset", "-screen", "0", "1600x1400x24"], pass_fds=[write_end])
    os.close(write_end)
    if not select.select([read_end], [], [], TIMEOUT)[0]:
        raise Failure("Xvfb did not start")
    with os.fdopen(read_end) as pipe:
        return xvfb, ":" + pipe.readline().strip()


class Game:
    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=display)
        # The first run in a new Wine prefix makes the prefix, which takes a while.
        subprocess.run([WINE_RUN, PROBE, "window"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)
        self.process = subprocess.Popen([WINE_RUN, GAME], env=self.env)
        self.controls = {}
        self.wait(lambda: self.read_window() and len(self.controls) == 4, "the window")

    def run_probe(self, what):
        # Into a file, not a pipe: the Wine server and desktop processes that the first program
        # of a session starts stay on, and would keep a pipe open.
        with tempfile.TemporaryFile("w+") as out:
            status = subprocess.run([WINE_RUN, PROBE, what], env=self.env, stdout=out,
                                    stderr=subprocess.DEVNULL, timeout=TIMEOUT).returncode
            out.seek(0)
            return out.read() if status == 0 else None

    def read_window(self):
        out = self.run_probe("window")
        if not out:
            return False
        self.controls = {}
        for line in out.splitlines():
            words = line.split('"')
            fields = words[2].split()
            if line.startswith("window "):
                self.title = words[1]
                self.origin = (int(fields[0]), int(fields[1]))
                self.client = (int(fields[2]), int(fields[3]))
                self.enabled = fields[5] == "1"
            else:
                kind = line.split()[1]
                control = {"class": kind, "text": words[1],
                           "rect": tuple(int(f) for f in fields[:4]),
                           "focus": fields[-1] == "1"}
                if kind == "ScrollBar":
                    control["pos"], control["range"] = int(fields[5]), (int(fields[7]),
                                                                        int(fields[8]))
                self.controls[kind if kind != "Static" else words[1].strip()[-5:]] = control
        return True

    def wait(self, condition, what):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            if condition():
                return
            time.sleep(0.05)
        raise Failure("timed out waiting for " + what)

    # The probe's view of the side controls.
    def scroll(self):
        return self.controls["ScrollBar"]

    def texts(self):
        self.read_window()
        return [c["text"] for c in self.controls.values() if c["class"] == "Static"]

    def expect_captions(self, size, count):
        self.wait(lambda: self.texts() == [size, count], f"captions {size!r} {count!r}")

    def focus(self):
        self.read_window()
        return [c["class"] for c in self.controls.values() if c["focus"]]

    # Real input through the X server, at design coordinates of the client area.
    def xdo(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def at(self, x, y):
        return str(self.origin[0] + dev(x)), str(self.origin[1] + dev(y))

    def click(self, x, y, button=1):
        # X handles the requests in order, so the click lands where the pointer was moved to.
        self.xdo("mousemove", *self.at(x, y), "click", str(button))

    def drag(self, start, end, button=1, between=None):
        self.xdo("mousemove", *self.at(*start), "mousedown", str(button))
        self.xdo("mousemove", *self.at(*end))
        if between:
            between()
        self.xdo("mouseup", str(button))

    def key(self, name):
        self.xdo("key", name)

    # Pixels of the client area, from a screenshot of the whole X screen.
    def screenshot(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              env=self.env, capture_output=True, check=True).stdout
        # "P6", width, height, "255", one whitespace byte, then the pixels.
        magic, width, height, maximum = data.split(maxsplit=4)[:4]
        check(magic == b"P6" and maximum == b"255", "a screenshot of 8-bit pixels")
        self.width = int(width)
        self.pixels = data[len(data) - 3 * self.width * int(height):]
        return self

    def save_picture(self, path):
        """The client area as a PNG, for a person to look at."""
        width, height = dev(688), dev(600)
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{width}x{height}+{self.origin[0]}+{self.origin[1]}", path],
                       env=self.env, check=True)

    def pixel(self, x, y):
        """The device pixel at device coordinates of the client area."""
        i = ((self.origin[1] + y) * self.width + self.origin[0] + x) * 3
        return tuple(self.pixels[i:i + 3])

    def wait_pixels(self, expected, what):
        def matches():
            self.screenshot()
            return all(self.pixel(x, y) == colour for (x, y), colour in expected.items())
        try:
            self.wait(matches, what)
        except Failure:
            found = {p: self.pixel(*p) for p in expected}
            raise Failure(f"{what}: expected {expected}, found {found}") from None


def cell_box(x, y, side):
    """Cell (x, y) of a board of `side` cells, in device pixels: left, top, right, bottom."""
    edge = lambda i: dev(round(i * 600 / side))
    return edge(x), edge(y), edge(x + 1), edge(y + 1)


def cell_centre(x, y, side=25):
    c = 600 / side
    return x * c + c / 2, y * c + c / 2


def check_start(game):
    check(game.title == "Vir Urad Izuva?", "title")
    check(game.client == (dev(688), dev(600)), f"client area {game.client}")
    expected = {"ScrollBar": (600, 120, 89, 17), "25x25": (600, 144, 89, 25),
                "Chips": (600, 272, 89, 49), "Button": (600, 448, 89, 33)}
    for name, (left, top, width, height) in expected.items():
        rect = (dev(left), dev(top), dev(left + width) - dev(left), dev(top + height) - dev(top))
        check(game.controls[name]["rect"] == rect, f"{name} at {game.controls[name]['rect']}")
    check(game.controls["Button"]["text"] == "Check Me!", "button caption")
    check(game.scroll()["pos"] == 25 and game.scroll()["range"] == (3, 25), "scroll bar 3..25 at 25")
    game.expect_captions("25x25", " 0 Chips ")
    check(game.focus() == ["ScrollBar"], "focus starts on the scroll bar")
    last = cell_box(24, 24, 25)
    check(last == (dev(576), dev(576), dev(600), dev(600)), "cell (24, 24) spans 576..599")
    game.wait_pixels({(0, 0): BLACK, (dev(12), dev(12)): WHITE, (last[2] - 1, last[3] - 1): BLACK,
                      (last[0] + dev(12), last[1] + dev(12)): WHITE,
                      (dev(640), dev(60)): GREEN, (dev(640), dev(590)): GREEN,
                      (dev(606), dev(452)) : SALMON, (dev(603), dev(147)): WHITE},
                     "the empty 25 x 25 board, the green column, the pink button")


def chip_pixels(x, y, side=25):
    """A chip's centre is brown; between the disc and the border the cell is still white."""
    left, top, right, bottom = cell_box(x, y, side)
    middle = (left + right) // 2, (top + bottom) // 2
    return middle, (left + dev(3), middle[1]), (middle[0], top + dev(3))


def check_chips_and_marks(game):
    centre, side_gap, top_gap = chip_pixels(2, 3)
    game.click(*cell_centre(2, 3))
    game.expect_captions("25x25", " 1 Chips ")
    game.wait_pixels({centre: BROWN, side_gap: WHITE, top_gap: WHITE}, "a chip on (2, 3)")
    game.click(*cell_centre(2, 3))
    game.expect_captions("25x25", " 0 Chips ")
    game.wait_pixels({centre: WHITE}, "the chip on (2, 3) removed")

    centre, side_gap, _ = chip_pixels(5, 5)
    left, top, _, _ = cell_box(5, 5, 25)
    game.click(*cell_centre(5, 5), button=3)
    game.wait_pixels({centre: YELLOW, (left + dev(1), top + dev(1)): YELLOW, (left, top): BLACK},
                     "a yellow mark up to the border")
    game.click(*cell_centre(5, 5))
    game.expect_captions("25x25", " 1 Chips ")
    game.wait_pixels({centre: BROWN, side_gap: WHITE}, "a chip replacing the mark")
    game.click(*cell_centre(5, 5), button=3)
    game.expect_captions("25x25", " 0 Chips ")
    game.wait_pixels({centre: YELLOW, side_gap: YELLOW}, "the mark taking the chip's place")
    game.click(*cell_centre(5, 5), button=3)
    game.wait_pixels({centre: WHITE}, "the mark cleared")

    centre, _, _ = chip_pixels(6, 6)
    game.click(*cell_centre(6, 6), button=2)
    game.click(*cell_centre(7, 7))  # a marker click whose effect shows the middle one's is done
    game.expect_captions("25x25", " 1 Chips ")
    game.screenshot()
    check(game.pixel(*centre) == WHITE, "the middle button changes nothing")
    game.click(*cell_centre(7, 7))
    game.expect_captions("25x25", " 0 Chips ")


def check_releases_elsewhere(game):
    game.drag(cell_centre(7, 7), cell_centre(8, 7))
    game.expect_captions("25x25", " 1 Chips ")
    game.wait_pixels({chip_pixels(8, 7)[0]: BROWN, chip_pixels(7, 7)[0]: WHITE},
                     "a release on another cell counts there")
    # Off the board: onto the side column, then off the window altogether.
    game.drag(cell_centre(9, 9), (650, 60))
    game.drag(cell_centre(9, 9), (900, 300))
    game.click(*cell_centre(8, 7))
    game.expect_captions("25x25", " 0 Chips ")
    game.screenshot()
    check(game.pixel(*chip_pixels(9, 9)[0]) == WHITE, "a release off the board counts nowhere")


def board_side(game, side):
    """Wait until the board shows `side` cells: the first cell's right border moved."""
    left, top, right, bottom = cell_box(0, 0, side)
    middle = (top + bottom) // 2
    game.wait_pixels({(right - 1, middle): BLACK, (right - dev(2) - 1, middle): WHITE,
                      (right, middle): BLACK}, f"a {side} x {side} board")


def step(game, action, size):
    action()
    game.expect_captions(f"{size}x{size}", " 0 Chips ")
    check(game.scroll()["pos"] == size, f"scroll bar at {size}")


def check_scroll_bar(game):
    game.click(*cell_centre(0, 0))
    game.expect_captions("25x25", " 1 Chips ")
    step(game, lambda: game.click(600 + 8, 128), 24)  # left arrow
    board_side(game, 24)
    game.screenshot()
    check(game.pixel(*chip_pixels(0, 0, 24)[0]) == WHITE, "a new size clears the chips")
    step(game, lambda: game.click(680, 128), 25)  # right arrow
    step(game, lambda: game.click(630, 128), 24)  # the track, left of the thumb
    game.wait(lambda: game.focus() == ["ScrollBar"], "the focus on the scroll bar")
    step(game, lambda: game.key("Left"), 23)
    step(game, lambda: game.key("Right"), 24)
    step(game, lambda: game.key("Home"), 3)
    board_side(game, 3)
    step(game, lambda: game.key("Next"), 4)
    step(game, lambda: game.key("End"), 25)

    # A drag of the thumb counts only when it is let go.
    thumb_x = game.scroll()["rect"][0] + game.scroll()["rect"][2] - dev(17) - dev(8)
    seen = []
    game.drag((thumb_x / SCALE, 128), (620, 128),
              between=lambda: (time.sleep(0.3), seen.append(game.texts())))
    check(seen == [["25x25", " 0 Chips "]], f"nothing changes while the thumb moves: {seen}")
    game.wait(lambda: game.read_window() and game.scroll()["pos"] < 25, "the drag to count")
    size = game.scroll()["pos"]
    game.expect_captions(f"{size}x{size}", " 0 Chips ")

    game.key("End")
    game.expect_captions("25x25", " 0 Chips ")
    for button in ("4", "5", "6", "7"):
        game.click(640, 128, button=button)
        game.click(*cell_centre(3, 3), button=button)
    game.click(*cell_centre(1, 1))  # shows that the wheel's turns have all been handled
    game.expect_captions("25x25", " 1 Chips ")
    check(game.scroll()["pos"] == 25, "the wheel leaves the scroll bar alone")


def read_box(game):
    out = game.run_probe("box")
    if not out:
        return None
    return dict(line.split(" ", 1) for line in out.splitlines())


def icon_colour(game, box):
    """Whether the box's icon is mostly red, as the stop sign is, or blue, as the "i" is."""
    left, top, width, height = (int(v) for v in box["icon"].split())
    game.screenshot()
    red = blue = 0
    for y in range(top, top + height):
        for x in range(left, left + width):
            i = (y * game.width + x) * 3
            r, g, b = game.pixels[i:i + 3]
            red += r > 160 and g < 90 and b < 90
            blue += b > 160 and r < 90
    return "red" if red > 3 * blue and red > 20 else "blue" if blue > 3 * red and blue > 20 else ""


def check_message_boxes(game):
    game.key("End")  # a fresh board, whatever the drag left
    game.click(*cell_centre(1, 1))
    game.expect_captions("25x25", " 0 Chips ")
    for x in (0, 1, 2):
        game.click(*cell_centre(x, 0))
    game.expect_captions("25x25", " 3 Chips ")
    game.click(644, 464)
    box = {}
    game.wait(lambda: box.update(read_box(game) or {}) or box, "the message box")
    check(box.get("title") == '"Line Found"', f"title {box.get('title')}")
    check(box.get("text") == '"There is a line of 3 chips. Try again!"', f"text {box.get('text')}")
    check(icon_colour(game, box) == "red", "the stop icon")
    check(box.get("button") == '1 "OK"' and box.get("owner") == "disabled 1", f"box {box}")
    # The box is modal: a click on the board while it is open changes nothing.
    game.click(*cell_centre(10, 10))
    game.key("Return")
    game.wait(lambda: read_box(game) is None, "the box to close")
    game.click(*cell_centre(2, 0))
    game.expect_captions("25x25", " 2 Chips ")
    game.screenshot()
    check(game.pixel(*chip_pixels(10, 10)[0]) == WHITE, "no click reaches the board under a box")

    # Tab moves between the scroll bar and the button only; Enter presses the button.
    game.wait(lambda: game.focus() != [], "the window to have the focus again")
    if game.focus() == ["Button"]:
        game.key("Tab")
    game.wait(lambda: game.focus() == ["ScrollBar"], "the focus on the scroll bar")
    game.key("Tab")
    game.wait(lambda: game.focus() == ["Button"], "Tab to the button")
    game.key("Tab")
    game.wait(lambda: game.focus() == ["ScrollBar"], "Tab back to the scroll bar")
    game.key("Tab")
    game.wait(lambda: game.focus() == ["Button"], "Tab to the button again")
    game.key("Return")
    box = {}
    game.wait(lambda: box.update(read_box(game) or {}) or box, "Enter to press the button")
    check(box.get("title") == '"No Line Found!"', f"title {box.get('title')}")
    check(box.get("text") == '"There is no line! Your result of 2 chips is a success!"',
          f"text {box.get('text')}")
    check(icon_colour(game, box) == "blue", "the information icon")
    game.key("Return")
    game.wait(lambda: read_box(game) is None, "the box to close")
    game.expect_captions("25x25", " 2 Chips ")


def check_close(game):
    game.key("alt+F4")
    try:
        status = game.process.wait(TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure("closing the window did not end the game") from None
    check(status == 0, f"the game ended with status {status}")


def check(condition, what):
    if not condition:
        raise Failure(what)


def main():
    xvfb, display = start_xvfb()
    game = None
    try:
        game = Game(display)
        for part in (check_start, check_chips_and_marks, check_releases_elsewhere,
                     check_scroll_bar, check_message_boxes, check_close):
            started = time.monotonic()
            part(game)
            print(f"passed: {part.__name__.removeprefix('check_').replace('_', ' ')}"
                  f" ({time.monotonic() - started:.1f} s)", flush=True)
            # PLAY_TEST_PICTURES=DIR keeps the window as the game ends, two chips on it.
            if part is check_message_boxes and os.environ.get("PLAY_TEST_PICTURES"):
                game.save_picture(os.path.join(os.environ["PLAY_TEST_PICTURES"],
                                               f"win32-{DPI}dpi.png"))
    except Failure as failure:
        print(f"FAILED at {DPI} dpi: {failure}", file=sys.stderr)
        return 1
    finally:
        if game and game.process.poll() is None:
            game.process.kill()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ))
        xvfb.terminate()
        xvfb.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
