#!/usr/bin/env bash
# How far runs limited by -St go past their limit.  Runs every file of the
# benchmark set (../shared/bench/pla, or VORN_BENCH_DIR/pla), of its large
# part (.../large/pla) and of its sampled part (.../sampled/pla) under a few
# time limits, with and without -refine,
# measures the wall time of each process, checks each result with the
# independent checker, and reports per limit the worst overshoot and every
# file beyond max(10% of the limit, 0.2 s).  Exits non-zero when any file is
# beyond or any result is invalid.
# usage: overshoot_bench.sh path/to/vorn
#   OVERSHOOT_LIMITS       limits for the files of the set (default "0.05 0.5"; empty: none)
#   OVERSHOOT_LARGE_LIMITS limits for the large files (default "0.05 0.5 2")
#   OVERSHOOT_SAMPLED_LIMITS limits for the sampled files (default "0.5 2")
set -u
vorn=${1:?usage: overshoot_bench.sh path/to/vorn}
verify=$(dirname "$vorn")/vorn_verify
here=$(cd "$(dirname "$0")" && pwd)
bench=${VORN_BENCH_DIR:-$here/../../shared/bench}
limits=${OVERSHOOT_LIMITS-0.05 0.5}
largeLimits=${OVERSHOOT_LARGE_LIMITS-0.05 0.5 2}
sampledLimits=${OVERSHOOT_SAMPLED_LIMITS-0.5 2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x "$verify" ] || { echo "no checker at $verify" >&2; exit 2; }

beyond=0
invalid=0
# One group of files under one limit and one mode; prints the worst overshoot.
sweep() {  # label, limit, extra option (or ""), files...
  local label=$1 limit=$2 extra=$3
  shift 3
  local allowed worst=-1e9 worstFile="" n=0 late=0
  allowed=$(awk -v l="$limit" 'BEGIN { a = l * 0.1; print (a > 0.2 ? a : 0.2) }')
  for src in "$@"; do
    local start end wall over rc
    start=$(date +%s.%N)
    "$vorn" -q -seed1 "-St$limit" $extra "$src" "$work/out.pla" >"$work/log" 2>&1
    rc=$?
    end=$(date +%s.%N)
    wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    over=$(awk -v w="$wall" -v l="$limit" 'BEGIN { printf "%.3f", w - l }')
    n=$((n + 1))
    if [ $rc -ne 0 ] || ! "$verify" "$src" "$work/out.pla" | grep -q '^valid'; then
      echo "  INVALID  $label -St$limit $extra $(basename "$src") (exit $rc)"
      invalid=$((invalid + 1))
    fi
    if awk -v o="$over" -v a="$allowed" 'BEGIN { exit !(o > a) }'; then
      echo "  BEYOND   $label -St$limit $extra $(basename "$src"): ${wall} s, ${over} s past the limit"
      late=$((late + 1))
      beyond=$((beyond + 1))
    fi
    if awk -v o="$over" -v w="$worst" 'BEGIN { exit !(o > w) }'; then
      worst=$over
      worstFile=$(basename "$src")
    fi
  done
  printf '%-6s %-8s %-8s %5d files  worst overshoot %7.3f s (%s)  allowed %.3f s  beyond %d\n' \
    "$label" "-St$limit" "${extra:-plain}" "$n" "$worst" "$worstFile" "$allowed" "$late"
}

small=("$bench"/pla/*.pla)
large=("$bench"/large/pla/*.pla)
sampled=("$bench"/sampled/pla/*.pla)
for limit in $limits; do
  for extra in "" -refine; do sweep set "$limit" "$extra" "${small[@]}"; done
done
for limit in $largeLimits; do
  for extra in "" -refine; do sweep large "$limit" "$extra" "${large[@]}"; done
done
for limit in $sampledLimits; do
  for extra in "" -refine; do sweep sampled "$limit" "$extra" "${sampled[@]}"; done
done
echo "beyond the allowance: $beyond, invalid: $invalid"
[ $beyond -eq 0 ] && [ $invalid -eq 0 ]
