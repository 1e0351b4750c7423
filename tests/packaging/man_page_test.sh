#!/usr/bin/env bash
# The man page and --help name the same options and the same exit statuses.
#   man_page_test.sh PROGRAM MAN_PAGE
set -euo pipefail
program="$1"
page="$2"
failures=0

help=$("$program" --help)
help_options=$(grep -oE '^  --[a-z-]+' <<<"$help" | sed 's/^ *//' | sort)
man_options=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$page" | grep -A1 '^\.TP' |
    grep -oE '^\.B \\-\\-[a-z\\-]+' | sed -e 's/^\.B //' -e 's/\\-/-/g' | sort)
if [ -z "$help_options" ] || [ "$help_options" != "$man_options" ]; then
    echo "FAIL: options differ. --help: $(echo $help_options); man: $(echo $man_options)" >&2
    failures=$((failures + 1))
fi

# --probe-adapter's statuses, read from both.
help_statuses=$(tr -s ' \n' ' ' <<<"$help" | grep -oE '[0-9] (when|otherwise)' | grep -oE '[0-9]' | sort)
man_statuses=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' "$page" | grep -A1 '^\.TP' |
    grep -oE '^\.B [0-9]+$' | grep -oE '[0-9]+' | sort)
if [ -z "$help_statuses" ] || [ "$help_statuses" != "$man_statuses" ]; then
    echo "FAIL: exit statuses differ. --help: $(echo $help_statuses); man: $(echo $man_statuses)" >&2
    failures=$((failures + 1))
fi

# An unknown option ends with the status the page gives.
status=0
"$program" --no-such-option >/dev/null 2>&1 || status=$?
grep -q "unknown option ends the program with status $status\." "$page" || {
    echo "FAIL: an unknown option ends with status $status, which the page does not say" >&2
    failures=$((failures + 1))
}

[ "$failures" -eq 0 ]
