"""A private X server for a test, real input through xdotool, and screenshots read as pixels."""
import os
import select
import subprocess


class Failure(Exception):
    pass


def start_x_server(width=1600, height=1280, timeout=20, xvfb="Xvfb"):
    """An Xvfb on the first free display, which it names once it is ready. -noreset keeps it
    from resetting whenever its last client leaves. Returns the process and the display."""
    read_end, write_end = os.pipe()
    process = subprocess.Popen([xvfb, "-displayfd", str(write_end), "-nolisten", "tcp",
                                "-noreset", "-screen", "0", f"{width}x{height}x24"],
                               pass_fds=[write_end], start_new_session=True)
    os.close(write_end)
    if not select.select([read_end], [], [], timeout)[0]:
        process.kill()
        raise Failure("Xvfb did not start")
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise Failure("Xvfb ended before naming its display")
    return process, ":" + number


def xdotool(display, *args, xdotool="xdotool"):
    subprocess.run([xdotool, *map(str, args)], env=dict(os.environ, DISPLAY=display), check=True)


class Screenshot:
    """The whole X screen's pixels at one moment."""

    def __init__(self, display):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              env=dict(os.environ, DISPLAY=display), capture_output=True,
                              check=True).stdout
        # "P6", width, height, "255", one whitespace byte, then the pixels.
        magic, width, height, maximum = data.split(maxsplit=4)[:4]
        if magic != b"P6" or maximum != b"255":
            raise Failure("the screenshot is not of 8-bit pixels")
        self.width, self.height = int(width), int(height)
        self.pixels = data[len(data) - 3 * self.width * self.height:]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])
