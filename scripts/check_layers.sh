#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a folder on its own level
# or above (scripts/layers.txt), or of a folder without a level, and on a
# folder without a level.  There are no exceptions.
# usage: check_layers.sh [root]   (default: the tree this script lives in)
set -u
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
layers=$root/scripts/layers.txt
[ -f "$layers" ] || { echo "no layer list at $layers" >&2; exit 2; }
declare -A level
while read -r n name; do
  case "$n" in ''|'#'*) continue ;; esac
  level[$name]=$n
done <"$layers"
bad=0
for dir in "$root"/src/*/; do
  folder=$(basename "$dir")
  if [ -z "${level[$folder]+x}" ]; then
    echo "src/$folder: folder without a level in scripts/layers.txt"
    bad=1
  fi
done
while IFS=: read -r path _ line; do
  file=${path#"$root"/}
  from=${file#src/}
  from=${from%%/*}
  header=${line#\#include \"}
  header=${header%%\"*}
  to=${header%%/*}
  [ "$to" = "$header" ] && continue           # a header beside the file
  [ "$from" = "$to" ] && continue
  [ -z "${level[$from]+x}" ] && continue      # reported above
  if [ -z "${level[$to]+x}" ]; then
    echo "$file: includes $header from an unknown folder"
    bad=1
  elif [ "${level[$to]}" -ge "${level[$from]}" ]; then
    echo "$file: includes $header ($to, level ${level[$to]}) from $from (level ${level[$from]})"
    bad=1
  fi
done < <(grep -rn '^#include "' "$root"/src --include='*.h' --include='*.cpp' | grep -v "^$root/src/main.cpp:")
exit $bad
