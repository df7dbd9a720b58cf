#!/usr/bin/env bash
# Runs each libFuzzer target for a bounded time from its seed corpus. Any crash, leak or
# sanitizer report fails the run (libFuzzer exits non-zero and leaves the input beside it).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-sanitize}"
seconds="${2:-60}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for target in panel show; do
  exe="$build/tests/fuzz/fuzz_${target}_reader"
  corpus="$work/$target"
  mkdir -p "$corpus"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  echo "-- fuzz_${target}_reader for ${seconds}s"
  set +e
  "$exe" -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$work/" "$corpus" > "$work/$target.log" 2>&1
  status=$?
  set -e
  tail -n 5 "$work/$target.log"
  if [ "$status" -ne 0 ]; then
    # Keep the failing input beside the targets (ignored by git) before the work folder goes.
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* tests/fuzz/ 2>/dev/null || true
    tail -n 60 "$work/$target.log"
    echo "fuzz_${target}_reader failed (status $status)"
    exit 1
  fi
done
