# The Windows Installer package of scripts/package.sh, built on Linux with
# wixl from packaging/mirotex.wxs. Sourced after scripts/lib/common.sh.
#
# Same bytes from the same commit: the package code is a name-based GUID of
# the version, the commit and the files' sums; the product code one of the
# version only (one product per version, so that a rebuild of a version
# does not install beside itself); every time in the package (the summary
# information's and the cabinet's) is the commit's.
#
# What wixl 0.101 cannot say is set in the built database with msibuild:
# the shared configuration's component condition (SHAREDLOCATION found),
# and its attributes Permanent (uninstall keeps it) and NeverOverwrite (a
# Mirotex.ini that is there is kept).

MSI_UPGRADE_CODE=9EE7650D-FE94-4775-8021-F463D13E7583

# name_uuid NAMESPACE NAME: an RFC 4122 version 5 (SHA-1, name-based) GUID.
name_uuid() {
  local namespace_hex=${1//-/} hash
  hash=$({ printf "$(sed 's/../\\x&/g' <<<"$namespace_hex")"; printf '%s' "$2"; } | sha1sum | cut -c1-32)
  local variant=$(printf '%x' $(((0x${hash:16:1} & 0x3) | 0x8)))
  printf '%s-%s-5%s-%s%s-%s\n' "${hash:0:8}" "${hash:8:4}" "${hash:13:3}" "$variant" "${hash:17:3}" "${hash:20:12}" |
    tr a-f A-F
}

# build_registration_tool BUILD_DIR: the native msi_registry (its path on
# stdout), built in BUILD_DIR/host.
build_registration_tool() {
  local host=$1/host
  { cmake --preset native -B "$host" -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$host" --target msi_registry -j "$(nproc)"; } >"$1/package-host-build.log" 2>&1 ||
    { grep -E "error|Error" "$1/package-host-build.log" | tail -20 >&2; return 1; }
  printf '%s\n' "$host/tools/msi_registry/msi_registry"
}

# write_msi TOOL STAGE VERSION COMMIT MSI: the package of the files in
# STAGE (as scripts/package.sh lays them out). SOURCE_DATE_EPOCH is set.
write_msi() {
  local tool=$1 stage=$2 version=$3 commit=$4 msi=$5
  local work
  work=$(mktemp -d) || return 1
  "$tool" --module '[#mirotex.dll]' --module-folder '[INSTALLFOLDER]' --idl "$MIROTEX_ROOT/plugin/mirotex.idl" \
    --out "$work/registration.wxi" "$MIROTEX_ROOT"/module/*.rgs || { rm -rf "$work"; return 1; }

  local sums product_code package_code when
  sums=$(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | xargs sha256sum | sha256sum | cut -c1-64)
  product_code=$(name_uuid "$MSI_UPGRADE_CODE" "product $version")
  package_code=$(name_uuid "$MSI_UPGRADE_CODE" "package $version $commit $sums")
  when=$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')
  # A frozen clock at the commit's time; the cabinet takes each file's time
  # as local time, hence TZ=UTC.
  local frozen=(env TZ=UTC faketime -f "$when")
  rm -f "$msi"
  # wixl 0.101 finds sources only relative to the folder it runs in. The
  # shared configuration's attributes 400: 64-bit (256), Permanent (16),
  # NeverOverwrite (128).
  (cd "$stage" && "${frozen[@]}" wixl -a x64 -D "Version=$version" -D "ProductCode=$product_code" \
    -I "$work" -o "$msi" "$MIROTEX_ROOT/packaging/mirotex.wxs") &&
    "${frozen[@]}" msibuild "$msi" -q "UPDATE \`Component\` SET \`Attributes\` = 400, \`Condition\` = 'SHAREDLOCATION' WHERE \`Component\` = 'SharedConfiguration'" &&
    "${frozen[@]}" msibuild "$msi" -s "Mirotex $version: CALS Type 1 raster plug-in for Orbanix Enterprise" \
      Mirotex "x64;1033" "{$package_code}"
  local rc=$?
  rm -rf "$work"
  return $rc
}
