#!/usr/bin/env bash
# Times osmavu-info opening a 512 x 512 x 300 signed 16-bit Analyze volume
# against cat of the same bytes (the cost of just reading the file).
#   bench/info_bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
info="$build/run/osmavu-info"
[ -x "$info" ] || { echo "no $info: build the target osmavu-info first" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 - "$dir/vol" "$dir/tiny" <<'PY'
import struct, sys
base, tiny = sys.argv[1], sys.argv[2]
# A 4 x 4 x 1 volume: what osmavu-info costs before it reads anything.
t = bytearray(348)
struct.pack_into('<i', t, 0, 348)
struct.pack_into('<hhhh', t, 40, 4, 4, 4, 1)
struct.pack_into('<h', t, 70, 4)
open(tiny + '.hdr', 'wb').write(t)
open(tiny + '.img', 'wb').write(bytes(32))
h = bytearray(348)
struct.pack_into('<i', h, 0, 348)
struct.pack_into('<hhhh', h, 40, 4, 512, 512, 300)
struct.pack_into('<h', h, 70, 4)
struct.pack_into('<fff', h, 80, 0.5, 0.5, 1.0)
open(base + '.hdr', 'wb').write(h)
# A ramp with a different offset per slice, so no page is all zeros.
fila = struct.pack('<512h', *[(x * 61) % 65536 - 32768 for x in range(512)])
with open(base + '.img', 'wb') as f:
    for z in range(300):
        f.write((fila[2 * z:] + fila[:2 * z]) * 512)
PY

. bench/medidas.sh

cat "$dir/vol.hdr" "$dir/vol.img" >/dev/null  # warm the page cache
bytes=$(stat -c %s "$dir/vol.img")
t_cat=$(mejor cat "$dir/vol.hdr" "$dir/vol.img")
t_arranque=$(mejor "$info" "$dir/tiny.hdr")
t_info=$(mejor "$info" "$dir/vol.hdr")
t_json=$(mejor "$info" --json "$dir/vol.hdr")
t_raw=$(mejor "$info" --raw-display "$dir/display.raw" "$dir/vol.hdr")
m_info=$(pico "$info" "$dir/vol.hdr")
printf 'volume: 512 x 512 x 300 int16, %d bytes; best of %d runs\n' "$bytes" "$runs"
printf '%-46s %8.3f s\n' "cat" "$t_cat" \
  "osmavu-info on a 4 x 4 x 1 volume (start-up)" "$t_arranque" \
  "osmavu-info (peak $m_info MiB)" "$t_info" \
  "osmavu-info --json" "$t_json" \
  "osmavu-info --raw-display" "$t_raw"
