#!/bin/sh
# make_patches.sh OUT_PATCHES_DAT TUNE_MID
#
# Builds the patch set the library's software MIDI synth plays our tune
# with, from Debian's freepats (the only instruments we ship).
#
# The freepats index is written for TiMidity and the library's pat2dat does
# not read it as it stands. The differences, and what this script does:
#   - pat2dat ignores `dir` and looks for every .pat relative to the folder
#     the index sits in: the index is rewritten into a scratch folder that
#     holds links to the freepats instrument folders.
#   - Melodic programs are counted from 1 (Gravis style), not from 0.
#   - The drum kit goes in a `129-256 begin_multipatch default blank ...
#     end_multipatch` block, one line per note, instead of `drumset 0`.
#   - TiMidity's per-patch options (amp=, pan=) are dropped.
#   - freepats lacks some General MIDI programs, and the synth plays notes
#     of a missing program as silence (our tune's melody is a vibraphone,
#     which freepats doesn't have). Each missing program borrows the
#     nearest instrument of its own family of eight (ties: the lower one);
#     vibraphone thus plays with the glockenspiel.
# pat2dat is then given the tune, so the set holds only the instruments the
# tune plays (a few hundred kB to about a MB, against 33 MB for everything).
#
# Environment: FREEPATS_CFG (default /etc/timidity/freepats.cfg), PAT2DAT
# (default pat2dat). Quiet on success; non-zero with a message on failure.
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 OUT_PATCHES_DAT TUNE_MID" >&2
    exit 2
fi
out=$1
tune=$2
cfg=${FREEPATS_CFG:-/etc/timidity/freepats.cfg}
PAT2DAT=${PAT2DAT:-pat2dat}

case "$out" in /*) ;; *) out="$(pwd)/$out" ;; esac
case "$tune" in /*) ;; *) tune="$(pwd)/$tune" ;; esac
[ -f "$cfg" ] || { echo "$0: no $cfg (install Debian's freepats)" >&2; exit 1; }
[ -f "$tune" ] || { echo "$0: no tune $tune" >&2; exit 1; }
command -v "$PAT2DAT" >/dev/null 2>&1 || { echo "$0: $PAT2DAT not found (liballegro4-dev)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zorbl-patches.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# The folder the freepats index names its instruments relative to.
patdir=$(sed -n 's/^[[:space:]]*dir[[:space:]]\{1,\}\([^[:space:]]*\).*/\1/p' "$cfg" | head -n 1)
[ -n "$patdir" ] || patdir=$(dirname "$cfg")
[ -d "$patdir" ] || { echo "$0: no patch folder $patdir" >&2; exit 1; }
for sub in "$patdir"/*/; do
    ln -s "${sub%/}" "$work/$(basename "$sub")"
done

# Melodic bank 0 counted from 1, then drum kit 0 as a multipatch.
awk '
    /^[[:space:]]*(#|$)/ { next }
    $1 == "dir" { next }
    $1 == "bank" { section = ($2 == "0") ? "melodic" : "skip"; next }
    $1 == "drumset" { section = ($2 == "0") ? "drums" : "skip"; next }
    $1 ~ /^[0-9]+$/ && NF >= 2 {
        if (section == "melodic") melodic[$1 + 1] = $2
        else if (section == "drums") drums[$1] = $2
    }
    END {
        for (p = 1; p <= 128; p++) {
            if (p in melodic) {
                print p, melodic[p]
                continue
            }
            first = p - (p - 1) % 8
            for (d = 1; d < 8; d++) {
                if (p - d >= first && (p - d) in melodic) { print p, melodic[p - d]; break }
                if (p + d < first + 8 && (p + d) in melodic) { print p, melodic[p + d]; break }
            }
        }
        print "129-256 begin_multipatch default blank"
        for (n = 0; n <= 127; n++)
            if (n in drums) print n, drums[n]
        print "end_multipatch"
    }
' "$cfg" > "$work/default.cfg"

if ! (cd "$work" && "$PAT2DAT" -o "$work/patches.dat" "$work/default.cfg" "$tune") > "$work/log" 2>&1; then
    cat "$work/log" >&2
    echo "$0: pat2dat failed" >&2
    exit 1
fi
if [ ! -s "$work/patches.dat" ]; then
    cat "$work/log" >&2
    echo "$0: pat2dat wrote no patch set" >&2
    exit 1
fi
mv -f "$work/patches.dat" "$out"
