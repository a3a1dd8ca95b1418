# Helpers for the end-to-end tests: a medium in a scratch directory,
# setup.exe run under Wine with an answer file and a transcript, checks.
set -uo pipefail

: "${SETUP_BUILD:?SETUP_BUILD must name the build tree}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
failures=0
current_case=""

# The prefix of the NT family's cases: nt, or win64 (SETUP_NT_PREFIX) for
# the runs on 64-bit Windows.
nt_prefix=${SETUP_NT_PREFIX:-nt}
# What a script does before its first case happens there too, not in the
# user's own prefix.
export WINEPREFIX="$SETUP_BUILD/wine/$nt_prefix"

# e2e_case NAME [nt|w95|win64]: a fresh scratch directory and the prefix to use.
e2e_case() {
    current_case=$1
    files_kept=0 files_lost=0
    export WINEPREFIX="$SETUP_BUILD/wine/${2:-$nt_prefix}"
    work="$SETUP_BUILD/e2e/$(basename "$0" .sh)/$1"
    rm -rf "$work"
    mkdir -p "$work/tmp"
    echo "--- $1"
}

# The Windows name of a Linux path (drive Z: is the Linux root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# make_medium DIR: the three shipped files and setup.inf from standard input.
make_medium() {
    mkdir -p "$1"
    cp "$SETUP_BUILD/bin/setup.exe" "$SETUP_BUILD/bin/setuprt.dll" "$SETUP_BUILD/bin/mscuistf.dll" "$1/"
    cat > "$1/setup.inf"
}

# make_program DIR: the three shipped files alone, a setup.exe that finds no
# script beside it.
make_program() {
    mkdir -p "$1"
    cp "$SETUP_BUILD/bin/setup.exe" "$SETUP_BUILD/bin/setuprt.dll" "$SETUP_BUILD/bin/mscuistf.dll" "$1/"
}

# run_setup START_DIR PROGRAM_DIR [TMP]: runs setup.exe with $work/answers (if
# there is one) and $work/transcript from START_DIR; TMP is a Windows path, "-"
# leaves it undefined.
# START_DIR and PROGRAM_DIR are Linux paths, or Windows paths such as A:\.
# SETUP_ARGS adds options in front; SETUP_TIMEOUT (seconds, default 120)
# bounds the run.
run_setup() {
    local start=$1 program=$2 tmp=${3:-$(winpath "$work/tmp")}
    local tmpset="set TMP=$tmp"
    [ "$tmp" = "-" ] && tmpset="set TMP="
    local exe="$(winpath "$program")\\setup.exe" cd_first=""
    local answers=""
    [ ! -f "$work/answers" ] || answers="/a $(winpath "$work/answers")"
    case "$program" in ?:*) exe="$program\\setup.exe" ;; esac
    # A Windows start directory (such as A:\) is entered by cmd itself.
    case "$start" in ?:*) cd_first="cd /d $start&& "; start=$work ;; esac
    rm -f "$work/transcript" "$work/w95layer.log"
    (cd "$start" && W95_LAYER_LOG=$(winpath "$work/w95layer.log") timeout "${SETUP_TIMEOUT:-120}" \
        wine cmd /c "$cd_first$tmpset&& $exe ${SETUP_ARGS:-} $answers /t $(winpath "$work/transcript")" \
        </dev/null >"$work/stdout" 2>&1)
    status=$?
    # A run cut off by the time-out may leave setup.exe or Wine's debugger behind.
    [ "$status" -ne 124 ] || wineserver -k 2>/dev/null
    [ "$(basename "$WINEPREFIX")" != w95 ] || expect_95_family_limits
}

# In the w95 prefix setup.exe runs behind the layer of the 95 family's
# limits (tests/w95_layer, put there by scripts/prefix): it must have stood
# in front of setup.exe and refused no call.
expect_95_family_limits() {
    local log="$work/w95layer.log"
    grep -q '^layer setup.exe' "$log" 2>/dev/null || fail "setup.exe ran without the 95 family's limits"
    ! grep -q '^refused ' "$log" 2>/dev/null ||
        fail "the 95 family refuses: $(grep '^refused ' "$log" | tr -d '\r' | sort -u | paste -sd';')"
}

