# The Debian packages the game needs; sourced by the other scripts.

# At run time, beside the libraries it links: the fonts its captions are set in, and Qt's plugin
# for running natively on a Wayland desktop rather than through XWayland. The Debian package
# reads these two lines for its Depends and Recommends.
RUN_DEPENDS=(fonts-liberation)
RUN_RECOMMENDS=(qt6-wayland)

# To build the game and run it here.
BUILD_PACKAGES=(cmake make g++ qt6-base-dev "${RUN_DEPENDS[@]}" "${RUN_RECOMMENDS[@]}")

# What a person's desktop session commonly has, for the test that runs the others inside one:
# GTK's Qt theme, a German locale's sources, and the bus tools that call and watch the session.
SESSION_PACKAGES=(qt6-gtk-platformtheme locales libglib2.0-bin dbus-bin)

# To build and run the tests: the test frameworks, the validators of the packaged files, Python's
# font tools for the designed faces' look-alikes, a headless Wayland compositor, an X server with
# real input, screenshots and the accessibility bus that screen readers use, and Orca, the screen
# reader blind players use, with a window manager to hand the focus back as a desktop does.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev desktop-file-utils appstream python3-fonttools weston
               python3-pyatspi python3-xlib at-spi2-core dbus xvfb xauth xdotool imagemagick
               orca openbox "${SESSION_PACKAGES[@]}")

# The Windows program, cross-built here: the compiler, the installer builder, what turns the
# game's SVG icon into a Windows icon and packs the portable zip, and git, whose last commit
# dates the downloads.
WINDOWS_PACKAGES=(cmake make g++-mingw-w64-x86-64 nsis googletest librsvg2-bin icoutils zip git)
# To test it: Wine with the fonts it draws its own text in, an X server with real input, and
# Python for the play-through.
WINDOWS_TEST_PACKAGES=(wine wine64 fonts-wine xvfb xauth xdotool imagemagick python3)

# The web page: the board compiled to WebAssembly by Debian's Emscripten.
WEB_PACKAGES=(cmake make emscripten googletest librsvg2-bin)
# To test it: Debian's Chromium, driven by playwright-core under Debian's Node, the captions'
# stand-in fonts, the only ones the tests let the browser see, and what a screen reader reads the
# page through: the accessibility bus on a private session bus, and Python's AT-SPI client.
WEB_TEST_PACKAGES=(chromium nodejs "${RUN_DEPENDS[@]}" dbus at-spi2-core python3-pyatspi
                   python3-xlib orca openbox xvfb xauth xdotool)
