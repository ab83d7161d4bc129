#!/usr/bin/env bash
# What setup's main loop costs: processor time of setup.exe (and of the Wine
# server its messages go through) over 10 s on the still welcome screen,
# minimised, and on the progress screen while a large medium installs, with the
# frames drawn and shown meanwhile; then the time that installation takes with
# setup pinned to one core, so that the interface and the extraction worker share
# it (the best of ROUNDS runs). Not part of the tests.
#   bench/run loop [-- SIZE_MB [PEER [ROUNDS]]]
# SIZE_MB: the game data of the large medium (default 2000). PEER: a git revision
# (built here once) or a setup.exe, measured the same way in the same run on the
# same medium, e.g. the revision before the loop was paced; every number is then
# given for both with their ratio. ROUNDS: pinned installations of each (default
# 3, taken in turns).
# Wine's relay trace counts two calls: the progress screen asks for the tick
# count once per frame it draws (GetTickCount), and each frame shown on the
# window is one StretchDIBits. The pinned installations run without the trace.
# The setup process also holds the audio mixer, which plays the background music
# also while the window is minimised; its main thread is the interface.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
size_mb=${1:-2000}
peer=${2:-}
rounds=${3:-3}
work=$root/build/bench/loop
if [ -z "${QUILL_IN_WINE:-}" ]; then
    make -C "$root" -s win JOBS=2 >/dev/null
    mkdir -p "$work/artifacts"
fi
export QUILL_MEDIUM=$root/build/win/medium QUILL_DRIVER=$root/build/win/tests/e2e/qdriver.exe
export QUILL_ARTIFACTS=$work/artifacts QUILL_E2E_WORK=$work
# The e2e tests' steps: the private prefix and display, clicks on the panel, the
# message-box driver, and removing an installation again.
source "$root/tests/e2e/lib.sh"

mkmedium=$root/build/win/host-tools/tools/mkmedium/mkmedium
gamefiles=$root/build/win/gamefiles
ticks_per_second=$(getconf CLK_TCK)
seconds=10

# --- the setup programs -----------------------------------------------------

# The peer's setup.exe: the file itself, or built from a revision of this tree.
peer_setup() {
    if [ -f "$peer" ]; then
        echo "$peer"
        return
    fi
    local rev dir
    rev=$(git -C "$root" rev-parse --verify "$peer^{commit}")
    dir=$root/build/bench/peer-$rev
    if [ ! -f "$dir/build/install/setup.exe" ]; then
        echo "loop: building setup.exe of $peer" >&2
        rm -rf "$dir" && mkdir -p "$dir/src/build/deps"
        git -C "$root" archive "$rev" | tar -x -C "$dir/src"
        ln -s "$root/build/deps/libarchive-win" "$dir/src/build/deps/libarchive-win"
        cmake -S "$dir/src" -B "$dir/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$dir/src/cmake/mingw-w64-x86_64.cmake" >/dev/null
        cmake --build "$dir/build" --target setup -j 2 >/dev/null
    fi
    echo "$dir/build/install/setup.exe"
}

# --- the large medium ---------------------------------------------------------

