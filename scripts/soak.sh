#!/usr/bin/env bash
# The soak run: the bot plays SOAK_MINUTES minutes of game time (default 30) on a 2 ms fixed clock,
# headless with the level drawn in every frame (the last frame is kept as a picture), under LeakSanitizer
# when the program is built with it (make soak). The run's standard error goes to the log; the program
# prints its resident memory every 10 s of game time.
#
# Fails (exit 1) on a crash or any other non-zero exit, a sanitizer report, a run without a restart or a
# trip to the menu, or memory growth: the highest resident memory of the last game minute may exceed the
# highest of the first by at most SOAK_RSS_TOLERANCE_KB (default 2048).
#
#   scripts/soak.sh PROGRAM [OUT_DIR]     (OUT_DIR: soak.log and soak-last.png; default the program's folder)
set -uo pipefail

program=${1:?usage: scripts/soak.sh PROGRAM [OUT_DIR]}
out=${2:-$(dirname "$program")}
minutes=${SOAK_MINUTES:-30}
tolerance=${SOAK_RSS_TOLERANCE_KB:-2048}
if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
    echo "soak: SOAK_MINUTES must be a whole number of minutes from 1 on" >&2
    exit 2
fi
frames=$((minutes * 30000)) # 2 ms frames
data=$(cd "$(dirname "$0")/.." && pwd)/data
log=$out/soak.log
shot=$out/soak-last.png
save=$(mktemp -d "${TMPDIR:-/tmp}/skarn-soak-XXXXXX")
trap 'rm -rf "$save"' EXIT
rm -f "$shot"

echo "soak: $minutes game minutes ($frames frames), log $log" >&2
start=$(date +%s)
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy LSAN_OPTIONS=${LSAN_OPTIONS:-exitcode=23} \
    "$program" --headless --windowed --bot --fixed-dt 0.002 --frames "$frames" --memory-report \
    --data-dir "$data" --save-dir "$save" --screenshot "$frames:$shot" >"$out/soak.out" 2>"$log"
status=$?
wall=$(($(date +%s) - start))

count() { grep -c -- "$1" "$log"; }
last_frame=$(sed -n 's/^frame \([0-9]*\): state .*/\1/p' "$log" | tail -n 1)
runs=$(count '^run: ')
restarts=$(count '^frame [0-9]*: state 2 -> 5$')
menu_trips=$(count '^frame [0-9]*: state 2 -> 1$')
plays=$(count '^frame [0-9]*: state 1 -> 2$')
from_pause=$(count '^bot: run .* from the pause menu$')
hall=$(grep -c '^BOT' "$save/highscore.txt" 2>/dev/null)
# Highest resident memory of the first and of the last game minute, and of the whole run (kB).
read -r first last peak samples < <(awk -v minutes="$minutes" '
    /^memory: / {
        split($2, t, "="); split($4, r, "="); s = t[2] + 0; kb = r[2] + 0; ++n
        if (kb > peak) peak = kb
        if (s <= 60 && kb > first) first = kb
        if (s > (minutes - 1) * 60 && kb > last) last = kb
    }
    END { print first + 0, last + 0, peak + 0, n + 0 }' "$log")

leaks=none
if grep -q 'Sanitizer' "$log"; then leaks="REPORTED (see $log)"; fi

printf 'soak: frames=%s game_minutes=%s wall_s=%s exit=%s\n' "${last_frame:-?}" "$minutes" "$wall" "$status"
printf 'soak: runs=%s restarts=%s menu_trips=%s plays=%s left_from_pause=%s hall_of_fame_bot_entries=%s\n' \
    "$runs" "$restarts" "$menu_trips" "$plays" "$from_pause" "${hall:-0}"
printf 'soak: rss_kb first_minute=%s last_minute=%s peak=%s (%s samples, tolerance %s)\n' \
    "$first" "$last" "$peak" "$samples" "$tolerance"
printf 'soak: leaks=%s last_frame=%s\n' "$leaks" "$shot"

fail=0
if [ "$status" -ne 0 ]; then echo "soak: FAILED: the program ended with status $status" >&2; fail=1; fi
if [ "$leaks" != none ]; then echo "soak: FAILED: sanitizer report in the log" >&2; fail=1; fi
if [ "${last_frame:-0}" != "$frames" ]; then echo "soak: FAILED: the run did not reach frame $frames" >&2; fail=1; fi
if [ "$samples" -lt $((minutes * 6)) ] || [ "$first" -eq 0 ] || [ "$last" -eq 0 ]; then
    echo "soak: FAILED: memory samples missing" >&2
    fail=1
elif [ "$last" -gt $((first + tolerance)) ]; then
    echo "soak: FAILED: memory grew by $((last - first)) kB from the first game minute to the last" >&2
    fail=1
fi
if [ "$restarts" -eq 0 ] || [ "$menu_trips" -eq 0 ]; then
    echo "soak: FAILED: the bot made no restart or no trip to the menu" >&2
    fail=1
fi
[ ! -s "$shot" ] && { echo "soak: FAILED: no picture of the last frame" >&2; fail=1; }
[ "$fail" -eq 0 ] && echo "soak: passed"
exit "$fail"
