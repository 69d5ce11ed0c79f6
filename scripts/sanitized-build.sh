# Sourced by run-sanitizer-tests.sh and run-fuzz.sh: one clang build folder
# (build-asan) with AddressSanitizer, UndefinedBehaviorSanitizer and the
# fuzzer's coverage hooks, so the headless tests and the fuzz targets share
# one build of the libraries.
#
#   sanitized_build TARGET...   configures the folder and builds the targets
asan_build_dir=${BUILD_DIR:-$PWD/build-asan}
asan_flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer -gline-tables-only -O1"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Leaks inside system libraries that are not ours to fix.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0}

sanitized_build() {
  local launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  # No build type: only the flags above, -O1 with line tables, which compiles
  # far quicker than full debug information and still names file and line.
  cmake -S . -B "$asan_build_dir" -DCMAKE_BUILD_TYPE=None "${launcher[@]}" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$asan_flags" -DCMAKE_C_FLAGS="$asan_flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DVELLUMTONE_BUILD_BENCH=OFF -DVELLUMTONE_BUILD_FUZZ=ON >/dev/null
  cmake --build "$asan_build_dir" -j"$(nproc)" --target "$@"
}
