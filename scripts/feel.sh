#!/usr/bin/env bash
# How the first minute feels to a newcomer, measured by the human model (--bot human:SEED): the first run of
# each seed FEEL_SEEDS (default 1 to 100) at 16 ms frames, headless and not drawn, two at a time, each ended at
# its first death (or after FEEL_SECONDS of game time, default 60). Prints the meters (median, 10th
# percentile, share past 64, 100 and 200 m), where runs end in 10 m stretches over the first 300 m, and the
# causes of death; then the perfect bot's first run at 60 and at 3000 frames a second. Checks the targets:
# median >= 150 m, >= 80 % past 100 m, no stretch of the first 300 m with more than a quarter of the deaths,
# the bot past 1000 m at both rates. Exit 1 when one is missed. FEEL_RUNS=FILE keeps the run: lines.
#   scripts/feel.sh GAME
set -euo pipefail
game=$(realpath "$1")
seeds=${FEEL_SEEDS:-$(seq 1 100)}
seconds=${FEEL_SECONDS:-60}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# One game: its last run: line (the first run is the only one), or "run: none" when it printed none.
play() { # NAME FRAME_TIME FRAMES BOT_ARGS...
    local name=$1 dt=$2 frames=$3
    shift 3
    mkdir -p "$dir/$name"
    XDG_CONFIG_HOME="$dir/$name" "$game" --headless --fixed-dt "$dt" --frames "$frames" --runs 1 \
        --save-dir "$dir/$name" --config-dir "$dir/$name" "$@" 2>"$dir/$name/err" >/dev/null || true
    { grep '^run: ' "$dir/$name/err" || echo "run: none"; } | tail -n 1 >"$dir/$name.run"
}
export -f play
export game dir

# Splash and menu take about 4 s before the run starts.
human_frames=$(((seconds + 4) * 1000 / 16))
{
    echo "bot60 0.0166666667 $((160 * 60)) --bot"
    echo "bot3000 0.000333333333 $((160 * 3000)) --bot"
    for s in $seeds; do echo "h$s 0.016 $human_frames --bot human:$s"; done
} | xargs -P 2 -L 1 bash -c 'play "$@"' play

for s in $seeds; do cat "$dir/h$s.run"; done >"${FEEL_RUNS:-/dev/null}"
for s in $seeds; do cat "$dir/h$s.run"; done | sort -t= -k2 -n | awk -v cap="$seconds" '
function field(name,   i, kv) {
    for (i = 1; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == name) return kv[2] }
    return ""
}
{
    n++; s[n] = field("meters") + 0; c = field("cause"); if (c == "") c = "?"
    if (c == "none") c = "none (still running after " cap " s)"
    cause[c]++
    if (c !~ /^none/ && s[n] < 300) bin[int(s[n] / 10)]++
}
END {
    if (n == 0) { print "feel: no runs"; exit 1 }
    median = (n % 2) ? s[(n + 1) / 2] : (s[n / 2] + s[n / 2 + 1]) / 2
    p10 = s[int((n - 1) * 0.1) + 1]
    for (i = 1; i <= n; ++i) { if (s[i] > 64) a64++; if (s[i] > 100) a100++; if (s[i] > 200) a200++ }
    printf "| first runs | median | 10th percentile | past 64 m | past 100 m | past 200 m |\n"
    printf "|---|---|---|---|---|---|\n"
    printf "| %d | %g m | %d m | %d %% | %d %% | %d %% |\n\n", n, median, p10, 100 * a64 / n, 100 * a100 / n, 100 * a200 / n
    printf "| where runs end (m) | deaths |\n|---|---|\n"
    worst = 0
    for (b = 0; b < 30; ++b) if (bin[b]) {
        printf "| %d-%d | %d |\n", 10 * b, 10 * b + 10, bin[b]
        if (bin[b] > worst) { worst = bin[b]; worstAt = b }
    }
    printf "\n| cause | runs |\n|---|---|\n"
    for (c in cause) printf "| %s | %d |\n", c, cause[c]
    deaths = n - cause["none (still running after " cap " s)"]
    ok = median >= 150 && a100 * 100 >= 80 * n && worst * 4 <= deaths
    m1 = (median >= 150) ? "yes" : "NO"; m2 = (a100 * 100 >= 80 * n) ? "yes" : "NO"; m3 = (worst * 4 <= deaths) ? "yes" : "NO"
    printf "\ntargets: median >= 150 m: %s; past 100 m >= 80 %%: %s; ", m1, m2
    printf "no 10 m stretch of the first 300 m with more than a quarter of the %d deaths: %s", deaths, m3
    printf " (the most: %d at %d-%d m)\n", worst, 10 * worstAt, 10 * worstAt + 10
    exit ok ? 0 : 1
}' && status=0 || status=$?

for rate in 60 3000; do
    line=$(cat "$dir/bot$rate.run")
    meters=$(sed -n 's/.*meters=\([0-9]*\).*/\1/p' <<<"$line")
    echo "perfect bot at $rate frames a second: $line"
    if [ "${meters:-0}" -lt 1000 ]; then
        echo "feel: the perfect bot ended before 1000 m at $rate frames a second" >&2
        status=1
    fi
done
exit $status