# run_medium [ANSWERS...]: runs setup.exe from $work/medium, with those
# answers, or quiet (/q) without any.
run_medium() {
    if [ $# -eq 0 ]; then
        SETUP_ARGS=/q run_setup "$work/medium" "$work/medium"
    else
        printf '%s\n' "$@" > "$work/answers"
        run_setup "$work/medium" "$work/medium"
    fi
}

fail() { echo "FAIL [$current_case]: $*"; failures=$((failures + 1)); }

expect_status() { [ "$status" -eq "$1" ] || fail "exit code $status, expected $1"; }

# as_transcript TEXT: TEXT as the transcript quotes it, byte by byte: each
# backslash and double quote escaped.
as_transcript() { printf '%s' "$1" | LC_ALL=C sed 's/\\/\\\\/g; s/"/\\"/g'; }

# expect_line TEXT: the transcript has a line equal to TEXT.
expect_line() {
    grep -qxF -- "$1" "$work/transcript" 2>/dev/null || {
        fail "transcript lacks: $1"
        sed 's/^/    | /' "$work/transcript" 2>/dev/null
    }
}

expect_no_line() {
    ! grep -qxF -- "$1" "$work/transcript" 2>/dev/null || fail "transcript has: $1"
}

# expect_files COUNT GLOB: how many files match.
expect_files() {
    local n
    n=$(compgen -G "$2" | wc -l)
    [ "$n" -eq "$1" ] || fail "$n files match $2, expected $1"
}

# Every installation registers its uninstall entry: those of this
# installer (their command runs \usr\uninstall-NAME\setup.exe) go again from
# both prefixes.
forget_uninstall_entries() {
    local p
    for p in nt w95 win64; do
        [ -d "$SETUP_BUILD/wine/$p" ] || continue
        (
            export WINEPREFIX="$SETUP_BUILD/wine/$p"
            wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
                awk '/^HKEY/ { key = $0 } /^ +UninstallString .*\\usr\\uninstall-/ { print key }' |
                while IFS= read -r key; do wine reg delete "$key" /f >/dev/null 2>&1; done
        )
    done
}

e2e_done() {
    forget_uninstall_entries
    [ "$failures" -eq 0 ] && { echo "all passed"; exit 0; }
    echo "$failures failure(s)"
    exit 1
}

# The prefix's drive C: and a registry value as `wine reg query` prints it.
# On 64-bit Windows it is read as the installer, a 32-bit program, sees it
# (REG_VIEW=64: as 64-bit programs see it).
drive_c() { printf '%s/drive_c' "$WINEPREFIX"; }
is_wow64() { grep -q '^#arch=win64' "$WINEPREFIX/system.reg" 2>/dev/null; }
reg_value() {
    local view=()
    ! is_wow64 || view=("/reg:${REG_VIEW:-32}")
    wine reg query "$1" /v "$2" "${view[@]}" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name {
        $1 = ""; type = $2; $2 = ""; sub(/^ +/, ""); print type " " $0 }'
}

# expect_file PATH [CONTENT]: the file exists (with that content).
expect_file() {
    [ -f "$1" ] || { fail "missing file $1"; return; }
    [ $# -lt 2 ] || [ "$(cat "$1")" = "$2" ] || fail "unexpected content in $1"
}
expect_no_file() { [ ! -e "$1" ] || fail "unexpected file $1"; }

# expect_clean_end CODE: the run ended by itself with exit code CODE; Wine
# reports no unhandled exception (a crash also shows as a time-out, 124,
# while Wine's crash dialog waits).
expect_clean_end() {
    ! grep -q 'Unhandled' "$work/stdout" 2>/dev/null || fail "crashed: $(grep -m1 Unhandled "$work/stdout")"
    [ "$status" -ne 124 ] || fail "did not end within ${SETUP_TIMEOUT:-120} s"
    expect_status "$1"
}

# What the run did, from its exit code and transcript: a crash, a hang, an
# abort, the failure dialog, the fatal box it ended with, a finished
# installation or a quit.
observed_ending() {
    local box
    box=$(grep -E '^msgbox .*" "(Fatal Erro|Fatal Error|DU-Ruruz Error)" [0-9]+ [0-9]+$' "$work/transcript" 2>/dev/null |
        tail -n 1 | sed -E 's/^msgbox (".*") "([^"]*)" [0-9]+ [0-9]+$/\1 (caption \2)/')
    if grep -q 'Unhandled' "$work/stdout" 2>/dev/null; then echo "crash"
    elif [ "$status" -eq 124 ]; then echo "hang, stopped by the time-out"
    elif [ "$status" -eq 3 ]; then echo "unattended run stopped: $(grep -m1 '^abort ' "$work/transcript" | cut -c7-)"
    elif grep -q '^dialog 400 ' "$work/transcript" 2>/dev/null; then echo "failure dialog${box:+ after the box $box}"
    elif [ -n "$box" ]; then echo "fatal stop: $box"
    elif grep -qx 'dialog 700 CONTINUE' "$work/transcript" 2>/dev/null; then echo "installation finished"
    elif grep -qx 'dialog 200 EXIT' "$work/transcript" 2>/dev/null; then echo "quit by the user"
    else echo "ended without a closing dialog"
    fi
}

# expect_intact PATH CONTENT: a file installed before the run ended is
# still there, whole; counted for the reliability log.
expect_intact() {
    if [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; then
        files_kept=$((files_kept + 1))
    else
        files_lost=$((files_lost + 1))
        fail "lost or damaged: $1"
    fi
}

# reliability_log: when SETUP_RELIABILITY_LOG names a file, appends
# "case|what the installer did|exit code|nothing lost" for the case just run.
reliability_log() {
    [ -n "${SETUP_RELIABILITY_LOG:-}" ] || return 0
    local checked=$((files_kept + files_lost)) intact
    intact="yes, $checked file$([ "$checked" -eq 1 ] || echo s) checked whole"
    [ "$checked" -ne 0 ] || intact="no file to check"
    [ "$files_lost" -eq 0 ] || intact="no, $files_lost of $checked files lost or damaged"
    printf '%s|%s|%s|%s\n' "$(basename "$0" .sh)/$current_case" "$(observed_ending | tr '|' '/')" \
        "$status" "$intact" >>"$SETUP_RELIABILITY_LOG"
}

# not_run CASE REASON: a case this machine cannot run, said on the output
# and in the reliability log.
not_run() {
    local reason=${2//$'\n'/ }
    echo "--- $1: not run: $reason"
    [ -z "${SETUP_RELIABILITY_LOG:-}" ] ||
        printf '%s|not run: %s|-|-\n' "$(basename "$0" .sh)/$1" "${reason//|//}" >>"$SETUP_RELIABILITY_LOG"
}

# zeros DIR NAME KIND BYTES: a file of BYTES zero bytes, plain or compressed
# as mscompress would (which takes minutes for a large size): one literal,
# then matches of 18 bytes from the byte before.
zeros() {
    local size=$4
    if [ "$3" = plain ]; then
        head -c "$size" /dev/zero > "$1/$2"
        return
    fi
    python3 - "$size" > "$1/$2_" <<'EOF'
import struct, sys
n = int(sys.argv[1])
out = bytearray(b'SZDD\x88\xf0\x27\x33A\x00' + struct.pack('<I', n))
items, made, window_at = [b'\x00'], 1, 0xff1
while made + 18 <= n and (made < 4200 or len(items) % 8):
    at = (window_at - 1) & 0xfff
    items.append(bytes([at & 0xff, ((at >> 4) & 0xf0) | 15]))
    made, window_at = made + 18, (window_at + 18) & 0xfff
while len(items) % 8 and made < n:
    items.append(b'\x00'); made += 1
def flush(items):
    for i in range(0, len(items), 8):
        group = items[i:i + 8]
        out.append(sum(1 << j for j, item in enumerate(group) if len(item) == 1))
        out.extend(b''.join(group))
flush(items)
# The window is all zeros now: every match may start at 0.
groups = (n - made) // 144
out.extend((b'\x00' + b'\x00\x0f' * 8) * groups)
flush([b'\x00'] * (n - made - groups * 144))
sys.stdout.buffer.write(out)
EOF
}
