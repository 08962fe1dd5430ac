#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (unit, widget, end-to-end),
# then builds the whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs it once more. End-to-end tests start their own Xvfb and local servers on 127.0.0.1.
#
#   TEVO_SANITIZE_RUN=0 scripts/test.sh    skips the sanitizer run
#   scripts/test.sh -R handoff             extra arguments go to ctest (both runs)
#   TEVO_STYLE_CHECK=0 scripts/test.sh     skips the format and clang-tidy check
#
# The generated files (manual pages, pictures) are also built with CMake's default generator,
# Unix Makefiles, in build-make/ (TEVO_MAKE_BUILD_DIR chooses another): the README's plain
# `cmake -S . -B build && cmake --build build` uses it, and unlike Ninja it makes no output
# folder for a custom command.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --update

# The Windows programs of the Wine tests run under zh_TW.UTF-8, which gives them code page 950.
if ! locale -a 2>/dev/null | grep -qix 'zh_TW\.utf-\?8'; then
  localedef -i zh_TW -f UTF-8 zh_TW.UTF-8 ||
    echo "test: could not generate the locale zh_TW.UTF-8 (as root it can be); the Wine tests will be skipped" >&2
fi

build=${TEVO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

# The layout of every C++ file (clang-format) and clang-tidy's checks over src/ (.clang-tidy);
# scripts/check-style.sh says how to mend what it finds.
if [ "${TEVO_STYLE_CHECK:-1}" != 0 ]; then
  scripts/check-style.sh "$build"
fi

make_build=${TEVO_MAKE_BUILD_DIR:-build-make}
cmake -S . -B "$make_build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$make_build" --parallel "$(nproc)" --target tevo-compressed-docs tevo-theme-icons
ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"

if [ "${TEVO_SANITIZE_RUN:-1}" != 0 ]; then
  sanitized=${TEVO_SANITIZE_BUILD_DIR:-build-sanitize}
  supp="$PWD/tests/sanitizers"
  # The build runs the picture generator, so the sanitizers' options apply from here on.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0:suppressions=$supp/asan.supp"
  export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp"
  cmake -S . -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVO_SANITIZE=ON
  cmake --build "$sanitized"
  # The slow full-length countdown and the system-wide package test run once, above.
  ctest --test-dir "$sanitized" --output-on-failure --timeout 900 -LE 'slow|package' "$@"
fi
