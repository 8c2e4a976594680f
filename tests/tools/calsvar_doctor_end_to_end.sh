#!/usr/bin/env bash
# calsvar doctor under Wine: each row breaks one thing in a fresh prefix and
# expects doctor's exit code and the line that names the fault. A prefix
# with the plug-in registered and "SharedLocation" set is prepared once;
# each row runs in a copy of it (files hard-linked, registry and user
# folders copied: far quicker than a new prefix, and as fresh). Expects
# CALSVAR_BUILD_DIR (a windows build tree with mirotex.dll and calsvar.exe),
# CALSVAR_PREFIX (where the empty prefix is kept between runs) and
# MIROTEX_VERSION from the test registration.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"
source "$root/tests/release/checks.sh"

exe=$CALSVAR_BUILD_DIR/module/calsvar.exe
dll=$CALSVAR_BUILD_DIR/module/mirotex.dll
work=$(mktemp -d)
cleanup() {
  stop_wineserver
  chattr -R -i "$work" 2>/dev/null
  chmod -R u+w "$work"
  rm -rf "$work"
}
trap cleanup EXIT

wine_quiet() { "$WINE_BIN" "$@" </dev/null >/dev/null 2>&1; }
classes=$(sed -n 's/.*ForceRemove \({[^}]*}\).*/\1/p' "$root"/module/cals_*.rgs)
libid=$(sed -n "s/.*'TypeLib' = s '\({[^}]*}\)'.*/\1/p" "$root/module/cals_format.rgs")
product='HKLM\Software\Korvane\Applications\Orbanix Enterprise'

# The shared folder with the sample configuration; a broken one beside it.
mkdir -p "$work/shared/FileFormats" "$work/broken/FileFormats" "$work/moved" "$work/other"
cp "$root/samples/install/FileFormats/Mirotex.ini" "$work/shared/FileFormats/"
printf '[rorient]\r\nTagnames=a;b\r\nTagpositions=1-3;7-5\r\n' >"$work/broken/FileFormats/Mirotex.ini"

