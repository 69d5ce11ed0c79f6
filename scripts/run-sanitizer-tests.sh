#!/usr/bin/env bash
# Builds the libraries and the tests that need no window and no sound server
# (label "headless") with AddressSanitizer and UndefinedBehaviorSanitizer in a
# clang build folder of their own (build-asan, shared with run-fuzz.sh), and
# runs those tests. Any finding stops the test program, so it fails the run.
#
#   scripts/run-sanitizer-tests.sh [ctest options, e.g. -R OutputName]
#
# SANITIZE=thread builds the speech and export tests with ThreadSanitizer
# instead (build-tsan) and runs the two test programs (options then go to
# them, e.g. --gtest_filter=JoinFiles*). BUILD_DIR overrides the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=${SANITIZE:-address}

if [ "$sanitize" = address ]; then
  source scripts/sanitized-build.sh
  sanitized_build headless_tests
  exec ctest --test-dir "$asan_build_dir" -L '^headless$' --output-on-failure --timeout 600 \
    -j"$(nproc)" "$@"
elif [ "$sanitize" != thread ]; then
  echo "SANITIZE must be address or thread" >&2
  exit 2
fi

build_dir=${BUILD_DIR:-build-tsan}
flags="-fsanitize=thread -fno-omit-frame-pointer"
# die_after_fork=0: the tests start programs (espeak-ng, lame, the program
# itself) through QProcess, whose child only calls exec.
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$PWD/scripts/tsan-suppressions.txt}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DVELLUMTONE_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="${flags%% -fno-*}"
cmake --build "$build_dir" -j"$(nproc)" --target speech_test export_tests

# Each program runs whole, its tests one after another in one process.
for program in tests/speech/speech_test tests/export/export_tests; do
  "$build_dir/$program" "$@"
done
