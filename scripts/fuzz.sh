#!/usr/bin/env bash
# Runs the libFuzzer targets found in the given build folders, each from its stored corpus
# (tests/fuzz/corpus/<name>/), the panel format's dictionary for the targets reading panels. Any crash, leak, timeout
# or sanitizer report fails the run; the failing input is kept beside the targets.
#
#   scripts/fuzz.sh [SECONDS] BUILD...     each target SECONDS (default 60) from a copy of the
#                                          stored corpus, which is left as it is (what CI runs)
#   scripts/fuzz.sh --hours N BUILD...     long mode: all targets in turn for N hours in all
#                                          (slices of at most 30 minutes), growing a kept
#                                          corpus in .fuzz/<name>/; then merges what is new
#                                          into tests/fuzz/corpus/<name>/ (minimised, -merge=1)
#                                          and prints executions, coverage and findings per
#                                          target
#
# Options for either mode: --only NAME[,NAME] runs only those targets.
# Names: panel (fuzz_panel_reader), show (fuzz_show_reader), playback (fuzz_playback),
# picture (fuzz_picture_decode), draw (fuzz_panel_draw).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
hours=""
only=""
builds=()
while [ $# -gt 0 ]; do
  case "$1" in
    --hours) hours="$2"; shift 2 ;;
    --only) only=",$2,"; shift 2 ;;
    [0-9]*) seconds="$1"; shift ;;
    *) builds+=("$1"); shift ;;
  esac
done
[ ${#builds[@]} -gt 0 ] || builds=(build-sanitize)

declare -A exe_of=([panel]=fuzz_panel_reader [show]=fuzz_show_reader [playback]=fuzz_playback
                   [picture]=fuzz_picture_decode [draw]=fuzz_panel_draw)
declare -A max_len=([panel]=8192 [show]=4096 [playback]=16384 [picture]=65536 [draw]=8192)
declare -A dict_of=([panel]=panel [draw]=panel)
order=(panel show playback picture draw)

# The targets present in the build folders, as name=path.
targets=()
for name in "${order[@]}"; do
  if [ -n "$only" ] && [[ "$only" != *",$name,"* ]]; then
    continue
  fi
  for build in "${builds[@]}"; do
    exe="$build/tests/fuzz/${exe_of[$name]}"
    if [ -x "$exe" ]; then
      targets+=("$name=$exe")
      break
    fi
  done
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz target found in: ${builds[*]}" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0}"
export QT_QPA_PLATFORM=offscreen

# run NAME EXE SECONDS CORPUS LOG: one libFuzzer run; fails the script on a finding.
run() {
  local name="$1" exe="$2" secs="$3" corpus="$4" log="$5"
  local dict=()
  [ -n "${dict_of[$name]:-}" ] && dict=(-dict="tests/fuzz/${dict_of[$name]}.dict")
  set +e
  "$exe" -max_total_time="$secs" -max_len="${max_len[$name]}" -rss_limit_mb=2560 -timeout=20 \
    -print_final_stats=1 "${dict[@]}" -artifact_prefix="$work/" "$corpus" > "$log" 2>&1
  local status=$?
  set -e
  if [ "$status" -ne 0 ]; then
    # Keep the failing input beside the targets (ignored by git) before the work folder goes.
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* tests/fuzz/ 2>/dev/null || true
    tail -n 60 "$log"
    echo "${exe_of[$name]} failed (status $status)"
    exit 1
  fi
}

# The figures of a log: executions, then the last cov/ft/corpus line.
summary() {
  local log="$1"
  local runs cov
  runs="$(grep -h 'stat::number_of_executed_units' "$log" | awk '{s += $2} END {print s + 0}')"
  cov="$(grep -ho 'cov: [0-9]* ft: [0-9]* corp: [0-9]*/[0-9a-zA-Z]*' "$log" | tail -n 1)"
  echo "$runs executions, $cov"
}

if [ -z "$hours" ]; then
  for entry in "${targets[@]}"; do
    name="${entry%%=*}"
    exe="${entry#*=}"
    corpus="$work/$name"
    mkdir -p "$corpus"
    cp tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
    echo "-- ${exe_of[$name]} for ${seconds}s"
    run "$name" "$exe" "$seconds" "$corpus" "$work/$name.log"
    echo "   $(summary "$work/$name.log")"
  done
  exit 0
fi

# Long mode.
total=$(awk -v h="$hours" 'BEGIN {printf "%d", h * 3600}')
per_target=$(( total / ${#targets[@]} ))
slice=$(( per_target < 1800 ? per_target : 1800 ))
[ "$slice" -ge 1 ] || slice=1
logs="$work/logs"
mkdir -p "$logs"
declare -A spent
for entry in "${targets[@]}"; do
  name="${entry%%=*}"
  spent[$name]=0
  mkdir -p ".fuzz/$name"
  cp -n tests/fuzz/corpus/"$name"/* ".fuzz/$name"/ 2>/dev/null || true
done
round=0
while :; do
  busy=0
  for entry in "${targets[@]}"; do
    name="${entry%%=*}"
    exe="${entry#*=}"
    left=$(( per_target - spent[$name] ))
    [ "$left" -gt 0 ] || continue
    busy=1
    secs=$(( left < slice ? left : slice ))
    echo "-- ${exe_of[$name]}: ${secs}s (round $round)"
    run "$name" "$exe" "$secs" ".fuzz/$name" "$logs/$name.$round.log"
    spent[$name]=$(( spent[$name] + secs ))
  done
  [ "$busy" -eq 1 ] || break
  round=$(( round + 1 ))
done
echo "== Long run: $hours h over ${#targets[@]} targets"
for entry in "${targets[@]}"; do
  name="${entry%%=*}"
  exe="${entry#*=}"
  cat "$logs/$name".*.log > "$work/$name.all.log"
  echo "${exe_of[$name]}: $(summary "$work/$name.all.log"), no finding"
  # What the runs found that the stored corpus does not cover yet, minimised into it.
  mkdir -p "tests/fuzz/corpus/$name"
  "$exe" -merge=1 -max_len="${max_len[$name]}" "tests/fuzz/corpus/$name" ".fuzz/$name" \
    > "$work/$name.merge.log" 2>&1
  grep -h 'MERGE-OUTER: [0-9]* new files' "$work/$name.merge.log" | sed 's/^/   /' || true
done
