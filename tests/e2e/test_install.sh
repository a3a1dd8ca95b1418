#!/usr/bin/env bash
# Whole installations from every kind of medium, checked on disk, in the
# registry and in the transcript. The destination is R:, emptied before
# each case; what the runs add to the prefix is taken out again at the end.
. "$(dirname "$0")/lib.sh"

env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
dest="$SETUP_BUILD/drives/r/usr"
nt_programs() { printf '%s/ProgramData/Microsoft/Windows/Start Menu/Programs' "$(drive_c)"; }

save_prefix_state() {
    export WINEPREFIX="$SETUP_BUILD/wine/$1"
    saved_path=$(reg_value "$env_key" Path | cut -d' ' -f2-)
}
restore_prefix_state() {
    export WINEPREFIX="$SETUP_BUILD/wine/$1"
    wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1
    wine reg delete "$env_key" /v QUORVANE_HOME /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane32' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\view.exe' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\qv.exe' /f >/dev/null 2>&1
    rm -rf "$(nt_programs)/Quorvane32" "$(drive_c)/windows/Start Menu/Programs/Quorvane32"
    rm -f "$(drive_c)/AUTOEXEC.BAT" "$(drive_c)/AUTOEXEC.BAK"
    rm -rf "$dest"
}
save_prefix_state w95; saved_path_w95=$saved_path
save_prefix_state "$nt_prefix"
trap 'restore_prefix_state "$nt_prefix"; saved_path=$saved_path_w95; restore_prefix_state w95' EXIT

# payload DIR: the product's files, plain. Each is longer than 20 bytes:
# mscompress writes a damaged stream for smaller files.
payload() {
    mkdir -p "$1"
    echo "Quorvane ledger program" > "$1/qv.exe"
    echo "Quorvane viewer program" > "$1/view.exe"
    echo "Read me first, then the manual" > "$1/readme.txt"
    echo "the icon of the ledger program" > "$1/qv.ico"
    printf 'part,stock\n1001,240\n1002,980\n' > "$1/parts.csv"
    echo "needed by set-up only, never installed" > "$1/setupnote.txt"
}
size_of() { (cd "$1" && shift && cat "$@" | wc -c); }

# script KIND COMPRESSION SOURCE_SUFFIX: the script of the sample product.
# Base tools begin on disk 1 and end on disk 2, where the samples lie.
script() {
    local s=$3 base samples
    base=$(size_of "$work/payload" qv.exe view.exe view.exe readme.txt qv.ico)
    samples=$(size_of "$work/payload" parts.csv)
    cat <<INF
; the sample product
COMPANY [Quorvane]
$2
$1
FILESET [Setup files]
BEGIN
F setupnote.txt$s setupnote.txt
END 12
FILESET [Base tools]
EXPRESS
SOFTWARE [Quorvane32]
MAJORVERSION [2]
MINORVERSION [0]
RELEASE [1]
CPUTYPE [i386]
ADDPATH [bin]
ADDPATH [\tools]
ADDPATH [bin]
ENVIRONMENT [QUORVANE_HOME] [R:\usr]
APPITEM bin\qv.exe bin\qv.ico [Quorvane Ledger] [-ledger]
BEGIN
D bin
F qv.exe$s bin\qv.exe
P view.exe$s bin\view.exe bin\qv.ico [Viewer]
P view.exe$s bin\print.exe bin\qv.ico [View/Print]
I readme.txt$s readme.txt bin\qv.ico [Read me] [notepad.exe]
CHANGEDISK 2
F qv.ico$s bin\qv.ico
END $base
FILESET [Samples]
SOFTWARE [Quorvane32 samples]
BEGIN
D samples
F parts.csv$s samples\parts.csv
END $samples
INF
}

# files_for_disk N: the payload files that the script takes from disk N.
files_for_disk() {
    case $1 in
        1) echo setupnote.txt qv.exe view.exe readme.txt ;;
        2) echo qv.ico parts.csv ;;
    esac
}

