#!/usr/bin/env bash
# The Windows Installer package under Wine, as an administrator's software
# distribution would use it (msiexec /qn, with a log), in a fresh prefix
# whose host has recorded its shared folder as %SystemDrive%\Orbanix\Shared
# (REG_EXPAND_SZ):
#   1. install: exit 0; calsvar --version names the installed DLL; calsvar
#      get reads the installed sample with the sub-tags of the sample
#      configuration, which the package put into the empty shared folder;
#   2. every key and value of the plug-in equals what regsvr32 writes for
#      the same DLL at the same path in a second fresh prefix;
#   3. uninstall: exit 0; no file and no key of the plug-in, nothing that
#      names it in the registry, no cached package; "SharedLocation" and the
#      (edited) shared Mirotex.ini stay;
#   4. an older package, then this one (a major upgrade): only the new DLL
#      is present and registered, one product, the registry again equal to
#      regsvr32's, the edited Mirotex.ini untouched;
#   5. the older package over this one: refused (1603), and nothing
#      changed; the refusal's message is the package's launch condition.
#
#   tests/release/msi_package.sh MSI OLDER-MSI
# The prefixes and the logs stay in build/msi-check.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"
source "$root/tests/release/checks.sh"
source "$root/tests/release/wine_steps.sh"

msi=$(realpath "${1:?usage: msi_package.sh MSI OLDER-MSI}")
older=$(realpath "${2:?usage: msi_package.sh MSI OLDER-MSI}")
version_of() { basename "$1" | sed -n 's/^mirotex-\(.*\)-x64\.msi$/\1/p'; }
version=$(version_of "$msi")
older_version=$(version_of "$older")
idl=$root/plugin/mirotex.idl

work=$root/build/msi-check
rm -rf "$work"
mkdir -p "$work/run" "$work/package"
msiextract -C "$work/package" "$msi" >/dev/null || fail "msiextract $msi"
new_dll=$(find "$work/package" -name mirotex.dll)

