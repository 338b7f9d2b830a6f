#!/usr/bin/env bash
# Startup time, idle processor use and peak resident memory of zorbl and of
# two desktop SameGame programs from Debian (sgt-puzzles' samegame and
# swell-foop), each run alone in a fresh Xvfb without a window manager.
#
# Usage: tests/bench/peers.sh [WIDTHxHEIGHT] [PROGRAM...]
#   WIDTHxHEIGHT  the Xvfb screen, default 1280x1024 (zorbl picks its window
#                 scale from it; the peers' windows fit at 0,0)
#   PROGRAM       any of: zorbl samegame swell-foop (default: all three)
# Environment:
#   RUNS=3        launches per program for the startup times (median shown)
#   IDLE=10       seconds of idle play measured
#   ZORBL=path    game binary (default build/zorbl; data/gfx.dat is copied
#                 into a scratch working directory next to it)
#   SHOTS=dir     save a screenshot of each measured idle board there
#
# What is measured, per program:
#   first paint   launch -> the first poll of the root window that is not all
#                 black (the Xvfb runs with a black root), whatever it shows.
#   first frame   launch -> the start of the first stretch of non-black
#                 screens that lasts FLASH seconds (0.25) or more: a short
#                 flash of the window before the program draws leaves the
#                 screen black again and is not counted here. For zorbl that
#                 is its first intro frame; for the GTK programs the window's
#                 first paint.
#   board         launch -> the last change of the screen before it stays
#                 unchanged for QUIET seconds (the board is up and settled).
#                 For zorbl without keys this includes the whole intro.
#                 swell-foop opens on a welcome screen: its figure is that
#                 screen's time plus Return (its "Let's Play") -> board settled.
#   board, Esc    zorbl only: the same with Esc held from the moment its
#                 window is visible (xdotool windowfocus + keydown Escape).
#   idle CPU      utime + stime from /proc/PID/stat (all threads) over IDLE
#                 seconds once the board has settled, as % of one core; the
#                 Xvfb server's own share over the same seconds is shown too.
#   peak RSS      VmHWM from /proc/PID/status at the end of the idle period.
# The root window is polled by a small X11 watcher (MIT-SHM grabs, ~5 ms
# apart) that is compiled into a scratch directory and stopped before the
# idle period, so it does not count against anyone's idle figures. The
# pointer is parked at the bottom-right pixel of the screen before launch.
# The GTK programs get a private D-Bus session bus (no service activation),
# a scratch HOME, NO_AT_BRIDGE=1, GTK_A11Y=none and GSETTINGS_BACKEND=memory.
set -uo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
size="${1:-1280x1024}"
shift $(( $# > 0 ? 1 : 0 ))
programs=("$@")
[ ${#programs[@]} -eq 0 ] && programs=(zorbl samegame swell-foop)
runs="${RUNS:-3}"
idle="${IDLE:-10}"
quiet="${QUIET:-2}"
flash="${FLASH:-0.25}"
settle_limit="${SETTLE_LIMIT:-60}"
zorbl_bin="${ZORBL:-$root/build/zorbl}"
samegame_bin=/usr/games/sgt-samegame
[ -x "$samegame_bin" ] || samegame_bin=/usr/games/samegame
swellfoop_bin=/usr/games/swell-foop

case "$size" in
    [0-9]*x[0-9]*) ;;
    *) echo "usage: $0 [WIDTHxHEIGHT] [zorbl|samegame|swell-foop ...]" >&2; exit 2 ;;
esac
width="${size%x*}"
height="${size#*x}"

for tool in Xvfb xdotool cc dbus-daemon awk; do
    command -v "$tool" >/dev/null || { echo "peers.sh: $tool is missing" >&2; exit 2; }
done

. "$root/tests/bench/bench_lib.sh"

# The screen watcher: prints "REALTIME HASH NONBLACK" each time the root
# window's picture changes, until killed or its time limit passes.
cat >"$work/scrwatch.c" <<'EOF'
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>
#include <unistd.h>

static int x_failed;
static int on_error(Display *d, XErrorEvent *e) { (void)d; (void)e; x_failed = 1; return 0; }
static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

int main(int argc, char **argv)
{
    double limit = argc > 1 ? atof(argv[1]) : 120, start = now();
    Display *d;
    while (!(d = XOpenDisplay(NULL))) {
        if (now() - start > 10) return 2;
        usleep(10000);
    }
    XSetErrorHandler(on_error);
    int s = DefaultScreen(d), w = DisplayWidth(d, s), h = DisplayHeight(d, s);
    Window r = RootWindow(d, s);
    XShmSegmentInfo shm;
    XImage *img = NULL;
    if (XShmQueryExtension(d)) {
        img = XShmCreateImage(d, DefaultVisual(d, s), DefaultDepth(d, s), ZPixmap, NULL, &shm, w, h);
        if (img) {
            shm.shmid = shmget(IPC_PRIVATE, img->bytes_per_line * img->height, IPC_CREAT | 0600);
            shm.shmaddr = img->data = shmat(shm.shmid, NULL, 0);
            shm.readOnly = False;
            XShmAttach(d, &shm);
            XSync(d, False);
            shmctl(shm.shmid, IPC_RMID, NULL);
            if (x_failed) img = NULL;
        }
    }
    setvbuf(stdout, NULL, _IOLBF, 0);
    uint64_t previous = 0;
    int first = 1;
    while (now() - start < limit) {
        XImage *im = img;
        x_failed = 0;
        if (img) {
            if (!XShmGetImage(d, r, img, 0, 0, AllPlanes)) im = NULL;
        } else {
            im = XGetImage(d, r, 0, 0, w, h, AllPlanes, ZPixmap);
        }
        double t = now();
        if (im && im->bits_per_pixel == 32) {
            uint64_t hash = 1469598103934665603ULL;
            uint32_t any = 0;
            for (int y = 0; y < h; y++) {
                const uint32_t *p = (const uint32_t *)(im->data + (size_t)y * im->bytes_per_line);
                for (int x = 0; x < w; x++) {
                    uint32_t v = p[x] & 0xffffffu;
                    any |= v;
                    hash = (hash ^ v) * 1099511628211ULL;
                }
            }
            if (first || hash != previous) {
                printf("%.6f %016llx %d\n", t, (unsigned long long)hash, any != 0);
                previous = hash;
                first = 0;
            }
        } else if (im) {
            fprintf(stderr, "scrwatch: %d bits per pixel not handled\n", im->bits_per_pixel);
            return 3;
        }
        if (im && im != img) XDestroyImage(im);
        usleep(5000);
    }
    return 0;
}
EOF
if ! cc -O2 -o "$work/scrwatch" "$work/scrwatch.c" -lXext -lX11 2>"$work/cc.log"; then
    echo "peers.sh: cannot build the screen watcher:" >&2
    cat "$work/cc.log" >&2
    exit 2
fi

# A session bus with no service files: nothing gets activated behind the
# programs' backs (portals and the like), and it is up before the clock starts.
cat >"$work/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF

start_bus() {
    : >"$work/bus.address"
    dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=4 4>"$work/bus.address" >/dev/null 2>&1 &
    bus_pid=$!
    pids+=("$bus_pid")
    local i
    for i in $(seq 1 100); do
        [ -s "$work/bus.address" ] && break
        sleep 0.05
    done
    bus_address="$(head -n 1 "$work/bus.address")"
    [ -n "$bus_address" ] || { echo "peers.sh: the private session bus did not start" >&2; exit 1; }
}

# Launches program $1 in the current Xvfb; sets game_pid (the program itself,
# never a wrapper) and launch_time.
launch() {
    local name="$1" home
    home="$(mktemp -d "$work/home.XXXXXX")"
    case "$name" in
        zorbl)
            mkdir -p "$home/data" && cp "$root/data/gfx.dat" "$home/data/"
            launch_time=$(now)
            (cd "$home" && exec "$zorbl_bin" >"$work/$name.log" 2>&1) &
            ;;
        samegame | swell-foop)
            local bin="$samegame_bin"
            [ "$name" = swell-foop ] && bin="$swellfoop_bin"
            launch_time=$(now)
            (cd "$home" && exec env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
                XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" \
                XDG_RUNTIME_DIR="$home" DBUS_SESSION_BUS_ADDRESS="$bus_address" \
                NO_AT_BRIDGE=1 GTK_A11Y=none GSETTINGS_BACKEND=memory \
                "$bin" >"$work/$name.log" 2>&1) &
            ;;
    esac
    game_pid=$!
    pids+=("$game_pid")
}

# Waits until the screen has been non-black and then unchanged for $quiet
# seconds. Returns 1 on time-out or if the program died.
wait_settled() {
    local log="$1" deadline last
    deadline=$(awk -v t="$(now)" -v l="$settle_limit" 'BEGIN { printf "%.3f", t + l }')
    while :; do
        sleep 0.2
        kill -0 "$game_pid" 2>/dev/null || return 1
        last="$(awk '$3 == 1 { seen = 1 } seen { t = $1 } END { print t }' "$log")"
        if [ -n "$last" ] && awk -v n="$(now)" -v t="$last" -v q="$quiet" 'BEGIN { exit !(n - t >= q) }'; then
            return 0
        fi
        awk -v n="$(now)" -v d="$deadline" 'BEGIN { exit !(n > d) }' && return 1
    done
}

first_paint_of() { awk -v t0="$1" '$3 == 1 { printf "%.3f", $1 - t0; exit }' "$2"; }
first_frame_of() {
    awk -v t0="$1" -v f="$flash" '
        $3 == 1 && start == "" { start = $1 }
        $3 == 0 && start != "" { if ($1 - start >= f) { found = 1; exit } start = "" }
        END { if (start != "") printf "%.3f", start - t0 }' "$2"
}
settled_of() { awk -v t0="$1" '$3 == 1 { seen = 1 } seen { t = $1 } END { if (t) printf "%.3f", t - t0 }' "$2"; }

# One launch of program $1 in a fresh Xvfb. Mode "esc" holds Esc from the
# moment the window is visible (zorbl). With $3 = measure, idles and reads
# /proc afterwards. Appends "name mode first settled cpu xcpu rss threads"
# to results.
one_run() {
    local name="$1" mode="$2" measure="$3" log="$work/screen.$1.$2.$RANDOM"
    local paint="-" first="-" settled="-" cpu="-" xcpu="-" rss="-" threads="-" status=ok
    start_xvfb
    xdotool mousemove "$((width - 1))" "$((height - 1))"
    bus_pid=""
    if [ "$name" != zorbl ]; then start_bus; fi
    "$work/scrwatch" "$((settle_limit + 30))" >"$log" 2>>"$work/scrwatch.err" &
    local watch_pid=$!
    pids+=("$watch_pid")
    sleep 0.3  # the watcher's first (black) grab is in before launch
    launch "$name"
    if [ "$mode" = esc ]; then
        local window
        window="$(timeout 20 xdotool search --sync --onlyvisible --name '^zorbl$' 2>/dev/null | head -n 1)"
        if [ -n "$window" ]; then
            xdotool windowfocus --sync "$window" 2>/dev/null
            xdotool keydown Escape
        else
            status="no-window"
        fi
    fi
    if wait_settled "$log"; then :; else
        kill -0 "$game_pid" 2>/dev/null && status="not-settled" || status="died"
    fi
    [ "$mode" = esc ] && xdotool keyup Escape 2>/dev/null
    paint="$(first_paint_of "$launch_time" "$log")"
    first="$(first_frame_of "$launch_time" "$log")"
    [ "$status" = ok ] && settled="$(settled_of "$launch_time" "$log")"
    if [ "$name" = swell-foop ] && [ "$status" = ok ]; then
        # It opens on a welcome screen; Return takes its "Let's Play" button.
        # The board time is the welcome screen's plus Return -> board settled.
        local window pressed
        window="$(xdotool search --onlyvisible --name '^Swell Foop$' 2>/dev/null | head -n 1)"
        if [ -n "$window" ]; then
            xdotool windowfocus --sync "$window" 2>/dev/null
            pressed=$(now)
            xdotool key Return
            sleep 0.3
            if wait_settled "$log"; then
                settled=$(awk -v w="$settled" -v t="$(settled_of "$pressed" "$log")" 'BEGIN { printf "%.3f", w + t }')
            else
                status="not-settled"; settled="-"
            fi
        else
            status="no-window"; settled="-"
        fi
    fi
    stop_pid "$watch_pid"
    if [ "$measure" = measure ] && kill -0 "$game_pid" 2>/dev/null; then
        sleep 1
        local before xbefore after xafter start end
        before=$(cpu_ticks "$game_pid"); xbefore=$(cpu_ticks "$xvfb_pid"); start=$(now)
        sleep "$idle"
        after=$(cpu_ticks "$game_pid"); xafter=$(cpu_ticks "$xvfb_pid"); end=$(now)
        if [ -n "$after" ]; then
            cpu=$(awk -v a="$before" -v b="$after" -v s="$start" -v e="$end" -v t="$ticks_per_second" \
                'BEGIN { printf "%.1f", 100 * (b - a) / t / (e - s) }')
            xcpu=$(awk -v a="$xbefore" -v b="$xafter" -v s="$start" -v e="$end" -v t="$ticks_per_second" \
                'BEGIN { printf "%.1f", 100 * (b - a) / t / (e - s) }')
            rss=$(awk '/^VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$game_pid/status")
            threads=$(awk '/^Threads/ { print $2 }' "/proc/$game_pid/status")
            if [ -n "${SHOTS:-}" ] && [ -x /usr/bin/convert ]; then
                xwd -root -silent | /usr/bin/convert xwd:- "$SHOTS/$name-$size.png" 2>/dev/null
            fi
        else
            status="died"
        fi
    fi
    printf '# %-10s %-6s launch %d: first paint %s s, first frame %s s, board %s s, idle CPU %s %%, X server %s %%, VmHWM %s MB, threads %s, %s (%s)\n' \
        "$name" "$mode" "$run" "${paint:--}" "${first:--}" "${settled:--}" "$cpu" "$xcpu" "$rss" "$threads" "$status" "$DISPLAY" >&2
    echo "$name $mode ${paint:--} ${first:--} ${settled:--} $cpu $xcpu $rss $threads $status" >>"$work/results"
    stop_pid "$game_pid"
    [ -n "$bus_pid" ] && stop_pid "$bus_pid"
    stop_pid "$xvfb_pid"
}

echo "Xvfb ${size}x24 (-br), $runs launches each, $idle s idle; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
: >"$work/results"
for name in "${programs[@]}"; do
    case "$name" in
        zorbl)
            [ -x "$zorbl_bin" ] || { echo "peers.sh: $zorbl_bin is missing" >&2; exit 2; }
            echo "zorbl: $zorbl_bin ($(cd "$root" && git rev-parse --short HEAD 2>/dev/null)$(cd "$root" && git diff --quiet HEAD 2>/dev/null || echo '+changes'), built $(date -r "$zorbl_bin" '+%F %T')), liballegro4.4 $(version_of liballegro4.4)"
            ;;
        samegame) echo "samegame: $samegame_bin, sgt-puzzles $(version_of sgt-puzzles)" ;;
        swell-foop) echo "swell-foop: $swellfoop_bin, swell-foop $(version_of swell-foop), libclutter-1.0-0 $(version_of libclutter-1.0-0), libgl1-mesa-dri $(version_of libgl1-mesa-dri)" ;;
        *) echo "peers.sh: unknown program $name" >&2; exit 2 ;;
    esac
    case "$name" in
        samegame) [ -x "$samegame_bin" ] || { echo "peers.sh: sgt-puzzles is not installed" >&2; exit 2; } ;;
        swell-foop) [ -x "$swellfoop_bin" ] || { echo "peers.sh: swell-foop is not installed" >&2; exit 2; } ;;
    esac
    for run in $(seq 1 "$runs"); do
        one_run "$name" plain "$([ "$run" = 1 ] && echo measure)"
    done
    if [ "$name" = zorbl ]; then
        for run in $(seq 1 "$runs"); do
            one_run zorbl esc ""
        done
    fi
