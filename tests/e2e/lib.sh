# Shared steps of the end-to-end tests; sourced by each test script.
set -euo pipefail

: "${QUILL_MEDIUM:?}" "${QUILL_DRIVER:?}" "${QUILL_ARTIFACTS:?}" "${QUILL_E2E_WORK:?}"
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
convert=/usr/bin/convert-im6.q16
[ -x "$convert" ] || convert=/usr/bin/convert

# Runs the rest of the test with the private Wine prefix and a display.
if [ -z "${QUILL_IN_WINE:-}" ]; then
    export QUILL_IN_WINE=1
    exec "$root/scripts/with-wine" bash "$0" "$@"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }

# Whatever the test started in the prefix ends with it.
trap 'wineserver -k 2>/dev/null || true' EXIT

driver() { wine "$QUILL_DRIVER" "$@" | tr -d '\r'; }

# A fresh copy of the medium in the test's own folder; prints its path.
fresh_medium() {
    local dir="$QUILL_E2E_WORK/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    cp -r "$QUILL_MEDIUM/." "$dir/"
    echo "$dir"
}

# Starts setup.exe from a medium in the background; its pid is in $setup_pid.
start_setup() {
    (cd "$1" && exec wine setup.exe "${@:2}") &
    setup_pid=$!
}

# Waits for setup's process to end and checks its exit code.
expect_exit() {
    local want=$1 code=0
    for _ in $(seq 300); do kill -0 "$setup_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$setup_pid" 2>/dev/null && { kill "$setup_pid"; fail "setup did not end"; }
    wait "$setup_pid" || code=$?
    [ "$code" = "$want" ] || fail "setup ended with $code, expected $want"
}

# Saves a screenshot of the whole screen as an artifact; prints its path.
screenshot() {
    local file="$QUILL_ARTIFACTS/$1.png"
    import -window root "$file"
    echo "$file"
}

# The colour of one pixel of a picture as "r,g,b".
pixel() {
    "$convert" "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
