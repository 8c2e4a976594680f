#!/usr/bin/env bash
# Whole-program benchmarks: what one CALS file costs through the plug-in
# under Wine (now, and as it was before the configuration store, built from
# that revision), what it costs the portable core natively, both against the
# raw floor of the same runtime (open, read 2048 bytes, close), and what
# other CALS readers (ImageMagick's identify, GDAL's gdalinfo) take for the
# same files; then the platform calls one load makes (counted through the
# core's seams) and what single calls cost under Wine, the core's figures
# per operation, the memory of one opened file, peak resident memory, what
# one Save costs, and instruction counts per file; and the raster check:
# calsvar check per file over the corpus, and the decode throughput of its
# Group 4 decoder against libtiff on the same pages; the thumbnails of
# calsvar report against ImageMagick's convert -thumbnail, per file; and
# calsvar report over the corpus against calsvar check over it.
#
#   scripts/bench.sh            full run (10,000 files; about 45 minutes here)
#   scripts/bench.sh --quick    1,000 files, fewer rounds: checks that
#                               everything works, figures are rough
#
# MIROTEX_BENCH_BEFORE names the revision timed as "before" (default: the
# last one without the configuration store); it is built once into
# build/bench/before-build.
#
# Commands are timed with hyperfine in rounds: each round runs every
# command of a group, so slow phases of a busy machine hit all of them;
# medians and min-max are taken over all rounds. The load average is
# recorded with every group. Results: build/bench/results.md (also
# printed); raw data beside it.
set -uo pipefail
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/common.sh"
cd "$MIROTEX_ROOT"

BENCH_PACKAGES=(hyperfine jq imagemagick gdal-bin valgrind time)

files=10000
rounds=5        # hyperfine rounds per group
runs=1          # runs of each command per round
native_runs=10  # the same for the native drivers, which take milliseconds
sample=200      # files timed one process each (gdalinfo, identify)
identify_files=2000  # files identify reads in one process (about 20 ms each)
wine_sample=20  # files timed one Wine process each (calsvar)
wrapper_runs=10  # runs of ./calsvar and calsvar.exe per round
micro_repetitions=5
decode_seconds=1    # per decoder, page and round (decode_throughput)
decode_rounds=5
case ${1:-} in
  --quick) files=1000 rounds=2 native_runs=5 sample=40 wine_sample=5 micro_repetitions=2 identify_files=300 wrapper_runs=5
           decode_seconds=0.2 decode_rounds=3 ;;
  "") ;;
  *) printf 'usage: scripts/bench.sh [--quick]\n' >&2; exit 2 ;;
esac

