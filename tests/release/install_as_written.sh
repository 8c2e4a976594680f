#!/usr/bin/env bash
# INSTALL.md followed as written, on a fresh Wine prefix: the release zip is
# unpacked into C:\Program Files\Mirotex, and every line of each ```cmd block
# of the INSTALL.md in the zip runs, in order, with cmd /c; the first line
# that fails fails the test. Then: "calsvar get" printed the sample's
# variables with the sub-tags of the configuration that the steps put into
# the shared folder, and the uninstall step left none of the keys that
# registration wrote (read back with reg query).
#
# The paths: C:\Program Files\Mirotex is the prefix's own. INSTALL.md's
# example shared folder D:\Orbanix\Shared and example file
# D:\Drawings\drawing-a4.cal are found because drive D: of the prefix is a
# folder made here that holds the (empty) shared folder and a copy of
# samples/drawing-a4.cal. No text of INSTALL.md is changed.
#
#   tests/release/install_as_written.sh ZIP
# The prefix and the output of each line stay in build/install-check.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"

zip=$(realpath "${1:?usage: install_as_written.sh ZIP}")
version=$(basename "$zip" | sed -n 's/^mirotex-\(.*\)-win64\.zip$/\1/p')
idl=$root/plugin/mirotex.idl

work=$root/build/install-check
rm -rf "$work"
mkdir -p "$work/drive-d/Orbanix/Shared" "$work/drive-d/Drawings" "$work/run"
cp "$root/samples/drawing-a4.cal" "$work/drive-d/Drawings/"

use_wine_prefix "$work/prefix"
start_wineserver
trap stop_wineserver EXIT
ln -sfn "$work/drive-d" "$WINEPREFIX/dosdevices/d:"
program=$WINEPREFIX/drive_c/Program\ Files/Mirotex

source "$root/tests/release/checks.sh"

# wine_run OUT COMMAND...: a Windows program, its output into OUT.out and
# OUT.err (files, not pipes: Wine's services inherit them). A run that died
# at start, printing nothing, is run once more.
wine_run() {
  local out=$1
  shift
  "$WINE_BIN" "$@" </dev/null >"$out.out" 2>"$out.err"
  local rc=$?
  if ((rc != 0)) && [[ ! -s $out.out && ! -s $out.err ]]; then
    printf 'note: run again after a silent failure: %s\n' "$*"
    "$WINE_BIN" "$@" </dev/null >"$out.out" 2>"$out.err"
    rc=$?
  fi
  return $rc
}

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

keys_are() {  # keys_are present|absent
  local key
  for key in "${keys[@]}"; do
    checks=$((checks + 1))
    wine_run "$work/run/reg-query" reg query "$key"
    local rc=$?
    [[ $1 == present ]] && ((rc == 0)) && continue
    [[ $1 == absent ]] && ((rc == 1)) && continue
    fail "$key is not $1 (reg query exited $rc)"
  done
}

# Unpacked as an administrator would, and the sums the zip gives match.
mkdir -p "$program"
check "unzip $zip" unzip -q "$zip" -d "$program"
check "SHA256SUMS of the zip" bash -c 'cd "$1" && sha256sum --quiet -c SHA256SUMS' _ "$program"

# Line N of block B becomes run/B-N.cmd; the batch file keeps the line's
# quotes as they are (cmd /c with the line as an argument would not).
awk '/^```cmd[[:space:]]*$/ { inside = 1; block++; next }
     /^```/ { inside = 0; next }
     inside && NF { print block "\t" $0 }' "$program/INSTALL.md" >"$work/commands"
mapfile -t lines <"$work/commands"
last_block=$(tail -1 "$work/commands" | cut -f1)
for needed in 'regsvr32 /s' 'reg add' '--version' 'check-config' 'calsvar.exe" get' 'regsvr32 /u'; do
  check "INSTALL.md has no command with: $needed" grep -qF -- "$needed" "$work/commands"
done
grep -qF 'regsvr32 /u' <(grep "^$last_block"$'\t' "$work/commands") || fail "INSTALL.md's last step does not unregister"

number=0
keys_checked=""
for entry in "${lines[@]}"; do
  block=${entry%%$'\t'*}
  line=${entry#*$'\t'}
  number=$((number + 1))
  if ((block == last_block)) && [[ -z $keys_checked ]]; then  # before the uninstall step
    keys_are present
    keys_checked=1
  fi
  name=$work/run/$block-$number
  printf '@echo off\r\n%s\r\nexit /b %%errorlevel%%\r\n' "$line" >"$name.cmd"
  printf '%s\n' "$line" >"$name.line"
  checks=$((checks + 1))
  (cd "$work/run" && wine_run "$name" cmd /c "Z:${name//\//\\}.cmd") ||
    { fail "step $block: \"$line\" exited $?"; sed 's/^/  /' "$name.out" "$name.err"; break; }
done
((failures == 0)) && keys_are absent

output_of() {  # output_of TEXT: stdout of the first line that contains TEXT
  local file
  file=$(grep -lF -- "$1" "$work"/run/*.line | head -1)
  cat "${file%.line}.out" 2>/dev/null
}
expect_output() {  # expect_output COMMAND-TEXT LINE...: that command printed these lines
  local command=$1 wanted
  shift
  for wanted in "$@"; do
    checks=$((checks + 1))
    output_of "$command" | tr -d '\r' | grep -qxF -- "$wanted" || fail "\"$command\" did not print: $wanted"
  done
}
if ((failures == 0)); then
  expect_output '--version' "calsvar $version" "plug-in $version, registered: C:\\Program Files\\Mirotex\\mirotex.dll"
  expect_output 'calsvar.exe" get' $'srcdocid\tDRW-1001-A' $'rpelcnt\t001654,002339' $'width\t1654' \
    $'pelwidth\t001654' $'density\t0200'
fi

finish_checks
