#!/usr/bin/env bash
# The reliability checks, after the plain suites (scripts/test-all.sh calls
# this): the whole native suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the thread test under ThreadSanitizer, and every
# fuzzer for FUZZ_SECONDS (default 60) each. Each step builds only what it
# runs.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { echo "== $1 ($(date -u +%H:%M:%S))"; }

step "sanitize: ASan + UBSan, whole native suite"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

step "tsan: three-thread test"
cmake --preset tsan
cmake --build --preset tsan --target thudwerk_thread_tests_vst2 thudwerk_thread_tests_vst3 \
  thudwerk_thread_tests_clap
ctest --preset tsan

step "fuzz: every target"
scripts/fuzz.sh
step "done"
