#!/usr/bin/env bash
# A private PulseAudio server for the tests on real audio, kept in one folder:
# a null sink "vsink" whose monitor, remapped as "vmic", is the default input
# (Qt lists no monitor sources). Works as root and with no standard input.
# Usage: pulse-fixture.sh start|stop FOLDER
set -Eeuo pipefail
action=${1:?start or stop}
dir=${2:?folder}

export XDG_RUNTIME_DIR=$dir HOME=$dir PULSE_SERVER=unix:$dir/pulse/native
# Settings of a sound server the machine may run must not leak into this one.
unset PULSE_COOKIE PULSE_SINK PULSE_SOURCE PULSE_RUNTIME_PATH PULSE_STATE_PATH \
    PULSE_CONFIG_PATH PULSE_CLIENTCONFIG

# True while pid is a pulseaudio that has not yet ended. A server that has
# ended may linger as a zombie where nothing reaps orphans, so signal 0 is not
# enough; checking the name keeps a pid reused by another process safe.
running_server() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    [[ $stat == *"(pulseaudio) "[!Z]* ]]
}

stop_server() {
    local pidfile=$dir/pulse/pid
    [ -f "$pidfile" ] || return 0
    local pid
    pid=$(cat "$pidfile")
    if running_server "$pid"; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            running_server "$pid" || break
            sleep 0.1
        done
        running_server "$pid" && kill -KILL "$pid" 2>/dev/null
    fi
    rm -f "$pidfile"
}

# pactl waits on an unresponsive server; a test run must not.
ctl() {
    timeout 10 pactl "$@"
}

case $action in
start)
    stop_server
    rm -rf "$dir"
    mkdir -p "$dir"
    chmod 700 "$dir"
    # A server left half set up is stopped before the failure is reported.
    trap 'status=$?; cat "$dir/pulseaudio.log" >&2; stop_server; exit $status' ERR
    # Run as root it warns and carries on; --system would be a shared server instead.
    timeout 30 pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
        --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=vsink" \
        </dev/null >>"$dir/pulseaudio.log" 2>&1
    for _ in $(seq 50); do
        ctl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    ctl load-module module-remap-source master=vsink.monitor source_name=vmic >/dev/null
    ctl set-default-source vmic
    ctl set-default-sink vsink
    ctl info | grep -E '^Default (Sink|Source)'
    ;;
stop)
    # The server's log has been shown already should its start have failed.
    stop_server
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop FOLDER" >&2
    exit 2
    ;;
esac
