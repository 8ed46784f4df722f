#!/usr/bin/env bash
# Checks that more effort never gives a costlier cover with -refine: for every
# file of the benchmark folders, with one seed,
#   -Si2 -refine is never costlier than -Si1 -refine, and -Si4 never costlier than -Si2;
#   -St T -refine is never costlier than -Si1 -refine, for T twice the time
#   -Si1 -refine took plus 0.5 s (the margin keeps a loaded machine from
#   cutting the first refinement short).
# Costs are literals (the default criterion), every result is checked with the
# independent checker.  Exits non-zero on any violation or invalid result.
# usage: monotonicity_bench.sh path/to/vorn
#   MONO_DIRS  folders under the bench root (default "pla large sampled")
#   MONO_SEED  the seed (default 1)
set -u
vorn=${1:?usage: monotonicity_bench.sh path/to/vorn}
verify=$(dirname "$vorn")/vorn_verify
here=$(cd "$(dirname "$0")" && pwd)
bench=${VORN_BENCH_DIR:-$here/../../shared/bench}
dirs=${MONO_DIRS-pla large sampled}
seed=${MONO_SEED-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x "$verify" ] || { echo "no checker at $verify" >&2; exit 2; }

bad=0
# Runs one configuration; prints "literals seconds", or "INVALID".
run() {  # source, options...
  local src=$1
  shift
  local start end
  start=$(date +%s.%N)
  "$vorn" -q "-seed$seed" -refine "$@" "$src" "$work/out.pla" >/dev/null 2>&1
  local rc=$?
  end=$(date +%s.%N)
  local verdict
  verdict=$([ $rc -eq 0 ] && "$verify" "$src" "$work/out.pla")
  case "$verdict" in
    valid*) echo "$(echo "$verdict" | awk '{print $3}') $(awk -v a="$start" -v b="$end" 'BEGIN{printf "%.3f", b - a}')" ;;
    *) echo "INVALID" ;;
  esac
}

printf '%-12s %8s %8s %8s %8s %8s  %s\n' file Si1 Si2 Si4 "St(T)" T status
for d in $dirs; do
  # The classic set holds its files itself; the others in a pla/ folder.
  folder=$bench/$d/pla
  [ -d "$folder" ] || folder=$bench/$d
  ls "$folder"/*.pla >/dev/null 2>&1 || { echo "no .pla files in $folder (set VORN_BENCH_DIR)" >&2; exit 2; }
  for src in "$folder"/*.pla; do
    name=$(basename "$src" .pla)
    read -r l1 t1 <<<"$(run "$src" -Si1)"
    read -r l2 _ <<<"$(run "$src" -Si2)"
    read -r l4 _ <<<"$(run "$src" -Si4)"
    limit=$(awk -v t="${t1:-0}" 'BEGIN{printf "%.2f", 2 * t + 0.5}')
    read -r lt _ <<<"$(run "$src" "-St$limit")"
    status=ok
    for l in "$l1" "$l2" "$l4" "$lt"; do [ "$l" = INVALID ] && status=INVALID; done
    if [ "$status" = ok ]; then
      [ "$l2" -gt "$l1" ] && status="Si2 costlier than Si1"
      [ "$l4" -gt "$l2" ] && status="Si4 costlier than Si2"
      [ "$lt" -gt "$l1" ] && status="St$limit costlier than Si1"
    fi
    [ "$status" = ok ] || bad=$((bad + 1))
    printf '%-12s %8s %8s %8s %8s %8s  %s\n' "$name" "$l1" "$l2" "$l4" "$lt" "$limit" "$status"
  done
done
echo
echo "violations or invalid results: $bad (seed $seed, folders: $dirs)"
[ $bad -eq 0 ]
