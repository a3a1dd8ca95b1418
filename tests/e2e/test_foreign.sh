#!/usr/bin/env bash
# Media and names the installer meets in the field: blanks in the medium's
# path, paths at the length limits, names that a file name cannot hold, and
# double-byte names under code page 932. Each run installs, or ends in a
# clear stop naming what does not fit; files installed before stay whole.
. "$(dirname "$0")/lib.sh"

top=${SETUP_TOP:-$(cd "$(dirname "$0")/../.." && pwd)}
dest="$SETUP_BUILD/drives/r/usr"
SETUP_TIMEOUT=60
nt_programs() { printf '%s/ProgramData/Microsoft/Windows/Start Menu/Programs' "$(drive_c)"; }
w95_programs() { printf '%s/windows/Start Menu/Programs' "$(drive_c)"; }

# Runs a command in the Japanese prefix's locale. The Linux locale is built
# into the build tree, so the machine's own locales stay as they are.
locales="$SETUP_BUILD/locale"
japanese() { { LOCPATH="$locales" LC_ALL=ja_JP.UTF-8 "$@"; } 2>/dev/null; }

# Every Wine call in the prefix ja runs in its locale: another one would
# rewrite the prefix's regional settings.
restore_prefixes() {
    local kind
    for kind in nt w95 ja; do
        [ -d "$SETUP_BUILD/wine/$kind" ] || continue
        export WINEPREFIX="$SETUP_BUILD/wine/$kind"
        if [ "$kind" = ja ]; then
            japanese wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null
        else
            wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
            wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane32' /f >/dev/null 2>&1
        fi
        rm -rf "$(nt_programs)"/Quorvane32 "$(nt_programs)"/ソフト表ゾ "$(w95_programs)"/Quorvane*
    done
    rm -rf "$dest"
}
trap restore_prefixes EXIT

rep() { printf "%${2}s" "" | tr ' ' "$1"; }
content_a="the first file of the payload, long enough for mscompress"
content_b="the second file of the payload, long enough for mscompress"
earlier="kept from an earlier installation"
to_install=('dialog 100 CONTINUE' 'dialog 300 CONTINUE EditTextOut=R:' 'dialog 800 CONTINUE ButtonChecked=1')

# script COMPRESSION IMAGE BODY: one set, Quorvane32, with these body lines.
script() {
    printf 'COMPANY [Quorvane]\n%s\n%s\nFILESET [Setup files]\nBEGIN\nEND 0\n' "$1" "$2"
    printf 'FILESET [Base tools]\nSOFTWARE [Quorvane32]\nEXPRESS\nBEGIN\n%b\nEND 128\n' "$3"
}

# medium DIR COMPRESSED: the payload a.txt and b.txt beside setup.inf.
medium() {
    echo "$content_a" > "$1/a.txt"
    echo "$content_b" > "$1/b.txt"
    [ "$2" = no ] || (cd "$1" && mscompress a.txt b.txt && rm a.txt b.txt)
}

# foreign_case NAME [nt|w95|ja]: the case, its medium in $work/medium.
foreign_case() {
    e2e_case "$@"
    medium_dir="$work/medium"
}

earlier_installation() {
    rm -rf "$dest"
    mkdir -p "$dest"
    echo "$earlier" > "$dest/earlier.txt"
}

# run_answered ANSWERS...: the run from the medium in $medium_dir.
run_answered() {
    printf '%s\n' "$@" > "$work/answers"
    run_setup "$medium_dir" "$medium_dir"
}

# installed: the run went on to the closing dialog.
installed() {
    expect_clean_end 0
    expect_line 'dialog 700 CONTINUE'
    expect_intact "$dest/earlier.txt" "$earlier"
}

# stopped TEXT: the fatal box with TEXT, as the transcript quotes it.
stopped() {
    expect_clean_end 1
    expect_line "msgbox \"$1\" \"Fatal Error\" 0 1"
    expect_intact "$dest/earlier.txt" "$earlier"
}

