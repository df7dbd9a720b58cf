#!/usr/bin/env bash
# Source checks that need no build: every C++ file is formatted with the project's
# .clang-format, and the model includes no Qt header (it must build and be tested without Qt).
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== Formatting (clang-format --dry-run -Werror)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== The model includes no Qt header"
if grep -rnE '#\s*include\s*[<"](Q[A-Za-z]|qt)' src/model; then
  echo "src/model must not include Qt headers" >&2
  exit 1
fi
