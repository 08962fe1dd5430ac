#!/usr/bin/env bash
# Installs what is missing, builds the libFuzzer targets with clang and runs each for SECONDS
# (default 600), one after the other.
#
#   scripts/fuzz.sh [SECONDS [TARGET...]]
#
# TARGET is profile_reader, numeric_text, fetch_reply, volume_serial or registry_export; without
# one, all run.
# Inputs that crash a target or break one of its checks are written to
# build-fuzz/crashes/<target>/; the corpus a run grows is kept in build-fuzz/corpus/<target>/
# (the seeds in fuzz/corpus/ are only read). Each run's log is build-fuzz/<target>.log.
# Exits 1 when any target found something. Replay an input with
# build-fuzz/fuzz/fuzz_<target> FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
case $seconds in
  '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS [TARGET...]]" >&2; exit 2 ;;
esac
shift $(( $# > 0 ? 1 : 0 ))
build=${TEVO_FUZZ_BUILD_DIR:-build-fuzz}

# Longest input per target: a profile or mount table of a few KiB, a number of a few hundred
# characters, two replies and a customer code, a settings or registry export of a few KiB.
declare -A maxLength=([profile_reader]=4096 [numeric_text]=256 [fetch_reply]=4096
                      [volume_serial]=4096 [registry_export]=4096)
targets=(profile_reader numeric_text fetch_reply volume_serial registry_export)
if [ $# -gt 0 ]; then
  for name in "$@"; do
    [ -n "${maxLength[$name]:-}" ] || { echo "fuzz: no target $name" >&2; exit 2; }
  done
  targets=("$@")
fi

TEVO_EXTRA_PACKAGES="clang-14 libclang-rt-14-dev" scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DTEVO_FUZZ=ON \
  -DTEVO_BUILD_TESTS=OFF
cmake --build "$build" --target tevo_fuzzers

found=()
for name in "${targets[@]}"; do
  crashes=$build/crashes/$name
  corpus=$build/corpus/$name
  mkdir -p "$crashes" "$corpus"
  touch "$build/$name.started"
  echo "fuzz: $name for ${seconds} s"
  if ! "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="${maxLength[$name]}" \
      -timeout=10 -print_final_stats=1 -artifact_prefix="$crashes/" \
      "$corpus" "fuzz/corpus/$name" >"$build/$name.log" 2>&1; then
    found+=("$name")
  fi
  grep -E '^(stat::|Done |#[0-9]+[[:space:]]+DONE|==[0-9]+== ERROR|SUMMARY)' "$build/$name.log" || true
done

for name in "${targets[@]}"; do
  count=$(find "$build/crashes/$name" -type f -newer "$build/$name.started" | wc -l)
  echo "fuzz: $name: $count new input(s) in $build/crashes/$name"
done
if [ ${#found[@]} -gt 0 ]; then
  echo "fuzz: found something in: ${found[*]} (see $build/<target>.log)" >&2
  exit 1
fi
