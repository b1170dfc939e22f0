#!/usr/bin/python3
"""Writes look-alikes of the faces the window was designed with: copies of their installed
stand-ins renamed "MS Sans Serif" and "Times New Roman", so a test can install them and see
that the window prefers them.

    make_designed_faces.py OUTPUT_DIR
"""
import glob
import os
import sys

from fontTools.ttLib import TTFont

FACES = [
    # (stand-in file, designed family)
    ("LiberationSans-Regular.ttf", "MS Sans Serif"),
    ("LiberationSans-Bold.ttf", "MS Sans Serif"),
    ("LiberationSerif-Bold.ttf", "Times New Roman"),
]


def installed(file_name):
    found = glob.glob(f"/usr/share/fonts/**/{file_name}", recursive=True)
    if not found:
        sys.exit(f"{file_name} is not installed (Debian package fonts-liberation)")
    return sorted(found)[0]


def rename(source, family, target):
    font = TTFont(source)
    names = font["name"]
    style = names.getDebugName(2)
    full = family if style == "Regular" else f"{family} {style}"
    new_names = {1: family, 4: full, 6: full.replace(" ", "-"), 16: family}
    for record in names.names:
        if record.nameID in new_names:
            record.string = new_names[record.nameID]
    font.save(target)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for file_name, family in FACES:
        target = os.path.join(out, family.replace(" ", "") + "-" + file_name.split("-")[1])
        rename(installed(file_name), family, target)


if __name__ == "__main__":
    main()
