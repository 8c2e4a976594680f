#!/usr/bin/env bash
# INSTALL.md followed as written, on a fresh Wine prefix: every ```cmd block
# of the INSTALL.md in the zip runs, in order, first the package's, then
# the archive's. A block with a Windows program that cmd does not wait for
# (regsvr32, msiexec) is typed into one interactive cmd session, where a
# missing "start /wait" would show; each of its "echo %errorlevel%" lines
# must print 0. Every other line runs as a batch file, and must exit 0.
# Around the blocks the test plays the administrator and checks:
#   the package: installed, the configuration put into the shared folder;
#     repaired after a deleted file and a deleted key; removed, leaving no
#     key; then the older version installed again and upgraded;
#   the archive: the older release extracted and steps 1 to 5 run; "calsvar
#     get" printed the sample's variables with the sub-tags of the
#     configuration; the new release extracted over it (upgrade), the keys
#     present throughout, the new version registered; after the uninstall
#     step none of the keys that registration wrote.
#
# The paths: C:\Program Files\Mirotex is the prefix's own. Drive D: of the
# prefix is a folder made here that holds the host's shared folder
# D:\Orbanix\Shared (recorded in "SharedLocation" as the host's installer
# would) and, under INSTALL.md's example names, the packages: the older
# release as D:\Packages\mirotex-1.0.0-x64.msi, this release as
# D:\Packages\mirotex-1.1.0-x64.msi. No text of INSTALL.md is changed.
#
#   tests/release/install_as_written.sh ZIP MSI OLDER-ZIP OLDER-MSI
# The prefix and the output of each line stay in build/install-check.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"
source "$root/tests/release/checks.sh"
source "$root/tests/release/wine_steps.sh"

usage="usage: install_as_written.sh ZIP MSI OLDER-ZIP OLDER-MSI"
zip=$(realpath "${1:?$usage}")
msi=$(realpath "${2:?$usage}")
older_zip=$(realpath "${3:?$usage}")
older_msi=$(realpath "${4:?$usage}")
version_of() { basename "$1" | sed -n 's/^mirotex-\(.*\)-win64\.zip$/\1/p'; }
version=$(version_of "$zip")
older_version=$(version_of "$older_zip")
idl=$root/plugin/mirotex.idl

work=$root/build/install-check
rm -rf "$work"
mkdir -p "$work/drive-d/Orbanix/Shared" "$work/drive-d/Packages" "$work/run"
cp "$older_msi" "$work/drive-d/Packages/mirotex-1.0.0-x64.msi"
cp "$msi" "$work/drive-d/Packages/mirotex-1.1.0-x64.msi"

use_wine_prefix "$work/prefix"
start_wineserver
trap stop_wineserver EXIT
ln -sfn "$work/drive-d" "$WINEPREFIX/dosdevices/d:"
program=$WINEPREFIX/drive_c/Program\ Files/Mirotex
wine_run "$work/run/shared-location" reg add 'HKLM\Software\Korvane\Applications\Orbanix Enterprise' \
  /v SharedLocation /t REG_SZ /d 'D:\Orbanix\Shared' /f /reg:64 || fail "reg add SharedLocation"

