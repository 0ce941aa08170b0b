#!/usr/bin/env bash
# Installs what is missing, builds mirex and starts it.
#
#   scripts/run.sh [PROGRAM ARGUMENTS...]
#   scripts/run.sh --simulator [SIMULATOR ARGUMENTS...]
#
# With --simulator it also builds the panel simulator, starts it on a pseudo-terminal of its own
# and starts the program connected to it, with settings and log in a temporary home of their own
# (the user's ~/.config/mirex.conf and log stay untouched). The simulator stops when the program
# ends, or on Ctrl+C; the temporary home is removed. Simulator arguments: --firmware VERSION
# (3.5), --inputs thermo|analog|none, --slots SLOT0,SLOT1 (output, bus or none), --period MS.
#
# MIREX_BUILD_DIR names the build tree (default build/release). A tree that is already configured
# is built as it stands, so the tests can point this at their own tree.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${MIREX_BUILD_DIR:-$top/build/release}

simulator=false
if [[ ${1:-} == --simulator ]]; then
    simulator=true
    shift
fi

"$top/scripts/setup.sh"
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIREX_TESTS=OFF >/dev/null
fi
if ! $simulator; then
    cmake --build "$build" --target mirex
    exec "$build/mirex" "$@"
fi
cmake --build "$build" --target mirex panel_sim

home=$(mktemp -d "${TMPDIR:-/tmp}/mirex-simulator-XXXXXX")
sim_pid=""
mirex_pid=""
# Only the two processes started here, by their ids.
stop() {
    trap - EXIT INT TERM HUP
    local pid
    for pid in $mirex_pid $sim_pid; do kill "$pid" 2>/dev/null || true; done
    for pid in $mirex_pid $sim_pid; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$home"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

"$build/tests/panel_sim" "$@" >"$home/sim.out" &
sim_pid=$!
port=""
for _ in $(seq 100); do
    port=$(head -n 1 "$home/sim.out")
    [[ -n $port ]] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        wait "$sim_pid" || true
        sim_pid=""
        echo "run.sh: the panel simulator did not start" >&2
        exit 1
    fi
    sleep 0.05
done
[[ -n $port ]] || { echo "run.sh: the panel simulator named no terminal" >&2; exit 1; }

mkdir -p "$home/config" "$home/state"
printf '[com]\ntype=COM\nname=%s\n' "$port" >"$home/config/mirex.conf"
echo "run.sh: simulated panel on $port; log in $home/state/mirex/mirex.log (removed at the end)"
XDG_CONFIG_HOME=$home/config XDG_STATE_HOME=$home/state "$build/mirex" &
mirex_pid=$!
status=0
wait "$mirex_pid" || status=$?
mirex_pid=""
exit "$status"
