#!/usr/bin/env bash
# Builds the fuzz targets of the file readers (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each for FUZZ_SECONDS seconds (default 60), starting from its seed files and its
# saved inputs (tests/fuzz/inputs/<name>/). Fails when any target finds a crash, a leak, a timeout, undefined
# behaviour or a broken check; the input that did it is left in build-fuzz/fuzz/artifacts/<name>/ (copy it
# to tests/fuzz/inputs/<name>/ once the reader is mended). The corpora grow in build-fuzz/fuzz/corpus/.
#   FUZZ_SECONDS=300 make fuzz          longer runs
#   FUZZ_TARGETS="mesh grid" make fuzz  some of the targets: mesh meshmax map highscore palette grid script
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
read -r -a targets <<<"${FUZZ_TARGETS:-mesh meshmax map highscore palette grid script}"

./scripts/install-deps.sh || exit 1
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DSKARN_FUZZ=ON >/dev/null || exit 1
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}" || exit 1

work=build-fuzz/fuzz
# The targets write each input to a file: a memory-backed folder keeps that cheap.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

failed=()
for t in "${targets[@]}"; do
    corpus=$work/corpus/$t
    artifacts=$work/artifacts/$t
    log=$work/$t.log
    mkdir -p "$corpus" "$artifacts"
    while read -r seed; do
        [ -n "$seed" ] && cp -n "$seed" "$corpus/"
    done <"build-fuzz/tests/fuzz/$t.seeds"
    dict=()
    [ -f "tests/fuzz/dict/$t.dict" ] && dict=(-dict="tests/fuzz/dict/$t.dict")
    echo "fuzz: $t for ${seconds} s ..." >&2
    build-fuzz/tests/fuzz/fuzz_"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "${dict[@]}" -artifact_prefix="$artifacts/" "$corpus" "tests/fuzz/inputs/$t" \
        >"$log" 2>&1
    status=$?
    done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
    if [ $status -eq 0 ]; then
        echo "fuzz: $t clean: ${done_line:-see $log}"
    else
        failed+=("$t")
        echo "fuzz: $t FAILED (exit $status), see $log and $artifacts/:"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz check failed|.*runtime error)' "$log" | head -n 5
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: findings in: ${failed[*]}"
    exit 1
fi
echo "fuzz: every target ran ${seconds} s without a finding"
