#!/usr/bin/env bash
# A private PulseAudio server for the tests on real audio, kept in one folder:
# a null sink "vsink" whose monitor, remapped as "vmic", is the default input
# (Qt lists no monitor sources). Works as root and with no standard input.
# Usage: pulse-fixture.sh start|stop FOLDER
set -euo pipefail
action=${1:?start or stop}
dir=${2:?folder}

export XDG_RUNTIME_DIR=$dir HOME=$dir PULSE_SERVER=unix:$dir/pulse/native
unset PULSE_COOKIE PULSE_SINK PULSE_SOURCE

stop_server() {
    local pidfile=$dir/pulse/pid
    [ -f "$pidfile" ] || return 0
    local pid
    pid=$(cat "$pidfile")
    if kill "$pid" 2>/dev/null; then
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    fi
    rm -f "$pidfile"
}

case $action in
start)
    stop_server
    rm -rf "$dir"
    mkdir -p "$dir"
    chmod 700 "$dir"
    # Run as root it warns and carries on; --system would be a shared server instead.
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
        --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=vsink" \
        </dev/null >>"$dir/pulseaudio.log" 2>&1 || {
        cat "$dir/pulseaudio.log" >&2
        exit 1
    }
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl load-module module-remap-source master=vsink.monitor source_name=vmic >/dev/null
    pactl set-default-source vmic
    pactl set-default-sink vsink
    pactl info | grep -E '^Default (Sink|Source)'
    ;;
stop)
    stop_server
    ;;
*)
    echo "usage: $0 start|stop FOLDER" >&2
    exit 2
    ;;
esac
