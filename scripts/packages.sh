# The Debian packages the game needs; sourced by the other scripts.

# At run time, beside the libraries it links: the fonts its captions are set in, and Qt's plugin
# for running natively on a Wayland desktop rather than through XWayland. The Debian package
# reads these two lines for its Depends and Recommends.
RUN_DEPENDS=(fonts-liberation)
RUN_RECOMMENDS=(qt6-wayland)

# To build the game and run it here.
BUILD_PACKAGES=(cmake make g++ qt6-base-dev "${RUN_DEPENDS[@]}" "${RUN_RECOMMENDS[@]}")

# To build and run the tests: the test frameworks, the validators of the packaged files, Python's
# font tools for the designed faces' look-alikes, a headless Wayland compositor, and an X server
# with real input and the accessibility bus that screen readers use.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev desktop-file-utils appstream python3-fonttools weston
               python3-pyatspi python3-xlib at-spi2-core dbus xvfb xauth xdotool)
