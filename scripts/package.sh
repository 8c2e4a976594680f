#!/usr/bin/env bash
# Builds the release and writes dist/mirotex-<version>-win64.zip: mirotex.dll
# and calsvar.exe (windows-release preset: stripped, reproducible), the
# sample tag configuration as FileFormats/Mirotex.ini, INSTALL.md and
# SHA256SUMS. Two runs from the same commit give the same bytes, whatever
# the build folder: the zip's times are the commit's time, its entries are
# sorted, with fixed permissions and no extra fields.
#
#   scripts/package.sh [--build-dir DIR] [--out DIR]
#     --build-dir DIR   the build tree (default: build/windows-release)
#     --out DIR         where the zip goes (default: dist)
# Prints the zip's path on stdout.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MIROTEX_ROOT"

fail() {
  log "$*"
  exit 1
}

build_dir=build/windows-release
out_dir=dist
while (($#)); do
  case $1 in
    --build-dir) build_dir=${2:?--build-dir needs a folder}; shift 2 ;;
    --out) out_dir=${2:?--out needs a folder}; shift 2 ;;
    *) fail "unknown argument \"$1\"; usage: scripts/package.sh [--build-dir DIR] [--out DIR]" ;;
  esac
done
build_dir=$(realpath -m "$build_dir")
out_dir=$(realpath -m "$out_dir")

ensure_packages || fail "the packages needed to build could not be installed"

# The commit's time stands for every time the release holds; a tree with
# uncommitted changes builds, but its zip is not that commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) || fail "no git commit to take the release time from"
export SOURCE_DATE_EPOCH
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
  log "note: the work tree has uncommitted changes; this zip is not the commit's"

mkdir -p "$build_dir" "$out_dir"
build_log=$build_dir/package-build.log
log "building mirotex.dll and calsvar.exe in $build_dir"
{ cmake --preset windows-release -B "$build_dir" &&
  cmake --build "$build_dir" --target mirotex calsvar -j "$(nproc)"; } >"$build_log" 2>&1 ||
  { grep -E "error|Error" "$build_log" | tail -20 >&2; fail "the build failed (log: $build_log)"; }

version=$(sed -n 's/^#define MIROTEX_VERSION_TEXT "\(.*\)"$/\1/p' "$build_dir/base/version.h")
[[ -n $version ]] || fail "no version in $build_dir/base/version.h"
zip_path=$out_dir/mirotex-$version-win64.zip

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/FileFormats"
cp "$build_dir/module/mirotex.dll" "$build_dir/module/calsvar.exe" INSTALL.md "$stage/"
cp samples/install/FileFormats/Mirotex.ini "$stage/FileFormats/"
sums=$(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | xargs sha256sum) || fail "sha256sum failed"
printf '%s\n' "$sums" >"$stage/SHA256SUMS"

# zip keeps each file's mode and time (as local time: hence TZ=UTC), and
# takes options from ZIP and ZIPOPT; -X leaves out the extra fields (Unix
# ids, extended times), -D the folder entries.
find "$stage" -type f -exec chmod 0644 {} + -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$zip_path"
(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort |
  env -u ZIP -u ZIPOPT TZ=UTC zip -q -X -D -9 "$zip_path" -@) || fail "zip failed"
log "wrote $zip_path ($(stat -c %s "$zip_path") bytes)"
printf '%s\n' "$zip_path"
