#!/usr/bin/env bash
# scripts/package.sh twice, in two build trees at different paths: the two
# zips must be the same bytes. Also what the zip holds, and that the PE
# files in it are stripped. The zips stay in build/package-check/first and
# second (tests/release/install_as_written.sh takes the first).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"
cd "$root"

work=build/package-check
rm -rf "$work/first" "$work/second"

source "$root/tests/release/checks.sh"

first=$(scripts/package.sh --out "$work/first") || { fail "scripts/package.sh failed"; first=""; }
second=$(scripts/package.sh --build-dir "$work/a-second-build-tree" --out "$work/second") ||
  { fail "scripts/package.sh in a second build tree failed"; second=""; }

if [[ -f $first && -f $second ]]; then
  check "the two builds differ" cmp "$first" "$second"
  sha256sum "$first" "$second"
  check "the zip holds other files" diff <(unzip -Z1 "$first") \
    <(printf '%s\n' FileFormats/Mirotex.ini INSTALL.md SHA256SUMS calsvar.exe mirotex.dll)
  mkdir -p "$work/unpacked" && unzip -qo "$first" mirotex.dll calsvar.exe -d "$work/unpacked"
  for pe in mirotex.dll calsvar.exe; do
    checks=$((checks + 1))
    x86_64-w64-mingw32-objdump -h -t "$work/unpacked/$pe" | grep -qE 'debug|\[ *[0-9]+\]\(sec' &&
      fail "$pe has symbols or debug information"
  done
fi

finish_checks
