#!/usr/bin/env bash
# Compares the symbols a shared library exports with a list of what it may export
# (see exports.txt for its lines): prints every symbol outside the list and every
# needed one that is missing. check_exports.sh <library> <list>
set -uo pipefail
lib=${1:?library}
list=${2:?list}
# AddressSanitizer's ODR indicator of a global is checked as the global itself.
syms=$(nm -D --defined-only "$lib" | cut -d' ' -f3- | sed 's/^__odr_asan\.//' | c++filt) || exit 1
[ -n "$syms" ] || { echo "$lib exports nothing"; exit 1; }
awk -v list="$list" '
  BEGIN {
    while ((getline line < list) > 0) {
      if (line ~ /^[ \t]*(#|$)/) continue
      kind = line; sub(/ .*/, "", kind)
      what = line; sub(/^[a-z]+ /, "", what)
      if (kind == "scope") scope[what] = 1
      else if (kind == "tree") tree[what "::"] = 1
      else if (kind == "name") name[what] = 1
      else if (kind == "need") { name[what] = 1; need[what] = 1 }
      else { print list ": unknown line: " line; bad = 1 }
    }
  }
  function allowed(sym,   n, s, t) {
    if (sym in name) return 1
    n = sym
    sub(/^(vtable|typeinfo|typeinfo name|VTT|guard variable) for /, "", n)
    sub(/^(non-virtual|virtual) thunk to /, "", n)
    sub(/\(.*/, "", n)                     # the parameters of a function
    for (t in tree) if (index(n, t) == 1) return 1
    if (n in scope) return 1
    s = n; sub(/::[^:]*$/, "", s)          # the scope it is a member of
    return s != n && (s in scope)
  }
  {
    seen[$0] = 1
    if (!allowed($0)) { print "exported but not listed: " $0; bad = 1 }
  }
  END {
    for (s in need) if (!(s in seen)) { print "missing: " s; bad = 1 }
    if (!bad) print "the library exports its list and nothing else"
    exit bad
  }' <<< "$syms"
