# The release tests' counting: check WHAT COMMAND... runs one check, fail
# WHAT records a failure, and finish_checks prints "N passed, M failed" and
# gives the script's exit status.
checks=0
failures=0
fail() {
  printf 'FAIL: %s\n' "$*"
  failures=$((failures + 1))
}
check() {  # check WHAT COMMAND...: one check, that the command succeeds
  checks=$((checks + 1))
  "${@:2}" || fail "$1"
}
finish_checks() {
  printf '%d passed, %d failed\n' $((checks - failures)) "$failures"
  ((failures == 0))
}
