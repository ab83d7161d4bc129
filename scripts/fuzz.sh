#!/usr/bin/env bash
# Runs the libFuzzer targets of tests/fuzz (built into build/fuzz by `make fuzz`).
#   scripts/fuzz.sh names            the targets, one a line
#   scripts/fuzz.sh check NAME       every input of the target once, then a few seconds
#                                    of fuzzing (QUILL_FUZZ_SMOKE_SECONDS, default 5); ctest
#   scripts/fuzz.sh run [NAME...]    fuzz each target for FUZZ_SECONDS (default 120), one
#                                    after the other, and print a table of executions,
#                                    edges covered and findings
#   scripts/fuzz.sh merge NAME       adds to tests/fuzz/corpus/NAME the inputs (up to 4 KB)
#                                    of the last run that reach edges the tree's inputs do not
# A target reads its seeds (made into the build folder from our test data), its corpus
# in the tree and its regressions (inputs that once found a fault); a run grows its own
# corpus in the build folder. Findings land in build/fuzz/findings/NAME.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILL_FUZZ_BUILD:-$here/build/fuzz}
fuzzdir=$here/tests/fuzz
names=(resstringtable guiimage mpegaudio installlog mediumcheck textencoding pictureinput unrar-rar4 unrar-rar5)

# The program of a target: unrar-rar4 and unrar-rar5 share the unrar target and
# differ in their inputs.
binary() { echo "$build/tests/fuzz/${1%%-*}_fuzz"; }

# libFuzzer's options for a target: the dictionary, and for the archives room for
# volume sets and self-extractors.
options() {
    local opts=(-timeout=20 -rss_limit_mb=2048 -print_final_stats=1)
    [ -f "$fuzzdir/dict/$1.dict" ] && opts+=("-dict=$fuzzdir/dict/$1.dict")
    case $1 in
    unrar-rar4) opts+=(-max_len=65536) ;;
    # libarchive, which reads RAR 5, may take gigabytes and tens of seconds over a
    # damaged window size: that is its own business, not a fault of our glue.
    unrar-rar5) opts+=(-max_len=65536 -timeout=60 -rss_limit_mb=4096 -malloc_limit_mb=65536) ;;
    mediumcheck) opts+=(-max_len=65536) ;;
    mpegaudio) opts+=(-max_len=32768) ;;
    esac
    echo "${opts[@]}"
}

# The folders of inputs a target reads, those that exist.
inputs() {
    local dir
    for dir in "$fuzzdir/corpus/$1" "$fuzzdir/regressions/$1" "$build/tests/fuzz/seeds/$1"; do
        [ -d "$dir" ] && echo "$dir"
    done
}

known() {
    local n
    for n in "${names[@]}"; do [ "$n" = "$1" ] && return 0; done
    echo "fuzz: no target $1 (targets: ${names[*]})" >&2
    exit 2
}

# Scratch folders in memory when there is such a place: every input becomes files.
[ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
# libarchive asks malloc for absurd sizes on damaged RAR 5 headers and handles the
# refusal; our own code allocates with new, which still reports such a size.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

fuzz() {
    local name=$1; shift
    local findings=$build/findings/$name
    mkdir -p "$findings"
    # shellcheck disable=SC2046
    nice -n 10 "$(binary "$name")" $(options "$name") "-artifact_prefix=$findings/" "$@"
}

check() {
    known "$1"
    local name=$1 corpus
    mapfile -t corpus < <(inputs "$name")
    echo "fuzz: $name: every input of ${corpus[*]}"
    fuzz "$name" -runs=0 "${corpus[@]}" || return 1
    local fresh
    fresh=$(mktemp -d)
    echo "fuzz: $name: ${QUILL_FUZZ_SMOKE_SECONDS:-5} s of fuzzing"
    fuzz "$name" -max_total_time="${QUILL_FUZZ_SMOKE_SECONDS:-5}" "$fresh" "${corpus[@]}"
    local rc=$?
    rm -rf "$fresh"
    return $rc
}

# Crashes, leaks, timeouts and memory exhaustion a target wrote; libFuzzer's notes of
# merely slow inputs, which a busy machine makes, are none.
findings() {
    find "$build/findings/$1" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) \
        2>/dev/null | wc -l
}

run() {
    local seconds=${FUZZ_SECONDS:-120} name failed=0
    local table=()
    [ $# -gt 0 ] || set -- "${names[@]}"
    for name in "$@"; do
        known "$name"
        local work=$build/work/$name log=$build/logs/$name.log corpus
        mkdir -p "$work" "$build/logs"
        mapfile -t corpus < <(inputs "$name")
        local before
        before=$(findings "$name")
        echo "fuzz: $name for $seconds s (log: $log)"
        local start=$SECONDS
        fuzz "$name" -max_total_time="$seconds" "$work" "${corpus[@]}" >"$log" 2>&1
        local rc=$? took=$((SECONDS - start))
        local execs edges after
        execs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -1)
        edges=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
        after=$(findings "$name")
        local found=$((after - before))
        [ $rc -ne 0 ] && [ $found -eq 0 ] && found=1
        [ $found -ne 0 ] && failed=1
        table+=("$(printf '%-16s %12s %8s %7ss %9s' "$name" "${execs:-?}" "${edges:-?}" "$took" "$found")")
    done
    printf '%-16s %12s %8s %8s %9s\n' target executions edges time findings
    printf '%s\n' "${table[@]}"
    [ $failed -eq 0 ] || echo "fuzz: findings are in $build/findings"
    return $failed
}

merge() {
    known "$1"
    local name=$1 known_inputs
    known_inputs=$(mktemp -d)
    local dir
    while read -r dir; do cp -n "$dir"/* "$known_inputs"/ 2>/dev/null; done < <(inputs "$name")
    local before
    before=$(mktemp)
    ls "$known_inputs" | sort >"$before"
    # Edges alone, not how often each ran: the fewest inputs that reach them.
    fuzz "$name" -merge=1 -use_counters=0 "$known_inputs" "$build/work/$name" >/dev/null 2>&1 || { rm -rf "$known_inputs" "$before"; return 1; }
    mkdir -p "$fuzzdir/corpus/$name"
    # The tree keeps small inputs only: a larger one that adds coverage stays in the
    # build folder's corpus, which every run starts from.
    local added=0 file
    for file in $(ls "$known_inputs" | sort | comm -13 "$before" -); do
        [ "$(stat -c %s "$known_inputs/$file")" -le 4096 ] || continue
        cp "$known_inputs/$file" "$fuzzdir/corpus/$name/" && added=$((added + 1))
    done
    rm -rf "$known_inputs" "$before"
    echo "fuzz: $name: $added input(s) added to tests/fuzz/corpus/$name"
}

case ${1:-} in
names) printf '%s\n' "${names[@]}" ;;
check) check "${2:?target}" ;;
run) shift; run "$@" ;;
merge) merge "${2:?target}" ;;
*) sed -n '2,12p' "$0"; exit 2 ;;
esac
