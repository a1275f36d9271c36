#!/usr/bin/env bash
# The C++ sources of src/, tests/, tools/ and bench/ in the committed .clang-format style.
#   scripts/format.sh           formats them in place (make format)
#   scripts/format.sh --check   changes nothing: names every file that differs and exits 1 (the ctest `format`)
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find src tests tools bench -name '*.cpp' -o -name '*.h' | sort)
case "${1:-}" in
    "") clang-format -i "${files[@]}" ;;
    --check) clang-format --dry-run --Werror "${files[@]}" ;;
    *)
        echo "usage: scripts/format.sh [--check]" >&2
        exit 2
        ;;
esac
