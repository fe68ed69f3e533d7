# Shared by the opening benchmarks (sourced, not run):
#   mejor CMD...  best wall time of $runs runs of CMD, in seconds
#   pico CMD...   peak resident memory of one run of CMD, in MiB

mejor() {
  local best=""
  for _ in $(seq "$runs"); do
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s.%N)
    best=$(echo "$t0 $t1 ${best:-999}" | awk '{d = $2 - $1; print (d < $3 ? d : $3)}')
  done
  echo "$best"
}

pico() {
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2 / 1024}'
  else
    python3 - "$@" <<'PY'
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print("%.1f" % (resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024))
PY
  fi
}
