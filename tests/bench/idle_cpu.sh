#!/usr/bin/env bash
# Processor use of the running game idling on the board, from /proc over ten
# seconds, in an Xvfb of the given size (the window's scale follows from it).
# Usage: tests/bench/idle_cpu.sh [WIDTHxHEIGHT] [GAME_BINARY]
# BACKGROUND=1: under a window manager (openbox), with another window
# (xlogo) given the focus before the measurement: the game in the background.
# ZORBL_ARGS: more arguments for the game (--fullscreen: the whole screen).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
size="${1:-320x240}"
bin="${2:-$root/build/zorbl}"
display=70
while [ -e "/tmp/.X11-unix/X${display}" ] || [ -e "/tmp/.X${display}-lock" ]; do display=$((display + 1)); done
Xvfb ":${display}" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
game=""
manager=""
other=""
trap 'kill $game $other $manager $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=":${display}"
if [ "${BACKGROUND:-0}" = 1 ]; then
    openbox --startup "touch $work/wm-ready" >/dev/null 2>&1 &
    manager=$!
    for i in $(seq 1 50); do [ -e "$work/wm-ready" ] && break; sleep 0.1; done
fi
mkdir -p "$work/data" && cp "$root/data/gfx.dat" "$work/data/"
# shellcheck disable=SC2086
(cd "$work" && exec "$bin" ${ZORBL_ARGS:-} >/dev/null 2>&1) &
game=$!
sleep 2
xdotool mousemove 5 5; sleep 0.1; xdotool mousemove 200 100
xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
sleep 4
if [ "${BACKGROUND:-0}" = 1 ]; then
    xlogo >/dev/null 2>&1 &
    other=$!
    for i in $(seq 1 50); do wmctrl -a xlogo 2>/dev/null && break; sleep 0.1; done
    sleep 2
fi
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$game/stat"; }
before=$(cpu); start=$(date +%s.%N)
sleep 10
after=$(cpu); end=$(date +%s.%N)
rss=$(awk '/VmHWM/ {print $2}' "/proc/$game/status")
awk -v a="$before" -v b="$after" -v s="$start" -v e="$end" -v t="$ticks" -v r="$rss" -v z="$size" \
  'BEGIN { printf "display %s: %.2f %% of one core idle, peak resident %.1f MB\n", z, 100 * (b - a) / t / (e - s), r / 1024 }'
