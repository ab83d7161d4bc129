#!/usr/bin/env bash
# Fails when a C++ file of the tree is not in the style of .clang-format (run by
# `make test`; `make format` applies the style).
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
unformatted=$(git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --style=file 2>&1 |
    sed -nE 's/^([^ :]+):[0-9]+:[0-9]+: (error|warning): .*/\1/p' | sort -u)
[ -z "$unformatted" ] && exit 0
printf 'format: not in the tree'"'"'s style (run make format): %s\n' $unformatted
exit 1
