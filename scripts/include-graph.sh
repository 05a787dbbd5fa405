#!/bin/sh
# Draws which top-level folders include which: one arrow per pair, labelled
# with the number of #include lines that cross it.
#   ./scripts/include-graph.sh [tree] > layout.dot && dot -Tpng layout.dot -o layout.png
# Tests, benchmarks and fuzz targets are left out: they may include anything.
# app/main.cpp is drawn as its own box, "main".
set -eu
tree=${1:-$(dirname "$0")/..}
cd "$tree"
echo 'digraph layout {'
echo '  rankdir=BT; node [shape=box, fontname="DejaVu Sans"];'
git ls-files '*.cpp' '*.h' | grep -v -E '^(tests|bench|fuzz)/' | while read -r f; do
  from=${f%%/*}
  if [ "$from" = "$f" ]; then continue; fi
  # The program's entry point sits on top of everything, the desktop included.
  if [ "$f" = app/main.cpp ]; then from=main; fi
  sed -n 's/^#include "\([a-z]*\)\/.*/\1/p' "$f" | while read -r to; do
    if [ "$to" != "$from" ]; then echo "$from $to"; fi
  done
done | sort | uniq -c | while read -r n from to; do
  echo "  \"$from\" -> \"$to\" [label=\"$n\"];"
done
echo '}'
