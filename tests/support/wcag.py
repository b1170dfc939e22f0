"""WCAG 2.2's contrast ratio, as the tests measure the colours on a screenshot against it."""


def luminance(rgb):
    """The relative luminance of an sRGB colour, from 0 (black) to 1 (white)."""
    def linear(channel):
        v = channel / 255
        return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
    r, g, b = map(linear, rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    """From 1 (the same) to 21 (black on white)."""
    low, high = sorted((luminance(a), luminance(b)))
    return (high + 0.05) / (low + 0.05)
