#!/usr/bin/env bash
# The Wine server requests that one more file costs each program. Under
# Wine every request is a round trip to the server process (tens of
# microseconds on a busy machine), which makes it the unit that explains
# the Wine figures; on Windows the same calls are kernel calls.
#
#   bench/server_requests.sh [--before BUILD] PREFIX WINDOWS-BUILD FILE1 FILE2 NAME...
#
# PREFIX: a Wine prefix that ./calsvar prepared (registration and
# "SharedLocation"); no wineserver may run for it. Each program runs on a
# folder holding FILE1 and on one holding FILE1 and ten copies of FILE2,
# under a server that traces its requests; a tenth of the difference in
# the requests for files and registry keys of the program's processes is
# what one more file costs. Prints
# "PROGRAM<TAB>REQUESTS<TAB>REQUEST:COUNT ..." for the raw floor, the
# host's load alone, calsvar get --name NAME..., calsvar get, and calsvar
# set --from with a table that gives every file of the folder a new
# "notes" (the folders are copies, so every run saves every file).
# --before BUILD: the same programs once more with the plug-in and calsvar
# of another windows build tree (its DLL named with --dll), in rows whose
# label begins with "before: ".
set -uo pipefail
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../scripts/lib/common.sh"

usage() { printf 'usage: bench/server_requests.sh [--before BUILD] PREFIX WINDOWS-BUILD FILE1 FILE2 NAME...\n' >&2; exit 2; }
before=""
if [[ ${1:-} == --before ]]; then
  (($# >= 2)) || usage
  before=$2
  shift 2
fi
(($# >= 4)) || usage
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

added=10  # more files in "two" than in "one"
mkdir -p "$work/one" "$work/two"
cp "$file1" "$work/one/"
cp "$file1" "$work/two/"
for ((i = 1; i <= added; i++)); do cp "$file2" "$work/two/copy-$i-$(basename "$file2")"; done

# requests EXE ARG...: "COUNT NAME" per request kind made by one run. A
# client whose stderr is /dev/null does not ask the server to trace.
requests() {
  local lines
  lines=$(wc -l <"$work/trace.log")
  WINEDEBUG=+server "$WINE_BIN" "$@" </dev/null >/dev/null 2>"$work/client.log" &
  local client=$! status
  wait "$client"
  status=$?
  # The server writes the last lines after the client is gone: wait until
  # the trace stops growing.
  local size=-1
  while [[ $(stat -c %s "$work/trace.log") != "$size" ]]; do
    size=$(stat -c %s "$work/trace.log")
    sleep 0.5
  done
  # The requests of this run's threads only: the server traces every
  # process once one client asked, Wine's own background processes too.
  # The run's first thread says its Unix process id (or, in the server's
  # first traced run, its reply is the first line); threads and processes
  # that its threads create are the run's too. Requests only: a reply's
  # line has "()" after the name, a request's "( ".
  tail -n +"$((lines + 1))" "$work/trace.log" | awk -v unix_pid="$client" '
    function field(name) { return match($0, name "=[0-9a-f]+") ? substr($0, RSTART + length(name) + 1, RLENGTH - length(name) - 1) : "" }
    { thread = $1; sub(/:$/, "", thread) }
    NR == 1 && / init_first_thread\(\) = 0 / { mine[thread] = 1 }
    / init_first_thread\( unix_pid=/ && field("unix_pid") == unix_pid { mine[thread] = 1 }
    !(thread in mine) { next }
    / new_thread\(\) = 0 / || / init_first_thread\(\) = 0 / { mine[field("tid")] = 1 }
    match($0, /^[0-9a-f]+: [a-z_]+\( /) { print substr($0, length(thread) + 3, RLENGTH - length(thread) - 4) }' |
    sort | uniq -c
  return "$status"
}

# The requests of files and registry keys. Others come and go with Wine's
# own threads and console output, per process rather than per file.
counted="create_file get_handle_fd close_handle open_key create_key get_key_value enum_key_value read write"

# measure_once LABEL EXE ARG...: the requests one more file costs, by
# kind; the argument FOLDER stands for the folder.
measure_once() {
  local label=$1
  shift
  local one=() two=() arg
  for arg in "$@"; do
    one+=("${arg/#FOLDER/$(windows_path "$work/one")}")
    two+=("${arg/#FOLDER/$(windows_path "$work/two")}")
  done
  local run=${run_requests:-requests}
  # The first window of a server's life starts Wine's desktop process,
  # whose requests are traced too: a first run takes that cost.
  "$run" "${one[@]}" >/dev/null
  # A run that failed counts nothing.
  "$run" "${one[@]}" >"$work/a" && "$run" "${two[@]}" >"$work/b" || return
  join -1 2 -2 2 -a 2 -e 0 -o 0,1.1,2.1 <(sort -k2 "$work/a") <(sort -k2 "$work/b") |
    awk -v label="$label" -v counted="$counted" -v added="$added" '
      BEGIN { split(counted, list, " "); for (i in list) keep[list[i]] = 1 }
      ($1 in keep) { per = ($3 - $2) / added; if (per >= 0.05) { total += per; kinds = kinds sprintf(" %s:%.1f", $1, per) } }
      END { printf "%s\t%.1f\t%s\n", label, total, substr(kinds, 2) }'
}

# measure LABEL EXE ARG...: the median of three measurements, since one
# of Wine's own threads may make a request at any time.
measure() {
  local i counts
  counts=$(for i in 1 2 3; do measure_once "$@"; done | sort -t$'\t' -k2,2n)
  [[ -n $counts ]] || { printf '%s\tfailed\t\n' "$1"; return; }
  sed -n "$((($(wc -l <<<"$counts") + 1) / 2))p" <<<"$counts"
}

# The table for set --from in FOLDER: every file of it gets a note that no
# earlier run gave it, so that every run saves every file.
turn=0
write_tables() {
  local folder file
  turn=$((turn + 1))
  for folder in "$work/one" "$work/two"; do
    { printf 'file,notes\r\n'
      for file in "$folder"/*; do
        printf '%s/%s,request count %s\r\n' "$(basename "$folder")" "$(basename "$file")" "$turn"
      done
    } >"$folder.csv"
  done
}
requests_of_set() {  # as requests, for set --from of the table of FOLDER
  write_tables
  requests "$@"
}

name_args=()
for name in "${names[@]}"; do name_args+=(--name "$name"); done
# programs LABEL-PREFIX CALSVAR [--dll DLL]: the rows of the plug-in's
# programs.
programs() {
  local tag=$1 calsvar=$2
  shift 2
  measure "${tag}host load alone" "$build/bench/host_load_win.exe" "$@" FOLDER "${names[@]}"
  measure "${tag}calsvar get --name" "$calsvar" "$@" get "${name_args[@]}" FOLDER
  measure "${tag}calsvar get" "$calsvar" "$@" get FOLDER
  run_requests=requests_of_set measure "${tag}calsvar set --from" "$calsvar" "$@" set --from FOLDER.csv
}

measure "raw floor" "$build/bench/raw_floor_win.exe" FOLDER
programs "" "$build/module/calsvar.exe"
if [[ -n $before ]]; then
  programs "before: " "$before/module/calsvar.exe" --dll "$(windows_path "$before/module/mirotex.dll")"
fi
