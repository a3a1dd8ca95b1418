#!/usr/bin/env bash
# Media made by mkmedia, one of each kind, checked and installed under Wine:
# the installed tree is the product tree, byte for byte, and every file set
# is registered. The destination is R:; the runs' keys, shortcuts and files
# are taken out again at the end.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../mkmedia/product.sh"

mkmedia=${MKMEDIA:-$SETUP_BUILD/host/tools/mkmedia/mkmedia}
dest="$SETUP_BUILD/drives/r/usr"
programs_nt() { printf '%s/ProgramData/Microsoft/Windows/Start Menu/Programs/MkTest' "$(drive_c)"; }
clean_prefix() {
    wine reg delete 'HKLM\Software\Mkmedia Test' /f >/dev/null 2>&1
    rm -rf "$(programs_nt)" "$dest"
}
trap 'clean_prefix; rm -rf "${SETUP_BUILD:?}/drives/d"/*' EXIT
[ -x "$mkmedia" ] || { echo "FAIL: no native mkmedia at $mkmedia (scripts/build makes it)"; exit 1; }

answers() {
    printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=R:\ndialog 800 CONTINUE ButtonChecked=1\n'
    printf 'dialog 700 CONTINUE\n'
}

# build_medium DIR ARGS...: a checked medium of the product in $work/product,
# with the program files of the build that made mkmedia.
build_medium() {
    local dir=$1
    shift
    "$mkmedia" build "$work/product/setup.inf" -o "$dir" -q "$@" ||
        fail "mkmedia build $*"
    "$mkmedia" check "$dir" || fail "mkmedia check found faults in its own medium"
}

# expect_product_installed: the tree under R:\usr is the product's beside
# each software's means of taking it back, and each set is registered; the
# shortcut's program is the installed one.
expect_product_installed() {
    expect_status 0
    diff -r --exclude=setup.inf --exclude=art --exclude='uninstall-Mkmedia Test-MkTest*' "$work/product" "$dest" >"$work/diff" 2>&1 ||
        fail "the installed tree differs from the product: $(head -n 5 "$work/diff")"
    for software in MkTest 'MkTest documents'; do
        expect_file "$dest/uninstall-Mkmedia Test-$software.log"
        expect_file "$dest/uninstall-Mkmedia Test-$software/setup.exe"
    done
    for software in MkTest 'MkTest documents'; do
        reg_value "HKLM\\Software\\Mkmedia Test\\$software\\VersionInfo" FileSetName | grep -q '^REG_SZ ' ||
            fail "$software is not registered"
    done
    expect_line 'item "MkTest" "Ledger,R:\\usr\\bin\\qv.exe,0,0,0,R:\\" "R:\\usr\\bin\\qv.exe -l"'
    expect_file "$(programs_nt)/Ledger.lnk"
}

