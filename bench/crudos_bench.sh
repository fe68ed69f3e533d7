#!/usr/bin/env bash
# Times osmavu-info opening the raw acquisition formats against cat of the
# same bytes: 10 XDAS sinograms of 1024 channels x 720 projections, 10 XDAS
# radiographs of the same size, 10 flat-panel frames of 2048 x 2048, one His
# frame of 2048 x 2048 and 10 PelixOld slices of 1024 x 720.
#   bench/crudos_bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
info="$build/run/osmavu-info"
[ -x "$info" ] || { echo "no $info: build the target osmavu-info first" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 - "$dir" <<'PY'
import array, struct, sys
d = sys.argv[1]
def trailer(code, ch, proj):
    return struct.pack('<16d', code, ch, proj, 0, 1, 0.2, 0.5, 0, 7.5, 80, 1, 300, 600, 1, 10, 0)
ramp = array.array('d', [float((i * 61) % 4096) for i in range(1024 * 720)]).tobytes()
words = array.array('H', [(i * 61) % 65536 for i in range(2048 * 2048)]).tobytes()
for i in range(10):
    open(f'{d}/sino{i:02}.bin', 'wb').write(ramp + trailer(32001, 1024, 720))
    open(f'{d}/rad{i:02}.bin', 'wb').write(ramp + trailer(32000, 1024, 720))
    open(f'{d}/fp{i:02}.bin', 'wb').write(words + trailer(32002, 2048, 0))
    open(f'{d}/pelix{i:02}.raw', 'wb').write(
        array.array('d', [1.5]).tobytes() + ramp[8:] + struct.pack('<7d', 1024, 0, 5, 0.2, 0.5, 300, 600))
h = bytearray(100)
struct.pack_into('<HHHHH', h, 0, 0x7000, 0, 0, 0, 0)
struct.pack_into('<HH', h, 16, 2048, 2048)
open(f'{d}/frame.his', 'wb').write(bytes(h) + words)
PY

. bench/medidas.sh

printf 'best of %d runs\n' "$runs"
for grupo in sino rad fp pelix frame; do
  ficheros=("$dir/$grupo"*)
  cat "${ficheros[@]}" >/dev/null  # warm the page cache
  bytes=$(cat "${ficheros[@]}" | wc -c)
  t_cat=$(mejor cat "${ficheros[@]}")
  t_info=$(mejor "$info" "${ficheros[@]}")
  printf '%-6s %3d file(s) %11d bytes   cat %7.3f s   osmavu-info %7.3f s\n' \
    "$grupo" "${#ficheros[@]}" "$bytes" "$t_cat" "$t_info"
done
