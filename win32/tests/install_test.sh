#!/usr/bin/env bash
# Installs the game silently under Wine, checks its files, shortcut and Installed-apps entry,
# starts the installed game, uninstalls silently and checks that nothing is left.
#
#   install_test.sh WINE_RUN INSTALLER.exe PROBE.exe      (WINEPREFIX names a prefix of its own)
set -euo pipefail
wine_run=$1 installer=$2 probe=$3
: "${WINEPREFIX:?}"

fail() { echo "FAILED: $*" >&2; exit 1; }
poll() { # poll SECONDS COMMAND...: until the command succeeds
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

dir=$(mktemp -d)
xvfb=
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT

program_dir="$WINEPREFIX/drive_c/Program Files/Vir Urad Izuva"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vir Urad Izuva.lnk"
key='[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\VirUradIzuva]'
# The uninstall key as Wine has saved it, one value a line.
uninstall_key() { sed -n "/^\\$key/,/^\$/p" "$WINEPREFIX/system.reg"; }

# Silent install; the Wine server writes the registry out when the prefix's last process ends.
DISPLAY= "$wine_run" "$installer" /S
wineserver -w
for file in vir-urad-izuva.exe LICENSE.txt uninstall.exe; do
    [ -f "$program_dir/$file" ] || fail "no $file in Program Files"
done
cmp -s "$program_dir/vir-urad-izuva.exe" "$(dirname "$probe")/../vir-urad-izuva.exe" ||
    fail "the installed exe is not the one built"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
values=$(uninstall_key)
for expected in '"DisplayName"="Vir Urad Izuva?"' '"DisplayVersion"="1.0.0"' \
    '"Publisher"="Vir Urad Izuva developers"' \
    '"DisplayIcon"="C:\\Program Files\\Vir Urad Izuva\\vir-urad-izuva.exe,0"' \
    '"UninstallString"="\"C:\\Program Files\\Vir Urad Izuva\\uninstall.exe\""'; do
    grep -qxF "$expected" <<<"$values" || fail "uninstall key lacks $expected: $values"
done
size=$(sed -n 's/^"EstimatedSize"=dword:\(.*\)/\1/p' <<<"$values")
[ -n "$size" ] && [ $((16#$size)) -ge 100 ] || fail "EstimatedSize ${size:-missing}"

# The installed game starts and shows its window.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$dir/display" &
xvfb=$!
poll 20 test -s "$dir/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$dir/display")
"$wine_run" 'C:\Program Files\Vir Urad Izuva\vir-urad-izuva.exe' &
game=$!
poll 30 "$wine_run" "$probe" window >"$dir/window" 2>/dev/null || fail "the installed game shows no window"
grep -q '^control Button "Check Me!"' "$dir/window" || fail "the installed game's window: $(cat "$dir/window")"
xdotool key alt+F4
wait "$game" || fail "the installed game ended with status $?"

# Silent uninstall: the uninstaller runs on from a copy of itself, so wait for every process.
DISPLAY= "$wine_run" 'C:\Program Files\Vir Urad Izuva\uninstall.exe' /S
wineserver -w
[ ! -e "$program_dir" ] || fail "left behind: $(ls -A "$program_dir")"
[ ! -e "$shortcut" ] || fail "the shortcut is left behind"
[ -z "$(uninstall_key)" ] || fail "the uninstall key is left behind"
echo "passed: install, files, shortcut, uninstall key, start, uninstall"
