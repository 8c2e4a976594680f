# What the release tests do under Wine: run a Windows program with its
# output in files, and read the plug-in's registry keys back from a prefix.
# Sourced after scripts/lib/common.sh and tests/release/checks.sh.

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

# plugin_registry IDL: every key of the current prefix that belongs to the
# plug-in (its path holds a GUID of the IDL file or a part that starts with
# "Mirotex"), with its values, as the prefix's registry files hold them,
# less the write times. Stops the prefix's server first, which writes the
# registry out; start_wineserver starts it again.
plugin_registry() {
  local guids
  guids=$(grep -oE 'uuid\([0-9A-Fa-f-]{36}\)' "$1" | cut -c6-41 | tr 'A-F' 'a-f' | paste -sd'|')
  "$WINESERVER_BIN" -k 2>/dev/null
  "$WINESERVER_BIN" -w
  PATTERN="($guids|\\\\mirotex)" awk '
    /^\[/ { inside = tolower($0) ~ ENVIRON["PATTERN"]
            if (inside) { key = $0; sub(/\] [0-9]+$/, "]", key); print FILENAME ": " key }
            next }
    /^#time=/ { next }
    inside && NF { print "    " $0 }' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" | sed "s|$WINEPREFIX/||"
}
