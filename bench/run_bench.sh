#!/usr/bin/env bash
# Runs vorn on every file of the benchmark set, verifies each result with the
# independent checker and compares its size with the reference figures.
# usage: run_bench.sh path/to/vorn [vorn options...]   (default options: -Si10)
# The set is VORN_BENCH_DIR (default ../shared/bench: the fr files in pla/);
# VORN_BENCH_DIR=../shared/bench/orig runs the original fd files, and
# VORN_BENCH_DIR may also name a folder of .pla files itself (the reference
# figures are then looked for beside it).
set -u
vorn=${1:?usage: run_bench.sh path/to/vorn [options]}
shift
options=("$@")
[ ${#options[@]} -eq 0 ] && options=(-Si10)
here=$(cd "$(dirname "$0")" && pwd)
verify=$(dirname "$vorn")/vorn_verify
set_dir=${VORN_BENCH_DIR:-$here/../../shared/bench}
pla_dir=$set_dir/pla
reference=$set_dir/reference.tsv
if [ ! -d "$pla_dir" ] && ls "$set_dir"/*.pla >/dev/null 2>&1; then
  pla_dir=$set_dir
  reference=$(dirname "$set_dir")/reference.tsv
fi
[ -d "$pla_dir" ] || { echo "benchmark set not found at $pla_dir (set VORN_BENCH_DIR)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%-10s %6s %8s %7s %9s %8s %8s  %s\n' file terms literals outcost seconds terms/ref lits/ref status
runs=0 valid=0 invalid=0
sum_log_t=0 sum_log_l=0 ratios=0 total=0
for src in "$pla_dir"/*.pla; do
  name=$(basename "$src" .pla)
  out=$work/$name.pla
  start=$(date +%s.%N)
  "$vorn" "${options[@]}" "$src" "$out" >"$work/log" 2>&1
  rc=$?
  end=$(date +%s.%N)
  secs=$(awk -v a="$start" -v b="$end" 'BEGIN{printf "%.3f", b - a}')
  total=$(awk -v a="$total" -v b="$secs" 'BEGIN{print a + b}')
  runs=$((runs + 1))
  if [ $rc -ne 0 ]; then
    status="FAILED (exit $rc: $(tail -n 1 "$work/log"))"
    invalid=$((invalid + 1))
    printf '%-10s %6s %8s %7s %9.3f %8s %8s  %s\n' "$name" - - - "$secs" - - "$status"
    continue
  fi
  read -r verdict terms literals outcost <<<"$("$verify" "$src" "$out")"
  if [ "$verdict" != valid ]; then
    status="INVALID: $("$verify" "$src" "$out")"
    invalid=$((invalid + 1))
    printf '%-10s %6s %8s %7s %9.3f %8s %8s  %s\n' "$name" - - - "$secs" - - "$status"
    continue
  fi
  valid=$((valid + 1))
  ref=$(awk -F'\t' -v n="$name" '$1 == n {print $5, $6}' "$reference")
  rt=- rl=-
  if [ -n "$ref" ]; then
    read -r ref_terms ref_lits <<<"$ref"
    # Files without reference figures have '-' there: no ratio for them.
    if [[ "$ref_terms" =~ ^[0-9]+$ && "$ref_lits" =~ ^[0-9]+$ ]] &&
      [ "$ref_terms" -gt 0 ] && [ "$ref_lits" -gt 0 ] && [ "$terms" -gt 0 ] && [ "$literals" -gt 0 ]; then
      rt=$(awk -v a="$terms" -v b="$ref_terms" 'BEGIN{print a / b}')
      rl=$(awk -v a="$literals" -v b="$ref_lits" 'BEGIN{print a / b}')
      sum_log_t=$(awk -v s="$sum_log_t" -v r="$rt" 'BEGIN{print s + log(r)}')
      sum_log_l=$(awk -v s="$sum_log_l" -v r="$rl" 'BEGIN{print s + log(r)}')
      ratios=$((ratios + 1))
      rt=$(printf '%.3f' "$rt")
      rl=$(printf '%.3f' "$rl")
    fi
  fi
  printf '%-10s %6s %8s %7s %9.3f %8s %8s  %s\n' "$name" "$terms" "$literals" "$outcost" "$secs" "$rt" "$rl" ok
done
gm_t=- gm_l=-
if [ $ratios -gt 0 ]; then
  gm_t=$(awk -v s="$sum_log_t" -v n="$ratios" 'BEGIN{printf "%.3f", exp(s / n)}')
  gm_l=$(awk -v s="$sum_log_l" -v n="$ratios" 'BEGIN{printf "%.3f", exp(s / n)}')
fi
printf '\nfiles run: %d, valid: %d, geometric mean literals/ref: %s, terms/ref: %s, total seconds: %.1f (options: %s)\n' \
  "$runs" "$valid" "$gm_l" "$gm_t" "$total" "${options[*]}"

# A function without a usable off-set: 130 inputs, on-set the OR of
# x_k x_(k+65) for k < 65 (its off-set has 2^65 cubes).  It must minimize to
# its 65 terms, valid, in well under 10 seconds.
wide=$work/wide_or.pla
awk 'BEGIN { print ".i 130"; print ".o 1"
  for (k = 0; k < 65; k++) { c = ""; for (i = 0; i < 130; i++) c = c ((i == k || i == k + 65) ? "1" : "-"); print c " 1" }
  print ".e" }' >"$wide"
start=$(date +%s.%N)
"$vorn" "${options[@]}" "$wide" "$work/wide_or_out.pla" >"$work/log" 2>&1
rc=$?
secs=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN{printf "%.3f", b - a}')
verdict=$([ $rc -eq 0 ] && "$verify" "$wide" "$work/wide_or_out.pla" || echo "FAILED exit $rc")
echo "no-off-set case wide_or (130 inputs, 65 on-set cubes): $verdict in $secs s"
case "$verdict" in "valid 65 130 65") ;; *) invalid=$((invalid + 1)) ;; esac
if [ $invalid -gt 0 ]; then
  echo "!!! $invalid result(s) FAILED or INVALID !!!" >&2
  exit 1
fi
