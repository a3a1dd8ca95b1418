#!/usr/bin/env bash
# setup.exe on the one-file medium, as the launcher starts it: the program
# files and the script in a folder of their own, SETUP_ARCHIVE naming the
# downloaded program (a stub with the medium's ZIP appended), the current
# folder the user's downloads, where a stranger's setup.inf lies. The
# installed tree is the product's, byte for byte; a damaged entry stops the
# run naming it; an archive that cannot be used is refused before any dialog.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../mkmedia/product.sh"

mkmedia=${MKMEDIA:-$SETUP_BUILD/host/tools/mkmedia/mkmedia}
dest="$SETUP_BUILD/drives/r/usr"
programs_nt() { printf '%s/ProgramData/Microsoft/Windows/Start Menu/Programs/MkTest' "$(drive_c)"; }
clean_prefix() {
    wine reg delete 'HKLM\Software\Mkmedia Test' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mkmedia Test-MkTest' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mkmedia Test-MkTest documents' /f \
        >/dev/null 2>&1
    rm -rf "$(programs_nt)" "$(drive_c)/windows/Start Menu/Programs/MkTest" "$dest"
}
trap 'for p in w95 "$nt_prefix"; do export WINEPREFIX="$SETUP_BUILD/wine/$p"; clean_prefix; done' EXIT

