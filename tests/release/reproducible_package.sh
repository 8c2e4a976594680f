#!/usr/bin/env bash
# scripts/package.sh twice, in two build trees at different paths: the two
# zips must be the same bytes, and so must the two Windows Installer
# packages. Also what the zip and the package hold, that the PE files are
# stripped, and that the package registers the plug-in through its registry
# table only (no self-registration, no custom action). Then the second tree
# builds the release once more under an older version, for the upgrade
# tests.
# Everything stays in build/package-check: first/ and second/ (the zip and
# the package of each build), older/ (the older release).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"
cd "$root"

work=build/package-check
rm -rf "$work/first" "$work/second" "$work/older" "$work/unpacked"

source "$root/tests/release/checks.sh"

mapfile -t first < <(scripts/package.sh --out "$work/first")
((${#first[@]} == 2)) || fail "scripts/package.sh failed"
mapfile -t second < <(scripts/package.sh --build-dir "$work/a-second-build-tree" --out "$work/second")
((${#second[@]} == 2)) || fail "scripts/package.sh in a second build tree failed"

if ((${#first[@]} == 2 && ${#second[@]} == 2)); then
  check "the two builds' zips differ" cmp "${first[0]}" "${second[0]}"
  check "the two builds' packages differ" cmp "${first[1]}" "${second[1]}"
  ls -l "${first[@]}"
  sha256sum "${first[@]}" "${second[@]}"
  zip=${first[0]}
  msi=${first[1]}
  check "the zip holds other files" diff <(unzip -Z1 "$zip") \
    <(printf '%s\n' FileFormats/Mirotex.ini INSTALL.md SHA256SUMS calsvar.exe mirotex.dll samples/drawing-a4.cal)
  mkdir -p "$work/unpacked" && unzip -qo "$zip" mirotex.dll calsvar.exe -d "$work/unpacked"
  for pe in mirotex.dll calsvar.exe; do
    checks=$((checks + 1))
    x86_64-w64-mingw32-objdump -h -t "$work/unpacked/$pe" | grep -qE 'debug|\[ *[0-9]+\]\(sec' &&
      fail "$pe has symbols or debug information"
  done
  check "the package holds other files" diff <(msiextract -l "$msi" | LC_ALL=C sort) \
    <(printf '%s\n' Mirotex/{FileFormats/Mirotex.ini,INSTALL.md,calsvar.exe,mirotex.dll,samples/drawing-a4.cal} \
      FileFormats/Mirotex.ini | LC_ALL=C sort)
  check "the package has a self-registration table" bash -c '! msiinfo tables "$1" | grep -qx SelfReg' _ "$msi"
  check "the package has custom actions" test -z "$(msiinfo export "$msi" CustomAction | tail -n +4)"
fi

# An older release than this one, from the second tree: only the files that
# hold the version are built again.
version=$(basename "${first[0]:-x-0.0.0-}" | sed -n 's/^mirotex-\([0-9]*\)\.\([0-9]*\)\.\([0-9]*\)-win64\.zip$/\1 \2 \3/p')
read -r major minor patch <<<"$version"
if ((patch > 0)); then older="$major.$minor.$((patch - 1))"; elif ((minor > 0)); then older="$major.$((minor - 1)).0"
else older="$((major - 1)).0.0"; fi
mapfile -t older_files < <(scripts/package.sh --build-dir "$work/a-second-build-tree" --out "$work/older" --version "$older")
((${#older_files[@]} == 2)) || fail "scripts/package.sh --version $older failed"

finish_checks
