#!/usr/bin/env bash
# Runs each libFuzzer target for a while on a copy of its seed corpus and
# fails on the first finding (a crash, a sanitizer report, a failed check,
# a leak or a timeout).  Findings are kept under BUILD/fuzz-findings.
# usage: scripts/run_fuzz.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
build=${1:?usage: run_fuzz.sh BUILD_DIR SECONDS [TARGET...]}
seconds=${2:-60}
shift 2 || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pla_reader whole_run)
here=$(cd "$(dirname "$0")/.." && pwd)
findings="$build/fuzz-findings"
mkdir -p "$findings"
status=0
for t in "${targets[@]}"; do
  case $t in
    pla_reader) seeds="$here/tests/fuzz/corpus/pla" ;;
    whole_run) seeds="$here/tests/fuzz/corpus/run" ;;
    *) echo "unknown fuzz target $t" >&2; exit 2 ;;
  esac
  work=$(mktemp -d)
  cp "$seeds"/* "$work"/
  echo "== $t for $seconds s"
  if ! "$build/vorn_fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=4096 \
       -print_final_stats=1 -close_fd_mask=3 -artifact_prefix="$findings/$t-" "$work"; then
    echo "fuzz target $t found a fault; the input is in $findings" >&2
    status=1
  fi
  rm -rf "$work"
done
exit $status
