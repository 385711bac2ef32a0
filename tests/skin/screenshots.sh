#!/usr/bin/env bash
# Takes the skin's screenshots for the docs: the main window, the confirmation dialog and the
# page's context menu, on a private Xvfb display with openbox.
# Usage: tests/skin/screenshots.sh <build dir> [display number]
set -euo pipefail
build=$(realpath "$1")
display=${2:-61}
out=$(cd "$(dirname "$0")/../.." && pwd)/docs/images
mkdir -p "$out"
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_QPA_PLATFORM=xcb DISPLAY=":$display"

Xvfb "$DISPLAY" -screen 0 1440x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
openbox_pid=
cleanup() {
    [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    return 0
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
openbox >/dev/null 2>&1 &
openbox_pid=$!
xsetroot -solid '#5b6770' 2>/dev/null || true

shot() { # mode, crop geometry, file, then optional xdotool steps
    local mode=$1 crop=$2 file=$3
    shift 3
    "$build/tests/skin/skindemo" "$mode" >/dev/null 2>&1 &
    local demo=$!
    sleep 4
    [ $# -gt 0 ] && xdotool "$@"
    sleep 1
    import -window root -crop "$crop" +repage "$out/$file"
    kill "$demo" 2>/dev/null || true
    wait "$demo" 2>/dev/null || true
}

shot main 1060x800+178+94 skin-main.png mousemove 1300 880
shot dialog 410x270+311+267 skin-dialog.png mousemove 1300 880
shot main 520x330+560+420 skin-menu.png mousemove 700 500 click 3 sleep 1 mousemove 760 570
