#!/bin/sh
# pack_archive.sh ASSET_DIR OUT_DAT PASSWORD
#
# Packs the assets listed in ASSET_DIR/manifest.txt ("TYPE FILE" per line, in
# object order) into OUT_DAT with the library's dat tool: objects keep the
# order they are added in (-n0), names and grabber info are stripped (-s2,
# so no trailing info object), and the archive is compressed as a whole and
# enciphered with PASSWORD.
#
# dat fills the unused fourth byte of some palette entries with stray stack
# bytes, so its output changes from run to run. To keep the archive
# byte-identical between builds, dat writes a plain archive first (-c0, no
# password) and `make_assets --seal` clears those bytes and writes the
# compressed, enciphered file, the same bytes dat -c2 -007 would write.
# make_assets is found through $MAKE_ASSETS, else beside ASSET_DIR (the
# build directory layout), else on PATH.
set -eu

if [ $# -ne 3 ]; then
    echo "usage: $0 ASSET_DIR OUT_DAT PASSWORD" >&2
    exit 2
fi
assets=$(cd "$1" && pwd)
out=$2
password=$3
DAT=${DAT:-dat}

case "$out" in
    /*) ;;
    *) out="$(pwd)/$out" ;;
esac
if [ -n "${MAKE_ASSETS:-}" ]; then
    sealer=$MAKE_ASSETS
elif [ -x "$assets/../make_assets" ]; then
    sealer="$assets/../make_assets"
else
    sealer=make_assets
fi
manifest="$assets/manifest.txt"
[ -f "$manifest" ] || { echo "$0: no $manifest" >&2; exit 1; }

plain="$assets/plain.dat"
rm -f "$out" "$plain"
cd "$assets"
count=0
while read -r type file; do
    [ -n "$type" ] || continue
    [ -f "$file" ] || { echo "$0: missing $assets/$file" >&2; exit 1; }
    case "$type" in
        BMP|RLE) depth="-bpp 8" ;;
        *) depth="" ;;
    esac
    # shellcheck disable=SC2086
    "$DAT" -n0 -s2 -c0 -a -t "$type" $depth "$plain" "$file" >/dev/null
    count=$((count + 1))
done < manifest.txt

"$sealer" --seal "$plain" "$out" "$password"
rm -f "$plain"

objects=$("$DAT" -007 "$password" -l "$out" | grep -c '^- ' || true)
if [ "$objects" -ne "$count" ]; then
    echo "$0: $out holds $objects objects, expected $count" >&2
    "$DAT" -007 "$password" -l "$out" >&2
    exit 1
fi
