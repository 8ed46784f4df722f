#!/usr/bin/env bash
# Counts what the cube kernel (src/model/bits.h, packed_cube.h, cube.*,
# cube_list.*) should be the only home of: raw bit loops and packed cube
# encodings outside it, and the files that write a meet, a containment, an
# implicant test or a cost by criterion of their own.  Each figure may only
# fall: the ceilings below are today's (the aim: 0 raw loops and encodings,
# 1 file each for the implicant test and the cost), and a figure above its
# ceiling fails.
# Usage: count_kernel_copies.sh [-v]   (-v lists the places)
set -u
cd "$(dirname "$0")/.."
verbose=${1:-}
kernel='src/model/(bits\.h|packed_cube\.h|cube\.(h|cpp)|cube_list\.(h|cpp))'
others() { grep -rlE "$1" src --include='*.h' --include='*.cpp' | grep -vE "$kernel" | sort; }
status=0
check() {  # name ceiling pattern
  local files count
  files=$(others "$3")
  count=$(printf '%s' "$files" | grep -c . || true)
  printf '%-40s %3d (ceiling %d)\n' "$1" "$count" "$2"
  [ "$verbose" = -v ] && [ -n "$files" ] && printf '    %s\n' $files
  [ "$count" -le "$2" ] || status=1
}
check 'files with raw bit loops' 0 '__builtin_(ctz|popcount)'
check 'files with their own packed encoding' 0 'std::vector<std::uint64_t> [a-z_]+;|class (BitRows|OutputSet|PackedCubes|PackedTerm|Remainder|Region)\b'
check 'files with a meet of their own' 0 '\(\w+\[\w+\] & \w+\[[^]]*\]\) \| \(\w+\[[^]]*\] & \w+\[\w+\]\)'
check 'files with a containment of their own' 0 '& ~\w+\[\w+\]\) return false|if \(\w+\[\w+\] & ~\w+\[\w+\]\) return false'
check 'files with an implicant test' 2 'int IsImplicant\(|class \w*(ImplicantTest|InsideTest)\w*'
check 'files with a cost by criterion' 1 'switch \(criterion\)'
exit $status
