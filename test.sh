#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh              g++ build in build/
#   ./test.sh --clang      clang build in build-clang/
#   ./test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"

dir=build
cmake_args=(-DSKARN_WERROR=ON)
for arg in "$@"; do
    case "$arg" in
        --clang) dir=build-clang; cmake_args+=(-DCMAKE_CXX_COMPILER=clang++) ;;
        --sanitize)
            dir=build-sanitize; cmake_args+=(-DSKARN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
            export SKARN_TEST_TIME_SCALE=${SKARN_TEST_TIME_SCALE:-5} ;; # scenario timeouts: sanitized runs are slower
        *) echo "usage: ./test.sh [--clang] [--sanitize]" >&2; exit 2 ;;
    esac
done

./scripts/install-deps.sh
cmake -S . -B "$dir" "${cmake_args[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
