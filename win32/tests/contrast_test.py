#!/usr/bin/env python3
"""A contrast theme on the Windows window under Wine, switched from another program as Windows'
own setting switches it: the setting stored, the system's colours set, every window told.

    contrast_test.py WINE_RUN GAME.exe PROBE.exe DPI

A game starts under a light palette and is played; the theme goes off and on again while the
game goes on. A second game starts under a dark palette. Under a palette the whole window is in
the palette's colours: the board's empty cells, the window around the side controls and the size
label in its window colour; chips, marks and the grid stand out from an empty cell at 3:1 or
more, a mark differs from a chip in shape, the labels' and the button's text stands out from its
own background at 4.5:1 or more, as WCAG measures contrast, and the scroll bar shows nothing but
the palette. With the theme off every colour the game fixes is as designed. Each look's measured
ratios are printed.

Wine always says that no contrast theme is on: GAME.exe is the game built to read that one
answer from where Windows keeps the setting (contrast_seam.cpp), and otherwise as it ships. Wine
8 hands a program the system's colours as they were when it first asked, and not those another
program sets later, as Windows does: so each palette is seen from the start of a game, and the
switches while a game goes on are the theme's on and off.
PLAY_TEST_PICTURES=DIR, given to tests/clean_session.sh as the test's own setting, keeps a PNG
of the game under each palette there.
"""
import collections
import os
import subprocess
import sys

sys.dont_write_bytecode = True
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
sys.path.insert(0, os.path.join(here, "..", "..", "tests", "support"))
import play_test  # noqa: E402
import wcag  # noqa: E402
from play_test import Failure, check, wait  # noqa: E402

WHITE, YELLOW, BLACK = (255, 255, 255), (255, 255, 0), (0, 0, 0)
BROWN, GREEN, SALMON = (192, 64, 0), (192, 255, 192), (255, 128, 128)

# Palettes as players choose them: window, window text, highlight, button face, button text.
LIGHT = ((255, 250, 232), (16, 24, 96), (160, 48, 0), (224, 236, 255), (72, 0, 56))
DARK = ((0, 0, 0), (255, 255, 255), (26, 235, 255), (24, 24, 48), (255, 255, 0))

THEME_MANAGER = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager"

# The game being played: a 10 x 10 board, cells of 60 layout pixels.
CHIPS, MARK, EMPTY = ((1, 1), (3, 2)), (2, 4), (5, 5)


def theme_colours(palette):
    """All the colours the probe sets, in its order: the palette, then the scroll bar's track
    in the button face and the controls' edges in the button's colours, as a theme has them."""
    window, text, highlight, face, button_text = palette
    return [window, text, highlight, face, button_text, face, button_text, face, button_text,
            button_text]


def switch(wine_run, probe, env, on, colours):
    """The theme on or off, with those colours, from the probe as another program."""
    status = subprocess.run([wine_run, probe, "theme", "on" if on else "off",
                             *(f"{r:02x}{g:02x}{b:02x}" for r, g, b in colours)], env=env,
                            stdout=subprocess.DEVNULL, timeout=play_test.TIMEOUT).returncode
    check(status == 0, "the probe could not switch the theme")


class Game(play_test.WineWindow):
    def switch(self, on, colours):
        switch(self.wine_run, self.probe_exe, self.env, on, colours)

    def middle(self, x, y):
        left, top, right, bottom = self.cell_box(x, y, 10)
        return (left + right) // 2, (top + bottom) // 2

    def off_middle(self, x, y):
        """A point 15 layout pixels in from the cell's corner: inside a chip, which fills a
        circle 5 pixels in from the cell's edges, but clear of any upright cross through the
        middle whose bars are narrower than the circle's inner 24 pixels."""
        left, top, _, _ = self.cell_box(x, y, 10)
        return left + self.dev(15), top + self.dev(15)

    def area(self, name, inset=0):
        left, top, width, height = self.control(name)["rect"]
        right = min(left + width, self.dev(688))
        return [self.pixel(x, y) for y in range(top + inset, top + height - inset)
                for x in range(left + inset, right - inset)]

    def text_contrast(self, name, inset=0):
        """A caption's background, the commonest colour of its control, and the contrast of the
        caption's strongest pixel against it."""
        pixels = self.area(name, inset)
        background = collections.Counter(pixels).most_common(1)[0][0]
        return background, max(wcag.contrast(p, background) for p in pixels)

    def look(self):
        """What the window shows now, each part by the colour that stands for it."""
        left, _, _, bottom = self.cell_box(*EMPTY, 10)
        _, my = self.middle(*EMPTY)
        seen = {"size": self.read("size"), "count": self.read("count"),
                "empty": self.pixel(*self.middle(*EMPTY)), "grid": self.pixel(left, my),
                "chips": [self.pixel(*self.middle(*c)) for c in CHIPS],
                "mark": self.pixel(*self.middle(*MARK)),
                "shapes": (self.pixel(*self.off_middle(*CHIPS[0])),
                           self.pixel(*self.off_middle(*MARK))),
                "column": {self.pixel(self.dev(640), self.dev(y)) for y in (60, 200, 590)}}
        for name, inset in (("SizeOf", 0), ("Number", 0), ("Test", self.dev(3))):
            seen[name] = self.text_contrast(name, inset)
        seen["scroll bar"] = set(self.area("SizeScroll"))
        return seen


