# Helpers for the end-to-end tests: a medium in a scratch directory,
# setup.exe run under Wine with an answer file and a transcript, checks.
set -uo pipefail

: "${SETUP_BUILD:?SETUP_BUILD must name the build tree}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
failures=0
current_case=""

# e2e_case NAME [nt|w95]: a fresh scratch directory and the prefix to use.
e2e_case() {
    current_case=$1
    export WINEPREFIX="$SETUP_BUILD/wine/${2:-nt}"
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

# run_setup START_DIR PROGRAM_DIR [TMP]: runs setup.exe with $work/answers and
# $work/transcript from START_DIR; TMP is a Windows path, "-" leaves it undefined.
# START_DIR and PROGRAM_DIR are Linux paths, or Windows paths such as A:\.
# SETUP_ARGS adds options in front.
run_setup() {
    local start=$1 program=$2 tmp=${3:-$(winpath "$work/tmp")}
    local tmpset="set TMP=$tmp"
    [ "$tmp" = "-" ] && tmpset="set TMP="
    local exe="$(winpath "$program")\\setup.exe" cd_first=""
    case "$program" in ?:*) exe="$program\\setup.exe" ;; esac
    # A Windows start directory (such as A:\) is entered by cmd itself.
    case "$start" in ?:*) cd_first="cd /d $start&& "; start=$work ;; esac
    rm -f "$work/transcript"
    (cd "$start" && timeout 120 wine cmd /c "$cd_first$tmpset&& $exe ${SETUP_ARGS:-} /a $(winpath "$work/answers") /t $(winpath "$work/transcript")" \
        </dev/null >"$work/stdout" 2>&1)
    status=$?
}

fail() { echo "FAIL [$current_case]: $*"; failures=$((failures + 1)); }

expect_status() { [ "$status" -eq "$1" ] || fail "exit code $status, expected $1"; }

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

e2e_done() {
    [ "$failures" -eq 0 ] && { echo "all passed"; exit 0; }
    echo "$failures failure(s)"
    exit 1
}

# The prefix's drive C: and a registry value as `wine reg query` prints it.
drive_c() { printf '%s/drive_c' "$WINEPREFIX"; }
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name {
        $1 = ""; type = $2; $2 = ""; sub(/^ +/, ""); print type " " $0 }'
}

# expect_file PATH [CONTENT]: the file exists (with that content).
expect_file() {
    [ -f "$1" ] || { fail "missing file $1"; return; }
    [ $# -lt 2 ] || [ "$(cat "$1")" = "$2" ] || fail "unexpected content in $1"
}
expect_no_file() { [ ! -e "$1" ] || fail "unexpected file $1"; }
