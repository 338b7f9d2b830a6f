# Shared by the benchmark scripts (sourced): a scratch directory, processes
# stopped one by one on exit, a fresh Xvfb per measurement, /proc readings.
# The caller sets `size` (WIDTHxHEIGHT) before start_xvfb.

bench_name="$(basename "$0")"
work="$(mktemp -d "/tmp/${bench_name%.sh}.XXXXXX")"
pids=()  # every process started here, killed one by one on exit

stop_pid() {
    local pid="$1" i
    kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null
    for i in $(seq 1 30); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

cleanup() {
    local i
    # Newest first: programs before their Xvfb.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        stop_pid "${pids[$i]}"
    done
    pids=()
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

now() { date +%s.%N; }
ticks_per_second=$(getconf CLK_TCK)
# utime + stime of all the process's threads, in clock ticks.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{print $12 + $13}'; }
# Percent of one core from two cpu_ticks readings and their two times.
cpu_percent() {
    awk -v a="$1" -v b="$2" -v s="$3" -v e="$4" -v t="$ticks_per_second" \
        'BEGIN { printf "%.2f", 100 * (b - a) / t / (e - s) }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
version_of() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo "?"; }

# Starts a fresh Xvfb of $size on a free display; sets xvfb_pid and DISPLAY.
start_xvfb() {
    local try fd_file="$work/displayfd" display=""
    for try in 1 2 3; do
        : >"$fd_file"
        Xvfb -displayfd 3 -screen 0 "${size}x24" -br -nolisten tcp -noreset 3>"$fd_file" >/dev/null 2>&1 &
        xvfb_pid=$!
        pids+=("$xvfb_pid")
        local i
        for i in $(seq 1 100); do
            display="$(tr -dc 0-9 <"$fd_file")"
            [ -n "$display" ] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.05
        done
        if [ -n "$display" ]; then
            export DISPLAY=":$display"
            for i in $(seq 1 100); do
                xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
                sleep 0.05
            done
        fi
        stop_pid "$xvfb_pid"
    done
    echo "$bench_name: cannot start Xvfb" >&2
    exit 1
}