out=$MIROTEX_ROOT/build/bench
native_build=$MIROTEX_ROOT/build/native-release
windows_build=$MIROTEX_ROOT/build/windows
corpus=$out/corpus-$files
raw=$out/raw
results=$out/results.md
ini=$MIROTEX_ROOT/samples/install/FileFormats/Mirotex.ini
mkdir -p "$raw"
# Rounds of an earlier run (a full run has more than a quick one) must not
# join this run's medians.
rm -f "$raw"/*.round-*.json

die() { log "$*"; exit 1; }

# ---------------------------------------------------------------- set-up

ensure_packages || die "package installation failed"
ensure_packages "${BENCH_PACKAGES[@]}" || die "package installation failed"

log "building (native-release and windows presets)"
[[ -f $native_build/CMakeCache.txt ]] || cmake --preset native-release >"$out/build.log" 2>&1 ||
  die "configuring native-release failed (see $out/build.log)"
cmake --build "$native_build" -j2 --target make_corpus raw_floor_native core_driver header_memory core_micro_bench decode_throughput \
  platform_calls save_cost thumbnails \
  >>"$out/build.log" 2>&1 || die "native build failed (see $out/build.log)"
[[ -f $windows_build/CMakeCache.txt ]] || cmake --preset windows >>"$out/build.log" 2>&1 ||
  die "configuring windows failed (see $out/build.log)"
cmake --build "$windows_build" -j2 --target mirotex calsvar raw_floor_win platform_costs_win save_cost host_load_win thumbnails \
  >>"$out/build.log" 2>&1 ||
  die "windows build failed (see $out/build.log)"

if [[ ! -f $corpus/manifest.tsv || $(wc -l <"$corpus/manifest.tsv") != "$files" ]]; then
  log "generating $files CALS files in $corpus"
  rm -rf "$corpus"
  "$native_build/tools/make_samples/make_corpus" "$corpus" "$files" >/dev/null || die "corpus generation failed"
fi
# build_revision DIR REF WHAT: the plug-in and calsvar of revision REF,
# built once into DIR, so that one run times them side by side with the
# present ones.
build_revision() {
  local dir=$1 ref=$2 what=$3 commit
  commit=$(git -C "$MIROTEX_ROOT" rev-parse --verify -q "$ref^{commit}") || die "revision $ref not found"
  [[ $(cat "$dir/revision" 2>/dev/null) == "$commit" ]] && return
  log "building the plug-in and calsvar of $ref ($what)"
  rm -rf "$dir-src" "$dir"
  mkdir -p "$dir-src"
  git -C "$MIROTEX_ROOT" archive "$commit" | tar -x -C "$dir-src" || die "git archive $ref failed"
  (cd "$dir-src" && cmake --preset windows -B "$dir") >>"$out/build.log" 2>&1 ||
    die "configuring $ref failed (see $out/build.log)"
  cmake --build "$dir" -j2 --target mirotex calsvar >>"$out/build.log" 2>&1 ||
    die "building $ref failed (see $out/build.log)"
  echo "$commit" >"$dir/revision"
}
# The revision before the one that brought FILE in, on the first-parent
# line of the history.
before_adding() {
  local added
  added=$(git -C "$MIROTEX_ROOT" log --first-parent --diff-filter=A --format=%H -1 -- "$1")
  [[ -n $added ]] && echo "$added^"
}
# "Before": the revision before the configuration store
# (MIROTEX_BENCH_BEFORE); "before the kept key": the one before the product
# key was kept open between loads (MIROTEX_BENCH_BEFORE_KEY).
before_ref=${MIROTEX_BENCH_BEFORE:-$(before_adding cals/tag_config_store.h)}
[[ -n $before_ref ]] || die "no revision to time as before: set MIROTEX_BENCH_BEFORE"
before_build=$out/before-build
build_revision "$before_build" "$before_ref" "before the configuration store"
before_commit=$(cat "$before_build/revision")
key_ref=${MIROTEX_BENCH_BEFORE_KEY:-$(before_adding cals/windows/kept_registry_key.h)}
[[ -n $key_ref ]] || die "no revision to time as before the kept key: set MIROTEX_BENCH_BEFORE_KEY"
key_build=$out/before-key-build
build_revision "$key_build" "$key_ref" "before the product key was kept open"
key_commit=$(cat "$key_build/revision")

# First what can fail in a second, not after the long timings.
memory=$("$native_build/bench/header_memory") || die "header_memory failed"
platform_calls=$("$native_build/bench/platform_calls") || die "platform_calls failed"

empty=$out/empty-folder
mkdir -p "$empty"
# The corpus's first file alone: a program's run on it is its own start
# (COM, the plug-in, calsvar's set-up) and one file.
one_file=$out/one-file
rm -rf "$one_file"
mkdir -p "$one_file"
cp "$corpus/$(head -1 "$corpus/manifest.tsv" | cut -f1)" "$one_file/"

# A prefix of our own, prepared by ./calsvar (registration, SharedLocation)
# while our server runs, so that ./calsvar leaves the server to us.
use_wine_prefix "$out/wineprefix"
start_wineserver || die "a wineserver already runs for $WINEPREFIX"
trap stop_wineserver EXIT
CALSVAR_NO_BUILD=1 CALSVAR_BUILD_DIR=$windows_build CALSVAR_PREFIX=$WINEPREFIX \
  ./calsvar info >/dev/null || die "./calsvar could not prepare the Wine prefix"

calsvar_exe=$windows_build/module/calsvar.exe
floor_exe=$windows_build/bench/raw_floor_win.exe
costs_exe=$windows_build/bench/platform_costs_win.exe
host_exe=$windows_build/bench/host_load_win.exe
# The earlier calsvar with the earlier plug-in, loaded directly.
before_exe=$before_build/module/calsvar.exe
before_dll=$(windows_path "$before_build/module/mirotex.dll")
key_exe=$key_build/module/calsvar.exe
q_key_dll="'$(windows_path "$key_build/module/mirotex.dll")'"
win_corpus=$(windows_path "$corpus")
win_ini=$(windows_path "$ini")
# hyperfine hands commands to a shell: Windows paths need quotes there.
q_corpus="'$win_corpus'"
q_ini="'$win_ini'"
q_empty="'$(windows_path "$empty")'"
q_one="'$(windows_path "$one_file")'"
q_before_dll="'$before_dll'"
# Every variable of a corpus file, so that "get --name" reads all of them
# with one load per file, as the host does.
names=(srcdocid dstdocid txtfilid figid srcgph doccls rtype rorient rpelcnt rdensty notes
       width height colordepth orientation lineprogression pelwidth pelheight density)
name_args=""
for name in "${names[@]}"; do name_args+=" --name $name"; done

# ---------------------------------------------------------------- helpers

load_average() { uptime | sed -E 's/.*load average: //'; }

# time_group NAME [HYPERFINE-OPTION...] COMMAND...: hyperfine, $rounds
# rounds of all commands; raw JSON in $raw/NAME-ROUND.json.
time_group() {
  local group=$1
  shift
  local options=()
  while [[ ${1:-} == -* ]]; do
    options+=("$1")
    shift
  done
  local round
  for ((round = 1; round <= rounds; round++)); do
    # A Wine program now and then fails to start on a busy machine; such a
    # round is run once more (and said in the log), a second failure ends
    # the run.
    local attempt
    for attempt in 1 2; do
      hyperfine --style none --warmup 0 --runs "${RUNS:-$runs}" "${options[@]}" --export-json "$raw/$group.round-$round.json" "$@" \
        >/dev/null 2>>"$raw/hyperfine.log" && break
      tail -5 "$raw/hyperfine.log" >&2
      ((attempt == 1)) || die "hyperfine failed twice in group $group"
      log "a command of group $group failed in round $round: running the round once more"
    done
  done
}

# stats GROUP INDEX: "median min max" in seconds of command INDEX over all rounds.
stats() {
  jq -s --argjson i "$2" -r '
    [.[].results[$i].times[]] | sort as $t | ($t | length) as $n |
    (if $n % 2 == 1 then $t[($n - 1) / 2] else ($t[$n / 2 - 1] + $t[$n / 2]) / 2 end) as $median |
    "\($median) \($t[0]) \($t[$n - 1])"' "$raw/$1".round-*.json
}

# per_file SECONDS COUNT: microseconds per file, no decimals.
per_file() { awk -v s="$1" -v n="$2" 'BEGIN { printf "%.0f", s * 1e6 / n }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
seconds() { awk -v s="$1" 'BEGIN { printf "%.3f", s }'; }

# row GROUP INDEX COUNT LABEL INCLUDES: a table row per file.
row() {
  local median min max
  read -r median min max < <(stats "$1" "$2")
  printf '| %s | %s | %s | %s (%s-%s) | %s |\n' "$4" "$3" "$(seconds "$median")" \
    "$(per_file "$median" "$3")" "$(per_file "$min" "$3")" "$(per_file "$max" "$3")" "$5"
}
median_of() { stats "$1" "$2" | cut -d' ' -f1; }

table_head() {
  printf '| Program | Files | Median total (s) | Per file, µs: median (min-max) | What the figure includes |\n'
  printf '|---|---:|---:|---:|---|\n'
}

# ---------------------------------------------------------------- checks

log "checking the other readers' answers against the corpus manifest"
mapfile -t all_files < <(cut -f1 "$corpus/manifest.tsv" | sed "s|^|$corpus/|")
mapfile -t sample_files < <(awk -v n="$sample" -v total="$files" 'NR % int(total / n) == 1' "$corpus/manifest.tsv" |
  cut -f1 | head -n "$sample" | sed "s|^|$corpus/|")
mapfile -t wine_sample_files < <(printf '%s\n' "${sample_files[@]}" | head -n "$wine_sample")
printf '%s\n' "${sample_files[@]}" >"$out/sample.lst"
printf '%s\n' "${all_files[@]}" >"$out/all.lst"
printf '%s\n' "${wine_sample_files[@]}" >"$out/wine-sample.lst"

# matching_sizes: reads "NAME<TAB>WIDTH<TAB>HEIGHT" lines (NAME a path or
# file name) and counts those that agree with the manifest.
matching_sizes() {
  awk -F'\t' 'NR == FNR { n = $1; sub(/.*\//, "", n); want[n] = $2 "x" $3; next }
    { n = $1; sub(/.*[\\\/]/, "", n) } (n in want) && want[n] == ($2 + 0) "x" ($3 + 0) { ok++ }
    END { print ok + 0 }' "$corpus/manifest.tsv" -
}
# identify stops at the first file it cannot read, so the files are named
# with the "CALS:" prefix that makes it use its CALS reader; plain names
# are checked one process per file. convert needs the prefix too: the
# corpus has files named .ct1 and .gp4, which it does not know as CALS.
head -n "$identify_files" "$out/all.lst" | sed 's/^/CALS:/' >"$out/identify.lst"
sed 's/^/CALS:/' "$out/sample.lst" >"$out/identify-sample.lst"
identify_right=$(xargs -d '\n' -s 2000000 identify -ping -format '%f %w %h\n' <"$out/identify.lst" 2>/dev/null |
  tr ' ' '\t' | matching_sizes)
identify_plain_right=$(for file in "${sample_files[@]}"; do
  identify -ping -format '%f %w %h\n' "$file" 2>/dev/null
done | tr ' ' '\t' | matching_sizes)
gdal_right=$(for file in "${sample_files[@]}"; do
  gdalinfo "$file" 2>/dev/null | awk -v f="$file" '/^Size is / { gsub(/,/, ""); print f "\t" $3 "\t" $4 }'
done | matching_sizes)
calsvar_right=$("$WINE_BIN" "$calsvar_exe" get --name pelwidth --name pelheight "$win_corpus" 2>/dev/null |
  awk -F'\t' '/^== / { f = substr($0, 4) } $1 == "pelwidth" { w = $2 } $1 == "pelheight" { print f "\t" w "\t" $2 }' |
  matching_sizes)

# Private-profile reads per file: Wine traces each GetPrivateProfileStringW
# call (GetPrivateProfileIntW goes through it) with its arguments, so traced
# runs on one and on two files count what one more file costs.
one_file=$(windows_path "${sample_files[0]}")
two_files=("$one_file" "$(windows_path "${sample_files[1]}")")
count_profile_reads() {  # EXE ARG...: the reads of one calsvar run
  local exe=$1
  shift
  WINEDEBUG=+profile "$WINE_BIN" "$exe" "$@" 2>&1 >/dev/null | grep -c 'trace:profile:GetPrivateProfileStringW L"'
}
marginal_reads() {  # EXE ARG...: the reads of the second file of "calsvar ARG... FILE1 FILE2"
  echo $(($(count_profile_reads "$@" "${two_files[@]}") - $(count_profile_reads "$@" "$one_file")))
}
# shellcheck disable=SC2086
reads_host=$(marginal_reads "$before_exe" --dll "$before_dll" get $name_args)
reads_listing_before=$(marginal_reads "$before_exe" --dll "$before_dll" get)
# shellcheck disable=SC2086
reads_host_after=$(marginal_reads "$calsvar_exe" get $name_args)
reads_listing_after=$(marginal_reads "$calsvar_exe" get)
# shellcheck disable=SC2086
reads_first_after=$(count_profile_reads "$calsvar_exe" get $name_args "$one_file")
reads_first_listing_after=$(count_profile_reads "$calsvar_exe" get "$one_file")
log "private-profile reads per file, before: $reads_host (get --name), $reads_listing_before (get);" \
  "after: $reads_host_after (get --name), $reads_listing_after (get); first file after: $reads_first_after," \
  "$reads_first_listing_after"

# ---------------------------------------------------------------- timings

log "Wine group: calsvar get against the raw floor, $rounds rounds (load: $(load_average))"
wine_load_before=$(load_average)
time_group wine --shell=none \
  "$WINE_BIN $calsvar_exe get$name_args $q_corpus" \
  "$WINE_BIN $calsvar_exe get $q_corpus" \
  "$WINE_BIN $floor_exe $q_corpus" \
  "$WINE_BIN $floor_exe --profile-reads $reads_host --ini $q_ini $q_corpus" \
  "$WINE_BIN $floor_exe $q_empty" \
  "$WINE_BIN $before_exe --dll $q_before_dll get$name_args $q_corpus" \
  "$WINE_BIN $before_exe --dll $q_before_dll get $q_corpus" \
  "$WINE_BIN $host_exe $q_corpus ${names[*]}" \
  "$WINE_BIN $host_exe --dll $q_key_dll $q_corpus ${names[*]}" \
  "$WINE_BIN $key_exe --dll $q_key_dll get$name_args $q_corpus" \
  "$WINE_BIN $floor_exe $q_one" \
  "$WINE_BIN $host_exe $q_one ${names[*]}" \
  "$WINE_BIN $host_exe --dll $q_key_dll $q_one ${names[*]}" \
  "$WINE_BIN $calsvar_exe get$name_args $q_one" \
  "$WINE_BIN $key_exe --dll $q_key_dll get$name_args $q_one"
wine_load_after=$(load_average)

log "single platform calls and core loads under Wine (load: $(load_average))"
costs_load=$(load_average)
costs=$("$WINE_BIN" "$costs_exe" "$win_corpus") || die "platform_costs_win failed"

# set --from over a copy of the corpus, one variable changed in every file,
# against get --name of that variable over the same copy. Two tables that
# give every file another note; each run takes the table the previous run
# did not, so that every run really writes every file.
log "write group: set --from against get --name, $rounds rounds (load: $(load_average))"
write_corpus=$out/corpus-write-$files
rm -rf "$write_corpus"
cp -r "$corpus" "$write_corpus"
for table in 0 1; do
  { printf 'file,notes\r\n'
    cut -f1 "$corpus/manifest.tsv" | sed "s|^|corpus-write-$files/|; s|\$|,bench note $table\r|"
  } >"$out/write-$table.csv"
done
# One timed run: the table that the run before did not take.
cat >"$out/write-turn.sh" <<TURN
#!/bin/sh
n=\$(cat '$out/write-turn')
echo \$((1 - n)) >'$out/write-turn'
exec '$WINE_BIN' '$calsvar_exe' set --from '$(windows_path "$out")\\write-'\$n.csv
TURN
# Every file must be saved, or the figure times something else.
for table in 0 1; do
  written=$("$WINE_BIN" "$calsvar_exe" set --from "$(windows_path "$out/write-$table.csv")" 2>&1 >/dev/null | tail -1)
  [[ $written == "$files files: $files saved, 0 unchanged, 0 refused, 0 failed" ]] ||
    die "set --from did not save every file: $written"
done
echo 0 >"$out/write-turn"
write_load_before=$(load_average)
time_group write \
  "$WINE_BIN $calsvar_exe get --name notes '$(windows_path "$write_corpus")'" \
  "sh $out/write-turn.sh"
write_load_after=$(load_average)

log "Wine group, one process per file: $wine_sample files"
win_sample_args=()
for file in "${wine_sample_files[@]}"; do win_sample_args+=("$(windows_path "$file")"); done
printf '%s\n' "${win_sample_args[@]}" >"$out/wine-sample-windows.lst"
time_group wine-per-process \
  "xargs -d '\n' -n1 $WINE_BIN $calsvar_exe get$name_args <$out/wine-sample-windows.lst" \
  "xargs -d '\n' -n1 $WINE_BIN $floor_exe <$out/wine-sample-windows.lst"

# ./calsvar against calsvar.exe itself, under our running server: what the
# wrapper adds (its up-to-date check, registration and "SharedLocation"
# when they are needed) on an up-to-date tree.
log "wrapper group: ./calsvar against calsvar.exe, $rounds rounds of $wrapper_runs runs (load: $(load_average))"
sample_cal=$MIROTEX_ROOT/samples/drawing-a4.cal
export CALSVAR_BUILD_DIR=$windows_build CALSVAR_PREFIX=$WINEPREFIX
# The first run may build (nothing to do) and stamp the tree.
./calsvar get "$sample_cal" >/dev/null || die "./calsvar get failed"
wrapper_load_before=$(load_average)
RUNS=$wrapper_runs time_group wrapper --shell=none \
  "$WINE_BIN $calsvar_exe --help" \
  "$MIROTEX_ROOT/calsvar --help" \
  "$WINE_BIN $calsvar_exe get $sample_cal" \
  "$MIROTEX_ROOT/calsvar get $sample_cal" \
  "$WINE_BIN $calsvar_exe check $sample_cal" \
  "$MIROTEX_ROOT/calsvar check $sample_cal"
wrapper_load_after=$(load_average)
unset CALSVAR_BUILD_DIR CALSVAR_PREFIX

log "Wine group: calsvar check over the corpus, $rounds rounds (load: $(load_average))"
check_load_before=$(load_average)
# check exits 1 when a file has an error (the corpus has some on purpose).
time_group wine-check --shell=none --ignore-failure \
  "$WINE_BIN $calsvar_exe check $q_corpus" \
  "$WINE_BIN $floor_exe $q_corpus"
check_load_after=$(load_average)
check_summary=$("$WINE_BIN" "$calsvar_exe" check "$win_corpus" 2>&1 >/dev/null | tail -1)
peak_check=$(/usr/bin/time -f '%M' -o "$raw/peak-check.txt" "$WINE_BIN" "$calsvar_exe" check "$win_corpus" \
  >/dev/null 2>&1; tail -1 "$raw/peak-check.txt")

log "native group: core driver against the native raw floor (load: $(load_average))"
native_load_before=$(load_average)
# A run takes a fraction of a second: more runs per round.
RUNS=$native_runs time_group native --shell=none \
  "$native_build/bench/core_driver --ini $ini $corpus" \
  "$native_build/bench/raw_floor_native $corpus" \
  "$native_build/bench/raw_floor_native $empty"
native_load_after=$(load_average)

log "raster decode throughput against libtiff (load: $(load_average))"
decode_load=$(load_average)
"$native_build/bench/decode_throughput" --seconds "$decode_seconds" --rounds "$decode_rounds" >"$raw/decode.md" ||
  die "decode_throughput failed"

log "other readers: identify -ping and gdalinfo (load: $(load_average))"
others_load_before=$(load_average)
# gdalinfo rejects a few corpus files (see the checks above), which makes
# xargs end with 123; their time is still counted.
time_group others --ignore-failure \
  "xargs -d '\n' -s 2000000 identify -ping -format '%w %h\n' <$out/identify.lst" \
  "xargs -d '\n' -n1 identify -ping -format '%w %h\n' <$out/identify-sample.lst" \
  "xargs -d '\n' -n1 gdalinfo <$out/sample.lst" \
  "xargs -d '\n' -n1 $native_build/bench/core_driver --ini $ini <$out/sample.lst"
others_load_after=$(load_average)

log "thumbnails, 200 x 200, against ImageMagick's convert -thumbnail (load: $(load_average))"
thumbs_load_before=$(load_average)
thumbs_native=$out/thumbs-native
thumbs_wine=$out/thumbs-wine
rm -rf "$thumbs_native" "$thumbs_wine" "$out/thumbs-one"
# Every file must get its thumbnail, or the figure times something else.
thumbs_made=$("$native_build/bench/thumbnails" --out "$thumbs_native" "$corpus") || die "thumbnails failed"
[[ $thumbs_made == "files $files thumbnails $files "* ]] || die "thumbnails did not make one per file: $thumbs_made"
thumbs_made_wine=$("$WINE_BIN" "$windows_build/bench/thumbnails.exe" --out "$(windows_path "$out")\\thumbs-wine" \
  "$win_corpus" | tr -d '\r') || die "thumbnails.exe failed"
[[ $thumbs_made_wine == "files $files thumbnails $files "* ]] ||
  die "thumbnails.exe did not make one per file: $thumbs_made_wine"
time_group thumbnails \
  "$native_build/bench/thumbnails --out $thumbs_native $corpus" \
  "xargs -d '\n' -n1 $native_build/bench/thumbnails --out $out/thumbs-one <$out/sample.lst" \
  "xargs -d '\n' -I{} convert {} -thumbnail 200x200 PNG:$out/thumb-convert.png <$out/identify-sample.lst" \
  "$WINE_BIN $windows_build/bench/thumbnails.exe --out '$(windows_path "$out")\\thumbs-wine' $q_corpus"
thumbs_load_after=$(load_average)
thumbs_bytes=$(awk '{ print $6 }' <<<"$thumbs_made")
convert_bytes=$(stat -c %s "$out/thumb-convert.png")

log "calsvar report over the corpus against calsvar check over it (load: $(load_average))"
report_load_before=$(load_average)
report_dir=$out/report
report_single=$out/report-single
rm -rf "$report_dir" "$report_single"
# Both exit 1: the corpus has files with errors on purpose. The report is
# written over the one of the round before, as a user runs it again.
time_group report --shell=none --ignore-failure \
  "$WINE_BIN $calsvar_exe report $q_corpus -o '$(windows_path "$out")\\report'" \
  "$WINE_BIN $calsvar_exe report $q_corpus -o '$(windows_path "$out")\\report-single' --single-file" \
  "$WINE_BIN $calsvar_exe check $q_corpus"
report_load_after=$(load_average)
report_rows=$(grep -c '<tr data-verdict=' "$report_dir/index.html")
[[ $report_rows == "$files" ]] || die "calsvar report made $report_rows rows for $files files"
report_bytes=$(du -sb "$report_dir" | cut -f1)
report_single_bytes=$(stat -c %s "$report_single/index.html")
peak_report=$(/usr/bin/time -f '%M' -o "$raw/peak-report.txt" "$WINE_BIN" "$calsvar_exe" report "$win_corpus" \
  -o "$(windows_path "$out")\\report" >/dev/null 2>&1; tail -1 "$raw/peak-report.txt")

# ---------------------------------------------------------------- memory

log "memory: one opened file, and peak resident memory of calsvar get"
mem() { awk -v k="$1" '$1 == k { print $2 }' <<<"$memory"; }
# GNU time's figure for the Wine process itself (the wineserver, which runs
# on, is not in it).
peak_kib() {
  /usr/bin/time -f '%M' -o "$raw/peak.txt" "$@" >/dev/null 2>&1
  tail -1 "$raw/peak.txt"
}
# shellcheck disable=SC2086
peak_host=$(peak_kib "$WINE_BIN" "$calsvar_exe" get $name_args "$win_corpus")
peak_listing=$(peak_kib "$WINE_BIN" "$calsvar_exe" get "$win_corpus")
peak_floor=$(peak_kib "$WINE_BIN" "$floor_exe" "$win_corpus")

# ---------------------------------------------------------------- save

log "one Save: load once, then change a record and save, over and over (load: $(load_average))"
save_load=$(load_average)
save_native=$("$native_build/bench/save_cost" "$out") || die "save_cost failed"
save_wine=$("$WINE_BIN" "$windows_build/bench/save_cost.exe" "$(windows_path "$out")" 200) ||
  die "save_cost.exe failed"
save_wine=${save_wine//$'\r'/}  # a Windows program's lines end in CR LF
save_figure() { awk -v k="$2" '$1 == k { print $2 }' <<<"$1"; }
save_row() {
  printf '| %s | %s | %s (%s-%s) |\n' "$1" "$(save_figure "$2" saves_timed)" "$(save_figure "$2" per_save_us_median)" \
    "$(save_figure "$2" per_save_us_min)" "$(save_figure "$2" per_save_us_max)"
}

# ---------------------------------------------------------------- requests

# Last of the Wine steps: the tracing server replaces ours.
log "Wine server requests per file (traced)"
stop_wineserver
"$WINESERVER_BIN" -w
requests=$("$MIROTEX_ROOT/bench/server_requests.sh" --before "$key_build" "$WINEPREFIX" "$windows_build" \
  "${sample_files[0]}" "${sample_files[1]}" "${names[@]}") || die "bench/server_requests.sh failed"
request_row() {  # LABEL GOAL: | label | before the kept key | now | kinds | goal |
  awk -F'\t' -v label="$1" -v goal="$2" '$1 == "before: " label { before = $2 }
    $1 == label { now = $2; kinds = $3 }
    END { printf "| %s | %s | %s | %s | %s |\n", label, before == "" ? "" : before, now, kinds, goal }' <<<"$requests"
}
request_total() { awk -F'\t' -v label="$1" '$1 == label { print $2 }' <<<"$requests"; }

# ---------------------------------------------------------------- micro

log "per-operation figures (Google Benchmark, $micro_repetitions repetitions)"
micro_load=$(load_average)
"$native_build/bench/core_micro_bench" --benchmark_repetitions="$micro_repetitions" \
  --benchmark_report_aggregates_only=true --benchmark_out="$raw/micro.json" --benchmark_out_format=json \
  >/dev/null 2>&1 || die "core_micro_bench failed"

# ---------------------------------------------------------------- callgrind

log "instructions per file (callgrind, 1000 files)"
head -n 1000 "$out/all.lst" >"$out/callgrind.lst"
instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$raw/callgrind-$1.out" "${@:2}" 2>&1 >/dev/null |
    awk '/Collected :/ { printf "%.0f", $NF / 1000 }'
}
ir_core=$(instructions core "$native_build/bench/core_driver" --ini "$ini" "@$out/callgrind.lst")
ir_floor=$(instructions floor "$native_build/bench/raw_floor_native" "@$out/callgrind.lst")

# ---------------------------------------------------------------- report

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')
ram=$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)

m_host=$(median_of wine 0)
m_listing=$(median_of wine 1)
m_floor=$(median_of wine 2)
m_floor_host=$(median_of wine 3)
m_start=$(median_of wine 4)
m_before_host=$(median_of wine 5)
m_before_listing=$(median_of wine 6)
m_core=$(median_of native 0)
m_native_floor=$(median_of native 1)
m_native_start=$(median_of native 2)
m_identify=$(median_of others 0)

net() { awk -v a="$1" -v b="$2" 'BEGIN { print a - b }'; }
# Process start subtracted from both sides.
wine_ratio() { ratio "$(net "$1" "$m_start")" "$(net "$2" "$m_start")"; }
cost() { awk -v k="$1" '$1 == k { print $2 }' <<<"$costs"; }
# Per file under Wine, process start subtracted, in microseconds.
# Per file under Wine with the program's own start (its run on one file)
# subtracted, in microseconds: GROUP-INDEX of the corpus run, of the one-file run.
own_per_file() {
  awk -v a="$(median_of wine "$1")" -v b="$(median_of wine "$2")" -v n="$files" 'BEGIN { printf "%.0f", (a - b) * 1e6 / (n - 1) }'
}
wine_per_file() { awk -v s="$(net "$1" "$m_start")" -v n="$files" 'BEGIN { printf "%.0f", s * 1e6 / n }'; }

{
  printf '# Benchmark results\n\n'
  printf 'Taken %s with `scripts/bench.sh%s`: %s files, %s rounds of %s run(s) per command (native drivers: %s runs per round).\n\n' \
    "$(date -u '+%Y-%m-%d %H:%M UTC')" "${1:+ $1}" "$files" "$rounds" "$runs" "$native_runs"
  printf 'Machine: %s cores of %s, %s RAM; Debian %s; %s; %s.\n\n' "$(nproc)" "$cpu" "$ram" \
    "$(cat /etc/debian_version)" "$("$WINE_BIN" --version)" "$(g++ --version | head -1)"

  printf '## Through the plug-in, under Wine\n\nLoad average before / after: %s / %s.\n\n' "$wine_load_before" "$wine_load_after"
  printf '"Before" is revision %s (`%s`), the plug-in and calsvar as they were before the configuration store, built from that revision and timed in the same rounds.\n\n' \
    "$before_ref" "$(git -C "$MIROTEX_ROOT" log -1 --format=%h "$before_commit")"
  table_head
  row wine 0 "$files" "calsvar get --name x19 (one load per file, as the host)" "Wine process start, COM start-up, folder walk, OpenFile (file, registry, one identity question about the INI file; $reads_host_after private-profile reads per file, $reads_first_after in all for the first), GetVariables of 19 names, output"
  row wine 1 "$files" "calsvar get (names listed by calsvar)" "the same plus calsvar's own read of each header to list its names, through its own configuration store ($reads_listing_after private-profile reads per file; $reads_first_listing_after in all for the first file)"
  row wine 5 "$files" "before: calsvar get --name x19" "as above, with $reads_host private-profile reads per load"
  row wine 6 "$files" "before: calsvar get" "as above, calsvar's listing with the configuration's answers kept over the run ($reads_listing_before private-profile reads per file)"
  row wine 7 "$files" "host load alone: OpenFile + GetVariables x19 (bench/host_load_win)" "Wine process start, COM start-up, folder walk, OpenFile and GetVariables of 19 names through the registered plug-in, without calsvar's own header read and output"
  row wine 8 "$files" "before the kept key: host load alone (bench/host_load_win --dll)" "as above, with the plug-in of revision $key_ref (\`$(git -C "$MIROTEX_ROOT" log -1 --format=%h "$key_commit")\`), which opened the product key at every load"
  row wine 9 "$files" "before the kept key: calsvar get --name x19" "calsvar and the plug-in of that revision (--dll)"
  row wine 2 "$files" "raw floor: open, read 2048, close" "Wine process start, folder walk, _wfsopen (share-deny-write), fread, fclose"
  row wine 3 "$files" "raw floor + $reads_host private-profile reads" "the raw floor plus the reads one load made before the store, same INI file"
  row wine 4 1 "raw floor on an empty folder" "Wine process start and exit only (figure is per process)"
  printf '\nPer file, process start subtracted: calsvar get --name %s µs (before %s µs), calsvar get %s µs (before %s µs), raw floor %s µs.\n' \
    "$(wine_per_file "$m_host")" "$(wine_per_file "$m_before_host")" "$(wine_per_file "$m_listing")" \
    "$(wine_per_file "$m_before_listing")" "$(wine_per_file "$m_floor")"
  printf '\nRatios of medians, process start (empty-folder run) subtracted from both sides:\n\n'
  printf '| Comparison | Ratio | Goal |\n|---|---:|---|\n'
  printf '| calsvar get --name / raw floor | %s | at most 1.7 |\n' "$(wine_ratio "$m_host" "$m_floor")"
  printf '| host load alone / raw floor | %s | at most 1.5 |\n' "$(wine_ratio "$(median_of wine 7)" "$m_floor")"
  printf '| before the kept key: host load alone / raw floor | %s | |\n' "$(wine_ratio "$(median_of wine 8)" "$m_floor")"
  printf '| before the kept key: calsvar get --name / raw floor | %s | |\n' "$(wine_ratio "$(median_of wine 9)" "$m_floor")"
  printf '| before: calsvar get --name / raw floor | %s | |\n' "$(wine_ratio "$m_before_host" "$m_floor")"
  printf '| calsvar get / calsvar get --name | %s | at most 1.1 |\n' "$(wine_ratio "$m_listing" "$m_host")"
  printf '| before: calsvar get / calsvar get --name | %s | |\n' "$(wine_ratio "$m_before_listing" "$m_before_host")"
  printf '| before / after, calsvar get --name | %s | |\n' "$(wine_ratio "$m_before_host" "$m_host")"
  printf '| (raw floor + %s profile reads) / raw floor | %s | what the reads cost before |\n' "$reads_host" "$(wine_ratio "$m_floor_host" "$m_floor")"

  printf '\nPer file with each program'"'"'s own start subtracted (its run on the corpus'"'"'s first file alone: COM, the plug-in and calsvar'"'"'s set-up, which the empty-folder run of the raw floor does not hold), in µs, and the ratios the goals are about:\n\n'
  printf '| Program | µs per file | / raw floor | Goal |\n|---|---:|---:|---|\n'
  own_row() {  # LABEL CORPUS-INDEX ONE-FILE-INDEX GOAL
    printf '| %s | %s | %s | %s |\n' "$1" "$(own_per_file "$2" "$3")" \
      "$(ratio "$(own_per_file "$2" "$3")" "$(own_per_file 2 10)")" "$4"
  }
  own_row "raw floor" 2 10 ""
  own_row "host load alone" 7 11 "at most 1.5"
  own_row "before the kept key: host load alone" 8 12 ""
  own_row "calsvar get --name x19" 0 13 "at most 1.7"
  own_row "before the kept key: calsvar get --name x19" 9 14 ""

  printf '\nWriting: set --from with one variable changed in every file, against get --name of that variable (load average before / after: %s / %s):\n\n' "$write_load_before" "$write_load_after"
  table_head
  row write 0 "$files" "calsvar get --name notes FOLDER" "Wine process start, COM start-up, folder walk, one load and one GetVariables per file, output"
  row write 1 "$files" "calsvar set --from TABLE (notes of every file)" "Wine process start, COM start-up, the table read and checked; per file calsvar's own read of the header, one load, GetVariables of the old value, SetVariables, the read-back, the forecast of the saved header, Save; one line per file"
  printf '\n| Comparison | Ratio | Goal |\n|---|---:|---|\n'
  printf '| set --from / get --name per file (process start subtracted) | %s | at most 2.5 |\n' \
    "$(ratio "$(net "$(median_of write 1)" "$m_start")" "$(net "$(median_of write 0)" "$m_start")")"

  printf '\n### Platform calls per load, counted through the core'"'"'s seams\n\n'
  printf 'The standard header with the sample configuration, loaded three times in one process (`bench/platform_calls`); the configuration file was last written long before. The counts are the same on Windows.\n\n'
  printf '%s\n' "$platform_calls"
  printf '\nRegistry calls of one load after the first, through the kept key'"'"'s seam under Wine (`bench/platform_costs_win`): %s opens, %s value queries, %s closes (before the key was kept: 1 open, 2 queries, 1 close).\n' \
    $(awk '$1 == "registry_per_load" { print $2, $3, $4 }' <<<"$costs")

  printf '\n### Single calls under Wine (`bench/platform_costs_win`, median of 5 batches; load %s)\n\n' "$costs_load"
  printf '| Call | µs per call |\n|---|---:|\n'
  printf '| "SharedLocation" through the kept product key (one query), as every load reads it | %s |\n' "$(cost shared_location)"
  printf '| "SharedLocation" with the key opened afresh (open, one query, close), as before | %s |\n' "$(cost shared_location_afresh)"
  printf '| one identity question about the INI file (GetFileAttributesExW) | %s |\n' "$(cost identity)"
  printf '| one private-profile read | %s |\n' "$(cost profile_read)"
  printf '| header read: share-deny-write open, 2048 bytes, close | %s |\n' "$(cost header_read)"
  printf '| core load asking the configuration for every record (before) | %s |\n' "$(cost load_every_time)"
  printf '| core load through the store (after) | %s |\n' "$(cost load_store)"
  printf '| calsvar'"'"'s listing of one file (its own header read, its own store) | %s |\n' "$(cost listing)"
  printf '\n| Share | Ratio |\n|---|---:|\n'
  printf '| "SharedLocation" / core load through the store | %s |\n' "$(ratio "$(cost shared_location)" "$(cost load_store)")"
  printf '| calsvar'"'"'s listing / core load through the store | %s |\n' "$(ratio "$(cost listing)" "$(cost load_store)")"
  printf '| calsvar'"'"'s listing / calsvar get --name per file | %s |\n' \
    "$(ratio "$(cost listing)" "$(wine_per_file "$m_host")")"
  printf '\n### Wine server requests per file (`bench/server_requests.sh`)\n\n'
  printf 'Requests for files and registry keys that one more file costs, each a round trip to the wineserver: a tenth of what ten more files cost, counted from its trace (the median of three counts). The whole numbers are the same in every run; a tenth more or less comes from Wine'"'"'s own processes, which the server traces too.\n\n'
  printf '| Program | Before the kept key | Now | Now, by kind | Goal |\n|---|---:|---:|---|---|\n'
  request_row "raw floor" ""
  floor_plus_one=$(awk -v n="$(request_total "raw floor")" 'BEGIN { printf "%.1f", n + 1 }')
  request_row "host load alone" "at most $floor_plus_one (the floor's plus 1)"
  request_row "calsvar get --name" "at most $floor_plus_one (the floor's plus 1)"
  request_row "calsvar get" ""
  request_row "calsvar set --from" ""
  printf '\n| Comparison | Ratio |\n|---|---:|\n'
  printf '| host load alone / raw floor | %s |\n' "$(ratio "$(request_total "host load alone")" "$(request_total "raw floor")")"
  printf '| calsvar get --name / raw floor | %s |\n' "$(ratio "$(request_total "calsvar get --name")" "$(request_total "raw floor")")"
  printf '\nOne Wine process per file (%s files; includes Wine process start each time):\n\n' "$wine_sample"
  table_head
  row wine-per-process 0 "$wine_sample" "calsvar get --name x19 FILE, one process per file" "Wine process start, COM start-up, one load, output"
  row wine-per-process 1 "$wine_sample" "raw floor FILE, one process per file" "Wine process start, one open/read/close"

  printf '\n## ./calsvar against calsvar.exe (under a running wineserver)\n\nLoad average before / after: %s / %s. One sample file (samples/drawing-a4.cal), an up-to-date tree and prefix; %s runs per round.\n\n' \
    "$wrapper_load_before" "$wrapper_load_after" "$wrapper_runs"
  printf '| Command | calsvar.exe, s: median (min-max) | ./calsvar, s: median (min-max) | ./calsvar adds, s | Goal |\n|---|---:|---:|---:|---|\n'
  wrapper_row() {  # LABEL INDEX-OF-EXE GOAL
    local exe_median exe_min exe_max wrap_median wrap_min wrap_max
    read -r exe_median exe_min exe_max < <(stats wrapper "$2")
    read -r wrap_median wrap_min wrap_max < <(stats wrapper "$(($2 + 1))")
    printf '| %s | %s (%s-%s) | %s (%s-%s) | %s | %s |\n' "$1" "$(seconds "$exe_median")" "$(seconds "$exe_min")" \
      "$(seconds "$exe_max")" "$(seconds "$wrap_median")" "$(seconds "$wrap_min")" "$(seconds "$wrap_max")" \
      "$(seconds "$(net "$wrap_median" "$exe_median")")" "$3"
  }
  wrapper_row "--help" 0 "at most 0.3"
  wrapper_row "get samples/drawing-a4.cal" 2 "at most 0.3"
  wrapper_row "check samples/drawing-a4.cal" 4 ""

  printf '\n## calsvar check, under Wine\n\nLoad average before / after: %s / %s. Verdicts: %s.\n\n' \
    "$check_load_before" "$check_load_after" "$check_summary"
  table_head
  row wine-check 0 "$files" "calsvar check FOLDER" "Wine process start, folder walk, each file read whole in 64 KB pieces (share-deny-write open), header rules, full Group 4 decode, one line per finding"
  row wine-check 1 "$files" "raw floor: open, read 2048, close" "as above (same rounds as check)"
  printf '\nPeak resident memory of calsvar check over %s files: %s KiB.\n' "$files" "$peak_check"

  printf '\n## Raster decode, natively (median of %s rounds of %s s per decoder and page; load %s)\n\n' \
    "$decode_rounds" "$decode_seconds" "$decode_load"
  cat "$raw/decode.md"

  printf '\n## Portable core, natively\n\nLoad average before / after: %s / %s.\n\n' "$native_load_before" "$native_load_after"
  table_head
  row native 0 "$files" "core driver" "process start, folder walk, LoadHeader (open, read, parse, in-memory tag configuration), every variable read by name"
  row native 1 "$files" "native raw floor: open, read 2048, close" "process start, folder walk, fopen, fread, fclose"
  row native 2 1 "native raw floor on an empty folder" "process start and exit only (per process)"
  printf '\n| Comparison | Ratio | Goal |\n|---|---:|---|\n'
  printf '| core driver / native raw floor (process start subtracted) | %s | at most 1.5 |\n' \
    "$(ratio "$(net "$m_core" "$m_native_start")" "$(net "$m_native_floor" "$m_native_start")")"
  printf '| instructions per file, core driver / raw floor (callgrind, 1000 files) | %s / %s = %s | |\n' \
    "$ir_core" "$ir_floor" "$(ratio "$ir_core" "$ir_floor")"

  printf '\n## Other CALS readers, natively\n\nLoad average before / after: %s / %s.\n\n' "$others_load_before" "$others_load_after"
  table_head
  row others 0 "$(wc -l <"$out/identify.lst")" "identify -ping -format '%w %h' CALS:FILE... (one process)" "one ImageMagick process start; per file what its CALS reader does to answer"
  row others 1 "$sample" "identify -ping CALS:FILE, one process per file" "ImageMagick process start each time"
  row others 2 "$sample" "gdalinfo, one process per file" "GDAL process start and driver registration each time, full info printout"
  row others 3 "$sample" "core driver, one process per file" "process start each time"
  printf '\n| Comparison | Ratio | Goal |\n|---|---:|---|\n'
  identify_count=$(wc -l <"$out/identify.lst")
  identify_per_file=$(awk -v s="$m_identify" -v n="$identify_count" 'BEGIN { print s / n }')
  printf '| identify -ping per file (one process) / calsvar get --name per file | %s | above 1 |\n' \
    "$(ratio "$identify_per_file" "$(awk -v s="$m_host" -v n="$files" 'BEGIN { print s / n }')")"
  printf '| identify -ping per file (one process) / core driver per file | %s | above 1 |\n' \
    "$(ratio "$identify_per_file" "$(awk -v s="$m_core" -v n="$files" 'BEGIN { print s / n }')")"
  printf '\nWidth and height read right: identify with CALS: %s of %s files, with plain names %s of %s sampled; gdalinfo %s of %s sampled; calsvar (pelwidth, pelheight) %s of %s.\n' \
    "$identify_right" "$(wc -l <"$out/identify.lst")" "$identify_plain_right" "$sample" "$gdal_right" "$sample" \
    "$calsvar_right" "$files"

  m_thumbs=$(median_of thumbnails 0)
  m_thumbs_one=$(median_of thumbnails 1)
  m_convert=$(median_of thumbnails 2)
  m_thumbs_wine=$(median_of thumbnails 3)
  printf '\n## Thumbnails (calsvar report), 200 x 200\n\nLoad average before / after: %s / %s.\n\n' \
    "$thumbs_load_before" "$thumbs_load_after"
  table_head
  row thumbnails 0 "$files" "bench/thumbnails --out DIR CORPUS (native, one process)" "process start, folder walk, per file: open, header read and checked, full Group 4 decode, area-averaged scale to fit 200 x 200, PNG written to a file (runs only, deflate with codes of its own per block)"
  row thumbnails 3 "$files" "bench/thumbnails.exe, under Wine (one process)" "the same in the runtime calsvar runs in, Wine process start included"
  row thumbnails 1 "$sample" "bench/thumbnails FILE, one process per file" "the same, one process start per file"
  row thumbnails 2 "$sample" "convert FILE -thumbnail 200x200 PNG:OUT, one process per file" "ImageMagick process start, its CALS reader (libtiff's decoder), its thumbnail resize, PNG written"
  convert_per_file=$(awk -v s="$m_convert" -v n="$sample" 'BEGIN { print s / n }')
  printf '\n| Comparison | Ratio | Goal |\n|---|---:|---|\n'
  printf '| convert per file / thumbnails per file (native, one process) | %s | at least 10 |\n' \
    "$(ratio "$convert_per_file" "$(awk -v s="$m_thumbs" -v n="$files" 'BEGIN { print s / n }')")"
  printf '| convert per file / thumbnails.exe per file under Wine (process start subtracted) | %s | at least 10 |\n' \
    "$(ratio "$convert_per_file" "$(awk -v s="$(net "$m_thumbs_wine" "$m_start")" -v n="$files" 'BEGIN { print s / n }')")"
  printf '| convert per file / thumbnails per file, one process each | %s | |\n' \
    "$(ratio "$convert_per_file" "$(awk -v s="$m_thumbs_one" -v n="$sample" 'BEGIN { print s / n }')")"
  printf '\nPNG bytes per thumbnail: %s on average (%s files); convert'"'"'s thumbnail of the last sampled file: %s bytes.\n' \
    "$(awk -v b="$thumbs_bytes" -v n="$files" 'BEGIN { printf "%.0f", b / n }')" "$files" "$convert_bytes"

  m_report=$(median_of report 0)
  m_report_single=$(median_of report 1)
  m_report_check=$(median_of report 2)
  printf '\n## calsvar report, under Wine\n\nLoad average before / after: %s / %s.\n\n' \
    "$report_load_before" "$report_load_after"
  table_head
  row report 0 "$files" "calsvar report FOLDER -o DIR" "Wine process start, COM start-up, folder walk; per file: the variables through the plug-in (one load, as get), meanwhile on the drawing threads (one per core, at most four) one read, check and decode that also draws the 200 x 200 thumbnail; the thumbnails written 64 to a sheet; the page"
  row report 1 "$files" "calsvar report FOLDER -o DIR --single-file" "the same with each thumbnail a PNG of its own inside the page (base64)"
  row report 2 "$files" "calsvar check FOLDER (same rounds)" "as in the check table above"
  printf '\n| Comparison | Ratio | Goal |\n|---|---:|---|\n'
  printf '| report / check | %s | below 2 |\n' "$(ratio "$m_report" "$m_report_check")"
  printf '| report --single-file / check | %s | |\n' "$(ratio "$m_report_single" "$m_report_check")"
  printf '| convert per file / report per file | %s | at least 10 |\n' \
    "$(ratio "$convert_per_file" "$(awk -v s="$(net "$m_report" "$m_start")" -v n="$files" 'BEGIN { print s / n }')")"
  printf '\nThe report: %s bytes with its sheets; --single-file: %s bytes. Peak resident memory of calsvar report over %s files: %s KiB.\n' \
    "$report_bytes" "$report_single_bytes" "$files" "$peak_report"

  printf '\n## Memory\n\n'
  printf '| Figure | Value |\n|---|---:|\n'
  printf '| header object (CalsHeader) itself | %s bytes |\n' "$(mem object_size)"
  printf '| standard header loaded: tags / sub-tags | %s / %s |\n' "$(mem tags)" "$(mem sub_tags)"
  printf '| live after the load, object included: blocks | %s |\n' "$(mem live_blocks)"
  printf '| live after the load, object included: bytes asked for | %s bytes |\n' "$(mem live_bytes)"
  printf '| live after the load: bytes as handed out by malloc | %s bytes |\n' "$(mem live_usable_bytes)"
  printf '| allocations during one load (configuration'"'"'s own left out) | %s (%s bytes) |\n' \
    "$(mem load_allocations)" "$(mem load_allocated_bytes)"
  printf '| peak resident memory, calsvar get --name x19 over %s files | %s KiB |\n' "$files" "$peak_host"
  printf '| peak resident memory, calsvar get over %s files | %s KiB |\n' "$files" "$peak_listing"
  printf '| peak resident memory, raw floor over %s files | %s KiB |\n' "$files" "$peak_floor"

  printf '\n## One Save (load %s)\n\n' "$save_load"
  printf '| Where | Saves timed | Per save, µs: median of rounds (min-max) |\n|---|---:|---:|\n'
  save_row "natively (C library files)" "$save_native"
  save_row "under Wine (share-deny-write files)" "$save_wine"

  printf '\n## Per operation (Google Benchmark, median of %s repetitions; load %s)\n\n' "$micro_repetitions" "$micro_load"
  printf '| Operation | Wall ns | CPU ns |\n|---|---:|---:|\n'
  jq -r '.benchmarks[] | select(.aggregate_name == "median") |
    "| \(.run_name) | \(.real_time | floor) | \(.cpu_time | floor) |"' "$raw/micro.json"
} >"$results"

cat "$results"
log "results in $results"
