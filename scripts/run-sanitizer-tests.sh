#!/usr/bin/env bash
# Builds the libraries and the tests that need no window and no sound server
# (label "headless") with AddressSanitizer and UndefinedBehaviorSanitizer in a
# build folder of their own (build-asan), and runs those tests. Any finding
# stops the test program, so it fails the run.
#
#   scripts/run-sanitizer-tests.sh [ctest options, e.g. -R OutputName]
#
# SANITIZE=thread builds the speech and export tests with ThreadSanitizer
# instead (build-tsan) and runs the two test programs (options then go to
# them, e.g. --gtest_filter=JoinFiles*). BUILD_DIR overrides the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=${SANITIZE:-address}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

case "$sanitize" in
  address)
    build_dir=${BUILD_DIR:-build-asan}
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    targets=(headless_tests)
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    # Leaks inside system libraries that are not ours to fix.
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0}
    ;;
  thread)
    build_dir=${BUILD_DIR:-build-tsan}
    flags="-fsanitize=thread -fno-omit-frame-pointer"
    targets=(speech_test export_tests)
    programs=(tests/speech/speech_test tests/export/export_tests)
    export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan-suppressions.txt}
    ;;
  *)
    echo "SANITIZE must be address or thread" >&2
    exit 2
    ;;
esac

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DVELLUMTONE_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="${flags%% -fno-*}"
cmake --build "$build_dir" -j"$(nproc)" --target "${targets[@]}"

if [ "$sanitize" = thread ]; then
  # Each program runs whole, its tests one after another in one process.
  for program in "${programs[@]}"; do
    "$build_dir/$program" "$@"
  done
else
  ctest --test-dir "$build_dir" -L '^headless$' --output-on-failure --timeout 600 \
    -j"$(nproc)" "$@"
fi