# place DISK_DIR N COMPRESSED: the files of disk N into DISK_DIR, compressed
# with mscompress when asked.
place() {
    mkdir -p "$1"
    for f in $(files_for_disk "$2"); do
        cp "$work/payload/$f" "$1/"
        if [ "$3" = yes ]; then (cd "$1" && mscompress "$f" && rm "$f"); fi
    done
}

# other_formats DISK1_DIR DISK2_DIR: on a compressed medium, readme.txt_ a
# cabinet made by gcab and qv.ico_ the file as it is; expand.exe expands
# the one and copies the other.
other_formats() {
    rm -f "$1/readme.txt_" "$2/qv.ico_"
    (cd "$work/payload" && gcab -c -z "$1/readme.txt_" readme.txt)
    cp "$work/payload/qv.ico" "$2/qv.ico_"
}

# expect_link FILE TARGET ARGUMENTS DESCRIPTION ICON WORKDIR: what an
# independent reader (lnkinfo) finds in a shortcut file; a target that
# begins with * may have any directory in front.
expect_link() {
    local info="$work/$(basename "$1").lnkinfo" field want
    [ -f "$1" ] || { fail "missing shortcut $1"; return; }
    lnkinfo "$1" > "$info" 2>&1
    field() { awk -F'\t: ' -v name="$1" '$1 ~ "^\t" name "[\t ]*$" {print $2; exit}' "$info"; }
    case "$2" in
        \**) [[ "$(field 'Local path')" == *"${2#\*}" ]] || fail "$1: target $(field 'Local path')" ;;
        *) [ "$(field 'Local path')" = "$2" ] || fail "$1: target $(field 'Local path'), expected $2" ;;
    esac
    [ "$(field 'Command line arguments')" = "$3" ] || fail "$1: arguments $(field 'Command line arguments')"
    [ "$(field 'Description')" = "$4" ] || fail "$1: description $(field 'Description')"
    [ "$(field 'Icon location')" = "$5" ] || fail "$1: icon $(field 'Icon location')"
    [ "$(field 'Working directory')" = "$6" ] || fail "$1: working directory $(field 'Working directory')"
}

answers_express() {
    printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=R:\ndialog 800 CONTINUE ButtonChecked=1\n'
    printf 'dialog 700 CONTINUE\n'
}
answers_custom_with_samples() {
    printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=R:\ndialog 800 CONTINUE ButtonChecked=2\n'
    printf 'dialog 6200 CHK2\ndialog 6200 CONTINUE\ndialog 700 CONTINUE\n'
}

expect_base_tools() {
    expect_file "$dest/bin/qv.exe" "Quorvane ledger program"
    expect_file "$dest/bin/view.exe" "Quorvane viewer program"
    expect_file "$dest/readme.txt" "Read me first, then the manual"
    expect_file "$dest/bin/qv.ico" "the icon of the ledger program"
    expect_no_file "$dest/setupnote.txt"
}