# expect_branded SCRIPT_DIR: the banner lies beside setup.inf on the medium,
# the run showed the vendor's name, and Add/Remove Programs lists it so.
expect_branded() {
    cmp -s "$work/product/art/pinecone.bmp" "$1/art/pinecone.bmp" || fail "the banner is not on the medium"
    expect_line 'product "Pinecone Notes 3.1"'
    # Two software names: each entry says which.
    [ "$(reg_value "$uninstall_key\\Mkmedia Test-MkTest" DisplayName)" = "REG_SZ Pinecone Notes 3.1 (MkTest)" ] &&
        [ "$(reg_value "$uninstall_key\\Mkmedia Test-MkTest documents" DisplayName)" = \
            "REG_SZ Pinecone Notes 3.1 (MkTest documents)" ] || fail "the uninstall entries do not name the product"
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

e2e_case single_directory_plain
clean_prefix
make_product "$work/product"
build_medium "$work/medium" --kind single
answers >"$work/answers"
run_setup "$work/medium" "$work/medium"
expect_product_installed

e2e_case floppy_image_compressed_on_three_disks
clean_prefix
# Disk 1 holds the program files and the first sets; the data files of
# 1500 KB are each more than half a diskette, so no two share one.
make_product "$work/product" 1500
brand_product "$work/product"
build_medium "$work/medium" --kind floppy --compress --disk-size 2.88M
[ -d "$work/medium/DISK3" ] || fail "the medium spans fewer than three disks"
answers >"$work/answers"
run_setup "$work/medium/DISK1" "$work/medium/DISK1"
expect_product_installed
expect_branded "$work/medium/DISK1"

e2e_case cdrom_compressed_in_drive_d
clean_prefix
make_product "$work/product"
brand_product "$work/product"
cdrom="$SETUP_BUILD/drives/d"
rm -rf "${cdrom:?}"/*
build_medium "$work/medium" --kind cdrom --compress
# view.exe does not shrink: it lies plain, and the installer copies it as it stands.
[ -f "$work/medium/DISK1/FILES/bin/view.exe" ] || fail "view.exe is not plain on the medium"
cp -r "$work/medium"/. "$cdrom/"
answers >"$work/answers"
run_setup 'D:\' 'D:'
expect_product_installed
expect_branded "$cdrom"

# The uninstallation that Add/Remove Programs starts has no medium: it
# names the product from its log.
e2e_case single_directory_branded_and_removed
clean_prefix
make_product "$work/product"
brand_product "$work/product"
build_medium "$work/medium" --kind single
answers >"$work/answers"
run_setup "$work/medium" "$work/medium"
expect_product_installed
expect_branded "$work/medium"
sed -n 2p "$dest/uninstall-Mkmedia Test-MkTest.log" | grep -q '^software "MkTest" product "Pinecone Notes 3.1" ~' ||
    fail "the log's header does not name the product"
command=$(reg_value "$uninstall_key\\Mkmedia Test-MkTest" QuietUninstallString | cut -d' ' -f2-)
eval "set -- $command"
rm -f "$work/transcript"
(cd "$work" && timeout 120 wine "$@" /t "$(winpath "$work/transcript")" </dev/null >"$work/stdout" 2>&1)
for _ in $(seq 1 100); do [ -e "$dest/uninstall-Mkmedia Test-MkTest" ] || break; sleep 0.1; done
expect_line 'product "Pinecone Notes 3.1"'
expect_line 'msgbox "Pinecone Notes 3.1 was removed." "Remove Pinecone Notes 3.1" 64 1'
expect_no_file "$dest/bin/qv.exe"

e2e_case damaged_file_stops_before_it_takes_its_name
clean_prefix
make_product "$work/product"
build_medium "$work/medium" --kind single --compress
# Four literal bytes changed: whole to the decoder, but not the file recorded.
printf 'WXYZ' | dd of="$work/medium/doc/parts.cs_" bs=1 seek=15 conv=notrunc status=none
# What the file gives, as mkmedia check decodes it.
gave=$("$mkmedia" check "$work/medium" 2>&1 | sed -n 's/.*parts.cs_. is damaged: it gives 38893 bytes with CRC-32 \([0-9A-F]*\),.*/\1/p')
recorded=$(grep -B1 '^F doc.parts.cs_' "$work/medium/setup.inf" | head -n 1 | sed 's/^; length [0-9]* crc32 \([0-9A-F]*\)\r$/\1/')
{ answers | grep -v 'dialog 700'; echo 'msgbox OK'; } >"$work/answers"
run_setup "$work/medium" "$work/medium"
expect_status 1
expect_line "msgbox \"The file $(as_transcript "$(winpath "$work/medium")\doc\parts.cs_") on the installation disk is damaged: it gave 38893 bytes with CRC-32 $gave, setup.inf records 38893 bytes with CRC-32 $recorded\" \"Fatal Error\" 0 1"
expect_no_file "$dest/doc/parts.csv"
[ -z "$(ls -A "$dest/doc" | grep -v -e '^empty.txt$' -e '^one.txt$' -e '^tiny.txt$')" ] || fail "left in doc: $(ls -A "$dest/doc")"

e2e_done
