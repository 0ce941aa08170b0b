#!/usr/bin/env bash
# Takes a screenshot of the program's main window.
#
#   screenshot.sh MIREX OUT.png [--sim PANEL_SIM] [--wait SECONDS]
#
# Starts MIREX (the built program) with a fresh, temporary settings directory, waits for its
# window, lets it settle for SECONDS (default 2), writes a picture of the whole screen to
# OUT.png and ends the program. With --sim the simulated panel PANEL_SIM is started first and
# the settings name its pseudo-terminal as the serial port, so the window connects and shows the
# live read-outs; without it the program shows its first start (the port dialog).
#
# Runs on $DISPLAY when one is set, otherwise under its own Xvfb screen (xvfb-run). Needs
# ImageMagick's import and xdotool.
set -euo pipefail

usage() {
    echo "usage: $0 MIREX OUT.png [--sim PANEL_SIM] [--wait SECONDS]" >&2
    exit 2
}

[[ $# -ge 2 ]] || usage
mirex=$(readlink -f "$1")
out=$(readlink -f "$2")
shift 2
sim=""
settle=2
while [[ $# -gt 0 ]]; do
    case "$1" in
        --sim) [[ $# -ge 2 ]] || usage; sim=$(readlink -f "$2"); shift 2 ;;
        --wait) [[ $# -ge 2 ]] || usage; settle="$2"; shift 2 ;;
        *) usage ;;
    esac
done
[[ -x "$mirex" ]] || { echo "$0: $mirex is not an executable" >&2; exit 1; }
[[ -z "$sim" || -x "$sim" ]] || { echo "$0: $sim is not an executable" >&2; exit 1; }
for tool in import xdotool; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 1; }
done

# No display: run this script again under a private X server.
if [[ -z "${DISPLAY:-}" ]]; then
    args=("$mirex" "$out" --wait "$settle")
    [[ -n "$sim" ]] && args+=(--sim "$sim")
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "${args[@]}"
fi

work=$(mktemp -d /tmp/mirex-shot-XXXXXX)
mirex_pid=""
sim_pid=""
cleanup() {
    # Only the processes this script started, by their ids.
    [[ -n "$mirex_pid" ]] && kill "$mirex_pid" 2>/dev/null && wait "$mirex_pid" 2>/dev/null || true
    [[ -n "$sim_pid" ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"

if [[ -n "$sim" ]]; then
    "$sim" > "$work/sim.out" 2> "$work/sim.err" &
    sim_pid=$!
    pty=""
    for _ in $(seq 50); do
        pty=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
        [[ -n "$pty" ]] && break
        sleep 0.1
    done
    [[ -n "$pty" ]] || { echo "$0: the panel simulator printed no terminal" >&2; cat "$work/sim.err" >&2; exit 1; }
    printf '[com]\ntype=COM\nname=%s\n' "$pty" > "$XDG_CONFIG_HOME/mirex.conf"
fi

"$mirex" > "$work/mirex.log" 2>&1 &
mirex_pid=$!

window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$mirex_pid" 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]] && break
    kill -0 "$mirex_pid" 2>/dev/null || { echo "$0: the program ended early" >&2; cat "$work/mirex.log" >&2; exit 1; }
    sleep 0.1
done
[[ -n "$window" ]] || { echo "$0: no window appeared" >&2; exit 1; }

sleep "$settle"
import -window root "$out"
echo "$out"