done
echo "Xvfb $(version_of xvfb); load average $(cut -d' ' -f1-3 /proc/loadavg) at end"

# The table: medians over the launches, then the figures of the measured one.
column_of() { awk -v n="$1" -v m="$2" -v c="$3" '$1 == n && $2 == m && $c != "-" { print $c }' "$work/results"; }
echo
echo "Medians over the launches; idle figures from the first launch of each."
printf '%-11s %13s %13s %9s %13s %11s %11s %9s %8s\n' program "first paint s" "first frame s" "board s" "board, Esc s" "idle CPU %" "X server %" "VmHWM MB" threads
for name in "${programs[@]}"; do
    esc="-"
    [ "$name" = zorbl ] && esc="$(column_of zorbl esc 5 | median)"
    measured="$(awk -v n="$name" '$1 == n && $2 == "plain" && $6 != "-" { print; exit }' "$work/results")"
    read -r _ _ _ _ _ cpu xcpu rss threads _ <<<"${measured:-x x x x x - - - - x}"
    printf '%-11s %13s %13s %9s %13s %11s %11s %9s %8s\n' "$name" \
        "$(column_of "$name" plain 3 | median)" "$(column_of "$name" plain 4 | median)" \
        "$(column_of "$name" plain 5 | median)" "$esc" \
        "$cpu" "$xcpu" "$rss" "$threads"
done
