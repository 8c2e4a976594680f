#!/usr/bin/env bash
# Checks that includes keep to the layers (scripts/check_layers.sh), then
# builds every preset and runs every test: the portable core natively, again
# under AddressSanitizer/UBSan/LeakSanitizer, again under ThreadSanitizer
# (among them the concurrency test of the core), the Windows build under
# Wine, and the release: zip and package reproducible, the package installed,
# upgraded and removed, signing, and INSTALL.md's commands as written.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MIROTEX_ROOT"

ensure_packages || { log "package installation failed"; exit 1; }

JOBS=$(nproc)
declare -A SUMMARY=()
FAILED=0

summary_of() {  # last "tests passed" line of a ctest log
  grep -E "tests passed|tests failed" "$1" | tail -1
}

# Under Wine a test program now and then fails to start at all (it ends at
# once with no output). Failed Windows tests are run once more, and the
# summary names every test that needed it, so a real flaky test stays
# visible.
retry_failed_windows_tests() {
  local log_file=$1
  local failed
  failed=$(grep -E '^\s+[0-9]+ - .* \((Failed|Timeout|Exception)' "$log_file" | sed -E 's/^\s+[0-9]+ - ([^ ]+) .*/\1/')
  [[ -n "$failed" ]] || return 1
  log "retrying under Wine: $(echo $failed)"
  ctest --preset windows --rerun-failed >"${log_file%.log}-retry.log" 2>&1 || return 1
  local total
  total=$(summary_of "$log_file" | grep -oE '[0-9]+$')
  SUMMARY[windows]="100% of $total tests passed, after one retry of: $(echo $failed)"
}

run_preset() {
  local preset=$1
  local log_file="build/$preset-ctest.log"
  mkdir -p build
  log "configure $preset"
  if ! cmake --preset "$preset" >"build/$preset-configure.log" 2>&1; then
    cat "build/$preset-configure.log"
    SUMMARY[$preset]="configure failed"
    FAILED=1
    return
  fi
  log "build $preset"
  if ! cmake --build --preset "$preset" -j "$JOBS" >"build/$preset-build.log" 2>&1; then
    grep -E "error|Error" "build/$preset-build.log" | head -50
    SUMMARY[$preset]="build failed"
    FAILED=1
    return
  fi
  log "test $preset"
  if ctest --preset "$preset" >"$log_file" 2>&1; then
    SUMMARY[$preset]="$(summary_of "$log_file")"
  elif [[ $preset == windows ]] && retry_failed_windows_tests "$log_file"; then
    :
  else
    grep -E "Failed|\*\*\*" "$log_file" | head -50
    SUMMARY[$preset]="$(summary_of "$log_file") (FAILED, see $log_file)"
    FAILED=1
  fi
}

log "check layers"
if scripts/check_layers.sh; then
  SUMMARY[layers]="includes keep to scripts/layers.txt"
else
  SUMMARY[layers]="FAILED: includes that reach up or across (above)"
  FAILED=1
fi

# A check script of its own (its last line is "N passed, M failed"), timed.
run_check() {
  local name=$1
  shift
  local log_file="build/$name-check.log"
  local start=$SECONDS
  log "check $name"
  if bash "$@" >"$log_file" 2>&1; then
    SUMMARY[$name]="$(tail -1 "$log_file") in $((SECONDS - start)) s"
  else
    grep -E "^FAIL" "$log_file" | head -50
    SUMMARY[$name]="$(tail -1 "$log_file") (FAILED, see $log_file)"
    FAILED=1
  fi
}

run_preset native
run_preset native-asan
run_preset native-tsan

use_wine_prefix "$MIROTEX_ROOT/build/windows/wineprefix"
start_wineserver
trap stop_wineserver EXIT
run_preset windows
stop_wineserver
trap - EXIT

# The release (zip and Windows Installer package), built twice in two build
# trees: the same bytes; the package installed, compared with regsvr32's
# registration, upgraded and removed under Wine; signing with a throw-away
# certificate; then INSTALL.md's commands as written, in a Wine prefix of
# their own.
run_check package tests/release/reproducible_package.sh
release=(build/package-check/first/mirotex-*-win64.zip build/package-check/first/mirotex-*-x64.msi)
older=(build/package-check/older/mirotex-*-win64.zip build/package-check/older/mirotex-*-x64.msi)
run_check msi tests/release/msi_package.sh "${release[1]}" "${older[1]}"
run_check signing tests/release/signed_package.sh "${release[0]}"
run_check install tests/release/install_as_written.sh "${release[@]}" "${older[@]}"

echo
echo "== test summary"
for preset in layers native native-asan native-tsan windows package msi signing install; do
  printf '%-12s %s\n' "$preset" "${SUMMARY[$preset]:-not run}"
done
exit $FAILED
