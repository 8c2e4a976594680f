#!/usr/bin/env bash
# Keeps the layers apart: fails, with file:line, for an include that reaches
# a higher layer or a sibling folder, for a platform header in a portable
# folder, for a quoted include that names no file of the tree, and for a
# source file in a folder that scripts/layers.txt does not place.
#
#   scripts/check_layers.sh     exit 0 when clean, 1 with one line per fault
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

layers=scripts/layers.txt
all_files=$(mktemp)
trap 'rm -f "$all_files"' EXIT
# Untracked files count too, so that a new file is checked before it is
# committed.
git ls-files --cached --others --exclude-standard | grep -v -E '^build' >"$all_files"

awk -v layers="$layers" -v all_files="$all_files" '
function fail(where, what) { print where ": " what; faults++ }

# The listed folder that holds path: the longest one its path starts with.
function unit_of(path,    u, best) {
  best = ""
  for (u in level)
    if (index(path, u "/") == 1 && length(u) > length(best)) best = u
  return best
}

function dir_of(path) { return sub(/\/[^\/]*$/, "", path) ? path : "" }

# The C and C++ standard headers: the only bracketed includes of a portable
# folder. C++ headers have no extension; of the .h headers only the C ones.
function platform_header(name) {
  if (name !~ /\.h$/) return 0
  return name !~ /^(assert|complex|ctype|errno|fenv|float|inttypes|iso646|limits|locale|math|setjmp|signal|stdalign|stdarg|stdatomic|stdbool|stddef|stdint|stdio|stdlib|stdnoreturn|string|tgmath|threads|time|uchar|wchar|wctype)\.h$/
}

# Where a quoted include lives: a path from the top of the tree, a header
# that CMake writes from a template of the tree (path.in), a header that
# widl writes from an IDL file of the tree (name_h.h), or a file beside the
# includer.
function resolve(name, includer,    stem, beside) {
  if (name ~ /\// && (name in exists)) return name
  if (name ~ /\// && ((name ".in") in exists)) return name ".in"
  if (name !~ /\//) {
    stem = name
    if (sub(/_h\.h$/, "", stem) && (stem ".idl" in idl)) return idl[stem ".idl"]
    beside = dir_of(includer) "/" name
    if (beside in exists) return beside
  }
  return ""
}

BEGIN {
  n = 0
  while ((getline line < layers) > 0) {
    sub(/#.*/, "", line)
    count = split(line, word, /[ \t]+/)
    first = (word[1] == "") ? 2 : 1
    if (count < first + 1) continue
    n++
    number[n] = word[first]
    portable_level = 0
    for (i = first + 1; i <= count; i++) {
      if (word[i] == "") continue
      if (word[i] == "portable:") { portable_level = 1; continue }
      level[word[i]] = n
      portable[word[i]] = portable_level
    }
  }
  while ((getline path < all_files) > 0) {
    exists[path] = 1
    if (path ~ /\.idl$/) { base = path; sub(/.*\//, "", base); idl[base] = path }
  }
  close(all_files)

  for (path in exists) {
    if (path !~ /\.(c|cc|cpp|h|hpp|rc)$/) continue
    from = unit_of(path)
    if (from == "") {
      if (path ~ /\//) fail(path, "is in a folder that " layers " does not place in a layer")
      continue
    }
    line_number = 0
    while ((getline text < path) > 0) {
      line_number++
      if (text !~ /^[ \t]*#[ \t]*include[ \t]*[<"]/) continue
      name = text
      sub(/^[ \t]*#[ \t]*include[ \t]*/, "", name)
      bracket = substr(name, 1, 1)
      name = substr(name, 2)
      sub(/[>"].*/, "", name)
      where = path ":" line_number
      if (bracket == "<") {
        if (portable[from] && platform_header(name))
          fail(where, "includes the platform header <" name "> in the portable folder " from "/")
        continue
      }
      target = resolve(name, path)
      if (target == "") { fail(where, "includes \"" name "\", which is no file of the tree"); continue }
      to = unit_of(target)
      if (to == "" || to == from) continue
      shown = (target == name) ? target : "\"" name "\" (from " target ")"
      if (level[to] == level[from])
        fail(where, "includes " shown ": " to "/ is a sibling of " from "/ (layer " number[level[from]] ")")
      else if (level[to] > level[from])
        fail(where, "includes " shown ": " to "/ (layer " number[level[to]] ") is above " from "/ (layer " number[level[from]] ")")
    }
    close(path)
  }
  exit faults > 0
}'
