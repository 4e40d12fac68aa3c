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
ctest --test-dir build/test --output-on-failure -j"$jobs" || failed+=("normal build")

step "AddressSanitizer and UndefinedBehaviorSanitizer build"
build build/asan -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON
step "Tests, sanitizer build"
ctest --test-dir build/asan --output-on-failure -j"$jobs" || failed+=("sanitizer build")

step "ThreadSanitizer build of the process runner suite"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DTARVO_TSAN=ON >/dev/null
cmake --build build/tsan -j"$jobs" --target tools_core_tests
ctest --test-dir build/tsan --output-on-failure -L runner || failed+=("thread sanitizer build")

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
    printf '\nFAILED: %s\n' "${failed[*]}" >&2
    exit 1
fi
printf '\nAll tests passed.\n'