# A medium in a directory with blanks. expand.exe gets such a path in
# quotes; the 95 family gives it the short name of the source and a target
# in TMP, which has blanks here as well. The installer takes the medium
# from the directory it starts in; the harness starts the program itself
# from a path without blanks.
for variant in plain_nt compressed_nt compressed_w95; do
    kind=${variant#*_} compressed=yes compression=COMPRESSED tmp_dir=""
    [ "$variant" = plain_nt ] && compressed=no compression="NOT COMPRESSED"
    foreign_case "medium_path_with_blanks_$variant" "$kind"
    medium_dir="$work/Quorvane 2.0/disk one"
    suffix=""
    [ "$compressed" = yes ] && suffix=_
    script "$compression" "SINGLE DIR IMAGE" "F a.txt$suffix a.txt\nF b.txt$suffix b.txt" | make_medium "$medium_dir"
    medium "$medium_dir" "$compressed"
    if [ "$kind" = w95 ]; then
        mkdir -p "$work/tmp with blanks"
        tmp_dir=$(winpath "$work/tmp with blanks")
    fi
    mkdir -p "$work/program"
    cp "$SETUP_BUILD/bin/setup.exe" "$SETUP_BUILD/bin/setuprt.dll" "$SETUP_BUILD/bin/mscuistf.dll" "$work/program/"
    earlier_installation
    printf '%s\n' "${to_install[@]}" 'dialog 700 CONTINUE' > "$work/answers"
    run_setup "$medium_dir" "$work/program" "$tmp_dir"
    installed
    expect_intact "$dest/a.txt" "$content_a"
    expect_intact "$dest/b.txt" "$content_b"
    [ "$kind" = nt ] || expect_files 0 "$work/tmp with blanks/pex*.tmp"
    reliability_log
done

# long_medium_dir LENGTH: a medium directory whose Windows path has LENGTH
# characters, one directory below $work; fails when no name of 1 to 255
# characters gives that length.
long_medium_dir() {
    local base
    base=$(winpath "$work")
    [ $(($1 - ${#base} - 1)) -ge 1 ] && [ $(($1 - ${#base} - 1)) -le 255 ] || return 1
    medium_dir="$work/$(rep m $(($1 - ${#base} - 1)))"
}

# The script is found in a start-up directory of 248 characters, the longest
# for which the script's own path fits. A file from there is copied; a
# source name of 255 characters fits the installer's buffers, but its path
# of 504 is more than the system takes: the copy fails, naming it (the box
# shows the first 511 characters).
e2e_case medium_path_of_248_characters
if long_medium_dir 248; then
    script "NOT COMPRESSED" "SINGLE DIR IMAGE" "F a.txt a.txt\nF $(rep s 255) long.txt" | make_medium "$medium_dir"
    medium "$medium_dir" no
    echo "a long name" > "$medium_dir/$(rep s 255)"
    earlier_installation
    run_answered "${to_install[@]}" 'msgbox OK'
    message="Error 0xce Copying File $(winpath "$medium_dir")\\$(rep s 255) to R:\\usr\\long.txt"
    stopped "$(as_transcript "${message:0:511}")"
    expect_intact "$dest/a.txt" "$content_a"
    reliability_log

    # The same directory as a floppy-disk image: its disk directories,
    # ..\DISKn\FILES\, are longer than a path.
    e2e_case floppy_image_path_too_long
    long_medium_dir 248
    script "NOT COMPRESSED" "FLOPPY DISK IMAGE" "F a.txt a.txt" | make_medium "$medium_dir"
    earlier_installation
    run_answered "${to_install[@]}" 'msgbox OK'
    stopped "Source directory name too long: $(as_transcript "$(winpath "$medium_dir")\\")"
    reliability_log
else
    for name in medium_path_of_248_characters floppy_image_path_too_long; do
        not_run "$name" "no medium path of 248 characters with one directory below the build tree's"
    done
fi

# Names longer than any file system takes are refused while scanning, with
# the script line named, before anything is installed.
foreign_case source_name_of_256_characters
script "NOT COMPRESSED" "SINGLE DIR IMAGE" "F a.txt a.txt\nF $(rep s 256) x.txt" | make_medium "$medium_dir"
medium "$medium_dir" no
earlier_installation
run_answered 'msgbox OK'
stopped "setup.inf line 12: a name in the source is longer than 255 characters: F $(rep s 256) x.txt"
expect_no_file "$dest/a.txt"
reliability_log

foreign_case destination_directory_of_300_characters
script "NOT COMPRESSED" "SINGLE DIR IMAGE" "F a.txt a.txt\nF b.txt $(rep d 300)\\\\b.txt" | make_medium "$medium_dir"
medium "$medium_dir" no
earlier_installation
run_answered 'msgbox OK'
stopped "setup.inf line 12: a name in the destination is longer than 255 characters: F b.txt $(rep d 300)\\\\b.txt"
expect_no_file "$dest/a.txt"
reliability_log

# A program's installed path is kept in its item, which holds 259 characters.
foreign_case program_path_too_long_for_its_item
script "NOT COMPRESSED" "SINGLE DIR IMAGE" "F a.txt a.txt\nP b.txt $(rep d 250)\\\\b.exe a.txt [Viewer]" | make_medium "$medium_dir"
medium "$medium_dir" no
earlier_installation
run_answered "${to_install[@]}" 'msgbox OK'
stopped "Destination path too long: $(rep d 250)\\\\b.exe"
expect_intact "$dest/a.txt" "$content_a"
reliability_log

# A directory name longer than the file system takes.
foreign_case directory_name_of_300_characters
script "NOT COMPRESSED" "SINGLE DIR IMAGE" "F a.txt a.txt\nD $(rep d 300)" | make_medium "$medium_dir"
medium "$medium_dir" no
earlier_installation
run_answered 'msgbox OK'
stopped "setup.inf line 12: a name in the directory is longer than 255 characters: D $(rep d 300)"
expect_no_file "$dest/a.txt"
reliability_log

# A source path typed longer than the dialog's answer may be: the binding's
# overflow box and the failure dialog.
foreign_case typed_source_path_of_300_characters
script "NOT COMPRESSED" "SINGLE DIR IMAGE" "F a.txt a.txt" | make_medium "$medium_dir"
mkdir -p "$work/elsewhere"
earlier_installation
printf '%s\n' "dialog 103 CONTINUE EditTextOut=C:\\$(rep p 300)" 'msgbox OK' 'dialog 400 CONTINUE' > "$work/answers"
make_program "$work/program"
run_setup "$work/elsewhere" "$work/program"
expect_clean_end 2
expect_line 'msgbox "Buffer Overflow" "DU-Ruruz Error" 16 1'
expect_line 'dialog 400 CONTINUE'
expect_intact "$dest/earlier.txt" "$earlier"
reliability_log

# On the 95 family the shortcut's path is composed by the installer.
foreign_case shortcut_path_too_long_w95 w95
script "NOT COMPRESSED" "SINGLE DIR IMAGE" "F a.txt a.txt\nP b.txt b.txt a.txt [$(rep n 250)]" | make_medium "$medium_dir"
medium "$medium_dir" no
earlier_installation
run_answered "${to_install[@]}" 'msgbox OK'
stopped "The shortcut paths of $(rep n 250) are too long"
expect_intact "$dest/a.txt" "$content_a"
expect_intact "$dest/b.txt" "$content_b"
reliability_log

# A "/" in a name: "_" in the shortcut file's name (the group folder's too),
# "/" in the description.
foreign_case item_name_with_slash_w95 w95
script "NOT COMPRESSED" "SINGLE DIR IMAGE" "P b.txt b.txt a.txt [In/Out]" | sed 's|^SOFTWARE \[Quorvane32\]|SOFTWARE [Quorvane/32]|' |
    make_medium "$medium_dir"
medium "$medium_dir" no
earlier_installation
run_answered "${to_install[@]}" 'dialog 700 CONTINUE'
installed
expect_intact "$dest/b.txt" "$content_b"
expect_line 'group "Quorvane/32"'
link="$(w95_programs)/Quorvane_32/In_Out.LNK"
expect_file "$link"
lnkinfo "$link" > "$work/link.txt" 2>&1
grep -qE '^[[:space:]]+Description[[:space:]]+: In/Out$' "$work/link.txt" || fail "the description is not In/Out"
grep -qE '^[[:space:]]+Local path[[:space:]]+: R:\\usr\\b.txt$' "$work/link.txt" || fail "the shortcut does not point at b.txt"
reliability_log

# Characters that a file name cannot hold become "_", the same on both
# platforms: the toolkit's items on Windows NT, the installer's own
# shortcuts on the 95 family.
foreign_case item_name_with_reserved_characters_nt
script "NOT COMPRESSED" "SINGLE DIR IMAGE" 'P b.txt b.txt a.txt [A:B*?"<>|/]' | make_medium "$medium_dir"
medium "$medium_dir" no
earlier_installation
run_answered "${to_install[@]}" 'dialog 700 CONTINUE'
installed
expect_intact "$dest/b.txt" "$content_b"
expect_line 'item "Quorvane32" "A:B*?\"<>|/,R:\\usr\\a.txt,0,0,0,R:\\" "R:\\usr\\b.txt"'
expect_file "$(nt_programs)/Quorvane32/A_B_______.lnk"
reliability_log

foreign_case item_name_with_reserved_characters_w95 w95
script "NOT COMPRESSED" "SINGLE DIR IMAGE" 'F a.txt a.txt\nP b.txt b.txt a.txt [A:B*?"<>|]' | make_medium "$medium_dir"
medium "$medium_dir" no
earlier_installation
run_answered "${to_install[@]}" 'dialog 700 CONTINUE'
installed
expect_intact "$dest/a.txt" "$content_a"
expect_intact "$dest/b.txt" "$content_b"
expect_file "$(w95_programs)/Quorvane32/A_B______.LNK"
reliability_log

# Double-byte names under code page 932, in a prefix of its own. Trail
# bytes 0x5C ("\"), 0x5B ("[") and 0x5D ("]") stand in every name: a
# directory, a file below it, the group, the item and the file set.
sj() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
double_byte_ready() {
    mkdir -p "$locales"
    [ -d "$locales/ja_JP.UTF-8" ] || localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >/dev/null 2>&1 ||
        { reason="localedef cannot build ja_JP.UTF-8"; return 1; }
    [ -f "$SETUP_BUILD/wine/ja/.ready" ] || japanese "$top/scripts/prefix" "$SETUP_BUILD" ja >/dev/null ||
        { reason="the prefix ja cannot be made"; return 1; }
    export WINEPREFIX="$SETUP_BUILD/wine/ja"
    japanese wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP | grep -q 'REG_SZ[[:space:]]*932' ||
        { reason="Wine gives no code page 932 here"; return 1; }
}
if double_byte_ready; then
    foreign_case double_byte_names ja
    {
        printf 'COMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
        printf 'FILESET [%s]\nSOFTWARE [%s]\nEXPRESS\nBEGIN\n' "$(sj 表示ツール)" "$(sj ソフト表ゾ)"
        printf 'D %s\nF a.txt %s\\%s.txt\n' "$(sj 表)" "$(sj 表)" "$(sj ソ)"
        printf 'P b.txt %s.txt a.txt [%s]\nEND 128\n' "$(sj ゾ能)" "$(sj 表示ー/ゾ)"
    } | make_medium "$medium_dir"
    medium "$medium_dir" no
    earlier_installation
    printf '%s\n' "${to_install[@]}" 'dialog 700 CONTINUE' > "$work/answers"
    japanese run_setup "$medium_dir" "$medium_dir"
    installed
    expect_intact "$dest/表/ソ.txt" "$content_a"
    expect_intact "$dest/ゾ能.txt" "$content_b"
    LC_ALL=C expect_line "group \"$(as_transcript "$(sj ソフト表ゾ)")\""
    expect_file "$(nt_programs)/ソフト表ゾ/表示ー_ゾ.lnk"
    japanese wine reg query 'HKLM\Software\Quorvane' /s | iconv -f CP932 -t UTF-8 | tr -d '\r' > "$work/registry.txt"
    grep -qx 'HKEY_LOCAL_MACHINE\\Software\\Quorvane\\ソフト表ゾ\\VersionInfo' "$work/registry.txt" ||
        fail "no key Software\\Quorvane\\ソフト表ゾ\\VersionInfo"
    grep -qE '^ +FileSetName +REG_SZ +表示ツール$' "$work/registry.txt" || fail "FileSetName is not 表示ツール"
    reliability_log
else
    not_run double_byte_names "$reason"
fi

e2e_done