# The demo medium with size_mb of incompressible game data in 100 MB packages and
# without the extra installers, so that finishing runs through without a question.
large_medium() {
    local medium=$work/medium-$size_mb
    if [ ! -f "$medium/unrar.dll" ]; then
        echo "loop: making a medium with $size_mb MB of game data" >&2
        rm -rf "$work/source" "$work/game" "$medium"
        mkdir -p "$work/game/Movies" "$work/source"
        cp -r "$gamefiles/." "$work/game/"
        local left=$size_mb n=0
        while [ "$left" -gt 0 ]; do
            local mb=$((left < 50 ? left : 50))
            head -c "${mb}M" /dev/urandom >"$work/game/Movies/scene$n.bik"
            left=$((left - mb)) n=$((n + 1))
        done
        cp -r "$QUILL_MEDIUM/." "$work/source/"
        rm -f "$work/source"/*.exe "$work/source"/*.dll "$work/source"/*.rar "$work/source"/*.pak
        grep -v -e '^PATH_ADD_INSTALL_' -e '^MSG_CONFIRM_ADD_INSTALL_' "$QUILL_MEDIUM/Media/strings.txt" \
            >"$work/source/Media/strings.txt"
        "$mkmedium" --medium "$work/source" --game "$work/game" --programs "$QUILL_MEDIUM" --split 100 \
            --out "$medium" >/dev/null
        rm -rf "$work/source" "$work/game"
    fi
    echo "$medium"
}

# --- measuring ----------------------------------------------------------------

# Processor ticks (user and system) of a process or of one of its threads.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# The Wine server of this prefix.
server_pid() {
    local pid
    for pid in $(pgrep -x wineserver64 || pgrep -x wineserver); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
    done
}

# How often the traced setup has called a function so far.
calls_so_far() { grep -c "Call $1" "$relay_log" || true; }

# Measures `seconds` of the running setup and appends one result line to $results:
# label, setup's share of one core (%), that of its main thread, of the Wine
# server, frames drawn per second (progress screen only) and frames shown.
measure() {
    local label=$1 server d0 f0 p0 m0 s0 d1 f1 p1 m1 s1
    server=$(server_pid)
    d0=$(calls_so_far KERNEL32.GetTickCount) f0=$(calls_so_far gdi32.StretchDIBits)
    p0=$(ticks "$setup_pid") m0=$(ticks "$setup_pid/task/$setup_pid") s0=$(ticks "$server")
    sleep "$seconds"
    [ -e "/proc/$setup_pid" ] || fail "setup ended during the measurement of $label (a larger SIZE_MB helps)"
    d1=$(calls_so_far KERNEL32.GetTickCount) f1=$(calls_so_far gdi32.StretchDIBits)
    p1=$(ticks "$setup_pid") m1=$(ticks "$setup_pid/task/$setup_pid") s1=$(ticks "$server")
    awk -v l="$label" -v p=$((p1 - p0)) -v m=$((m1 - m0)) -v s=$((s1 - s0)) -v d=$((d1 - d0)) -v f=$((f1 - f0)) \
        -v hz="$ticks_per_second" -v t="$seconds" \
        'BEGIN { printf "%s %.2f %.2f %.2f %.1f %.1f\n", l, 100 * p / hz / t, 100 * m / hz / t, 100 * s / hz / t,
                 d / t, f / t }' >>"$results"
}

# Starts setup.exe of a medium copy with the relay trace of the counted calls.
start_traced() {
    relay_log=$work/relay.log
    (cd "$1" && WINEDEBUG=+relay exec wine setup.exe 2>"$relay_log") &
    setup_pid=$!
}

# The screens up to the progress screen, from the welcome screen.
walk_to_progress() {
    click_panel 100 206  # install
    click_panel 190 340  # accept
    driver wait-title __INSTALL_WND__ " %" 60000 >/dev/null &
    local reader=$!
    sleep 1
    click_panel 97 278  # install
    wait "$reader" || fail "no progress screen"
}

# Waits for the installation to end (with LABEL and START: notes the seconds
# since START under LABEL), closes the setup it starts anew and removes the
# installation again.
finish_installation() {
    local code=0
    wait "$setup_pid" || code=$?
    [ "$code" = 0 ] || fail "setup ended with $code"
    [ $# -eq 0 ] || echo "$1 $(echo "$(date +%s.%N) - $2" | bc -l)" >>"$results"
    driver wait-window __INSTALL_WND__ 30000 >/dev/null || true
    driver close __INSTALL_WND__ || true
    driver wait-gone __INSTALL_WND__ 10000 || true
    wineserver -k 2>/dev/null || true
    remove_installation
}

# A folder with the large medium (its files linked, not copied) and the setup.exe
# to measure.
medium_with() {
    rm -rf "$1" && mkdir -p "$1" && cp -rs "$medium/." "$1/"
    rm "$1/setup.exe" && cp "$2" "$1/setup.exe"
}

# The scenarios on screen for one setup.exe; `name` labels its lines.
run_scenarios() {
    local name=$1 exe=$2 dir=$work/run
    medium_with "$dir" "$exe"

    start_traced "$dir"
    find_panel 60000
    sleep 2
    measure "$name:welcome"
    driver minimize __INSTALL_WND__ || fail "cannot minimise setup"
    sleep 1
    measure "$name:minimised"
    driver restore __INSTALL_WND__
    sleep 1
    walk_to_progress
    sleep 1
    measure "$name:progress"
    finish_installation
    rm -rf "$dir"
}

# One installation pinned to one core: the seconds from the install click to the
# end of the process (finishing included, then setup starts anew).
run_pinned() {
    local name=$1 exe=$2 dir=$work/run
    medium_with "$dir" "$exe"
    (cd "$dir" && exec taskset -c 0 wine setup.exe) &
    setup_pid=$!
    find_panel 60000
    sleep 2
    click_panel 100 206
    click_panel 190 340
    local start
    start=$(date +%s.%N)
    click_panel 97 278
    finish_installation "$name:pinned" "$start"
    rm -rf "$dir"
}

# --- the run ------------------------------------------------------------------

medium=$(large_medium)
private_desktop
remove_installation
at_exit remove_installation
results=$work/results
: >"$results"
# Only the two calls that count frames are traced.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'gdi32.StretchDIBits;kernel32.GetTickCount' /f >/dev/null
remove_relay_filter() { wine reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1; }
at_exit remove_relay_filter

names=(this)
exes=("$QUILL_MEDIUM/setup.exe")
if [ -n "$peer" ]; then
    names+=(peer)
    exes+=("$(peer_setup)")
fi
for i in "${!names[@]}"; do run_scenarios "${names[$i]}" "${exes[$i]}"; done
for _ in $(seq "$rounds"); do
    for i in "${!names[@]}"; do run_pinned "${names[$i]}" "${exes[$i]}"; done
done

value() { awk -v k="$1:$2" -v c="$3" '$1 == k { print $c }' "$results" | sort -n | head -n 1; }
echo "setup.exe over ${seconds} s (percent of one core; frames per second drawn and shown):"
for scenario in welcome minimised progress; do
    for name in "${names[@]}"; do
        printf '  %-10s %-5s setup %6.2f %%  main thread %6.2f %%  wine server %6.2f %%  drawn %7.1f  shown %7.1f\n' \
            "$scenario" "$name" "$(value "$name" "$scenario" 2)" "$(value "$name" "$scenario" 3)" \
            "$(value "$name" "$scenario" 4)" "$(value "$name" "$scenario" 5)" "$(value "$name" "$scenario" 6)"
    done
done
echo "targets: main thread welcome <= 5 %, minimised <= 1 %; progress drawn >= 50 frames/s"
echo "installing $size_mb MB pinned to one core (seconds from the click to the end of setup, best of $rounds):"
for name in "${names[@]}"; do printf '  %-6s %8.1f s\n' "$name" "$(value "$name" pinned 2)"; done
if [ -n "$peer" ]; then
    printf 'ratio this/peer: welcome %.3f  minimised %.3f  pinned installation time %.3f\n' \
        "$(echo "$(value this welcome 2) / $(value peer welcome 2)" | bc -l)" \
        "$(echo "$(value this minimised 2) / $(value peer minimised 2)" | bc -l)" \
        "$(echo "$(value this pinned 2) / $(value peer pinned 2)" | bc -l)"
fi
