# Sourced by the shell tests that need a real X server. Needs $work (a private scratch folder)
# and the array pids (what the test's clean-up kills on exit).
#   start_xvfb                start Xvfb on a free display, export DISPLAY; fails after a minute
#   start_openbox [LOG]       start openbox and wait until it manages the screen (EWMH struts)

# Polls a command until it succeeds, for up to a minute: the machine is shared.
xvfb_session_wait() {
    local _
    for _ in $(seq 600); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}

start_xvfb() {
    exec 5>"$work/display"
    Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    xvfb_session_wait test -s "$work/display" || return 1
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
}

start_openbox() {
    local log=${1:-/dev/null}
    openbox >"$log" 2>&1 &
    pids+=($!)
    _openbox_ready() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_WM_STRUT_PARTIAL; }
    xvfb_session_wait _openbox_ready
}
