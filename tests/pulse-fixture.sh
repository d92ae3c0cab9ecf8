#!/usr/bin/env bash
# A private PulseAudio server for the tests on real audio, kept in FOLDER: a null sink
# "vsink" whose monitor, remapped as "vmic", is the default input (Qt lists no monitor
# sources). Works as root and with no standard input.
set -Eeuo pipefail
action=${1:-} dir=${2:-}
[[ $action =~ ^(start|stop)$ && -n $dir ]] || { echo "usage: $0 start|stop FOLDER" >&2; exit 2; }

# Settings of a sound server the machine may run must not leak into this one.
unset "${!PULSE_@}"
export XDG_RUNTIME_DIR=$dir HOME=$dir PULSE_SERVER=unix:$dir/pulse/native

# True while pid is a pulseaudio that has not yet ended: one that has ended may linger as
# a zombie where nothing reaps orphans, and the name keeps a pid reused by another safe.
running_server() { [[ $(cat "/proc/$1/stat" 2>/dev/null) == *"(pulseaudio) "[!Z]* ]]; }

stop_server() {
    [ -f "$dir/pulse/pid" ] || return 0
    local pid
    pid=$(<"$dir/pulse/pid")
    if running_server "$pid"; then kill "$pid" 2>/dev/null || true; fi
    for _ in {1..50}; do running_server "$pid" || break; sleep 0.1; done
    if running_server "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    rm -f "$dir/pulse/pid"
}

ctl() { timeout 10 pactl "$@"; } # pactl waits on an unresponsive server; a run must not

# Both start over from nothing; a failed start has shown the server's log already.
stop_server
rm -rf "$dir"
[[ $action == start ]] || exit 0
install -d -m 700 "$dir"
# A server left half set up is stopped before the failure is reported.
trap 'status=$?; cat "$dir/pulseaudio.log" >&2; stop_server; exit $status' ERR
# Run as root it warns and carries on; --system would be a shared server instead.
timeout 30 pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=vsink" </dev/null >>"$dir/pulseaudio.log" 2>&1
for _ in {1..50}; do ctl info >/dev/null 2>&1 && break; sleep 0.1; done
ctl load-module module-remap-source master=vsink.monitor source_name=vmic >/dev/null
ctl set-default-source vmic
ctl set-default-sink vsink
ctl info | grep -E '^Default (Sink|Source)'
