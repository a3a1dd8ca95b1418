#!/usr/bin/env bash
# scripts/bench --quick: it stops unless every installer installed every
# file of each tiny payload with its content; here the table must come out
# whole. It runs on a display of its own, so that its windows stay off the
# GUI tests' screen.
set -euo pipefail
: "${SETUP_BUILD:?}" "${SETUP_TOP:?}"
out="$SETUP_BUILD/bench-quick.out"
env -u DISPLAY "$SETUP_TOP/scripts/bench" --quick > "$out" 2>&1 || {
    cat "$out"
    echo "FAIL: scripts/bench --quick ended with an error"
    exit 1
}
cat "$out"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for payload in small many large; do
    for kind in plain compressed; do
        for installer in floor setup.exe NSIS MSI; do
            grep -qE "^\| $payload \([0-9]+ files\) \| $kind \| $installer \| [0-9]+\.[0-9]{2} \| [0-9.]+ \| [0-9.]+ \| [0-9.]+ \|$" "$out" ||
                fail "no row for $installer on the $kind $payload medium"
        done
    done
done
grep -qE '^\| the scan alone \(the difference\) \| -?[0-9]+\.[0-9]{3} \| \|$' "$out" || fail "no scan row"
grep -q '^- setup.exe within 25 % of the floor, many compressed' "$out" || fail "no goals"
grep -q '^- cost per file flat from 20 to 60 files, compressed' "$out" || fail "no cost per file"
[ "$(head -c 8 "$SETUP_BUILD/bench-quick/performance.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "no plot"
grep -q '^- load average' "$out" || fail "no machine facts"
grep -qE '^- installed into (a memory file system|the prefix on the disk)' "$out" || fail "not said where the runs installed"
for installer in floor setup.exe NSIS; do
    grep -qE "^\| $installer \| [0-9]+\.[0-9] \| [a-z_]+ [0-9]+\.[0-9]" "$out" ||
        fail "no server requests counted for $installer"
done
[ "$failures" -eq 0 ] && { echo "all passed"; exit 0; }
echo "$failures failure(s)"
exit 1
