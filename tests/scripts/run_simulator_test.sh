#!/usr/bin/env bash
# scripts/run.sh --simulator as a user runs it, twice: once the user quits the program from its
# menu, once Ctrl+C stops the whole command. Each time the program must connect to the simulated
# panel (seen in its private log: the configuration read, the pushed readings and a PID channel's
# status), and afterwards the program, the simulator and the private home must be gone. The user's
# own settings and log (in a fake HOME) must be byte-identical at the end.
#
#   run_simulator_test.sh RUN_SH BUILD_DIR      (needs an X server and xdotool)
set -uo pipefail
run_sh=$1
export MIREX_BUILD_DIR=$2

fail() { echo "FAIL: $*" >&2; exit 1; }
[[ -n ${DISPLAY:-} ]] || fail "no display"
command -v xdotool >/dev/null || fail "xdotool is missing"
# GTK takes a Wayland compositor when it finds one (WAYLAND_DISPLAY, else wayland-0), and xdotool
# sees only the windows of an X server.
wayland=${WAYLAND_DISPLAY:-wayland-0}
[[ $wayland == /* ]] || wayland=${XDG_RUNTIME_DIR:-/nonexistent}/$wayland
[[ ${GDK_BACKEND:-} == x11* || ! -S $wayland ]] ||
    fail "needs an X server: the program would run on Wayland ($wayland), out of xdotool's sight"

work=$(mktemp -d "${TMPDIR:-/tmp}/mirex-run-test-XXXXXX")
run_pid=""
cleanup() {
    # The command runs in a process group of its own (job control below): end that group only.
    [[ -n $run_pid ]] && kill -TERM -- "-$run_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home
unset XDG_CONFIG_HOME XDG_STATE_HOME
mkdir -p "$HOME/.config" "$HOME/.local/state/mirex" "$work/tmp"
# Settings that would never reach the simulator, and a log of an earlier run.
printf '[main]\nx=7\ny=9\nwi=640\nhe=480\n[com]\ntype=USB\nname=\n[path]\nbackup=/nowhere\n' >"$HOME/.config/mirex.conf"
printf '2026-01-01 00:00:00.000 verbose: Port opened\n' >"$HOME/.local/state/mirex/mirex.log"
cp "$HOME/.config/mirex.conf" "$work/conf.before"
cp "$HOME/.local/state/mirex/mirex.log" "$work/log.before"
export TMPDIR=$work/tmp  # where run.sh makes its private home

wait_for() {  # seconds, command...
    local tries=$(($1 * 10))
    shift
    while ((tries-- > 0)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
private_log() { ls "$TMPDIR"/mirex-simulator-*/state/mirex/mirex.log 2>/dev/null | head -n 1; }
connected() {
    local log
    log=$(private_log)
    [[ -n $log ]] && grep -Eq 'RX:0286[0-9a-f]{2}:00d2:00:01:' "$log" && grep -q 'RX:029700:' "$log" &&
        grep -q 'RX:02a500:01:' "$log"
}
child() { ps --ppid "$run_pid" -o pid=,comm= | awk -v name="$1" '$2 == name { print $1 }'; }
ended() { ! kill -0 "$1" 2>/dev/null; }
quit_from_menu() {  # F10 opens the first menu, Up wraps to its last entry, "Wyjście"
    local window
    window=$(xdotool search --onlyvisible --pid "$mirex_pid" --class mirex 2>/dev/null | head -n 1)
    [[ -n $window ]] || return 1
    xdotool windowfocus --sync "$window" key F10 sleep 0.5 key Up sleep 0.2 key Return 2>/dev/null
    wait_for 3 ended "$mirex_pid"
}

set -m  # a process group per command, as in a terminal
for how in menu ctrl-c; do
    "$run_sh" --simulator >"$work/run.$how.out" 2>&1 &
    run_pid=$!
    start=$SECONDS
    wait_for 60 connected || { cat "$work/run.$how.out" >&2; fail "$how: the program did not connect"; }
    echo "$how: connected after $((SECONDS - start)) s"
    mirex_pid=$(child mirex)
    sim_pid=$(child panel_sim)
    [[ -n $mirex_pid && -n $sim_pid ]] || fail "$how: the program and the simulator are not run.sh's children"
    if [[ $how == menu ]]; then
        quitted=false
        for _ in 1 2 3; do quit_from_menu && { quitted=true; break; }; done
        $quitted || fail "menu: the program did not quit"
    else
        kill -INT -- "-$run_pid"
    fi
    wait_for 10 ended "$run_pid" || fail "$how: run.sh did not end"
    wait "$run_pid"
    status=$?
    run_pid=""
    ended "$mirex_pid" || fail "$how: the program still runs"
    ended "$sim_pid" || fail "$how: the simulator still runs"
    [[ -z $(ls -A "$TMPDIR") ]] || fail "$how: the private home was left behind: $(ls "$TMPDIR")"
    if [[ $how == menu ]]; then
        ((status == 0)) || fail "menu: run.sh ended with $status"
    else
        ((status == 130)) || fail "ctrl-c: run.sh ended with $status"
    fi
done

cmp "$work/conf.before" "$HOME/.config/mirex.conf" || fail "the user's settings changed"
cmp "$work/log.before" "$HOME/.local/state/mirex/mirex.log" || fail "the user's log changed"
[[ $(ls -A "$HOME/.config") == mirex.conf ]] || fail "new files in the user's config: $(ls -A "$HOME/.config")"
echo "PASS"
