#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for SECONDS in all (default 480), split
# evenly, starting from its seed corpus and its kept crash inputs. A crash, a
# leak, an undefined behaviour or a memory blow-up fails the run; the input that
# caused it is left in build/fuzz/artifacts/<target>/ (copy it into
# fuzz/regressions/<target>/ once fixed, so it is run every time).
set -euo pipefail
cd "$(dirname "$0")/.."
total=${1:-480}
bin=build/fuzz/bin
targets=(fuzz_undo_record fuzz_reference_document fuzz_gbk_text fuzz_dosattrib fuzz_xlsx_package fuzz_xlsx_parts
         fuzz_vcard fuzz_contact_table fuzz_blank_lines)
each=$(( total / ${#targets[@]} ))
failed=0
for t in "${targets[@]}"; do
    work=build/fuzz/work/$t
    artifacts=build/fuzz/artifacts/$t
    mkdir -p "$work" "$artifacts" "fuzz/regressions/$t"
    # The kept crash inputs first, each once: a regression fails here at once.
    if compgen -G "fuzz/regressions/$t/*" > /dev/null; then
        if ! "$bin/$t" -rss_limit_mb=2560 fuzz/regressions/$t/* > "$artifacts/regressions.log" 2>&1; then
            echo "FAIL $t: a kept crash input fails again (see $artifacts/regressions.log)"
            failed=1
            continue
        fi
    fi
    start=$(date +%s)
    if "$bin/$t" -max_total_time="$each" -timeout=30 -rss_limit_mb=2560 -max_len=65536 \
            -artifact_prefix="$artifacts/" -print_final_stats=1 \
            "$work" "fuzz/corpus/$t" "fuzz/regressions/$t" > "$artifacts/fuzz.log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$artifacts/fuzz.log" | grep -o '[0-9]*$' || echo "?")
        echo "ok   $t: $runs inputs in $(( $(date +%s) - start )) s"
    else
        echo "FAIL $t (see $artifacts/fuzz.log):"
        grep -E "ERROR|SUMMARY|fuzz check failed|Test unit written" "$artifacts/fuzz.log" | head -5
        failed=1
    fi
done
rm -f /dev/shm/tarnwick-fuzz-* /tmp/tarnwick-fuzz-* 2>/dev/null || true
exit $failed
