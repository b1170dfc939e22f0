#!/usr/bin/env python3
"""What a screen reader meets on the Windows window that the blind player's game
(blind_play_test.py) leaves out, read through MSAA from another process under Wine: the window
with no screen reader running, where the board is no stop of the keyboard and shows no ring,
every one of the table's 625 cells named and placed where it is painted, and hit testing at the
edges of the cells and on the side controls.

    screen_reader_test.py WINE_RUN GAME.exe PROBE.exe CLIENT.exe DPI
"""
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import play_test  # noqa: E402
import blind_play_test  # noqa: E402
from blind_play_test import cell_id  # noqa: E402
from play_test import check  # noqa: E402


def check_keyboard_order(window, player):
    """Tab and Shift+Tab go between the scroll bar and Check Me! alone."""
    for key, name in (("Tab", "button: Check Me!"), ("Tab", "scroll bar: Board size"),
                      ("Shift+Tab", "button: Check Me!"), ("Shift+Tab", "scroll bar: Board size")):
        player.key(key)
        play_test.wait(lambda: player.read("focus", name, 25) == name, f"{name} after {key}")
    check(player.read("ring", None, 25) is None, "a focus ring with no screen reader")


def check_every_cell(window, player):
    """Each of the 625 cells by its name and where it is painted, in the table's order."""
    everything = [f"{x} {y}" for y in range(25) for x in range(25)]
    names = player.read("names", everything, 25)
    wrong = [(key, name) for key, name in names.items()
             if name != "column {}, row {}, empty".format(*(int(v) + 1 for v in key.split()))]
    check(not wrong, f"{len(wrong)} cells named wrong, the first {wrong[:3]}")
    located = player.reader.ask("locate", *(cell_id(x, y, 25) for y in range(25)
                                            for x in range(25)))
    ox, oy = window.origin()
    wrong = []
    for y in range(25):
        for x in range(25):
            left, top, right, bottom = window.cell_box(x, y, 25)
            if located.get(str(cell_id(x, y, 25))) != [ox + left, oy + top, right - left,
                                                       bottom - top]:
                wrong.append((x, y, located.get(str(cell_id(x, y, 25)))))
    check(not wrong, f"{len(wrong)} cells placed wrong, the first {wrong[:3]}")


def check_hits(window, player):
    """A point finds what is drawn there: a cell from its first pixel to its last, the side
    controls by their names."""
    ox, oy = window.origin()
    dev = window.dev
    left, top, right, bottom = window.cell_box(24, 24, 25)
    first = window.cell_box(3, 3, 25)
    hits = {"the first pixel of cell (3, 3)": ((ox + first[0], oy + first[1]), cell_id(3, 3, 25)),
            "the last pixel of cell (24, 24)": ((ox + right - 1, oy + bottom - 1),
                                                cell_id(24, 24, 25)),
            "the scroll bar": ((ox + dev(640), oy + dev(128)), "Board size"),
            "Check Me!": ((ox + dev(644), oy + dev(464)), "Check Me!")}
    for what, (point, wanted) in hits.items():
        found = player.reader.ask("hit", *point)
        check(wanted in found, f"hit testing {what} at {point} found {found}")


def main():
    def play(window, player):
        for part in (check_keyboard_order, check_every_cell, check_hits):
            part(window, player)
            print(f"passed: {part.__name__.removeprefix('check_').replace('_', ' ')}", flush=True)

    return blind_play_test.run(sys.argv[1:], False, play)


if __name__ == "__main__":
    sys.exit(main())
