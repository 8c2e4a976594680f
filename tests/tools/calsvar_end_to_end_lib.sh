# What the end-to-end scripts of calsvar share: a work folder, one
# wineserver for all runs, and the checks. Sourced; expects $root.
source "$root/scripts/lib/common.sh"
cd "$root"

work=$(mktemp -d)
use_wine_prefix "$CALSVAR_PREFIX"
# One server for all runs below: ./calsvar leaves a server it did not start.
start_wineserver
trap 'stop_wineserver; chmod -R u+w "$work"; rm -rf "$work"' EXIT

failures=0
checks=0
fail() {
  printf 'FAIL: %s\n' "$*"
  printf '  stdout: %s\n' "$(head -c 2000 "$work/out")"
  printf '  stderr: %s\n' "$(head -c 2000 "$work/err")"
  failures=$((failures + 1))
}
# expect RC COMMAND...: runs ./calsvar (from any folder), keeps stdout and
# stderr in out/err.
expect() {
  local want=$1
  shift
  checks=$((checks + 1))
  "$root/calsvar" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  ((got == want)) || fail "./calsvar $* exited $got, expected $want"
}
has() {  # has FILE TEXT: the file holds the text
  grep -qF -- "$2" "$work/$1" || fail "$1 of the last run lacks: $2"
}
lacks() {  # lacks FILE TEXT: the file does not hold the text
  ! grep -qF -- "$2" "$work/$1" || fail "$1 of the last run holds: $2"
}
line() {  # line N TEXT: stdout line N is exactly TEXT
  [[ $(sed -n "$1p" "$work/out") == "$2" ]] || fail "stdout line $1 is not: $2"
}
same() {  # same WHAT-DIFFERS CMP-ARGUMENTS...: one more check, that the files are equal
  checks=$((checks + 1))
  cmp -s "${@:2}" || fail "$1"
}
differs() {  # differs WHAT-STAYED FILE1 FILE2: one more check, that the files differ
  checks=$((checks + 1))
  ! cmp -s "$2" "$3" || fail "$1"
}
finish() {
  printf '%d passed, %d failed\n' $((checks - failures)) "$failures"
  ((failures == 0))
}