# copy_prefix FROM TO: a prefix as fresh as FROM: its files hard-linked,
# but the registry and the users' folders, which Wine changes, copied.
copy_prefix() {
  cp -al "$1" "$2"
  rm -rf "$2"/*.reg "$2/drive_c/users"
  cp -a "$1"/*.reg "$2/"
  cp -a "$1/drive_c/users" "$2/drive_c/"
}

# The installed state: registered, "SharedLocation" set.
use_wine_prefix "$CALSVAR_PREFIX"
copy_prefix "$CALSVAR_PREFIX" "$work/base"
use_wine_prefix "$work/base"
start_wineserver
wine_quiet regsvr32 /s "$(windows_path "$dll")" || fail "regsvr32 failed in the prepared prefix"
wine_quiet reg add "$product" /v SharedLocation /t REG_SZ /d "$(windows_path "$work/shared")" /f
stop_wineserver
"$WINESERVER_BIN" -w

# The breaks, one per row.
all_in_order() { :; }
nothing_registered() { wine_quiet regsvr32 /u /s "$(windows_path "$dll")"; }
server_file_missing() {
  cp "$dll" "$work/moved/mirotex.dll"
  wine_quiet regsvr32 /s "$(windows_path "$work/moved/mirotex.dll")"
  rm "$work/moved/mirotex.dll"
}
only_32_bit_view() {
  local clsid
  for clsid in $classes; do
    wine_quiet reg copy "HKCR\\CLSID\\$clsid" "HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid" /s /f
    wine_quiet reg delete "HKCR\\CLSID\\$clsid" /f
  done
}
progid_missing() { wine_quiet reg delete 'HKCR\Mirotex.CalsFile' /f; }
type_library_missing() { wine_quiet reg delete "HKCR\\TypeLib\\$libid" /f; }
shared_location_missing() { wine_quiet reg delete "$product" /v SharedLocation /f; }
shared_folder_missing() {
  wine_quiet reg add "$product" /v SharedLocation /t REG_SZ /d "$(windows_path "$work")\\nowhere" /f
}
ini_fails_loads() {
  wine_quiet reg add "$product" /v SharedLocation /t REG_SZ /d "$(windows_path "$work/broken")" /f
}
# calsvar.exe in a second program folder, beside a DLL whose version
# resource says 9.8.7; the registered DLL stays the build's.
other_version_beside() {
  cp "$exe" "$work/other/calsvar.exe"
  perl -0777 -pe 's/\xBD\x04\xEF\xFE(....)(........)/"\xBD\x04\xEF\xFE$1" . pack("vvvv", 8, 9, 0, 7)/se' \
    "$dll" >"$work/other/mirotex.dll"
  doctor_exe=$work/other/calsvar.exe
}
temporary_folder_read_only() {
  local temp=$WINEPREFIX/drive_c/users/$(whoami)/Temp
  chmod a-w "$temp"
  # Root writes into any folder; an immutable one stops it too.
  if [[ $(id -u) == 0 ]]; then chattr +i "$temp" || fail "chattr +i is needed to make a folder read-only as root"; fi
}

#  break                      exit  expected line: status<TAB>what<TAB>start of what was found
rows=(
  "all_in_order               0     ok	round trip on a temporary copy of a sample	in \"C:\\users\\"
  "nothing_registered         1     error	CalsFormat: class	not registered (no HKEY_CLASSES_ROOT\\CLSID\\{"
  "server_file_missing        1     error	CalsFile: in-process server	\"$(windows_path "$work")\\moved\\mirotex.dll\" does not exist"
  "only_32_bit_view           1     error	CalsPreview: class	registered only in the 32-bit view (WOW6432Node): a 32-bit host would see it; this host is 64-bit"
  "progid_missing             1     error	CalsFile: ProgIDs	Mirotex.CalsFile is not registered: register the plug-in again"
  "type_library_missing       1     error	type library	HKEY_CLASSES_ROOT\\TypeLib\\$libid is not registered: register the plug-in again"
  "shared_location_missing    1     error	\"SharedLocation\"	missing under HKEY_LOCAL_MACHINE\\"
  "shared_folder_missing      1     error	shared folder	\"$(windows_path "$work")\\nowhere\\\" cannot be reached"
  "ini_fails_loads            1     error	tag configuration	1 section(s) checked, 1 would make loads fail, 0 warning(s)"
  "other_version_beside       0     warning	program folder	two program folders: the host loads \"$(windows_path "$dll")\" ($MIROTEX_VERSION), while mirotex.dll beside calsvar.exe is \"$(windows_path "$work")\\other\\mirotex.dll\" (9.8.7)"
  "temporary_folder_read_only 1     error	round trip on a temporary copy of a sample	step \"copy\" failed: the sample cannot be written into the temporary folder"
)

number=0
for row in "${rows[@]}"; do
  read -r break want expected <<<"$row"
  number=$((number + 1))
  doctor_exe=$exe
  copy_prefix "$work/base" "$work/prefix-$number"
  use_wine_prefix "$work/prefix-$number"
  start_wineserver
  $break
  out=$work/$break
  "$WINE_BIN" "$doctor_exe" doctor </dev/null >"$out.out" 2>"$out.err"
  got=$?
  if ((got > 1)) && [[ ! -s $out.out && ! -s $out.err ]]; then  # Wine did not start it
    printf 'note: %s: run again after a silent failure\n' "$break"
    "$WINE_BIN" "$doctor_exe" doctor </dev/null >"$out.out" 2>"$out.err"
    got=$?
  fi
  [[ $break == all_in_order ]] && "$WINE_BIN" "$doctor_exe" doctor --json </dev/null >"$out.json" 2>&1
  stop_wineserver
  checks=$((checks + 1))
  ((got == want)) || fail "$break: doctor exited $got, expected $want"
  checks=$((checks + 1))
  grep -qF -- "$expected" "$out.out" || { fail "$break: no line starting: $expected"; sed 's/^/  /' "$out.out" "$out.err"; }
done

# Everything in order: every check ok, and --json says the same.
total=$(grep -c $'^ok\t' "$work/all_in_order.out")
check "all in order: not every line ok" test "$(tail -1 "$work/all_in_order.out")" = "$total checks: $total ok, 0 warnings, 0 errors"
check "all in order: --json" grep -qF "\"summary\": {\"checks\": $total, \"ok\": $total, \"warnings\": 0, \"errors\": 0}}" "$work/all_in_order.json"
# Nothing was left in the temporary folders.
check "a temporary copy was left behind" test -z "$(find "$work"/prefix-*/drive_c/users -name 'calsvar-doctor-*')"

finish_checks
