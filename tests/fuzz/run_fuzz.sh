#!/bin/bash
# Runs one of the fuzzers, as the build made it (build/fuzz/TARGET/fuzz_TARGET,
# built with clang by `cmake --build build --target fuzzers`, as scripts/test
# does), for SECONDS (default 60) from its seed corpus in tests/fuzz. Exits 0
# when no crash was found, non-zero otherwise, 77 (skipped) when no fuzzer was
# built.
# Usage: tests/fuzz/run_fuzz.sh saves|archive [SECONDS]
set -euo pipefail

target=${1:?usage: run_fuzz.sh saves|archive [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${ZORBL_FUZZ_DIR:-$root/build/fuzz}/$target
case "$target" in
saves | archive) ;;
*) echo "run_fuzz.sh: no fuzzer named $target" >&2; exit 2 ;;
esac
if [ ! -x "$out/fuzz_$target" ]; then
    echo "run_fuzz.sh: no fuzzer at $out/fuzz_$target: build the target fuzzers (it needs clang++)" >&2
    exit 77
fi
mkdir -p "$out/corpus" "$out/artifacts"

# The loaders work in a scratch directory, in memory where there is a tmpfs.
scratch=$(mktemp -d -p "$([ -d /dev/shm ] && echo /dev/shm || echo /tmp)" zorbl-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# New inputs go to the working corpus, so the committed seeds stay as they are.
# A fault found exits 1: libFuzzer's own 77 would read as a skip.
ZORBL_FUZZ_SCRATCH=$scratch "$out/fuzz_$target" -max_total_time="$seconds" -artifact_prefix="$out/artifacts/" \
    -error_exitcode=1 -print_final_stats=1 "$out/corpus" "$root/tests/fuzz/corpus_$target"
