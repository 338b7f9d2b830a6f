#!/bin/bash
# Builds one of the fuzzers and runs it for SECONDS (default 60) from its seed
# corpus in tests/fuzz. Exits 0 when no crash was found, non-zero otherwise.
# Usage: tests/fuzz/run_fuzz.sh saves|archive [SECONDS]
set -euo pipefail

target=${1:?usage: run_fuzz.sh saves|archive [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${ZORBL_FUZZ_DIR:-$root/build/fuzz}/$target
mkdir -p "$out/corpus" "$out/artifacts"

case "$target" in
saves) sources=("$root/src/persist/highscore.cpp" "$root/src/persist/settings.cpp" "$root/src/persist/save_file.cpp" "$root/src/persist/paths.cpp" "$root/src/persist/game_save.cpp" "$root"/src/board/*.cpp) ;;
archive) sources=("$root/src/shell/archive.cpp") ;;
*) echo "run_fuzz.sh: no fuzzer named $target" >&2; exit 2 ;;
esac

# The installed data folder is never reached: the loaders work in the scratch folder.
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -DZORBL_INSTALLED_DATA='"/nonexistent"' -I"$root/src" "$root/tests/fuzz/fuzz_$target.cpp" "${sources[@]}" \
    $(pkg-config --cflags --libs allegro) -o "$out/fuzz_$target"

# The loaders work in a scratch directory, in memory where there is a tmpfs.
scratch=$(mktemp -d -p "$([ -d /dev/shm ] && echo /dev/shm || echo /tmp)" zorbl-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# New inputs go to the working corpus, so the committed seeds stay as they are.
LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan_allegro.supp ZORBL_FUZZ_SCRATCH=$scratch \
    "$out/fuzz_$target" -max_total_time="$seconds" -artifact_prefix="$out/artifacts/" \
    -print_final_stats=1 "$out/corpus" "$root/tests/fuzz/corpus_$target"
