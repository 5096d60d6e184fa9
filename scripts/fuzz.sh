#!/usr/bin/env bash
# Builds the fuzz targets (the manifest reader, the ViewFilter reader, the
# script scanner) with Clang's libFuzzer and runs each for a short while on
# its seed corpus in fuzz/corpus. Without clang++ there is nothing to do.
#
#   scripts/fuzz.sh [SECONDS]     # seconds per target, 10 unless given
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: no clang++ here; the fuzz targets are not built"
  exit 0
fi

build=build-fuzz
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVK_FUZZ=ON -DVK_BUILD_UI=OFF -DVK_BUILD_TESTS=OFF -DVK_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
targets=(manifest filter_reader scanner)
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
for target in "${targets[@]}"; do
  # The fuzzer adds what it finds to its corpus: a copy, not the seeds.
  corpus=$(mktemp -d)
  cp fuzz/corpus/"$target"/* "$corpus"/
  log="$artifacts/$target.log"
  echo "fuzz: $target for $seconds s"
  status=0
  "$build/bin/fuzz_$target" "$corpus" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=2048 -artifact_prefix="$artifacts/$target-" -print_final_stats=1 \
    >"$log" 2>&1 || status=$?
  rm -rf "$corpus"
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
  # A crash, a leak, a time-out or a sanitizer report fails the run.
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    echo "fuzz: $target failed; the input is in $artifacts" >&2
    exit "$status"
  fi
done
