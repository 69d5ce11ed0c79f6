#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) in build-asan, the sanitizer tests' folder,
# and runs each for a while (one per core at a time),
# starting from its seed corpus in fuzz/corpus with its dictionary in fuzz/dict.
# Any crash, sanitizer finding, timeout or failed check fails the script.
#
#   scripts/run-fuzz.sh                  every target for 30 s
#   FUZZ_SECONDS=1800 scripts/run-fuzz.sh page_text
#   FUZZ_SECONDS=600 FUZZ_MAX_LEN=1048576 scripts/run-fuzz.sh style_sheet
#                                        longer inputs, to reach what only size shows
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
seconds="${FUZZ_SECONDS:-30}"
max_len="${FUZZ_MAX_LEN:-4096}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(page_text charset text_splitter settings_value style_sheet)
fi

source scripts/sanitized-build.sh
sanitized_build "${targets[@]/#/fuzz_}"
build=$asan_build_dir
export QT_QPA_PLATFORM=offscreen
# One target per core at a time; each keeps its own corpus, log and artifacts.
fuzz_one() {
  local target=$1 work="$build/fuzz-runs/$1"
  mkdir -p "$work/corpus" "$work/artifacts"
  "$build/fuzz/fuzz_$target" "$work/corpus" "$root/fuzz/corpus/$target" \
    -dict="$root/fuzz/dict/$target.dict" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" 2>"$work/log.txt"
}

status=0
pids=()
names=()
report() {
  local i
  for i in "${!pids[@]}"; do
    local target=${names[$i]} work="$build/fuzz-runs/${names[$i]}"
    if wait "${pids[$i]}"; then
      grep -E '^(stat::number_of_executed_units|Done)' "$work/log.txt" | sed "s/^/run-fuzz: $target: /" || true
    else
      echo "run-fuzz: $target FAILED; see $work/log.txt and $work/artifacts" >&2
      tail -n 40 "$work/log.txt" >&2
      status=1
    fi
  done
  pids=()
  names=()
}
for target in "${targets[@]}"; do
  echo "run-fuzz: $target for ${seconds} s"
  fuzz_one "$target" &
  pids+=($!)
  names+=("$target")
  if [ ${#pids[@]} -ge "$(nproc)" ]; then
    report
  fi
done
report
exit $status
