#!/usr/bin/env bash
# Builds the Debian package from a built tree, installs it on this machine, checks what it put
# where and what it depends on, starts the installed program as a desktop would and waits for
# its main window, then removes the package again.
# Usage: test-deb.sh BUILD_DIR. Needs root; exits 77 (a skip for ctest) otherwise.
# Uses $DISPLAY when set, else starts Xvfb with openbox (scripts/xdisplay.sh).
set -euo pipefail

build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
package=quorlimsdemo
title='实验室信息管理系统（LIMS）'
icon_sizes=(16 32 48 64 72)
# Installed for the program though it does not link them: the web engine's helper process and
# data, and the font for the Chinese texts.
runtime_packages=(libqt6webenginecore6-bin libqt6webengine6-data fonts-wqy-microhei)

if [ "$(id -u)" -ne 0 ]; then
    echo "installing a package needs root: skipped"
    exit 77
fi

work=$(mktemp -d)
installed=0
display_started=0
app_pid=
app_children=()

apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=120 "$@"
}

descendants() { # pid
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        echo "$child"
        descendants "$child"
    done
}

stop_program() {
    [ -n "$app_pid" ] || return 0
    mapfile -t app_children < <(descendants "$app_pid")
    kill -TERM "$app_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    # The web engine's helpers follow their parent; whatever is left of them goes by pid.
    for _ in $(seq 30); do
        local alive=0 child
        for child in "${app_children[@]}"; do kill -0 "$child" 2>/dev/null && alive=1; done
        ((alive)) || break
        sleep 0.1
    done
    for child in "${app_children[@]}"; do kill -KILL "$child" 2>/dev/null || true; done
    app_pid=
}

# Runs on every exit. The package is purged even when this machine had it before the test:
# the test owns quorlimsdemo wherever it runs.
cleanup() {
    stop_program
    if ((installed)); then apt_get purge "$package" >/dev/null 2>&1 || true; fi
    if ((display_started)); then lims_stop_display; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

echo "== package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not build the package"; }
debs=("$work"/package/*.deb)
if ((${#debs[@]} != 1)) || [ ! -f "${debs[0]}" ]; then fail "cpack made no single .deb: ${debs[*]}"; fi
deb=${debs[0]}
dpkg -I "$deb"
[ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || fail "package name is not $package"

echo "== dependencies"
mapfile -t depends < <(dpkg-deb -f "$deb" Depends | sed 's/[,|]/\n/g' | sed 's/(.*)//; s/[[:space:]]//g' | grep -v '^$')
depends_on() {
    local name
    for name in "${depends[@]}"; do [ "$name" = "$1" ] && return 0; done
    return 1
}
for p in "${runtime_packages[@]}"; do
    depends_on "$p" || fail "Depends lacks $p"
done
# Every library the program links must come from a package it depends on.
dpkg-deb -x "$deb" "$work/root"
staged=$work/root/usr/bin/QuorLimsDemo
[ -x "$staged" ] || fail "the package holds no usr/bin/QuorLimsDemo"
for soname in $(objdump -p "$staged" | awk '$1 == "NEEDED" { print $2 }'); do
    path=$(ldd "$staged" | awk -v lib="$soname" '$1 == lib { print $3 }')
    if [ -z "$path" ] || [ "$path" = "not" ]; then fail "$soname is not found on this machine"; fi
    owner=
    for candidate in "$path" "/usr${path#/usr}" "${path#/usr}"; do
        owner=$(dpkg -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1) && [ -n "$owner" ] && break
    done
    [ -n "$owner" ] || fail "no package owns $path"
    depends_on "$owner" || fail "links $soname from $owner, which Depends lacks"
    echo "$soname: $owner"
done

echo "== install"
installed=1
apt_get install --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "the package does not install"; }
[ "$(dpkg-query -W -f='${Status}' "$package")" = "install ok installed" ] || fail "$package is not installed"

program=/usr/bin/QuorLimsDemo
desktop=/usr/share/applications/QuorLimsDemo.desktop
[ -x "$program" ] || fail "$program is missing"
ldd "$program" | grep -F 'not found' && fail "$program misses libraries"
[ -f "$desktop" ] || fail "$desktop is missing"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "$desktop is not a valid desktop entry"
fi
desktop_key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(desktop_key Name)" = "$title" ] || fail "the desktop entry's name is not the application title"
exec_line=$(desktop_key Exec)
launcher=$(PATH=/usr/bin:/bin command -v "${exec_line%% *}") || fail "Exec=$exec_line is not on the PATH"
[ "$launcher" = "$program" ] || fail "Exec=$exec_line starts $launcher, not $program"
icon=$(desktop_key Icon)
for size in "${icon_sizes[@]}"; do
    png=/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
    info=$(file -b "$png" 2>&1)
    [[ $info == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] || fail "$png is not a $size-pixel RGBA PNG: $info"
done

echo "== start"
if [ -z "${DISPLAY:-}" ]; then
    # shellcheck source-path=SCRIPTDIR/../..
    # shellcheck source=scripts/xdisplay.sh
    source "$source_dir/scripts/xdisplay.sh"
    lims_start_display
    display_started=1
fi
# Nothing from the build or the test's environment: what a desktop session hands the program.
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
env -i HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    DISPLAY="$DISPLAY" ${XAUTHORITY:+XAUTHORITY="$XAUTHORITY"} \
    QTWEBENGINE_DISABLE_SANDBOX=1 \
    "$launcher" >"$work/program.log" 2>&1 &
app_pid=$!
started=$(date +%s%N)
window=
for _ in $(seq 120); do
    window=$(xdotool search --all --onlyvisible --pid "$app_pid" --name "^$title\$" 2>/dev/null | head -n1) || true
    [ -n "$window" ] && break
    kill -0 "$app_pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended before its window appeared"; }
    sleep 0.25
done
[ -n "$window" ] || { cat "$work/program.log"; fail "no window titled $title within 30 s"; }
echo "window $window after $((($(date +%s%N) - started) / 1000000)) ms: $(xdotool getwindowname "$window")"
wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"$/\2/p')
[ "$wm_class" = "$(desktop_key StartupWMClass)" ] ||
    fail "the window's class is '$wm_class', the desktop entry's StartupWMClass '$(desktop_key StartupWMClass)'"
stop_program

echo "== remove"
apt_get purge "$package" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "the package does not remove"; }
installed=0
for path in "$program" "$desktop" /usr/share/icons/hicolor/16x16/apps/"$icon".png; do
    [ ! -e "$path" ] || fail "$path is left after removal"
done
echo "PASS"
