#!/usr/bin/env bash
# Hostile but well-formed sources that used to blow up: the consistency
# check on many terms, -Tsplit on terms whose pieces multiply, one iteration
# on 200,000 on-set minterms, one CD or FC-Min step on a function with very
# many outputs, and one iteration on 64,999 inputs x 64,999 outputs with 8
# terms, whose memory must follow the terms, not the inputs x outputs.
# Prints seconds, peak memory (with GNU time installed), exit code and the
# last message of each run; run it with two builds to compare.
# usage: growth_bench.sh path/to/vorn [timeout seconds, default 120]
set -u
vorn=${1:?usage: growth_bench.sh path/to/vorn [timeout]}
limit=${2:-120}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# n distinct minterms over 24 inputs, each '1' or '0' at its one output.
minterms() {
  awk -v n="$1" 'BEGIN {
    print ".i 24\n.o 1\n.type fr"; s = 12345
    for (i = 0; i < n; i++) {
      m = (i * 2654435761) % 16777216; c = ""
      for (p = 23; p >= 0; p--) c = c (int(m / 2^p) % 2)
      s = (s * 1103515245 + 12345) % 2147483648
      print c, (int(s / 65536) % 2)
    }
    print ".e" }'
}
# 20 terms over 22 inputs, term i with '10' at positions i and i+1.
chain() {
  awk 'BEGIN { print ".i 22\n.o 1\n.type fr"
    for (i = 0; i < 20; i++) { c = ""; for (p = 0; p < 22; p++) c = c (p == i ? "1" : p == i + 1 ? "0" : "-"); print c, 1 }
    print ".e" }'
}
# 16 terms over 16 inputs, term i with its one literal '1' at position i.
singles() {
  awk 'BEGIN { print ".i 16\n.o 1\n.type fr"
    for (i = 0; i < 16; i++) { c = ""; for (p = 0; p < 16; p++) c = c (p == i ? "1" : "-"); print c, 1 }
    print ".e" }'
}
# 8 disjoint terms over 4 inputs with m outputs, each '1' or '0' at random.
wide() {
  awk -v m="$1" 'BEGIN { print ".i 4\n.o " m "\n.type fr"; s = 777
    for (t = 0; t < 8; t++) {
      c = ""; for (p = 2; p >= 0; p--) c = c (int(t / 2^p) % 2); c = c "-"
      o = ""; for (j = 0; j < m; j++) { s = (s * 1103515245 + 12345) % 2147483648; o = o (int(s / 65536) % 2) }
      print c, o
    }
    print ".e" }'
}

# t terms over n inputs and m outputs: inputs '0', '1', '-' and outputs '0',
# '1' at random (about 1 MB at 64,999 x 64,999 with 8 terms).
widest() {
  awk -v n="$1" -v m="$2" -v t="$3" 'BEGIN { printf ".i %d\n.o %d\n.type fr\n", n, m; s = 4242
    for (k = 0; k < t; k++) {
      for (p = 0; p < n; p++) { s = (s * 1103515245 + 12345) % 2147483648; printf "%s", substr("01-", int(s / 65536) % 3 + 1, 1) }
      printf " "
      for (j = 0; j < m; j++) { s = (s * 1103515245 + 12345) % 2147483648; printf "%d", int(s / 65536) % 2 }
      printf "\n"
    }
    print ".e" }'
}

# n distinct on-set minterms over 24 inputs at one output, no off-set (a learning problem's positives).
onset() {
  awk -v n="$1" 'BEGIN {
    print ".i 24\n.o 1\n.type fr"
    for (i = 0; i < n; i++) {
      m = (i * 2654435761) % 16777216; c = ""
      for (p = 23; p >= 0; p--) c = c (int(m / 2^p) % 2)
      print c, 1
    }
    print ".e" }'
}

run() {  # name, source, options...
  local name=$1 src=$2
  shift 2
  local start end rc peak=-
  start=$(date +%s.%N)
  if [ -x /usr/bin/time ]; then
    # Peak memory of the program itself (GNU time reports the waited-for child).
    timeout "$limit" /usr/bin/time -f '%M' -o "$work/peak" "$vorn" "$@" "$src" "$work/out.pla" >"$work/log" 2>&1
    rc=$?
    peak=$(tail -n 1 "$work/peak" 2>/dev/null | awk '{printf "%d", $1 / 1024}')
  else
    timeout "$limit" "$vorn" "$@" "$src" "$work/out.pla" >"$work/log" 2>&1
    rc=$?
  fi
  end=$(date +%s.%N)
  local note
  note=$(grep -v '^$' "$work/log" | tail -n 1)
  [ $rc -eq 124 ] && note="timed out after $limit s"
  printf '%-28s %9.3f %7s %5s  %s\n' "$name" "$(awk -v a="$start" -v b="$end" 'BEGIN{print b - a}')" "$peak" "$rc" "$note"
}

printf '%-28s %9s %7s %5s  %s\n' case seconds peak_MB exit "last message"
for n in 50000 200000; do
  minterms $n >"$work/m$n.pla"
  run "-Tcheck $n terms" "$work/m$n.pla" -Tcheck
done
chain >"$work/chain.pla"
run "-Tsplit chain 20x22" "$work/chain.pla" -Tsplit
singles >"$work/singles.pla"
run "-Tsplit 16 single literals" "$work/singles.pla" -Tsplit
onset 200000 >"$work/on200k.pla"
for ratio in 0 100 default; do
  if [ $ratio = default ]; then run "200,000 on-set, default" "$work/on200k.pla" -Si1 -seed1
  else run "200,000 on-set, -FR$ratio" "$work/on200k.pla" -Si1 -seed1 -FR$ratio; fi
done
for m in 2000 16000 60000; do
  wide $m >"$work/w$m.pla"
  run "CD step, $m outputs" "$work/w$m.pla" -FR0 -Si1
  run "FC-Min step, $m outputs" "$work/w$m.pla" -FR100 -Si1
done
widest 64999 64999 8 >"$work/widest.pla"
run "64,999 x 64,999, 8 terms, -FR0" "$work/widest.pla" -Si1 -seed1 -FR0
run "64,999 x 64,999, 8 terms, -FR100" "$work/widest.pla" -Si1 -seed1 -FR100
run "64,999 x 64,999, 8 terms, default" "$work/widest.pla" -Si1 -seed1
