#!/usr/bin/env bash
# Installs what is missing, builds, runs every test through CTest, then builds
# the Debian package and runs the installed programs (scripts/package-test.sh).
# With CI set (or ZARV_SANITIZE=1), runs the tests a second time in a build
# with AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes the readers
# of outside files for ZARV_FUZZ_SECONDS (40) each when clang is installed.
# ZARV_CRASH_KILLS sets how many saves the crash test kills (5).
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== The Debian package, and both programs installed read-only and run by a user of their own"
./scripts/package-test.sh build

if [ -n "${CI:-}" ] || [ "${ZARV_SANITIZE:-0}" = 1 ]; then
  echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZARV_SANITIZE=ON -DZARV_BUILD_BENCH=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
fi

if [ -n "${CI:-}" ] || [ -n "${ZARV_FUZZ_SECONDS:-}" ]; then
  if command -v clang++ >/dev/null 2>&1; then
    seconds=${ZARV_FUZZ_SECONDS:-40}
    echo "== Fuzzing the payment file, Verify.csv and workbook readers, ${seconds} s each"
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARV_FUZZ=ON \
      -DZARV_SANITIZE=ON -DZARV_BUILD_TESTS=OFF -DZARV_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j "$jobs" --target fuzz_paymentfile fuzz_verifycsv fuzz_workbook
    # The readers are fuzzed on the core alone, without the display libraries.
    for reader in paymentfile verifycsv workbook; do
      if ldd "build-fuzz/fuzz/fuzz_$reader" | grep -E 'libQt6(Gui|Widgets)'; then
        echo "fuzz_$reader links a display library"
        exit 1
      fi
    done
    for reader in paymentfile verifycsv workbook; do
      corpus=build-fuzz/corpus/$reader
      mkdir -p "$corpus"
      cp -n fuzz/seeds/$reader/* "$corpus"/ 2>/dev/null || true
      case $reader in
        paymentfile) cp -n samples/Zarvdata.csv "$corpus"/ ;;
        workbook) cp -n samples/MortNo1234.xlsx "$corpus"/ ;;
      esac
      # Leaks count as failures: a reader that keeps memory from each input
      # would grow without bound on a long run.
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "build-fuzz/fuzz/fuzz_$reader" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=262144 \
        -artifact_prefix="build-fuzz/$reader-" -print_final_stats=1 "$corpus" 2>&1 | tail -15
      test "${PIPESTATUS[0]}" -eq 0
    done
  else
    echo "== clang is not installed: the readers are not fuzzed"
  fi
fi