def ratios(seen):
    """The contrast of chip, mark and grid against an empty cell, and of each caption."""
    parts = {part: wcag.contrast(seen[part] if part != "chip" else seen["chips"][0],
                                 seen["empty"]) for part in ("chip", "mark", "grid")}
    parts.update({name: seen[name][1] for name in ("SizeOf", "Number", "Test")})
    return parts


def as_designed(seen):
    """Every colour the game fixes is the designed one, and the game is the one played."""
    wrong = {"game": seen["size"] != "10x10" or seen["count"] != " 2 Chips ",
             "board": (seen["empty"], seen["grid"], seen["mark"]) != (WHITE, BLACK, YELLOW),
             "chips": seen["chips"] != [BROWN, BROWN] or seen["shapes"] != (BROWN, YELLOW),
             "column": seen["column"] != {GREEN},
             "size label": seen["SizeOf"][0] != WHITE, "button": seen["Test"][0] != SALMON}
    return [what for what, bad in wrong.items() if bad]


def in_palette(palette):
    window, text, highlight, face, button_text = palette

    def wrong(seen):
        r = ratios(seen)
        bad = {"game": seen["size"] != "10x10" or seen["count"] != " 2 Chips ",
               "empty cell": seen["empty"] != window, "column": seen["column"] != {window},
               "size label": seen["SizeOf"][0] != window, "count label": seen["Number"][0] != face,
               "button": seen["Test"][0] != face,
               "chips": seen["chips"][0] != seen["chips"][1] or r["chip"] < 3,
               # Filled and empty at the same place: no colour is needed to tell them apart.
               "mark": r["mark"] < 3 or seen["shapes"] != (seen["chips"][0], window),
               "grid": r["grid"] < 3,
               "captions": min(r["SizeOf"], r["Number"], r["Test"]) < 4.5,
               "scroll bar": not seen["scroll bar"] <= set(palette)}
        return [what for what, b in bad.items() if b]
    return wrong


def expect(game, name, wrong):
    """Waits for the look to be right, then prints its ratios."""
    seen = {}

    def right():
        game.settle()
        seen.update(game.look())
        return not wrong(seen)
    try:
        wait(right, f"the {name} look")
    except Failure:
        raise Failure(f"the {name} look: wrong {wrong(seen)} in {seen}") from None
    measured = ", ".join(f"{part} {ratio:.2f}:1" for part, ratio in ratios(seen).items())
    print(f"passed: the {name} look, against an empty cell or a caption's own background: "
          f"{measured}", flush=True)
    if os.environ.get("PLAY_TEST_PICTURES"):
        game.save_picture(os.path.join(os.environ["PLAY_TEST_PICTURES"],
                                       f"win32-contrast-{name.replace(' ', '-')}.png"))


def play(game):
    """Size 10 from the scroll bar's arrow, two chips and a mark."""
    for _ in range(15):
        game.click("left", game.place("scroll bar's left arrow"))
    for x, y in CHIPS:
        game.click("left", (x * 60 + 30, y * 60 + 30))
    game.click("right", (MARK[0] * 60 + 30, MARK[1] * 60 + 30))


def main():
    wine_run, game_exe, probe, dpi = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

    def body(display, windows):
        env = dict(os.environ, DISPLAY=display)
        # The first program makes the prefix; its colours are the ones with no theme on. A
        # server that stays up keeps the colours set until the game starts.
        plain = subprocess.run([wine_run, probe, "colours"], env=env, capture_output=True,
                               text=True, timeout=180).stdout.split()
        check(len(plain) == 10, f"the probe read the system's colours as {plain}")
        plain = [tuple(bytes.fromhex(c)) for c in plain]
        subprocess.run(["wineserver", "-w"], env=env, check=True)
        subprocess.run(["wineserver", "-p"], env=env, check=True)
        # Under a contrast theme Windows draws its controls in the classic way, in the system's
        # colours, and Wine's own visual style would not follow the theme's colours: it is off.
        subprocess.run([wine_run, "reg", "add", THEME_MANAGER, "/v", "ThemeActive", "/t",
                        "REG_SZ", "/d", "0", "/f"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        switch(wine_run, probe, env, True, theme_colours(LIGHT))
        windows.append(Game(wine_run, game_exe, probe, dpi, display))
        game = windows[-1]
        play(game)
        expect(game, "light palette", in_palette(LIGHT))
        game.switch(False, plain)
        expect(game, "designed", as_designed)
        game.switch(True, theme_colours(LIGHT))
        expect(game, "light palette", in_palette(LIGHT))
        play_test.check_close(game)

        switch(wine_run, probe, env, True, theme_colours(DARK))
        windows.append(Game(wine_run, game_exe, probe, dpi, display))
        game = windows[-1]
        play(game)
        expect(game, "dark palette", in_palette(DARK))
        play_test.check_close(game)

    return play_test.run_on_x_server(dpi, body)


if __name__ == "__main__":
    sys.exit(main())
