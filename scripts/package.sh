#!/usr/bin/env bash
# Builds the release and writes, in dist/:
#   mirotex-<version>-win64.zip   mirotex.dll and calsvar.exe (windows-release
#       preset: stripped, reproducible), the sample tag configuration as
#       FileFormats/Mirotex.ini, samples/drawing-a4.cal, INSTALL.md and
#       SHA256SUMS
#   mirotex-<version>-x64.msi     the Windows Installer package of the same
#       files but SHA256SUMS, per machine into [ProgramFiles64Folder]Mirotex,
#       its COM registration in its own registry table
#       (scripts/lib/msi_package.sh)
# Two runs from the same commit give the same bytes, whatever the build
# folder: the zip's times are the commit's time, its entries are sorted,
# with fixed permissions and no extra fields; the package's codes and times
# are derived from the version and the commit.
#
#   scripts/package.sh [--build-dir DIR] [--out DIR] [--sign PFX] [--version VERSION]
#     --build-dir DIR     the build tree (default: build/windows-release)
#     --out DIR           where the files go (default: dist)
#     --sign PFX          sign mirotex.dll, calsvar.exe and the package with
#                         the certificate and key of PFX (osslsigncode); the
#                         PFX's password is read from $MIROTEX_SIGN_PASSWORD
#     --version VERSION   release under VERSION (MAJOR.MINOR.PATCH) instead of
#                         CMakeLists.txt's; the release tests build an older
#                         package with it
# Prints the zip's and the package's paths on stdout, one a line.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lib/msi_package.sh"
cd "$MIROTEX_ROOT"

fail() {
  log "$*"
  exit 1
}

usage="usage: scripts/package.sh [--build-dir DIR] [--out DIR] [--sign PFX] [--version VERSION]"
build_dir=build/windows-release
out_dir=dist
pfx=""
version_override=""
while (($#)); do
  case $1 in
    --build-dir) build_dir=${2:?--build-dir needs a folder}; shift 2 ;;
    --out) out_dir=${2:?--out needs a folder}; shift 2 ;;
    --sign) pfx=${2:?--sign needs a PFX file}; shift 2 ;;
    --version) version_override=${2:?--version needs MAJOR.MINOR.PATCH}; shift 2 ;;
    *) fail "unknown argument \"$1\"; $usage" ;;
  esac
done
build_dir=$(realpath -m "$build_dir")
out_dir=$(realpath -m "$out_dir")
if [[ -n $pfx ]]; then
  [[ -r $pfx ]] || fail "$pfx: no such file, or not readable; --sign needs the PFX (PKCS#12) file of the certificate"
  [[ -n ${MIROTEX_SIGN_PASSWORD+set} ]] ||
    fail "--sign $pfx: set MIROTEX_SIGN_PASSWORD to the PFX's password (empty for none)"
  pfx=$(realpath "$pfx")
fi
[[ -z $version_override || $version_override =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  fail "--version \"$version_override\" is not MAJOR.MINOR.PATCH"

ensure_packages || fail "the packages needed to build could not be installed"

# The commit's time stands for every time the release holds; a tree with
# uncommitted changes builds, but its files are not that commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) || fail "no git commit to take the release time from"
export SOURCE_DATE_EPOCH
commit=$(git rev-parse HEAD)
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
  log "note: the work tree has uncommitted changes; this release is not the commit's"

mkdir -p "$build_dir" "$out_dir"
build_log=$build_dir/package-build.log
log "building mirotex.dll and calsvar.exe in $build_dir"
{ cmake --preset windows-release -B "$build_dir" "-DMIROTEX_VERSION_OVERRIDE=$version_override" &&
  cmake --build "$build_dir" --target mirotex calsvar -j "$(nproc)"; } >"$build_log" 2>&1 ||
  { grep -E "error|Error" "$build_log" | tail -20 >&2; fail "the build failed (log: $build_log)"; }
registration_tool=$(build_registration_tool "$build_dir") ||
  fail "the build of tools/msi_registry failed (log: $build_dir/package-host-build.log)"

version=$(sed -n 's/^#define MIROTEX_VERSION_TEXT "\(.*\)"$/\1/p' "$build_dir/base/version.h")
[[ -n $version ]] || fail "no version in $build_dir/base/version.h"
zip_path=$out_dir/mirotex-$version-win64.zip
msi_path=$out_dir/mirotex-$version-x64.msi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/FileFormats" "$stage/samples"
cp "$build_dir/module/mirotex.dll" "$build_dir/module/calsvar.exe" INSTALL.md "$stage/"
cp samples/install/FileFormats/Mirotex.ini "$stage/FileFormats/"
cp samples/drawing-a4.cal "$stage/samples/"

# sign FILE: an Authenticode signature with the PFX's certificate, SHA-256.
# The password goes through a pipe, not the command line.
sign() {
  local signed=$1.signed
  osslsigncode sign -pkcs12 "$pfx" -readpass <(printf '%s' "$MIROTEX_SIGN_PASSWORD") -h sha256 \
    -n "Mirotex $version" -in "$1" -out "$signed" >"$build_dir/package-sign.log" 2>&1 &&
    mv "$signed" "$1" ||
    { cat "$build_dir/package-sign.log" >&2; fail "signing $(basename "$1") with $pfx failed"; }
}
if [[ -n $pfx ]]; then
  log "signing mirotex.dll and calsvar.exe with $pfx"
  sign "$stage/mirotex.dll"
  sign "$stage/calsvar.exe"
fi

# Every file carries the commit's time; zip keeps each file's mode and time
# (as local time: hence TZ=UTC), and takes options from ZIP and ZIPOPT; -X
# leaves out the extra fields (Unix ids, extended times), -D the folder
# entries.
find "$stage" -type f -exec chmod 0644 {} + -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
log "writing $msi_path"
write_msi "$registration_tool" "$stage" "$version" "$commit" "$msi_path" || fail "the package could not be built"
[[ -z $pfx ]] || { log "signing $(basename "$msi_path")"; sign "$msi_path"; }

sums=$(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | xargs sha256sum) || fail "sha256sum failed"
printf '%s\n' "$sums" >"$stage/SHA256SUMS"
touch -h -d "@$SOURCE_DATE_EPOCH" "$stage/SHA256SUMS"
rm -f "$zip_path"
(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort |
  env -u ZIP -u ZIPOPT TZ=UTC zip -q -X -D -9 "$zip_path" -@) || fail "zip failed"
log "wrote $zip_path ($(stat -c %s "$zip_path") bytes) and $msi_path ($(stat -c %s "$msi_path") bytes)"
printf '%s\n' "$zip_path" "$msi_path"
