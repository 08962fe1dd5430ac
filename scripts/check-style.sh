#!/usr/bin/env bash
# The style checks of the test command: clang-format over every C++ file of the repository (no
# file may differ from .clang-format's layout) and clang-tidy over src/ with the checks of
# .clang-tidy (any finding fails). clang-tidy reads the compile commands of a configured build.
#
#   scripts/check-style.sh [BUILD_DIR]      BUILD_DIR defaults to build (or $TEVO_BUILD_DIR)
#   TEVO_TIDY=0 scripts/check-style.sh      the format check only
#   TEVO_TIDY_TESTS=1 scripts/check-style.sh   clang-tidy over tests/ as well
#
# To mend the format: clang-format -i FILE... (the files this check names).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-${TEVO_BUILD_DIR:-build}}
status=0

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t sources < <(find src tests demo bench fuzz wine -name '*.cpp' -o -name '*.h' | sort)
fi
echo "check-style: clang-format over ${#sources[@]} files"
if ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "check-style: these files differ from .clang-format's layout (clang-format -i mends them)" >&2
  status=1
fi

if [ "${TEVO_TIDY:-1}" != 0 ]; then
  if [ ! -f "$build/compile_commands.json" ]; then
    echo "check-style: $build/compile_commands.json is missing: configure the build first" >&2
    exit 1
  fi
  # Only the project's sources: the build folder's generated files (moc, resources) are left out.
  filter="^$PWD/src/"
  if [ "${TEVO_TIDY_TESTS:-0}" != 0 ]; then
    filter="^$PWD/(src|tests)/"
  fi
  echo "check-style: clang-tidy over $filter"
  tidy_status=0
  run-clang-tidy -p "$build" -j "$(nproc)" -quiet "$filter" >"$build/clang-tidy.log" 2>&1 ||
    tidy_status=$?
  # run-clang-tidy colours its report; the summary here is plain text. Findings that .clang-tidy
  # does not make errors are shown too, without failing the check.
  sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" |
    grep -E '(warning|error):|note: [0-9]+ lines including' | sort -u >&2 || true
  if [ "$tidy_status" != 0 ]; then
    echo "check-style: clang-tidy failed (whole report: $build/clang-tidy.log)" >&2
    status=1
  fi
fi
exit $status
