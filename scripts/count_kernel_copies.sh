#!/usr/bin/env bash
# Counts what the cube kernel (src/model/bits.h, packed_cube.h, cube.*,
# cube_list.*) should be the only home of: raw bit loops and packed cube
# encodings outside it, and the modules that write a meet, a containment, an
# implicant test or a cost by criterion of their own.  A header and its source
# count as one place (one module).  Each figure may only fall: the ceilings
# below are today's (the aim: 0 raw loops and encodings, 1 module each for the
# implicant test and the cost), and a figure above its ceiling fails.
# Usage: count_kernel_copies.sh [-v]   (-v lists the places)
set -u
cd "$(dirname "$0")/.."
verbose=${1:-}
kernel='src/model/(bits\.h|packed_cube\.h|cube\.(h|cpp)|cube_list\.(h|cpp))'
# The modules (paths without .h/.cpp) outside the kernel whose files match $1.
others() { grep -rlE "$1" src --include='*.h' --include='*.cpp' | grep -vE "$kernel" | sed -E 's/\.(h|cpp)$//' | sort -u; }
status=0
check() {  # name ceiling pattern
  local files count
  files=$(others "$3")
  count=$(printf '%s' "$files" | grep -c . || true)
  printf '%-42s %3d (ceiling %d)\n' "$1" "$count" "$2"
  [ "$verbose" = -v ] && [ -n "$files" ] && printf '    %s\n' $files
  [ "$count" -le "$2" ] || status=1
}
check 'modules with raw bit loops' 0 '__builtin_(ctz|popcount)'
# An encoding of its own: a raw word member, one of the old encoding classes,
# or a flat word array cut into rows by hand (a row index times a row width,
# whether the type holding it is a class or a struct).
rows_by_hand='(\.data\(\) \+|\[)[^;]*[a-z_]\w*\)? \* *\w*(stride|words)\w*'
check 'modules with their own packed encoding' 0 "std::vector<std::uint64_t> [a-z_]+;|class (BitRows|OutputSet|PackedCubes|PackedTerm|Remainder|Region)\\b|$rows_by_hand"
check 'modules with a meet of their own' 0 '\(\w+\[\w+\] & \w+\[[^]]*\]\) \| \(\w+\[[^]]*\] & \w+\[\w+\]\)'
check 'modules with a containment of their own' 0 '& ~\w+\[\w+\]\) return false|if \(\w+\[\w+\] & ~\w+\[\w+\]\) return false'
check 'modules with an implicant test' 1 'int IsImplicant\(|class \w*(ImplicantTest|InsideTest)\w*'
check 'modules with a cost by criterion' 1 'switch \(criterion\)'
exit $status
