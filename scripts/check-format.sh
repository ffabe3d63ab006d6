#!/usr/bin/env bash
# Fails when a C++ file of the tree does not follow .clang-format; `scripts/check-format.sh --fix` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find source include tests bench fuzz demo/tools -type f \( -name '*.cpp' -o -name '*.h' \) \
    2>/dev/null | sort)
if [[ ${#files[@]} -eq 0 ]]; then
    echo "check-format: no C++ files found under $(pwd)" >&2
    exit 1
fi
if [[ "${1:-}" == "--fix" ]]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/check-format.$$; then
    grep -E '^[^ ]+:[0-9]+:[0-9]+: (error|warning)' /tmp/check-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
    rm -f /tmp/check-format.$$
    echo "Run: bash scripts/check-format.sh --fix" >&2
    exit 1
fi
rm -f /tmp/check-format.$$
