#!/usr/bin/env bash
# scripts/prova-sanitizer.sh [build folder]: builds the application and the
# tests with AddressSanitizer and UndefinedBehaviorSanitizer, in a folder
# beside the normal build ("<build folder>-sanitizzatori"), and runs there
# every test but those tests/sanitizzatori/esclusi.txt lists. The libraries' own
# leaks are suppressed by tests/sanitizzatori/lsan.supp. Run by
# `scripts/halvora.sh test` after the normal suite, in its environment.
# Any report ends the process that made it, and fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$PWD
build="${1:-$radice/build}-sanitizzatori"

# -O1 and line tables only: quicker to build than the normal optimised
# build with full debug information, and still a file and line for every
# frame of a report.
sanitizer="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
opzioni=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DHALVORA_BENCH=OFF
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
  -DCMAKE_CXX_FLAGS="$sanitizer" -DCMAKE_C_FLAGS="$sanitizer"
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
  # The fuzz targets are built and run by the normal build.
  -DHALVORA_CLANGXX=)
if command -v ccache >/dev/null; then
  opzioni+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
[ -f "$build/CMakeCache.txt" ] || opzioni+=(-G Ninja)
echo "The application and the tests, built with the sanitizers in $build"
cmake -S . -B "$build" "${opzioni[@]}" >/dev/null
cmake --build "$build" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
esclusi=$(grep -v '^\s*\(#\|$\)' tests/sanitizzatori/esclusi.txt | tr '\n' '|')

# Every process of a test, helpers and services included, stops at its
# first report and says where. Allocations keep whole stacks, through the
# libraries built without frame pointers, so that the suppressions match.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0:check_initialization_order=1:strict_init_order=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$radice/tests/sanitizzatori/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# A session bus for the tests that have none of their own: without one,
# the D-Bus library forks to start one, and a forked child of a sanitized
# process with threads can wait forever on the allocator's lock.
dbus-run-session -- ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 900 -E "^(${esclusi%|})\$"
