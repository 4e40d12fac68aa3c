#!/usr/bin/env bash
# Installs what is missing, builds Tarvo and runs the whole test suite: once in a normal build,
# once with AddressSanitizer and UndefinedBehaviorSanitizer, the process runner suite once more
# with ThreadSanitizer, and each fuzz target for a short, bounded time. Exits non-zero when
# anything fails.
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc)
fuzz_seconds=${TARVO_FUZZ_SECONDS:-20}
failed=()

step() { printf '\n=== %s\n' "$*"; }

# Test programs print only what failed, so that a failure is not lost among passing tests.
export GTEST_BRIEF=1

# Runs ctest on a build folder, keeping what it printed for the digest at the end.
run_tests() { # build folder, what the run is called, extra ctest arguments...
    local folder=$1 name=$2 status=0
    shift 2
    ctest --test-dir "$folder" --output-on-failure "$@" 2>&1 | tee "$folder/ctest.log" || status=$?
    [[ $status -eq 0 ]] || failed+=("$name")
}

scripts/install-deps

build() { # build folder, extra cmake arguments...
    local folder=$1
    shift
    cmake -S . -B "$folder" "$@" >/dev/null
    cmake --build "$folder" -j"$jobs"
}

step "Normal build"
build build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_BUILD_BENCHMARKS=ON
step "Tests, normal build"
run_tests build/test "normal build" -j"$jobs"

step "AddressSanitizer and UndefinedBehaviorSanitizer build"
build build/asan -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON
step "Tests, sanitizer build"
run_tests build/asan "sanitizer build" -j"$jobs"

step "ThreadSanitizer build of the process runner suite"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DTARVO_TSAN=ON >/dev/null
cmake --build build/tsan -j"$jobs" --target tools_core_tests
run_tests build/tsan "thread sanitizer build" -L runner

step "Fuzz targets (clang, libFuzzer), ${fuzz_seconds} s each"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DTARVO_FUZZ=ON \
    -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz -j"$jobs" --target fuzzers
for target in build/fuzz/fuzz/fuzz_*; do
    [[ -f "$target" && -x "$target" ]] || continue
    name=$(basename "$target")
    corpus=$(mktemp -d)
    cp -r "fuzz/corpus/${name#fuzz_}/." "$corpus/" 2>/dev/null || true
    echo "--- $name"
    if ! "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" >"build/fuzz/$name.log" 2>&1; then
        tail -n 40 "build/fuzz/$name.log"
        failed+=("$name")
    fi
    rm -rf "$corpus"
done

if [[ ${#failed[@]} -gt 0 ]]; then
    # The failures again, last, where a shortened log still shows them.
    for log in build/test/ctest.log build/asan/ctest.log build/tsan/ctest.log; do
        [[ -f "$log" ]] || continue
        printf '\n--- failures in %s\n' "$log"
        grep -E -A6 ': Failure$|^\[  FAILED  \]|ERROR: (Address|UndefinedBehavior|Thread)Sanitizer|runtime error:|\*\*\*(Failed|Timeout|Exception)' \
            "$log" | head -n 120 || true
    done
    printf '\nFAILED: %s\n' "${failed[*]}" >&2
    exit 1
fi
printf '\nAll tests passed.\n'
