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
  "$exe" -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$work/" "$corpus" 2>&1 | tail -n 5
  status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ]; then
    echo "fuzz_${target}_reader failed (status $status)"; ls "$work"; exit 1
  fi
done
