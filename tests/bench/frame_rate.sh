#!/usr/bin/env bash
# The game's frame rate in a window, and its idle processor use beside the
# library's own floor, each launch in a fresh 320 x 240 Xvfb.
#
# Usage: tests/bench/frame_rate.sh [GAME_BINARY]   (default build/zorbl)
# Environment:
#   RUNS=3     launches of the game, each followed by one of the floor
#              program (medians shown; the machine may be shared)
#   SPAN=10    seconds each frame rate and processor figure is taken over
#   HINT_EVERY=0.25  seconds between presses of H in the hint span
#   HINT_KEY=h       the key pressed there (a key the game ignores, such as
#              k, measures what the presses cost by themselves)
#   FULLSCREEN=1     the game on the whole screen (--fullscreen) of a
#              SIZE display (default 1024x768: the picture enlarged three
#              times, centred); presses land on the same game pixels
#   SIZE=WxH         the display (default 320x240, the window 1:1)
#
# What is measured, per launch:
#   play       launch -> the first frame of play (frame 762: the intro's
#              760, the first board under the black palette, the fade-in),
#              without Esc. Designed: 11.4 s of intro plus start-up and fades.
#   intro      the intro's frames per second (from its first frame to its
#              760th), and the 760 frames' time at that rate.
#   search fps frames per second in the first BEST_LINE seconds of play,
#              while the solver searches the deal's best line beside the
#              frames (designed: 66.7); the idle span starts after it, so
#              the idle processor figure is the game's once the search ends.
#   idle fps   frames per second on the untouched board, and
#   hint fps   on the board while H is pressed every HINT_EVERY seconds
#              (each press searches for a hint). Designed: 66.7.
#   box fps    with the quit question box open (opened with the Quit button,
#              answered Yes at the end: a game that does not quit then had
#              no box up, and the launch is marked "no-box").
#              Designed: 66.7 (one frame per 15 ms tick).
#   idle CPU   utime + stime from /proc/PID/stat (all threads) over the idle
#              span, as % of one core.
#   peak memory the most resident memory of the whole launch (VmHWM, read
#              before the game quits): the best line's search, the hints
#              and the rest. Goal: 16 MB at most.
#   floor CPU  the same for a tiny program built here with the game's set-up
#              (windowed 320 x 240 8-bit mode, keyboard, a 15 ms timer,
#              mouse) whose loop only sleeps: what the library costs anyway.
# Frames are counted by reading the game's own frames_presented (one per
# present_frame) from /proc/PID/mem; the game is not stopped or slowed. The
# binary must keep its symbols (the build does).
set -uo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
bin="$(realpath "${1:-$root/build/zorbl}")"
runs="${RUNS:-3}"
span="${SPAN:-10}"
hint_every="${HINT_EVERY:-0.25}"
hint_key="${HINT_KEY:-h}"
best_line=2  # seconds the best line of a deal is searched for
fullscreen="${FULLSCREEN:-0}"
game_args=()
if [ "$fullscreen" = 1 ]; then
    size="${SIZE:-1024x768}"
    game_args=(--fullscreen)
else
    size="${SIZE:-320x240}"
fi
# Where game pixels land on the display: in the window 1:1 at its origin,
# on the whole screen enlarged by the largest whole number and centred.
read -r k left top <<<"$(awk -v s="$size" -v f="$fullscreen" 'BEGIN { split(s, d, "x")
    if (f != 1) { print 1, 0, 0; exit }
    k = int(d[1] / 320); if (int(d[2] / 240) < k) k = int(d[2] / 240)
    print k, int((d[1] - 320 * k) / 2), int((d[2] - 240 * k) / 2) }')"
[ -x "$bin" ] || { echo "frame_rate.sh: $bin is missing" >&2; exit 2; }
for tool in Xvfb xdotool c++ pkg-config python3 nm awk; do
    command -v "$tool" >/dev/null || { echo "frame_rate.sh: $tool is missing" >&2; exit 2; }
done
. "$root/tests/bench/bench_lib.sh"

counter_offset="$(nm "$bin" | awk '$3 == "frames_presented" { print $1 }')"
[ -n "$counter_offset" ] || { echo "frame_rate.sh: no frames_presented symbol in $bin" >&2; exit 2; }

