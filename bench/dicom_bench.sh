#!/usr/bin/env bash
# Times osmavu-info opening a series of 300 DICOM files of 512 x 512 signed
# 16-bit CT (as a file choice and as a folder) against cat of the same bytes,
# and against pydicom reading every file's samples (when Debian's
# python3-pydicom is installed), and reports the peak memory of each open.
#   bench/dicom_bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
info="$build/run/osmavu-info"
gen="$build/bench/genera_serie_dicom"
[ -x "$info" ] || { echo "no $info: build the target osmavu-info first" >&2; exit 1; }
[ -x "$gen" ] || { echo "no $gen: build the target genera_serie_dicom first" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$gen" "$dir/serie" 300 512
ficheros=("$dir"/serie/*.dcm)

. bench/medidas.sh

cat "${ficheros[@]}" >/dev/null  # warm the page cache
bytes=$(cat "${ficheros[@]}" | wc -c)
t_cat=$(mejor cat "${ficheros[@]}")
t_info=$(mejor "$info" "${ficheros[@]}")
t_carpeta=$(mejor "$info" --folder "$dir/serie")
m_info=$(pico "$info" "${ficheros[@]}")
m_carpeta=$(pico "$info" --folder "$dir/serie")
printf 'series: 300 files of 512 x 512 int16, %d bytes; best of %d runs\n' "$bytes" "$runs"
printf '%-36s %8.3f s\n' "cat" "$t_cat"
printf '%-36s %8.3f s   peak %s MiB\n' "osmavu-info FILES" "$t_info" "$m_info" \
  "osmavu-info --folder" "$t_carpeta" "$m_carpeta"

# The same series through pydicom: every file parsed and its samples decoded.
if /usr/bin/python3 -c 'import pydicom, numpy' 2>/dev/null; then
  cat > "$dir/lee.py" <<'PY'
import sys, pydicom
for f in sys.argv[1:]:
    pydicom.dcmread(f).pixel_array
PY
  t_py=$(mejor /usr/bin/python3 "$dir/lee.py" "${ficheros[@]}")
  m_py=$(pico /usr/bin/python3 "$dir/lee.py" "${ficheros[@]}")
  printf '%-36s %8.3f s   peak %s MiB\n' "pydicom (dcmread + pixel_array)" "$t_py" "$m_py"
fi
