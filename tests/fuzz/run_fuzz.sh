#!/bin/bash
# Builds the save-file fuzzer and runs it for SECONDS (default 60) from the
# seed corpus. Exits 0 when no crash was found, non-zero otherwise.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${ZORBL_FUZZ_DIR:-$root/build-persist/fuzz}
mkdir -p "$out/corpus" "$out/artifacts"

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" \
    "$root/tests/fuzz/fuzz_saves.cpp" \
    "$root/src/persist/highscore.cpp" "$root/src/persist/settings.cpp" "$root/src/persist/save_file.cpp" \
    $(pkg-config --cflags --libs allegro) \
    -o "$out/fuzz_saves"

# The loaders work in a scratch directory, in memory where there is a tmpfs.
scratch=$(mktemp -d -p "$([ -d /dev/shm ] && echo /dev/shm || echo /tmp)" zorbl-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# New inputs go to the working corpus, so the committed seeds stay as they are.
LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan_allegro.supp ZORBL_FUZZ_SCRATCH=$scratch "$out/fuzz_saves" -max_total_time="$seconds" -artifact_prefix="$out/artifacts/" \
    -print_final_stats=1 "$out/corpus" "$root/tests/fuzz/corpus_saves"