# Every key registration writes, from the IDL: per interface its Interface
# key, per coclass its CLSID and its two ProgIDs (Mirotex.NAME, .1), the
# type library, and the merged proxy/stub's class, whose CLSID is the IID
# of the first interface.
our_keys() {
  local guid="" first_iid="" line
  while IFS= read -r line; do
    if [[ $line =~ uuid\(([0-9A-Fa-f-]{36})\) ]]; then
      guid=${BASH_REMATCH[1]^^}
    elif [[ $line =~ ^[[:space:]]*interface[[:space:]]+[A-Za-z0-9_]+[[:space:]]*: ]]; then
      printf 'HKCR\\Interface\\{%s}\n' "$guid"
      first_iid=${first_iid:-$guid}
    elif [[ $line =~ ^[[:space:]]*library[[:space:]] ]]; then
      printf 'HKCR\\TypeLib\\{%s}\n' "$guid"
    elif [[ $line =~ ^[[:space:]]*coclass[[:space:]]+([A-Za-z0-9_]+) ]]; then
      printf 'HKCR\\CLSID\\{%s}\nHKCR\\Mirotex.%s\nHKCR\\Mirotex.%s.1\n' "$guid" "${BASH_REMATCH[1]}" "${BASH_REMATCH[1]}"
    fi
  done <"$idl"
  printf 'HKCR\\CLSID\\{%s}\n' "$first_iid"
}
mapfile -t keys < <(our_keys)
((${#keys[@]} == 14)) || fail "expected 14 registry keys from $idl, found ${#keys[@]}"
class_server="$(printf '%s\n' "${keys[@]}" | grep -m1 '^HKCR\\CLSID\\')\\InprocServer32"  # the first class's

keys_are() {  # keys_are present|absent WHEN
  local key
  for key in "${keys[@]}"; do
    checks=$((checks + 1))
    wine_run "$work/run/reg-query" reg query "$key"
    local rc=$?
    [[ $1 == present ]] && ((rc == 0)) && continue
    [[ $1 == absent ]] && ((rc == 1)) && continue
    fail "$2: $key is not $1 (reg query exited $rc)"
  done
}

# The blocks: "PART<TAB>BLOCK<TAB>HEADING<TAB>LINE" per line, PART the
# package or the archive, HEADING the last ### heading above the block.
# The zip's INSTALL.md is the one that counts.
unzip -p "$zip" INSTALL.md | awk '/^## The package/ { part = "package" } /^## The archive/ { part = "archive" }
     /^### / { heading = substr($0, 5) }
     /^```cmd[[:space:]]*$/ { inside = 1; block++; next }
     /^```/ { inside = 0; next }
     inside && NF { print part "\t" block "\t" heading "\t" $0 }' >"$work/commands"
for needed in $'package\tInstall\tstart /wait msiexec /i .* /qn /l\\*v' $'package\tRepair\tstart /wait msiexec /i .*REINSTALL=ALL' \
  $'package\tRemove\tstart /wait msiexec /x' $'package\tUpgrade\tstart /wait msiexec /i .*1\\.1\\.0' \
  $'archive\t2\\..*\tstart /wait regsvr32 /s' $'archive\t3\\..*\treg add' $'archive\t4\\..*check-config' \
  $'archive\t5\\..*calsvar.exe" get' $'archive\t6\\. Upgrade\tstart /wait regsvr32 /s' \
  $'archive\t7\\. Uninstall\tstart /wait regsvr32 /u'; do
  check "INSTALL.md has no command like: ${needed//$'\t'/ | }" grep -qE -- "$needed" <(cut -f1,3,4 "$work/commands")
done

# run_block B: the lines of block B; their output in run/B-N.out, N the
# line's number in the block.
run_block() {
  local block=$1 lines=() line number=0
  mapfile -t lines < <(awk -F'\t' -v b="$block" '$2 == b { print $4 }' "$work/commands")
  local name=$work/run/$block
  if printf '%s\n' "${lines[@]}" | grep -qE '(^| )(regsvr32|msiexec)( |$)'; then
    # Typed into an interactive session: a prompt before each line's output.
    printf '%s\r\n' "${lines[@]}" >"$name.in"
    (cd "$work/run" && "$WINE_BIN" cmd <"$name.in" >"$name.out" 2>"$name.err")
    local prompt
    prompt="$(windows_path "$work/run")>"
    tr -d '\r' <"$name.out" | PROMPT=$prompt awk -v base="$name" '
      index($0, ENVIRON["PROMPT"]) == 1 { n++; $0 = substr($0, length(ENVIRON["PROMPT"]) + 1) }
      n > 0 { print > (base "-" n ".out") }'
    for line in "${lines[@]}"; do
      number=$((number + 1))
      printf '%s\n' "$line" >"$name-$number.line"
      touch "$name-$number.out"
      [[ $line == 'echo %errorlevel%' ]] || continue
      checks=$((checks + 1))
      [[ $(grep . "$name-$number.out") == 0 ]] ||
        fail "block $block: the exit code before \"$line\" is \"$(grep . "$name-$number.out")\", not 0"
    done
    return
  fi
  for line in "${lines[@]}"; do  # each line a batch file, which keeps its quotes as they are
    number=$((number + 1))
    printf '@echo off\r\n%s\r\nexit /b %%errorlevel%%\r\n' "$line" >"$name-$number.cmd"
    printf '%s\n' "$line" >"$name-$number.line"
    checks=$((checks + 1))
    (cd "$work/run" && wine_run "$name-$number" cmd /c "$(windows_path "$name-$number.cmd")") ||
      fail "block $block: \"$line\" exited $?"
  done
}

prints() {  # prints BLOCK COMMAND-TEXT LINE...: the lines of BLOCK with COMMAND-TEXT printed these lines
  local block=$1 command=$2 wanted file outputs=()
  for file in "$work/run/$block"-*.line; do
    grep -qF -- "$command" "$file" && outputs+=("${file%.line}.out")
  done
  shift 2
  for wanted in "$@"; do
    checks=$((checks + 1))
    cat "${outputs[@]}" /dev/null | grep -qxF -- "$wanted" || fail "block $block: \"$command\" did not print: $wanted"
  done
}
registered() {  # registered BLOCK VERSION: --version in BLOCK names that version at the program folder
  prints "$1" --version "plug-in $2, registered: C:\\Program Files\\Mirotex\\mirotex.dll"
}

blocks_of() { awk -F'\t' -v p="$1" '$1 == p { print $2 "\t" $3 }' "$work/commands" | uniq; }

# The package.
while IFS=$'\t' read -r block heading; do
  case $heading in
    Repair)  # a file and a class's server key lost
      rm -f "$program/samples/drawing-a4.cal"
      wine_run "$work/run/damage" reg delete "$class_server" /f || fail "reg delete $class_server"
      ;;
    Upgrade)  # the older version installed again, after the removal above
      check "msiexec /i of the older package" wine_run "$work/run/older" msiexec /i 'D:\Packages\mirotex-1.0.0-x64.msi' /qn
      ;;
  esac
  run_block "$block"
  case $heading in
    Install)
      registered "$block" "$older_version"
      check "the package did not put the configuration into the shared folder" \
        cmp "$root/samples/install/FileFormats/Mirotex.ini" "$work/drive-d/Orbanix/Shared/FileFormats/Mirotex.ini"
      ;;
    Repair)
      check "the repair did not put back the sample" test -f "$program/samples/drawing-a4.cal"
      check "the repair did not put back $class_server" wine_run "$work/run/reg-query" reg query "$class_server"
      ;;
    Remove)
      keys_are absent "after the package's removal"
      check "the package's removal left the program folder" test ! -e "$program"
      ;;
    Upgrade) registered "$block" "$version" ;;
  esac
