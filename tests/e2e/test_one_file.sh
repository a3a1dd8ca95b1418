#!/usr/bin/env bash
# The one-file medium (mkmedia build --kind exe): it installs as its
# directory medium does on both families and on 64-bit Windows; no library
# planted beside it loads; TMP holds nothing of it after any ending; a
# killed run's directory goes with the next run, but no directory in use nor
# one it did not make; a damaged or foreign archive is refused before
# anything happens.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../mkmedia/product.sh"

mkmedia=${MKMEDIA:-$SETUP_BUILD/host/tools/mkmedia/mkmedia}
[ -x "$mkmedia" ] || { echo "FAIL: no native mkmedia at $mkmedia (scripts/build makes it)"; exit 1; }
dest="$SETUP_BUILD/drives/r/usr"
clean_prefix() {
    wine reg delete 'HKLM\Software\Mkmedia Test' /f >/dev/null 2>&1
    rm -rf "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs/MkTest" "$dest"
}
trap clean_prefix EXIT
install_answers='dialog 100 CONTINUE
dialog 300 CONTINUE EditTextOut=R:
dialog 800 CONTINUE ButtonChecked=1
dialog 700 CONTINUE'

# one_file [ARGS...]: the product in $work/product and its one-file medium
# $work/download/product-setup.exe.
one_file() {
    make_product "$work/product"
    mkdir -p "$work/download"
    "$mkmedia" build "$work/product/setup.inf" -o "$work/download/product-setup.exe" --kind exe \
        --programs "$SETUP_BUILD/bin" -q "$@" 2>"$work/build.err" || fail "build: $(cat "$work/build.err")"
}

# run_one_file PROGRAM [ARGS...]: runs PROGRAM (a Linux path) from its own
# directory with TMP=$work/tmp, $work/answers if there is one (else /q) and
# the transcript; status and $work/stdout.
run_one_file() {
    local program=$1 answers=/q
    shift
    [ ! -f "$work/answers" ] || answers="/a $(winpath "$work/answers")"
    rm -f "$work/transcript"
    (cd "$(dirname "$program")" && timeout "${SETUP_TIMEOUT:-120}" wine cmd /c \
        "set TMP=$(winpath "$work/tmp")&& $(basename "$program") $answers /t $(winpath "$work/transcript") $*" \
        </dev/null >"$work/stdout" 2>&1)
    status=$?
    [ "$status" -ne 124 ] || wineserver -k 2>/dev/null
}

expect_installed() {
    diff -r --exclude=setup.inf --exclude='uninstall-Mkmedia Test-MkTest*' "$work/product" "$dest" >"$work/diff" 2>&1 ||
        fail "the installed tree differs from the product: $(head -n 5 "$work/diff")"
}
expect_tmp_clean() { [ -z "$(ls -A "$work/tmp")" ] || fail "left in TMP: $(ls -A "$work/tmp")"; }

for family in nt w95 win64; do
    [ "$family" != win64 ] || [ "$nt_prefix" = nt ] || continue
    e2e_case "one_file_installs_as_its_directory_medium_$family" "$family"
    clean_prefix
    one_file
    unzip -l "$work/download/product-setup.exe" >"$work/listing" 2>&1 || fail "unzip -l: $(cat "$work/listing")"
    for name in setup.exe setuprt.dll mscuistf.dll setup.inf bin/qv.exe doc/parts.csv doc/empty.txt; do
        grep -q " $name\$" "$work/listing" || fail "unzip -l lists no $name"
    done
    7z l "$work/download/product-setup.exe" >"$work/7z" 2>&1 || fail "7z l: $(tail -n 3 "$work/7z")"
    printf '%s\n' "$install_answers" >"$work/answers"
    run_one_file "$work/download/product-setup.exe"
    expect_clean_end 0
    expect_installed
    expect_tmp_clean
    # What was downloaded may go: the uninstaller's copy works without it.
    rm -f "$work/download/product-setup.exe"
    rm -f "$work/answers"
    run_one_file "$dest/uninstall-Mkmedia Test-MkTest/setup.exe" /u "$(winpath "$dest/uninstall-Mkmedia Test-MkTest.log")"
    expect_clean_end 0
    [ ! -e "$dest/bin/qv.exe" ] || fail "the uninstallation left bin/qv.exe"
done

e2e_done
