#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMTONE_BUILD_TESTS=OFF -DVELLUMTONE_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)" --target vellumtone
exec ./build/vellumtone "$@"
