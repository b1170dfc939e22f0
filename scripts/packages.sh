# The Debian packages the game builds with; sourced by the other scripts.
BUILD_PACKAGES=(cmake make g++ qt6-base-dev fonts-liberation)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev desktop-file-utils appstream
               python3-pyatspi python3-xlib at-spi2-core dbus xvfb xauth xdotool)
