#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each one for
# a bounded time: FUZZ_SECONDS each (default 60). The seed corpora live in
# fuzz/corpus/<target>; new inputs a run finds go to build/fuzz/corpus/
# (not into the repository) and findings to build/fuzz/findings/.
# Usage: scripts/fuzz.sh [target ...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=(vst2_chunk vst2_midi vst3_state vst3_events clap_state clap_events preset_file png
    identify_host midi_file)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

work="$PWD/build/fuzz"
mkdir -p "$work/findings"
# The plug-ins look for presets below the documents folder: an empty one.
export THUDWERK_DOCUMENTS_DIR="$work/documents"
mkdir -p "$THUDWERK_DOCUMENTS_DIR"
for target in "${targets[@]}"; do
  corpus="$work/corpus/$target"
  mkdir -p "$corpus"
  echo "== fuzz_$target: ${seconds} s"
  log="$work/findings/$target.log"
  if ! "$work/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 \
    -print_final_stats=1 -artifact_prefix="$work/findings/$target-" \
    "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "fuzz_$target found a fault; the input is in $work/findings/" >&2
    exit 1
  fi
  grep -E 'DONE|stat::number_of_executed_units' "$log" || true
done
