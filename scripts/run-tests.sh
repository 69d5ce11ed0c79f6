#!/usr/bin/env bash
# Builds everything and runs the whole test suite, with a PulseAudio null sink
# so the speech tests play real audio headless.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

if [ -x scripts/test-audio.sh ]; then
  ./scripts/test-audio.sh
fi

ctest --test-dir build --output-on-failure --timeout 300 -j"$(nproc)" "$@"
