#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) in build-fuzz and runs each for a while,
# starting from its seed corpus in fuzz/corpus with its dictionary in fuzz/dict.
# Any crash, sanitizer finding, timeout or failed check fails the script.
#
#   scripts/run-fuzz.sh                  every target for 30 s
#   FUZZ_SECONDS=1800 scripts/run-fuzz.sh page_text
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-30}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(page_text charset text_splitter settings_value)
fi

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DVELLUMTONE_BUILD_TESTS=OFF -DVELLUMTONE_BUILD_BENCH=OFF -DVELLUMTONE_BUILD_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
status=0
for target in "${targets[@]}"; do
  work="$build/fuzz-runs/$target"
  mkdir -p "$work/corpus" "$work/artifacts"
  echo "run-fuzz: $target for ${seconds} s"
  if ! "$build/fuzz/fuzz_$target" "$work/corpus" "$root/fuzz/corpus/$target" \
      -dict="$root/fuzz/dict/$target.dict" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$work/artifacts/" 2>"$work/log.txt"; then
    echo "run-fuzz: $target FAILED; see $work/log.txt and $work/artifacts" >&2
    tail -n 40 "$work/log.txt" >&2
    status=1
  else
    grep -E '^(stat::number_of_executed_units|Done)' "$work/log.txt" | sed "s/^/run-fuzz: $target: /" || true
  fi
done
exit $status
