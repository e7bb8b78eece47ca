#!/usr/bin/env bash
# Installs what is missing, cross-builds FendralWin for Windows and runs its tests under Wine on a
# virtual display, in a Wine prefix of its own that is removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."

run_tests_under_wine() {
    prefix_parent=$(mktemp -d)
    export WINEPREFIX="$prefix_parent/wine"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$prefix_parent"' EXIT

    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Without a window manager, every hide or destroy of a managed window waits two seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crashing test ends with its backtrace instead of waiting on a crash dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    wineserver -w
    # A server started with its output detached: Wine's background processes would otherwise
    # hold the first test's output open and ctest would wait for them.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    wine cmd /c exit </dev/null >/dev/null 2>&1

    ctest --preset windows
}

if [ "${1:-}" = "--on-display" ]; then
    run_tests_under_wine
    exit
fi

scripts/install-deps.sh --windows
cmake --preset windows >/dev/null
nice -n 10 cmake --build --preset windows
# Windows need a display: the Wine server must find one from its start.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" --on-display
