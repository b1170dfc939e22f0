#!/usr/bin/env bash
# Runs every test that starts Qt or the game again from inside a desktop session as a person has
# one, and checks that they pass as they do on a bare machine and that none of them reached the
# session: no connection to its X display or Wayland compositor, no call to its accessibility bus.
#
#   tests/hostile_session.sh BUILD_DIR DESIGNED_FACES_DIR AT_SPI_BUS_LAUNCHER
#
# The session is a throwaway one standing in for the person's own: a real X server and a real
# Wayland compositor, a session bus with an accessibility bus and a screen reader switched on,
# Qt, GTK and locale settings as desktops set them, and a home whose Qt logging and font rules
# would change what the tests see.
set -euo pipefail
build=$1
designed_faces=$2
bus_launcher=$3

work=$(mktemp -d)
pids=()
stop()
{
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap stop EXIT
fail()
{
    echo "FAILED: $*" >&2
    exit 1
}
# Waits up to 10 s for a command to succeed.
wait_until()
{
    local what=$1
    shift
    for ((tries = 0; tries < 100; tries++)); do
        "$@" && return 0
        sleep 0.1
    done
    fail "timed out waiting for $what"
}

# The person's runtime folder, X display and Wayland compositor. The X server logs each client
# that connects; the compositor logs every request its clients send.
runtime=$work/runtime
mkdir -m 700 "$runtime"
Xvfb -displayfd 1 -audit 2 -nolisten tcp -noreset -screen 0 1024x768x24 \
    >"$work/display" 2>"$work/x.log" &
pids+=($!)
wait_until "the X server" test -s "$work/display"
display=:$(head -n 1 "$work/display")

XDG_RUNTIME_DIR=$runtime WAYLAND_DEBUG=server weston --backend=headless-backend.so \
    --shell=kiosk-shell.so --use-pixman --idle-time=0 --no-config --socket=wayland-0 \
    >"$work/wayland.log" 2>&1 &
pids+=($!)
wait_until "the Wayland compositor" test -S "$runtime/wayland-0"

# The person's session bus, with the accessibility bus on it and a screen reader switched on, so
# that any Qt program that found this bus would register with it.
dbus-daemon --session --nofork --nopidfile --print-address=1 --address="unix:path=$runtime/bus" \
    >"$work/bus-address" 2>"$work/bus.log" &
pids+=($!)
wait_until "the session bus" test -s "$work/bus-address"
bus=$(head -n 1 "$work/bus-address")
DBUS_SESSION_BUS_ADDRESS=$bus dbus-monitor --session >"$work/bus-traffic" 2>&1 &
pids+=($!)
DISPLAY=$display DBUS_SESSION_BUS_ADDRESS=$bus XDG_RUNTIME_DIR=$runtime \
    "$bus_launcher" --launch-immediately >/dev/null 2>&1 &
pids+=($!)
a11y()
{
    DBUS_SESSION_BUS_ADDRESS=$bus gdbus call --session --dest org.a11y.Bus --object-path \
        /org/a11y/bus "$@" >/dev/null 2>&1
}
wait_until "the accessibility bus" a11y --method org.a11y.Bus.GetAddress
for property in IsEnabled ScreenReaderEnabled; do
    a11y --method org.freedesktop.DBus.Properties.Set org.a11y.Status "$property" '<true>' ||
        fail "could not switch on $property"
done

# The person's home: Qt logs everything, and fontconfig hides the captions' stand-ins behind
# look-alikes of the designed faces.
home=$work/home
mkdir -p "$home/.config/QtProject" "$home/.config/fontconfig" "$home/.fonts"
printf '[Rules]\n*.debug=true\n' >"$home/.config/QtProject/qtlogging.ini"
cp "$designed_faces"/*.ttf "$home/.fonts/"
cat >"$home/.config/fontconfig/fonts.conf" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <selectfont><rejectfont><glob>*/Liberation*</glob></rejectfont></selectfont>
  <match target="font"><edit name="antialias" mode="assign"><bool>false</bool></edit></match>
</fontconfig>
EOF

# A German locale, made here so that the machine's own locales need not include it.
mkdir "$work/locale"
localedef -i de_DE -f UTF-8 "$work/locale/de_DE.UTF-8" 2>/dev/null ||
    test -d "$work/locale/de_DE.UTF-8" || fail "could not make the de_DE.UTF-8 locale"

# Each stand-in is asked once here, so that the checks below are seen to notice a client.
DISPLAY=$display xdotool getmouselocation >/dev/null
DBUS_SESSION_BUS_ADDRESS=$bus gdbus call --session --dest org.a11y.Bus \
    --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress >/dev/null
x_clients()
{
    grep -c 'connected from' "$work/x.log" || true
}
wayland_clients()
{
    grep -cE 'wl_display[@#]1\.get_registry' "$work/wayland.log" || true
}
bus_calls()
{
    grep -c 'destination=org.a11y.Bus' "$work/bus-traffic" || true
}
wait_until "the bus monitor to see the probe" test "$(bus_calls)" -ge 1
before="$(x_clients) $(wayland_clients) $(bus_calls)"

# The tests of the build, run again in a folder of their own so that their logs stay apart.
mkdir "$work/rerun"
echo "subdirs(\"$build/tests\")" >"$work/rerun/CTestTestfile.cmake"
status=0
env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$runtime" \
    DISPLAY="$display" WAYLAND_DISPLAY=wayland-0 DBUS_SESSION_BUS_ADDRESS="$bus" \
    XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME DESKTOP_SESSION=gnome \
    QT_QPA_PLATFORM='wayland;xcb' QT_QPA_PLATFORMTHEME=gtk3 QT_STYLE_OVERRIDE=windows \
    QT_SCALE_FACTOR=1.25 QT_FONT_DPI=120 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    QT_WAYLAND_DISABLE_WINDOWDECORATION=1 GDK_SCALE=2 QT_IM_MODULE=ibus \
    LOCPATH="$work/locale" LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 LANGUAGE=de \
    ctest --test-dir "$work/rerun" -L desktop -LE random --output-on-failure || status=$?
[ "$status" -eq 0 ] || fail "the tests above do not pass inside the session"

after="$(x_clients) $(wayland_clients) $(bus_calls)"
echo "clients of the person's X display, compositor and accessibility bus: before $before, after $after"
[ "$before" = "$after" ] || fail "a test reached the person's session"
echo "passed: the desktop tests pass inside a person's session and leave it alone"