answers() {
    printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=R:\ndialog 800 CONTINUE ButtonChecked=1\n'
    printf 'dialog 700 CONTINUE\n'
}
# The run is to end at a fatal box.
answers_to_stop() { printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=R:\ndialog 800 CONTINUE ButtonChecked=1\nmsgbox OK\n'; }

# one_file MODE [--compress]: the product's single-directory medium made by
# mkmedia, zipped (MODE stored or deflated) behind a stub into
# $work/downloads/product-setup.exe. Stored entries count their offsets from
# the start of the file, as self-extracting archives do; deflated ones from
# the start of the archive. The program files and the script go to
# $work/private, as the launcher unpacks them.
one_file() {
    local mode=$1
    shift
    make_product "$work/product"
    "$mkmedia" build "$work/product/setup.inf" -o "$work/medium" -q --kind single "$@" || fail "mkmedia build"
    mkdir -p "$work/downloads" "$work/private"
    cp "$work/medium"/{setup.exe,setuprt.dll,mscuistf.dll,setup.inf} "$work/private/"
    printf 'MZ the launcher stands here\n' >"$work/stub"
    if [ "$mode" = stored ]; then
        (cd "$work/medium" && zip -q -r -0 "$work/archive.zip" .)
        cat "$work/stub" "$work/archive.zip" >"$work/downloads/product-setup.exe"
        zip -q -A "$work/downloads/product-setup.exe"
    else
        python3 - "$work/medium" "$work/archive.zip" <<'PY'
import os, sys, zipfile
top, out = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as z:
    for root, dirs, files in os.walk(top):
        for f in sorted(files):
            path = os.path.join(root, f)
            z.write(path, os.path.relpath(path, top))
PY
        cat "$work/stub" "$work/archive.zip" >"$work/downloads/product-setup.exe"
    fi
    # A stranger's script in the downloads folder: never taken.
    printf 'COMPANY [Planted]\nFILESET [x]\nBEGIN\nEND\n' >"$work/downloads/setup.inf"
}

# run_one_file [ARCHIVE]: setup.exe from $work/private with the downloads
# folder current.
run_one_file() {
    SETUP_ARCHIVE=$(winpath "${1:-$work/downloads/product-setup.exe}") \
        run_setup "$work/downloads" "$work/private"
}

expect_product_installed() {
    expect_status 0
    diff -r --exclude=setup.inf --exclude='uninstall-Mkmedia Test-MkTest*' "$work/product" "$dest" >"$work/diff" 2>&1 ||
        fail "the installed tree differs from the product: $(head -n 5 "$work/diff")"
    expect_file "$dest/uninstall-Mkmedia Test-MkTest/setup.exe"
    expect_no_line 'msgbox "Corrupted setup.inf file" "Fatal Erro" 0 1'
}

# expect_refused_at_start TEXT: a fatal box naming TEXT, exit 1, no dialog
# before it, nothing installed.
expect_refused_at_start() {
    expect_clean_end 1
    grep -q "^msgbox \"The installation program .*cannot be used: $1" "$work/transcript" ||
        fail "no refusal naming '$1': $(grep -m1 '^msgbox' "$work/transcript")"
    ! grep -q '^dialog ' "$work/transcript" || fail "a dialog before the refusal"
    expect_no_file "$dest"
}

for family in nt w95; do
    e2e_case "${family}_deflated" "$family"
    clean_prefix
    one_file deflated
    answers >"$work/answers"
    run_one_file
    expect_product_installed

    e2e_case "${family}_stored_compressed" "$family"
    clean_prefix
    one_file stored --compress
    unzip -l "$work/downloads/product-setup.exe" >"$work/listing"
    grep -q 'doc/parts.cs_' "$work/listing" || fail "the medium holds no compressed file"
    answers >"$work/answers"
    run_one_file
    expect_product_installed
done

e2e_case damaged_entry_stops_naming_it
clean_prefix
one_file stored
# One byte inside doc/parts.csv, installed after bin/ and doc/empty.txt.
python3 - "$work/downloads/product-setup.exe" <<'PY'
import sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
at = data.index(b'1000\n1001\n')
data[at] ^= 0x01
open(path, 'wb').write(data)
PY
answers_to_stop >"$work/answers"
run_one_file
expect_clean_end 1
expect_line 'msgbox "The file doc\\parts.csv in the installation program is damaged: an entry gives another CRC-32 than the archive records. Nothing more was installed; download the installation program again and run it once more." "Fatal Error" 0 1'
cmp -s "$work/product/bin/view.exe" "$dest/bin/view.exe" || fail "an earlier file is not whole"
cmp -s "$work/product/doc/tiny.txt" "$dest/doc/tiny.txt" || fail "an earlier file is not whole"
expect_no_file "$dest/doc/parts.csv"
expect_files 0 "$dest/doc/*~*"

e2e_case missing_entry_stops_as_a_missing_file
clean_prefix
one_file stored
zip -q -d "$work/downloads/product-setup.exe" doc/tiny.txt
answers_to_stop >"$work/answers"
run_one_file
expect_clean_end 1
grep -q '^msgbox "Error 0x2 Copying File .*doc\\\\tiny.txt to R:\\\\usr\\\\doc\\\\tiny.txt' "$work/transcript" ||
    fail "no stop for the missing entry: $(grep -m1 '^msgbox' "$work/transcript")"
expect_no_file "$dest/doc/tiny.txt"

e2e_case unusable_archives_refused_before_any_dialog
clean_prefix
one_file deflated
answers_to_stop >"$work/answers"
program="$work/downloads/product-setup.exe"
head -c -300 "$program" >"$work/cut.exe"
printf 'msgbox OK\n' >"$work/answers"
run_one_file "$work/cut.exe"
expect_refused_at_start "the file is not an archive, or it is cut short"
cp "$work/product/doc/parts.csv" "$work/foreign.exe"
run_one_file "$work/foreign.exe"
expect_refused_at_start "the file is not an archive, or it is cut short"
run_one_file "$work/no-such-program.exe"
expect_refused_at_start "the archive could not be read"
# An entry that climbs out of the medium's folder: the zip slip.
cp "$program" "$work/slip.exe"
python3 - "$work/slip.exe" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'a') as z:
    z.writestr('../../evil.dll', b'planted')
PY
run_one_file "$work/slip.exe"
expect_refused_at_start "an entry's name leaves the medium's folder (../../evil.dll)"

e2e_done
