#!/usr/bin/env bash
# A private desktop keyring for tests and the demo: a session bus of its own (dbus-daemon) with
# GNOME Keyring's Secret Service on it, its "login" keyring unlocked, its files in DIR.
#
#   keyring-fixture.sh start DIR   start both; DIR/facts then holds DBUS_SESSION_BUS_ADDRESS
#   keyring-fixture.sh stop DIR    stop both and remove DIR
#
# Nothing of the user's own session is touched: the bus, the runtime folder and the keyring
# files are DIR's.
set -euo pipefail

die() {
    echo "keyring-fixture: $*" >&2
    exit 1
}

[[ $# -eq 2 ]] || die "usage: keyring-fixture.sh start|stop DIR"
command=$1
dir=$2

stop() {
    local pid
    for pid in "$dir/keyring.pid" "$dir/bus.pid"; do
        if [[ -s $pid ]]; then
            kill "$(cat "$pid")" 2>/dev/null || true
        fi
    done
    rm -rf "$dir"
}

case $command in
start)
    command -v dbus-daemon >/dev/null || die "dbus-daemon is not installed (package dbus-daemon)"
    command -v gnome-keyring-daemon >/dev/null ||
        die "gnome-keyring-daemon is not installed (package gnome-keyring)"
    mkdir -p "$dir/run" "$dir/data" "$dir/config" "$dir/home"
    chmod 700 "$dir" "$dir/run"
    dbus-daemon --session --address="unix:path=$dir/bus" --fork --nopidfile --print-address=3 \
        --print-pid=4 \
        3>"$dir/address" 4>"$dir/bus.pid"
    export DBUS_SESSION_BUS_ADDRESS
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$dir/address")
    export XDG_RUNTIME_DIR=$dir/run XDG_DATA_HOME=$dir/data XDG_CONFIG_HOME=$dir/config
    export HOME=$dir/home
    unset DISPLAY WAYLAND_DISPLAY
    # The keyring's password comes on standard input; --unlock makes and opens "login".
    printf 'quobel-test' |
        gnome-keyring-daemon --unlock --components=secrets --daemonize >"$dir/keyring.env"
    owner=""
    for _ in $(seq 1 100); do
        owner=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus \
            /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID \
            string:org.freedesktop.secrets 2>/dev/null | awk '{ print $2 }') || true
        [[ -n $owner ]] && break
        sleep 0.05
    done
    if [[ -z $owner ]]; then
        stop
        die "the Secret Service did not start"
    fi
    echo "$owner" >"$dir/keyring.pid"
    printf 'DBUS_SESSION_BUS_ADDRESS=%q\n' "$DBUS_SESSION_BUS_ADDRESS" >"$dir/facts"
    ;;
stop)
    stop
    ;;
*)
    die "usage: keyring-fixture.sh start|stop DIR"
    ;;
esac
