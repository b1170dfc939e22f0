#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's shared prefix, making the prefix on first use.
#
#   wine_run.sh PROGRAM.exe [ARG ...]
#
# WINEPREFIX chooses another prefix; by default it is wine-prefix in the folder CTest runs in
# (or WINE_PREFIX_ROOT, when set). WINE_LOG_PIXELS=N makes a new prefix's screen N dots per
# inch. The first run makes it, with Wine's fonts in its Fonts folder so that Wine can draw its
# own text; a lock keeps tests started at once from making it twice.
set -euo pipefail

root=${WINE_PREFIX_ROOT:-$PWD}
export WINEPREFIX=${WINEPREFIX:-$root/wine-prefix}
# Wine's own errors stay in a test's output, which CTest shows when the test fails, so that a
# program that fails to start says why; its notes on what it has not built yet do not.
export WINEDEBUG=fixme-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

if [ ! -e "$WINEPREFIX/.made" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -e "$WINEPREFIX/.made" ]; then
            # No display is needed, nor wanted: nothing of the prefix's making may show.
            DISPLAY= wineboot -i >/dev/null 2>&1
            wineserver -w
            cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
            if [ -n "${WINE_LOG_PIXELS:-}" ]; then
                # Wine 8 reads the user's setting, newer Wines the machine's; both are set.
                for key in 'HKCU\Control Panel\Desktop' \
                    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
                    DISPLAY= wine reg add "$key" /v LogPixels /t REG_DWORD \
                        /d "$WINE_LOG_PIXELS" /f >/dev/null 2>&1
                done
            fi
            wineserver -w
            touch "$WINEPREFIX/.made"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
