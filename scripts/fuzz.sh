#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (preset `fuzz`) and runs each for a bounded time.
#
#   bash scripts/fuzz.sh [seconds per target, default 60] [target ...]
#
# Targets: settings_ini phone_book contacts number_walk mail_composer (all by default). Seeds
# come from fuzz/corpus/<target>; what a run learns goes to build/fuzz/corpus/<target>, and a
# crash, hang or broken property leaves its input in build/fuzz/findings/<target>. Exits
# non-zero when any target found something.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

seconds=${1:-60}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
    targets=(settings_ini phone_book contacts number_walk mail_composer)
fi
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [seconds per target] [target ...]" >&2
    exit 2
fi

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

# A leak that one input causes counts as a finding too (libFuzzer checks after each new input).
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
for target in "${targets[@]}"; do
    corpus="build/fuzz/corpus/$target"
    findings="build/fuzz/findings/$target"
    mkdir -p "$corpus" "$findings"
    dictionary=()
    if [[ -f "fuzz/$target.dict" ]]; then
        dictionary=("-dict=fuzz/$target.dict")
    fi
    echo "== $target: ${seconds}s"
    # -timeout: one input taking 10 s is a hang; -rss_limit_mb: a blow-up is a finding too.
    if "build/fuzz/fuzz/fuzz_$target" "$corpus" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
        -artifact_prefix="$findings/" -print_final_stats=1 "${dictionary[@]}" \
        >"build/fuzz/$target.log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+ +DONE' \
            "build/fuzz/$target.log" || true
    else
        failed+=("$target")
        tail -n 40 "build/fuzz/$target.log"
        echo "!! $target found a fault; input saved in $findings/"
    fi
done

if ((${#failed[@]} > 0)); then
    echo "Fuzzing found faults in: ${failed[*]}"
    exit 1
fi
echo "Fuzzing found nothing in ${#targets[@]} targets (${seconds}s each)."