# 2 first: the registration of regsvr32 in a prefix of its own.
use_wine_prefix "$work/regsvr32-prefix"
start_wineserver
trap stop_wineserver EXIT
mkdir -p "$WINEPREFIX/drive_c/Program Files/Mirotex"
cp "$new_dll" "$WINEPREFIX/drive_c/Program Files/Mirotex/"
check "regsvr32 of the package's DLL" wine_run "$work/run/regsvr32" regsvr32 /s 'C:\Program Files\Mirotex\mirotex.dll'
plugin_registry "$idl" >"$work/regsvr32.reg"
((${#new_dll} > 0)) && grep -q . "$work/regsvr32.reg" || fail "regsvr32 wrote no key of the plug-in"

use_wine_prefix "$work/prefix"
start_wineserver
program=$WINEPREFIX/drive_c/Program\ Files/Mirotex
shared=$WINEPREFIX/drive_c/Orbanix/Shared
mkdir -p "$shared"
wine_run "$work/run/shared-location" reg add 'HKLM\Software\Korvane\Applications\Orbanix Enterprise' \
  /v SharedLocation /t REG_EXPAND_SZ /d '%SystemDrive%\Orbanix\Shared' /f /reg:64 ||
  fail "reg add SharedLocation"

msiexec() {  # msiexec NAME ARGUMENTS...: msiexec ... /qn /l*v NAME.log; its exit code
  local name=$1
  shift
  "$WINE_BIN" msiexec "$@" /qn /l*v "$(windows_path "$work/run")\\$name.log" </dev/null >/dev/null 2>&1
}
expect_exit() {  # expect_exit CODE WHAT COMMAND...: of CODE, the low 8 bits that a Unix exit status keeps
  checks=$((checks + 1))
  "${@:3}"
  local rc=$?
  ((rc == ($1 & 255))) || fail "$2 exited $rc, expected $1 (& 255)"
}
calsvar_prints() {  # calsvar_prints ARGUMENT LINE...: calsvar.exe ARGUMENT printed these lines
  local out=$work/run/calsvar
  wine_run "$out" 'C:\Program Files\Mirotex\calsvar.exe' "$1"
  local wanted
  for wanted in "${@:2}"; do
    checks=$((checks + 1))
    tr -d '\r' <"$out.out" | grep -qxF -- "$wanted" || fail "calsvar $1 did not print: $wanted"
  done
}
same_registry() {  # same_registry WHEN: the plug-in's keys equal regsvr32's
  checks=$((checks + 1))
  plugin_registry "$idl" >"$work/package-$1.reg"
  start_wineserver
  diff -u "$work/regsvr32.reg" "$work/package-$1.reg" >"$work/registry-$1.diff" ||
    { fail "the plug-in's keys $1 differ from regsvr32's (< regsvr32, > package):"; sed 's/^/  /' "$work/registry-$1.diff" | head -40; }
}
# What names the plug-in in the registry or under drive C:, but the kept
# shared configuration and the installer's record of it (the permanent
# component's "system client").
plugin_left() {
  "$WINESERVER_BIN" -k 2>/dev/null
  "$WINESERVER_BIN" -w
  grep -i mirotex "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" | grep -vF 'Shared\\FileFormats\\Mirotex.ini"'
  plugin_registry "$idl"
  start_wineserver
  (cd "$WINEPREFIX/drive_c" && find . -iname '*mirotex*' -not -path ./Orbanix/Shared/FileFormats/Mirotex.ini;
   find ./windows/Installer -name '*.msi' 2>/dev/null)
}

# 1. Install.
expect_exit 0 "msiexec /i $(basename "$msi")" msiexec install /i "$(windows_path "$msi")"
check "mirotex.dll is not the package's" cmp "$program/mirotex.dll" "$new_dll"
calsvar_prints --version "calsvar $version" "plug-in $version, registered: C:\\Program Files\\Mirotex\\mirotex.dll"
wine_run "$work/run/get" 'C:\Program Files\Mirotex\calsvar.exe' get 'C:\Program Files\Mirotex\samples\drawing-a4.cal'
for wanted in $'srcdocid\tDRW-1001-A' $'width\t1654' $'pelwidth\t001654' $'density\t0200'; do
  checks=$((checks + 1))
  tr -d '\r' <"$work/run/get.out" | grep -qxF -- "$wanted" || fail "calsvar get of the installed sample did not print: $wanted"
done
check "the sample configuration is not in the shared folder" \
  cmp "$root/samples/install/FileFormats/Mirotex.ini" "$shared/FileFormats/Mirotex.ini"

# 2. The registry against regsvr32's.
same_registry after-install

# 3. Uninstall, after an administrator's edit of the shared configuration.
printf '; edited by the administrator\r\n' >>"$shared/FileFormats/Mirotex.ini"
cp "$shared/FileFormats/Mirotex.ini" "$work/edited.ini"
expect_exit 0 "msiexec /x" msiexec uninstall /x "$(windows_path "$msi")"
checks=$((checks + 1))
plugin_left >"$work/left.txt"
[[ ! -s $work/left.txt ]] || { fail "uninstall left:"; sed 's/^/  /' "$work/left.txt" | head -20; }
check "uninstall did not keep the edited shared Mirotex.ini" cmp "$work/edited.ini" "$shared/FileFormats/Mirotex.ini"
check "uninstall removed SharedLocation" wine_run "$work/run/query" reg query \
  'HKLM\Software\Korvane\Applications\Orbanix Enterprise' /v SharedLocation /reg:64

# 4. The older package, then this one.
expect_exit 0 "msiexec /i $(basename "$older")" msiexec older /i "$(windows_path "$older")"
calsvar_prints --version "plug-in $older_version, registered: C:\\Program Files\\Mirotex\\mirotex.dll"
expect_exit 0 "msiexec /i $(basename "$msi") over $older_version" msiexec upgrade /i "$(windows_path "$msi")"
calsvar_prints --version "plug-in $version, registered: C:\\Program Files\\Mirotex\\mirotex.dll"
check "after the upgrade, mirotex.dll is not the new one" cmp "$program/mirotex.dll" "$new_dll"
same_registry after-upgrade
check "the upgrade changed the edited shared Mirotex.ini" cmp "$work/edited.ini" "$shared/FileFormats/Mirotex.ini"
checks=$((checks + 1))
products=$(grep -c '^"ProductName"="Mirotex' "$WINEPREFIX/system.reg")
((products == 1)) || fail "$products products named Mirotex are installed after the upgrade, expected 1"

# 5. The older one over this one.
expect_exit 1603 "msiexec /i $(basename "$older") over $version" msiexec downgrade /i "$(windows_path "$older")"
# Wine shows the refusal's message only in a message box, never in the log:
# the package must hold it as the launch condition's text.
checks=$((checks + 1))
msiinfo export "$older" LaunchCondition | grep -q $'^NOT WIX_DOWNGRADE_DETECTED\tA newer version of Mirotex is already installed' ||
  fail "the older package has no launch condition that refuses a downgrade with a message"
calsvar_prints --version "plug-in $version, registered: C:\\Program Files\\Mirotex\\mirotex.dll"
check "the refused downgrade changed mirotex.dll" cmp "$program/mirotex.dll" "$new_dll"

finish_checks
