#!/bin/sh
# check-exports.sh <shared object> <list> [--update]
#
# Compares the symbols a shared object defines in its dynamic symbol table
# (nm -D --defined-only -C: demangled names, one a line) with the list kept in
# the repository. Lines of the list starting with '#' are comments. The
# linker's own symbols (_init, _fini, __bss_start, _edata, _end) are left out.
# Fails naming the symbols added and the symbols missing; with --update it
# rewrites the list instead (after a deliberate change of the interface).
set -eu
library=$1
list=$2
NM=${NM:-nm}
export LC_ALL=C

actual=$(mktemp)
expected=$(mktemp)
trap 'rm -f "$actual" "$expected"' EXIT

"$NM" -D --defined-only -C "$library" |
  sed -E 's/^[0-9a-fA-F]+ [A-Za-z] //' |
  grep -v -x -E '_init|_fini|__bss_start|_edata|_end' |
  sort -u >"$actual" || true

if [ "${3:-}" = "--update" ]; then
  {
    echo "# What $(basename "$library") exports (nm -D --defined-only -C), checked by its _exports test."
    echo "# Update with cmake/check-exports.sh <library> <this file> --update."
    cat "$actual"
  } >"$list"
  echo "wrote $list ($(wc -l <"$actual") symbols)"
  exit 0
fi

if [ ! -f "$list" ]; then
  echo "no list of exports at $list" >&2
  exit 1
fi
grep -v -E '^(#|$)' "$list" | sort -u >"$expected" || true

added=$(comm -23 "$actual" "$expected")
missing=$(comm -13 "$actual" "$expected")
if [ -n "$added" ] || [ -n "$missing" ]; then
  echo "$library does not export what $list lists."
  [ -z "$added" ] || printf '%s\n' "$added" | sed 's/^/  added:   /'
  [ -z "$missing" ] || printf '%s\n' "$missing" | sed 's/^/  missing: /'
  echo "If the change is meant, run: $0 $library $list --update"
  exit 1
fi
echo "$library exports the $(wc -l <"$actual") listed symbols, no more."
