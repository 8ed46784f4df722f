#!/usr/bin/env bash
# How soon vorn reaches the reference minimizer's literal count: for every
# file of a folder whose reference.tsv gives literals and seconds, one run
# with `-Ql -Sq<literals> -St<share of the reference's seconds> -refine`
# (it stops as soon as a cover that cheap exists, or at the time share),
# the wall time of the process measured, the result checked by the
# independent checker.  A file is "reached" when its cover has at most the
# reference's literals; the share is 1/20 for large/ and 1/10 for sampled/
# by default.  Exits non-zero when a file is not reached or a result is
# invalid.
# usage: reach_bench.sh path/to/vorn [folder ...]   (default: large sampled)
#   VORN_BENCH_DIR  the folder holding large/ and sampled/ (default ../shared/bench)
#   REACH_SHARE_large, REACH_SHARE_sampled, REACH_SHARE_<folder>: the share (default 20, 10, 10)
#   REACH_SEED      the seed (default 1)
set -u
vorn=${1:?usage: reach_bench.sh path/to/vorn [folder ...]}
shift
folders=("$@")
[ ${#folders[@]} -eq 0 ] && folders=(large sampled)
verify=$(dirname "$vorn")/vorn_verify
here=$(cd "$(dirname "$0")" && pwd)
bench=${VORN_BENCH_DIR:-$here/../../shared/bench}
seed=${REACH_SEED:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x "$verify" ] || { echo "no checker at $verify" >&2; exit 2; }

missed=0 invalid=0
printf '%-8s %-12s %9s %9s %9s %9s %7s  %s\n' folder file ref_lits ref_s budget_s wall_s lits status
for folder in "${folders[@]}"; do
  dir=$bench/$folder
  [ -f "$dir/reference.tsv" ] || { echo "no reference.tsv in $dir" >&2; exit 2; }
  var=REACH_SHARE_$folder
  share=${!var:-$([ "$folder" = large ] && echo 20 || echo 10)}
  # Only the files the reference finished: literals and seconds are numbers.
  while IFS=$'\t' read -r name lits secs; do
    src=$dir/pla/$name.pla
    [ -f "$src" ] || continue
    budget=$(awk -v s="$secs" -v k="$share" 'BEGIN { printf "%.3f", s / k }')
    start=$(date +%s.%N)
    "$vorn" -q "-seed$seed" -Ql "-Sq$lits" "-St$budget" -refine "$src" "$work/out.pla" >"$work/log" 2>&1
    rc=$?
    end=$(date +%s.%N)
    wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    status=reached got=-
    if [ $rc -ne 0 ]; then
      status="FAILED (exit $rc)"
      invalid=$((invalid + 1))
    else
      read -r verdict _ got _ <<<"$("$verify" "$src" "$work/out.pla")"
      if [ "$verdict" != valid ]; then
        status=INVALID
        invalid=$((invalid + 1))
      elif [ "$got" -gt "$lits" ]; then
        status="not reached"
        missed=$((missed + 1))
      elif awk -v w="$wall" -v b="$budget" 'BEGIN { exit !(w > b) }'; then
        status="reached after the budget"
        missed=$((missed + 1))
      fi
    fi
    printf '%-8s %-12s %9s %9s %9s %9s %7s  %s\n' "$folder" "$name" "$lits" "$secs" "$budget" "$wall" "$got" "$status"
  done < <(awk -F'\t' 'NR > 1 && $6 ~ /^[0-9]+$/ && $10 ~ /^[0-9.]+$/ { print $1 "\t" $6 "\t" $10 }' "$dir/reference.tsv")
done
echo "not reached in time: $missed, invalid: $invalid"
[ $missed -eq 0 ] && [ $invalid -eq 0 ]