done < <(blocks_of package)
check "msiexec /x of this release" wine_run "$work/run/cleanup" msiexec /x 'D:\Packages\mirotex-1.1.0-x64.msi' /qn
keys_are absent "after the package"

# The archive: the older release unpacked as an administrator would, and
# the sums it gives match.
mkdir -p "$program"
check "unzip $older_zip" unzip -q "$older_zip" -d "$program"
check "SHA256SUMS of the older zip" bash -c 'cd "$1" && sha256sum --quiet -c SHA256SUMS' _ "$program"
while IFS=$'\t' read -r block heading; do
  case $heading in
    *Upgrade)  # the newer release extracted over the older one; the classes stay registered
      keys_are present "before the upgrade"
      check "unzip $zip over the older release" unzip -qo "$zip" -d "$program"
      check "SHA256SUMS of the zip" bash -c 'cd "$1" && sha256sum --quiet -c SHA256SUMS' _ "$program"
      keys_are present "with the new files in place, before registering them"
      ;;
    *Uninstall) keys_are present "before the uninstall step" ;;
  esac
  run_block "$block"
  case $heading in
    *Register*) registered "$block" "$older_version" ;;
    *works)
      prints "$block" 'calsvar.exe" get' $'srcdocid\tDRW-1001-A' $'rpelcnt\t001654,002339' $'width\t1654' \
        $'pelwidth\t001654' $'density\t0200'
      ;;
    *Upgrade) registered "$block" "$version" ;;
    *Uninstall) keys_are absent "after the uninstall step" ;;
  esac
done < <(blocks_of archive)

finish_checks
