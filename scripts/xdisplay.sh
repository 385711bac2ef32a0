# Sourced by the scripts: starts Xvfb with openbox on a free display and exports DISPLAY.
# The caller's EXIT trap should call lims_stop_display.
lims_start_display() {
    local n=${LIMS_DISPLAY_NUMBER:-90}
    while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
    Xvfb ":${n}" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    LIMS_XVFB_PID=$!
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${n}" ] && break; sleep 0.05; done
    export DISPLAY=":${n}"
    openbox >/dev/null 2>&1 &
    LIMS_WM_PID=$!
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
}
lims_stop_display() {
    [ -n "${LIMS_WM_PID:-}" ] && kill "$LIMS_WM_PID" 2>/dev/null
    [ -n "${LIMS_XVFB_PID:-}" ] && kill "$LIMS_XVFB_PID" 2>/dev/null
    return 0
}