expect_nt_registration() {
    [ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' FileSetName)" = "REG_SZ Base tools" ] ||
        fail "FileSetName: $(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' FileSetName)"
    [ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' SerialNumber)" = "REG_DWORD 0x0" ] ||
        fail "SerialNumber is not a DWORD 0"
    [ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' DestinationPath)" = 'REG_SZ R:\usr' ] ||
        fail "DestinationPath"
    [ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' SoftwareType)" = "REG_SZ application" ] ||
        fail "SoftwareType"
    local path
    path=$(reg_value "$env_key" Path)
    case "$path" in
        "REG_EXPAND_SZ \\tools;R:\\usr\\bin;$saved_path") ;;
        *) fail "Path is $path" ;;
    esac
    [ "$(reg_value "$env_key" QUORVANE_HOME)" = 'REG_SZ R:\usr' ] || fail "QUORVANE_HOME not set"
    expect_line 'group "Quorvane32"'
    expect_line 'item "Quorvane32" "Viewer,R:\\usr\\bin\\qv.ico,0,0,0,R:\\" "R:\\usr\\bin\\view.exe"'
    expect_line 'item "Quorvane32" "View/Print,R:\\usr\\bin\\qv.ico,0,0,0,R:\\" "R:\\usr\\bin\\print.exe"'
    expect_line 'item "Quorvane32" "Read me,R:\\usr\\bin\\qv.ico,0,0,0,R:\\" "notepad.exe R:\\usr\\readme.txt"'
    expect_line 'item "Quorvane32" "Quorvane Ledger,R:\\usr\\bin\\qv.ico,0,0,0,R:\\" "R:\\usr\\bin\\qv.exe -ledger"'
    for link in Viewer View_Print "Read me" "Quorvane Ledger"; do
        expect_file "$(nt_programs)/Quorvane32/$link.lnk"
    done
    lnkinfo "$(nt_programs)/Quorvane32/Viewer.lnk" > "$work/viewer.lnkinfo" 2>&1
    grep -qE 'Local path[[:space:]]+: R:\\usr\\bin\\view.exe$' "$work/viewer.lnkinfo" ||
        fail "the Viewer shortcut does not point at view.exe"
    grep -qE 'Working directory[[:space:]]+: R:\\$' "$work/viewer.lnkinfo" ||
        fail "the Viewer shortcut does not start in R:\\"
}

e2e_case single_directory_plain_express
payload "$work/payload"
script "SINGLE DIR IMAGE" "NOT COMPRESSED" "" | make_medium "$work/medium"
place "$work/medium" 1 no; place "$work/medium" 2 no
answers_express > "$work/answers"
rm -rf "$dest"
run_setup "$work/medium" "$work/medium"
expect_status 0
expect_base_tools
expect_no_file "$dest/samples/parts.csv"
expect_nt_registration
expect_files 0 "$work/tmp/pex*.tmp"

# On 64-bit Windows the installer's keys lie in the 32-bit view of the
# registry; the variables and the shortcuts are the same for every program.
if is_wow64; then
    e2e_case where_a_32_bit_installation_lands
    key='HKLM\Software\Quorvane\Quorvane32\VersionInfo'
    [ "$(REG_VIEW=64 reg_value 'HKLM\Software\WOW6432Node\Quorvane\Quorvane32\VersionInfo' FileSetName)" = \
        "REG_SZ Base tools" ] || fail "the file set key is not in the 32-bit view"
    [ -z "$(REG_VIEW=64 reg_value "$key" FileSetName)" ] || fail "the file set key is in the 64-bit view"
    [ "$(REG_VIEW=64 reg_value "$env_key" QUORVANE_HOME)" = 'REG_SZ R:\usr' ] ||
        fail "64-bit programs do not see QUORVANE_HOME"
    REG_VIEW=64 reg_value "$env_key" Path | grep -qF 'R:\usr\bin;' || fail "64-bit programs do not see the Path entry"
    expect_file "$(nt_programs)/Quorvane32/Viewer.lnk"
fi

e2e_case reinstall_keeps_one_path_entry
answers_express > "$work/answers"
run_setup "$work/../single_directory_plain_express/medium" "$work/../single_directory_plain_express/medium"
expect_status 0
expect_nt_registration

e2e_case floppy_image_compressed_custom
restore_prefix_state "$nt_prefix"
payload "$work/payload"
script "FLOPPY DISK IMAGE" "COMPRESSED" "_" | make_medium "$work/media/DISK1"
place "$work/media/DISK1/FILES" 1 yes; place "$work/media/DISK2/FILES" 2 yes
other_formats "$work/media/DISK1/FILES" "$work/media/DISK2/FILES"
answers_custom_with_samples > "$work/answers"
run_setup "$work/media/DISK1" "$work/media/DISK1"
expect_status 0
expect_base_tools
expect_file "$dest/samples/parts.csv" "$(cat "$work/payload/parts.csv")"
expect_nt_registration
[ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32 samples\VersionInfo' FileSetName)" = "REG_SZ Samples" ] ||
    fail "the samples are not registered"

e2e_case cdrom_image_plain
restore_prefix_state "$nt_prefix"
payload "$work/payload"
cdrom="$SETUP_BUILD/drives/d"
rm -rf "${cdrom:?}"/*
script "CDROM IMAGE" "NOT COMPRESSED" "" | make_medium "$cdrom"
place "$cdrom/DISK1/FILES" 1 no; place "$cdrom/DISK2/FILES" 2 no
answers_express > "$work/answers"
run_setup 'D:\' 'D:'
expect_status 0
expect_base_tools
rm -rf "${cdrom:?}"/*

e2e_case diskettes_in_drive_a
restore_prefix_state "$nt_prefix"
payload "$work/payload"
floppy="$SETUP_BUILD/drives/a"
rm -rf "${floppy:?}"/*
script "FLOPPY DISK IMAGE" "COMPRESSED" "_" | make_medium "$floppy"
# One diskette that answers to both numbers: its FILES hold every file.
place "$floppy/FILES" 1 yes; place "$floppy/FILES" 2 yes
touch "$floppy/DISKID1" "$floppy/DISKID2"
{
    printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=R:\ndialog 800 CONTINUE ButtonChecked=1\n'
    printf 'msgbox CANCEL\ndialog 200 CANCEL\nmsgbox OK\ndialog 700 CONTINUE\n'
} > "$work/answers"
run_setup 'A:\' 'A:'
expect_status 0
expect_line 'msgbox "Please Insert DISK Labeled 2 \n into Drive A:" "Change Disk" 1 2'
expect_line 'msgbox "Please Insert DISK Labeled 2 \n into Drive A:" "Change Disk" 1 1'
expect_line 'dialog 200 CANCEL'
expect_base_tools
rm -rf "${floppy:?}"/*

[ "$nt_prefix" = nt ] || e2e_done  # no 64-bit Windows of the 95 family
e2e_case windows_95_family_shortcuts_and_autoexec w95
restore_prefix_state w95
payload "$work/payload"
script "SINGLE DIR IMAGE" "COMPRESSED" "_" | make_medium "$work/medium"
place "$work/medium" 1 yes; place "$work/medium" 2 yes
other_formats "$work/medium" "$work/medium"
answers_express > "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_status 0
expect_base_tools
programs="$(drive_c)/windows/Start Menu/Programs/Quorvane32"
expect_link "$programs/Viewer.LNK" 'R:\usr\bin\view.exe' '' Viewer 'R:\usr\bin\qv.ico' 'R:\'
expect_link "$programs/View_Print.LNK" 'R:\usr\bin\print.exe' '' View/Print 'R:\usr\bin\qv.ico' 'R:\'
expect_link "$programs/Read me.lnk" '*notepad.exe' 'R:\usr\readme.txt' "Read me" 'R:\usr\bin\qv.ico' 'R:\'
expect_link "$programs/Quorvane Ledger.lnk" 'R:\usr\bin\qv.exe' -ledger "Quorvane Ledger" 'R:\usr\bin\qv.ico' 'R:\'
expect_no_file "$programs/Viewer.lnk.LNK"
[ "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\view.exe' Path)" = 'REG_SZ R:\usr\bin;\tools;R:\usr\bin;' ] ||
    fail "App Paths of view.exe: $(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\view.exe' Path)"
# A relative entry lies below the destination, as on NT.
expect_line 'envvar "PATH" "R:\\usr\\bin" 4096'
expect_line 'envvar "PATH" "\\tools" 4096'
expect_line 'envvar "QUORVANE_HOME" "R:\\usr" 1024'
grep -qx 'SET PATH=%PATH%;R:\\usr\\bin;\\tools' <(tr -d '\r' < "$(drive_c)/AUTOEXEC.BAT") ||
    fail "AUTOEXEC.BAT lacks the search path"
grep -q 'QUORVANE_HOME=R:\\usr' "$(drive_c)/AUTOEXEC.BAT" 2>/dev/null || fail "AUTOEXEC.BAT lacks the variable"
expect_files 0 "$work/tmp/pex*.tmp"

e2e_done