# Reads the frame counter of a running game: "TIME FRAMES" once, or, with
# targets, one such line as the counter is first seen at or past each target
# (past it when the reader started late: rates use the frames seen).
cat >"$work/frame_clock.py" <<'EOF'
import os, struct, sys, time
pid, binary, offset = sys.argv[1], os.path.realpath(sys.argv[2]), int(sys.argv[3], 16)
targets = [int(t) for t in sys.argv[4:]]
deadline = time.time() + 120
base = None
while base is None and time.time() < deadline:
    try:
        with open("/proc/%s/maps" % pid) as maps:
            for line in maps:
                f = line.split()
                if len(f) >= 6 and f[5] == binary and int(f[2], 16) == 0:
                    base = int(f[0].split("-")[0], 16)
                    break
    except FileNotFoundError:
        sys.exit(1)
    time.sleep(0.002)
mem = os.open("/proc/%s/mem" % pid, os.O_RDONLY)
def frames():
    return struct.unpack("<Q", os.pread(mem, 8, base + offset))[0]
if not targets:
    print("%.6f %d" % (time.time(), frames()))
while targets and time.time() < deadline:
    try:
        n = frames()
    except OSError:
        sys.exit(1)
    t = time.time()
    while targets and n >= targets[0]:
        targets.pop(0)
        print("%.6f %d" % (t, n), flush=True)
    time.sleep(0.001)
EOF

cat >"$work/floor.cpp" <<'EOF'
#include <allegro.h>
volatile int ticks = 0;
void tick() { ticks = ticks + 1; }
int main()
{
    if (allegro_init() != 0)
        return 2;
    set_color_depth(8);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 320, 240, 0, 0) != 0)
        return 1;
    install_keyboard();
    install_timer();
    install_int(tick, 15);
    install_mouse();
    for (;;)
        rest(1000);
}
END_OF_MAIN()
EOF
# shellcheck disable=SC2046
if ! c++ -O2 -o "$work/floor" "$work/floor.cpp" $(pkg-config --cflags --libs allegro) 2>"$work/cc.log"; then
    echo "frame_rate.sh: cannot build the floor program:" >&2
    cat "$work/cc.log" >&2
    exit 2
fi

frame_clock() { python3 "$work/frame_clock.py" "$1" "$bin" "$counter_offset" "${@:2}"; }
rate() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " "); printf "%.1f", (y[2] - x[2]) / (y[1] - x[1]) }'; }
move_to() { xdotool mousemove $((left + k * $1 + k / 2)) $((top + k * $2 + k / 2)); }
press_at() {
    move_to "$1" "$2"; sleep 0.1
    xdotool mousedown 1; sleep 0.1; xdotool mouseup 1
}

