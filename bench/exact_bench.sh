#!/usr/bin/env bash
# Runs vorn -exact on every file of the benchmark set, verifies each result
# with the independent checker and records per file the primes, the size of
# the cyclic core, the seconds, and whether the minimum was proven (or the
# gap between lower bound and cover).
# usage: exact_bench.sh path/to/vorn [vorn options...]   (default: -Qt -St60)
# The options are added to "-q -exact -seed1".  The set is VORN_BENCH_DIR
# (default ../shared/bench, its pla/ folder and reference.tsv).  Run it under
# `nice` on a shared machine; VORN_BENCH_FILES limits it to the named files.
set -u
vorn=${1:?usage: exact_bench.sh path/to/vorn [options]}
shift
options=("$@")
[ ${#options[@]} -eq 0 ] && options=(-Qt -St60)
here=$(cd "$(dirname "$0")" && pwd)
verify=$(dirname "$vorn")/vorn_verify
set_dir=${VORN_BENCH_DIR:-$here/../../shared/bench}
pla_dir=$set_dir/pla
reference=$set_dir/reference.tsv
[ -d "$pla_dir" ] || { echo "benchmark set not found at $pla_dir (set VORN_BENCH_DIR)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

files=()
if [ -n "${VORN_BENCH_FILES:-}" ]; then
  for n in $VORN_BENCH_FILES; do files+=("$pla_dir/$n.pla"); done
else
  files=("$pla_dir"/*.pla)
fi

printf 'file\tprimes\tcore\tseconds\tterms\tliterals\tref_terms\tref_literals\tstatus\n'
runs=0 proven=0 invalid=0 sum_log_l=0 ratios=0
for src in "${files[@]}"; do
  name=$(basename "$src" .pla)
  out=$work/$name.pla
  stats=$work/$name.json
  start=$(date +%s.%N)
  "$vorn" -q -exact -seed1 "${options[@]}" "-stats$stats" "$src" "$out" >"$work/log" 2>&1
  rc=$?
  end=$(date +%s.%N)
  secs=$(awk -v a="$start" -v b="$end" 'BEGIN{printf "%.2f", b - a}')
  runs=$((runs + 1))
  ref=$(awk -F'\t' -v n="$name" '$1 == n {print $5, $6}' "$reference")
  read -r ref_terms ref_lits <<<"${ref:-- -}"
  if [ $rc -ne 0 ]; then
    invalid=$((invalid + 1))
    printf '%s\t-\t-\t%s\t-\t-\t%s\t%s\tFAILED (exit %s: %s)\n' "$name" "$secs" "$ref_terms" "$ref_lits" "$rc" \
      "$(tail -n 1 "$work/log")"
    continue
  fi
  read -r verdict terms literals outcost <<<"$("$verify" "$src" "$out")"
  if [ "$verdict" != valid ]; then
    invalid=$((invalid + 1))
    printf '%s\t-\t-\t%s\t-\t-\t%s\t%s\tINVALID\n' "$name" "$secs" "$ref_terms" "$ref_lits"
    continue
  fi
  read -r is_proven bound primes core_rows core_cols cost <<<"$(python3 - "$stats" <<'PY'
import json, sys
s = json.load(open(sys.argv[1]))
e = s["exact"]
print("yes" if e["proven"] else "no", e["lowerBound"], e["primes"], e["cyclicCore"]["rows"],
      e["cyclicCore"]["columns"], s["result"]["cost"])
PY
)"
  if [ "$is_proven" = yes ]; then
    proven=$((proven + 1))
    status=proven
  else
    status="gap $bound..$cost"
  fi
  if [[ "$ref_lits" =~ ^[0-9]+$ ]] && [ "$ref_lits" -gt 0 ] && [ "$literals" -gt 0 ]; then
    sum_log_l=$(awk -v s="$sum_log_l" -v a="$literals" -v b="$ref_lits" 'BEGIN{print s + log(a / b)}')
    ratios=$((ratios + 1))
  fi
  printf '%s\t%s\t%sx%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$primes" "$core_rows" "$core_cols" "$secs" "$terms" \
    "$literals" "$ref_terms" "$ref_lits" "$status"
done
geo=$(awk -v s="$sum_log_l" -v n="$ratios" 'BEGIN{if (n) printf "%.3f", exp(s / n); else print "-"}')
echo "# options: -exact ${options[*]}; files $runs, proven $proven, failed or invalid $invalid;" \
  "geometric mean literals/reference $geo over $ratios files"
