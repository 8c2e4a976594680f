#!/usr/bin/env bash
# Runs every libFuzzer target (the portable core, calsvar's deflater) for SECONDS seconds each,
# one after the other, and prints one line per target: executions, executions
# per second, corpus size (seeds -> end), coverage (libFuzzer's cov:) and
# findings (crash, leak, timeout and out-of-memory inputs).
#
#   scripts/fuzz.sh SECONDS [TARGET...]     e.g. scripts/fuzz.sh 300
#
# The targets are built in the native-asan preset (clang, AddressSanitizer,
# UndefinedBehaviorSanitizer, LeakSanitizer). Each runs on a scratch copy of
# its seed corpus in build/fuzz/<target>/corpus, so fuzz/corpus is never
# written; the inputs of its findings are kept in build/fuzz/<target>/ (those
# of an earlier run are removed when the target starts again), its output in
# build/fuzz/<target>/fuzz.log. A finding becomes a regression test by adding
# its input to fuzz/corpus/<target>/ once it is fixed.
#
# Exits nonzero when any target has a finding.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MIROTEX_ROOT"

usage() { echo "usage: $0 SECONDS [TARGET...]" >&2; exit 2; }
[[ $# -ge 1 && $1 =~ ^[1-9][0-9]*$ ]] || usage
DURATION=$1
shift

# Target and the longest input worth trying: a header is 2048 bytes (its
# target's input adds a configuration or a raster), the texts of the tag
# targets are short (the store's steps too), a date is 12 bytes; the raster targets take a few
# kilobytes of Group 4 data; the deflater's bytes run past its longest
# match and its block of symbols.
declare -A MAX_LEN=(
  [cals_record_parse]=4096
  [cals_add_record]=1024
  [cals_tag_value]=1024
  [cals_header_config]=4096
  [cals_config_store]=2048
  [convert_format_date]=12
  [convert_printf]=512
  [registrar_script]=4096
  [conformance_group4]=4096
  [conformance_file]=8192
  [picture_run_deflater]=65536
)
ALL_TARGETS=(cals_record_parse cals_add_record cals_tag_value cals_header_config cals_config_store
             convert_format_date convert_printf registrar_script conformance_group4 conformance_file
             picture_run_deflater)
TARGETS=("${ALL_TARGETS[@]}")
if (($# > 0)); then
  TARGETS=("$@")
  for target in "${TARGETS[@]}"; do
    [[ -n "${MAX_LEN[$target]:-}" ]] || { log "unknown target $target (known: ${ALL_TARGETS[*]})"; exit 2; }
  done
fi

ensure_packages || { log "package installation failed"; exit 1; }
mkdir -p build/fuzz
log "configure native-asan"
if ! cmake --preset native-asan >build/fuzz/configure.log 2>&1; then
  cat build/fuzz/configure.log
  exit 1
fi
log "build fuzz targets"
if ! cmake --build --preset native-asan --target fuzzers -j "$(nproc)" >build/fuzz/build.log 2>&1; then
  grep -E "error|Error" build/fuzz/build.log | head -50
  exit 1
fi

# Leaks are findings too; UBSan reports carry a stack.
export ASAN_OPTIONS=detect_leaks=1:${ASAN_OPTIONS:-}
export UBSAN_OPTIONS=print_stacktrace=1:${UBSAN_OPTIONS:-}

# The value of a "stat::<name>: N" line of libFuzzer's final statistics.
final_stat() { grep -E "^stat::$2:" "$1" | tail -1 | awk '{print $2}'; }

ROWS=()
FINDINGS=0
for target in "${TARGETS[@]}"; do
  dir="build/fuzz/$target"
  binary="build/native-asan/fuzz/fuzz_$target"
  rm -rf "$dir/corpus"
  rm -f "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-* "$dir"/slow-unit-*
  mkdir -p "$dir/corpus"
  cp fuzz/corpus/"$target"/* "$dir/corpus/"
  seeds=$(find "$dir/corpus" -type f | wc -l)

  log "fuzz $target for ${DURATION}s"
  "$binary" -max_total_time="$DURATION" -max_len="${MAX_LEN[$target]}" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" >"$dir/fuzz.log" 2>&1
  status=$?

  execs=$(final_stat "$dir/fuzz.log" number_of_executed_units)
  rate=$(final_stat "$dir/fuzz.log" average_exec_per_sec)
  cov=$(grep -oE ' cov: [0-9]+' "$dir/fuzz.log" | tail -1 | awk '{print $2}')
  corpus=$(find "$dir/corpus" -type f | wc -l)
  found=$(find "$dir" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  verdict=$found
  if ((found > 0)); then
    FINDINGS=1
    verdict="$found (see $dir/)"
  elif ((status != 0)); then
    # Ended badly without leaving an input behind: a finding all the same.
    FINDINGS=1
    verdict="exit $status (see $dir/fuzz.log)"
  fi
  ROWS+=("$(printf '%-21s %12s %8s %7s %6s  %s' "$target" "${execs:-?}" "${rate:-?}" "$seeds->$corpus" "${cov:-?}" "$verdict")")
done

echo
echo "== fuzzing, ${DURATION}s per target"
printf '%-21s %12s %8s %7s %6s  %s\n' target executions exec/s corpus cov findings
for row in "${ROWS[@]}"; do echo "$row"; done
exit $FINDINGS
