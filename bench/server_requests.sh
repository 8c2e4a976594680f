#!/usr/bin/env bash
# The Wine server requests that one more file costs each program. Under
# Wine every request is a round trip to the server process (tens of
# microseconds on a busy machine), which makes it the unit that explains
# the Wine figures; on Windows the same calls are kernel calls.
#
#   bench/server_requests.sh PREFIX WINDOWS-BUILD FILE1 FILE2 NAME...
#
# PREFIX: a Wine prefix that ./calsvar prepared (registration and
# "SharedLocation"); no wineserver may run for it. Each program runs on a
# folder holding FILE1 and on one holding FILE1 and FILE2, under a server
# that traces its requests; the difference in requests for files and
# registry keys is what FILE2 cost. Prints
# "PROGRAM<TAB>REQUESTS<TAB>REQUEST:COUNT ..." for the raw floor, the
# host's load alone and calsvar get --name NAME....
set -uo pipefail
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../scripts/lib/common.sh"

(($# >= 4)) || { printf 'usage: bench/server_requests.sh PREFIX WINDOWS-BUILD FILE1 FILE2 NAME...\n' >&2; exit 2; }
prefix=$1 build=$2 file1=$3 file2=$4
shift 4
names=("$@")

work=$(mktemp -d)
use_wine_prefix "$prefix"
# The server writes the trace; it traces only while a client asks it to.
"$WINESERVER_BIN" -p -f 2>>"$work/trace.log" &
server=$!
trap '"$WINESERVER_BIN" -k 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
"$WINE_BIN" wineboot </dev/null >/dev/null 2>&1 || true
sleep 3  # Wine's background services settle; their requests are traced too

mkdir -p "$work/one" "$work/two"
cp "$file1" "$work/one/"
cp "$file1" "$file2" "$work/two/"

# requests EXE ARG...: "COUNT NAME" per request kind made by one run. A
# client whose stderr is /dev/null does not ask the server to trace.
requests() {
  local before
  before=$(wc -l <"$work/trace.log")
  WINEDEBUG=+server "$WINE_BIN" "$@" </dev/null >/dev/null 2>"$work/client.log"
  sleep 0.5  # the server writes the last lines after the client is gone
  # Requests only: a reply's line has "()" after the name, a request's "( ".
  tail -n +"$((before + 1))" "$work/trace.log" | grep -oE '^[0-9a-f]+: [a-z_]+\( ' |
    sed -E 's/^[0-9a-f]+: //; s/\( $//' | sort | uniq -c
}

# The requests of files and registry keys. Others come and go with Wine's
# own threads and console output, per process rather than per file.
counted="create_file get_handle_fd close_handle open_key create_key get_key_value enum_key_value read write"

# measure LABEL EXE ARG...: the requests FILE2 costs, by kind; the
# argument FOLDER stands for the folder.
measure() {
  local label=$1
  shift
  local one=() two=() arg
  for arg in "$@"; do
    one+=("${arg/#FOLDER/$(windows_path "$work/one")}")
    two+=("${arg/#FOLDER/$(windows_path "$work/two")}")
  done
  # The first window of a server's life starts Wine's desktop process,
  # whose requests are traced too: a first run takes that cost.
  requests "${one[@]}" >/dev/null
  requests "${one[@]}" >"$work/a"
  requests "${two[@]}" >"$work/b"
  join -1 2 -2 2 -a 2 -e 0 -o 0,1.1,2.1 <(sort -k2 "$work/a") <(sort -k2 "$work/b") |
    awk -v label="$label" -v counted="$counted" 'BEGIN { split(counted, list, " "); for (i in list) keep[list[i]] = 1 }
      ($1 in keep) && $3 > $2 { total += $3 - $2; kinds = kinds sprintf(" %s:%d", $1, $3 - $2) }
      END { printf "%s\t%d\t%s\n", label, total, substr(kinds, 2) }'
}

name_args=()
for name in "${names[@]}"; do name_args+=(--name "$name"); done
measure "raw floor" "$build/bench/raw_floor_win.exe" FOLDER
measure "host load alone" "$build/bench/host_load_win.exe" FOLDER "${names[@]}"
measure "calsvar get --name" "$build/module/calsvar.exe" get "${name_args[@]}" FOLDER