# One launch of the game; appends "play intro intro_fps idle_fps box_fps
# idle_cpu status" to results.
game_run() {
    local play="-" intro="-" intro_fps="-" idle_fps="-" box_fps="-" hint_fps="-" search_fps="-" cpu="-" status=ok first="- -" peak="-"
    start_xvfb
    move_to 319 239
    local home launch_time game_pid
    home="$(mktemp -d "$work/home.XXXXXX")"
    mkdir -p "$home/data" && cp "$root/data/gfx.dat" "$home/data/"
    launch_time=$(now)
    (cd "$home" && exec "$bin" "${game_args[@]}" >"$work/game.log" 2>&1) &
    game_pid=$!
    pids+=("$game_pid")
    local marks
    marks="$(frame_clock "$game_pid" 1 760 762)"
    if [ "$(wc -l <<<"$marks")" = 3 ]; then
        local last t762
        first="$(sed -n 1p <<<"$marks")"
        last="$(sed -n 2p <<<"$marks")"
        read -r t762 _ <<<"$(sed -n 3p <<<"$marks")"
        play=$(awk -v a="$launch_time" -v b="$t762" 'BEGIN { printf "%.2f", b - a }')
        intro_fps=$(rate "$first" "$last")
        intro=$(awk -v a="$first" -v b="$last" 'BEGIN { split(a, x, " "); split(b, y, " "); printf "%.2f", 760 * (y[1] - x[1]) / (y[2] - x[2]) }')

        local f0 f1 c0 c1 s0 s1 i
        f0="$(sed -n 3p <<<"$marks")"
        sleep "$best_line"
        f1="$(frame_clock "$game_pid")"
        search_fps=$(rate "$f0" "$f1")
        sleep 1
        f0="$(frame_clock "$game_pid")"; c0=$(cpu_ticks "$game_pid"); s0=$(now)
        sleep "$span"
        f1="$(frame_clock "$game_pid")"; c1=$(cpu_ticks "$game_pid"); s1=$(now)
        idle_fps=$(rate "$f0" "$f1")
        cpu=$(cpu_percent "$c0" "$c1" "$s0" "$s1")

        move_to 200 100            # the first move into a new window is lost
        move_to 300 10             # beside the board: no press on it
        local presses
        presses=$(awk -v s="$span" -v e="$hint_every" 'BEGIN { printf "%d", s / e }')
        f0="$(frame_clock "$game_pid")"
        for i in $(seq 1 "$presses"); do
            xdotool key "$hint_key"
            sleep "$hint_every"
        done
        f1="$(frame_clock "$game_pid")"
        hint_fps=$(rate "$f0" "$f1")

        press_at 228 224           # Quit
        sleep 1                    # the box slides in
        f0="$(frame_clock "$game_pid")"
        sleep "$span"
        f1="$(frame_clock "$game_pid")"
        box_fps=$(rate "$f0" "$f1")
        # The most resident memory of the whole session: the best line's
        # search, the hints and everything else.
        peak=$(awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$game_pid/status" 2>/dev/null || echo -)
        press_at 112 122           # Yes
        for i in $(seq 1 50); do
            kill -0 "$game_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$game_pid" 2>/dev/null && status=no-box
    else
        status=no-play
    fi
    printf '# game  launch %d: play %s s, intro %s s (%s fps, counted from frame %s), searching %s fps, idle %s fps, box %s fps, pressing H %s fps, idle CPU %s %%, peak memory %s MB, %s\n' \
        "$run" "$play" "$intro" "$intro_fps" "${first#* }" "$search_fps" "$idle_fps" "$box_fps" "$hint_fps" "$cpu" "$peak" "$status" >&2
    echo "$play $intro $intro_fps $idle_fps $box_fps $cpu $status $hint_fps $search_fps ${peak:--}" >>"$work/results"
    stop_pid "$game_pid"
    stop_pid "$xvfb_pid"
}

floor_run() {
    start_xvfb
    "$work/floor" >/dev/null 2>&1 &
    local floor_pid=$! c0 c1 s0 s1 cpu
    pids+=("$floor_pid")
    sleep 2
    c0=$(cpu_ticks "$floor_pid"); s0=$(now)
    sleep "$span"
    c1=$(cpu_ticks "$floor_pid"); s1=$(now)
    cpu="-"
    [ -n "$c1" ] && cpu=$(cpu_percent "$c0" "$c1" "$s0" "$s1")
    printf '# floor launch %d: idle CPU %s %%\n' "$run" "$cpu" >&2
    echo "$cpu" >>"$work/floor_results"
    stop_pid "$floor_pid"
    stop_pid "$xvfb_pid"
}

echo "zorbl: $bin (built $(date -r "$bin" '+%F %T')), liballegro4.4 $(version_of liballegro4.4), Xvfb $(version_of xvfb)"
echo "display $size, $([ "$fullscreen" = 1 ] && echo "the whole screen, picture x$k at $left,$top" || echo "a window"); $runs launches, $span s spans; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
: >"$work/results"
: >"$work/floor_results"
for run in $(seq 1 "$runs"); do
    game_run
    floor_run
done
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at end"

column() { awk -v c="$1" '$7 == "ok" && $c != "-" { print $c }' "$work/results" | median; }
game_cpu="$(column 6)"
floor_cpu="$(grep -v -- - "$work/floor_results" | median)"
echo
echo "Medians over the launches that quit from the box ($(awk '$7 == "ok"' "$work/results" | wc -l) of $runs):"
echo "  start to the first frame of play   $(column 1) s   (designed: 11.4 s of intro, plus start-up and fades)"
echo "  intro, 760 frames                  $(column 2) s   ($(column 3) fps)"
echo "  frame rate, best line searched     $(column 9) fps (designed: 66.7)"
echo "  frame rate, idle board             $(column 4) fps (designed: 66.7)"
echo "  frame rate, question box           $(column 5) fps (designed: 66.7)"
echo "  frame rate, pressing $hint_key every ${hint_every} s $(column 8) fps (designed: 66.7)"
echo "  peak resident memory, the session  $(column 10) MB (goal: 16 at most)"
echo "  processor, idle game               $game_cpu % of one core"
echo "  processor, the library's floor     $floor_cpu % of one core"
awk -v g="$game_cpu" -v f="$floor_cpu" 'BEGIN { if (g != "-" && f != "-") printf "  game above the floor               %.2f percentage points (goal: 1.0 at most)\n", g - f }'
