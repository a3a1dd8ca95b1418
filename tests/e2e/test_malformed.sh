#!/usr/bin/env bash
# Malformed and hostile scripts through the real setup.exe. Each run ends in
# its documented way: a fatal box and exit code 1, the failure dialog and
# exit code 2, or an installation that goes on; never a crash or a hang. The
# scripts lie in malformed/; those with binary bytes are made here.
# Before each run R:\usr holds a file of an earlier installation, which must
# stay whole, as must every file installed before a stop.
. "$(dirname "$0")/lib.sh"

corpus="$(cd "$(dirname "$0")" && pwd)/malformed"
dest="$SETUP_BUILD/drives/r/usr"
env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
programs() { printf '%s/ProgramData/Microsoft/Windows/Start Menu/Programs' "$(drive_c)"; }
SETUP_TIMEOUT=60
generated="$SETUP_BUILD/e2e/$(basename "$0" .sh)/generated"
rm -rf "$generated"
mkdir -p "$generated"

export WINEPREFIX="$SETUP_BUILD/wine/nt"
saved_path=$(reg_value "$env_key" Path | cut -d' ' -f2-)
restore_prefix() {
    export WINEPREFIX="$SETUP_BUILD/wine/nt"
    wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1
    for var in QV_LONG QV_INTRUDER; do wine reg delete "$env_key" /v "$var" /f >/dev/null 2>&1; done
    wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane32' /f >/dev/null 2>&1
    rm -rf "$(programs)"/Quorvane32* "$dest"
}
trap restore_prefix EXIT

# The payload every script draws from.
content_a="the first file of the payload"
content_b="the second file of the payload"
content_c="the third file of the payload"
earlier="kept from an earlier installation"

# hostile CASE SCRIPT_FILE [ANSWERS...]: a medium with that script and the
# payload, R:\usr with the earlier installation's file, and the run: with
# those answers, or quiet (/q) without any.
hostile() {
    e2e_case "$1"
    make_medium "$work/medium" < "$2"
    echo "$content_a" > "$work/medium/a.txt"
    echo "$content_b" > "$work/medium/b.txt"
    echo "$content_c" > "$work/medium/c.txt"
    shift 2
    rm -rf "$dest"
    mkdir -p "$dest"
    echo "$earlier" > "$dest/earlier.txt"
    run_medium "$@"
}
to_install=('dialog 100 CONTINUE' 'dialog 300 CONTINUE EditTextOut=R:' 'dialog 800 CONTINUE ButtonChecked=1')

# stopped_while_scanning TEXT: the fatal box at start-up, before any dialog.
stopped_while_scanning() {
    expect_clean_end 1
    expect_line "msgbox \"$1\" \"Fatal Error\" 0 1"
    expect_no_line 'dialog 100 CONTINUE'
    expect_intact "$dest/earlier.txt" "$earlier"
}

# stopped_after_first_file TEXT CAPTION: the fatal box after a.txt was
# installed.
stopped_after_first_file() {
    expect_clean_end 1
    expect_line "msgbox \"$1\" \"$2\" 0 1"
    expect_intact "$dest/earlier.txt" "$earlier"
    expect_intact "$dest/a.txt" "$content_a"
}

# finished: the installation went on to the closing dialog.
finished() {
    expect_clean_end 0
    expect_line 'dialog 700 CONTINUE'
    expect_intact "$dest/earlier.txt" "$earlier"
}

# installed_nothing: finished without a file set to install.
installed_nothing() {
    finished
    expect_files 0 "$dest/?.txt"
    expect_no_line 'group "Quorvane32"'
}

# A script lacking a part inside a block stops the scan.
for name in fileset_without_bracket unclosed_bracket_in_block end_without_number \
    changedisk_without_number_in_block appitem_missing_fields value_600_in_block; do
    hostile "$name" "$corpus/$name.inf"
    stopped_while_scanning "Corrupted setup.inf file"
    reliability_log
done

hostile second_begin "$corpus/second_begin.inf"
stopped_while_scanning 'Corrupted setup files\n'
reliability_log

hostile fileset_name_300_characters "$corpus/fileset_name_300_characters.inf"
stopped_while_scanning "File set name longer than 255 characters in setup.inf"
reliability_log

hostile eleven_file_sets "$corpus/eleven_file_sets.inf"
stopped_while_scanning "MAX_FILE_SETS (10) exceed, redfined and re-reun"
reliability_log

# Lines the installer cannot carry out stop the copy after what came before.
hostile file_line_without_destination "$corpus/file_line_without_destination.inf" "${to_install[@]}" 'msgbox OK'
stopped_after_first_file "Corrupted setup.inf file" "Fatal Error"
expect_no_file "$dest/c.txt"
reliability_log

# Read in pieces of 511 characters, the rest of the comment is a line of its own.
hostile long_comment_in_block "$corpus/long_comment_in_block.inf" "${to_install[@]}" 'msgbox OK'
stopped_after_first_file "Corrupted setup.inf file" "Fatal Erro"
reliability_log

hostile destination_directory_missing "$corpus/destination_directory_missing.inf" "${to_install[@]}" 'msgbox OK'
stopped_after_first_file "Error 0x3 Copying File $(as_transcript "$(winpath "$work/medium")\\b.txt") to R:\\\\usr\\\\nodir\\\\b.txt\\n" "Fatal Error"
reliability_log

hostile percent_missing_source "$corpus/percent_missing_source.inf" "${to_install[@]}" 'msgbox OK'
stopped_after_first_file "Error 0x2 Copying File $(as_transcript "$(winpath "$work/medium")\\%n%s%n.txt") to R:\\\\usr\\\\x.txt\\n" "Fatal Error"
reliability_log

# A chosen set that could not be registered (its key cannot be named, no
# group) is refused before its files are copied.
stopped_before_copying() {
    expect_clean_end 1
    expect_line 'dialog 800 CONTINUE'
    expect_line "msgbox \"$1\" \"Fatal Error\" 0 1"
    expect_intact "$dest/earlier.txt" "$earlier"
    expect_no_file "$dest/a.txt"
}
hostile software_name_300_characters "$corpus/software_name_300_characters.inf" "${to_install[@]}" 'msgbox OK'
stopped_before_copying "The registration key of the file set Base tools is too long"
reliability_log

hostile without_software "$corpus/without_software.inf" "${to_install[@]}" 'msgbox OK'
stopped_before_copying 'setup.inf: the part \"Base tools\" has no SOFTWARE line and cannot be registered. Nothing was installed.'
reliability_log

hostile without_company "$corpus/without_company.inf" "${to_install[@]}" 'msgbox OK'
stopped_before_copying "setup.inf has no COMPANY line: the parts cannot be registered. Nothing was installed."
reliability_log

# Scripts without a complete file set: nothing to offer, nothing installed.
hostile empty "$corpus/empty.inf" "${to_install[@]}" 'dialog 700 CONTINUE'
installed_nothing
reliability_log

# Not ANSI text: the script is refused before anything is shown.
not_ansi_text="setup.inf is not ANSI text: it holds zero bytes or a UTF-16 byte-order mark. Save it as ANSI text and run Setup again."
iconv -f ASCII -t UTF-16 < "$corpus/lenient_lines_outside_blocks.inf" > "$generated/utf16.inf"
hostile utf16_script "$generated/utf16.inf" 'msgbox OK'
stopped_while_scanning "$not_ansi_text"
expect_files 0 "$dest/?.txt"
reliability_log

hostile ends_inside_block "$corpus/ends_inside_block.inf" "${to_install[@]}" 'dialog 700 CONTINUE'
finished
expect_intact "$dest/a.txt" "$content_a"
expect_no_file "$dest/c.txt"
expect_no_line 'group "Quorvane32 unfinished"'
reliability_log

# Outside a block a line lacking a part changes nothing; the last line has
# no line feed. Written with bare CRs for line ends, it reads the same.
tr '\n' '\r' < "$corpus/lenient_lines_outside_blocks.inf" > "$generated/cr_only.inf"
for variant in lenient_lines_outside_blocks cr_only_line_ends; do
    script_file="$corpus/lenient_lines_outside_blocks.inf"
    [ "$variant" = cr_only_line_ends ] && script_file="$generated/cr_only.inf"
    hostile "$variant" "$script_file" "${to_install[@]}" 'dialog 700 CONTINUE'
    finished
    expect_intact "$dest/a.txt" "$content_a"
    expect_intact "$dest/b.txt" "$content_b"
    [ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' CpuPlatform)" = "REG_SZ " ] ||
        fail "CpuPlatform: $(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' CpuPlatform)"
    [ -z "$(reg_value "$env_key" QV_INTRUDER)" ] || fail "an incomplete ENVIRONMENT line was applied"
    reliability_log
    wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane32' /f >/dev/null 2>&1
done

hostile percent_names "$corpus/percent_names.inf" "${to_install[@]}" 'dialog 700 CONTINUE'
finished
expect_intact "$dest/%n%s.txt" "$content_a"
expect_intact "$dest/b.txt" "$content_b"
expect_line 'group "Quorvane32 %s%n"'
expect_line 'item "Quorvane32 %s%n" "%s%n%p,R:\\usr\\a.txt,0,0,0,R:\\" "R:\\usr\\b.txt"'
[ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32 %s%n\VersionInfo' FileSetName)" = "REG_SZ %n%n%s%s" ] ||
    fail "FileSetName: $(reg_value 'HKLM\Software\Quorvane\Quorvane32 %s%n\VersionInfo' FileSetName)"
reliability_log

hostile value_300_characters "$corpus/value_300_characters.inf" "${to_install[@]}" 'dialog 700 CONTINUE'
finished
expect_intact "$dest/a.txt" "$content_a"
expect_intact "$dest/b.txt" "$content_b"
[ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' MajorVersion)" = "REG_SZ $(printf 'M%.0s' {1..255})" ] ||
    fail "MajorVersion is not cut to 255 characters"
[ "$(reg_value "$env_key" QV_LONG)" = "REG_SZ $(printf 'V%.0s' {1..255})" ] ||
    fail "QV_LONG is not cut to 255 characters"
reliability_log

hostile header_lines_after_tenth_end "$corpus/header_lines_after_tenth_end.inf" "${to_install[@]}" 'dialog 700 CONTINUE'
finished
expect_intact "$dest/a.txt" "$content_a"
expect_intact "$dest/c.txt" "$content_c"
expect_no_file "$dest/intruder.txt"
[ "$(reg_value 'HKLM\Software\Quorvane\Quorvane32 set 9\VersionInfo' MajorVersion)" = "REG_SZ 9" ] ||
    fail "set 9 was changed after its END"
[ -z "$(reg_value 'HKLM\Software\Quorvane\Intruder\VersionInfo' FileSetName)" ] || fail "Intruder registered"
[ -z "$(reg_value "$env_key" QV_INTRUDER)" ] || fail "QV_INTRUDER set"
case "$(reg_value "$env_key" Path)" in *intruder*) fail "intruder added to Path" ;; esac
! grep -q Intruder "$work/transcript" || fail "the Intruder item was made"
reliability_log

# Binary bytes. A zero byte is never text: the script is refused at start.
{ printf '; a zero byte in a file line\nCOMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
  printf 'FILESET [Base tools]\nSOFTWARE [Quorvane32]\nEXPRESS\nBEGIN\nF a.txt a.txt\nF b.txt\0 b.txt\nEND 64\n'; } > "$generated/zero_byte.inf"
{ printf '; control bytes and 0xFF inside a block\nCOMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
  printf 'FILESET [Base tools]\nSOFTWARE [Quorvane32]\nEXPRESS\nBEGIN\nF a.txt a.txt\n\xff\xfe\x01\x02\x7f\x1b[F b.txt b.txt\nEND 64\n'; } > "$generated/control_bytes.inf"

hostile zero_byte_in_file_line "$generated/zero_byte.inf" 'msgbox OK'
stopped_while_scanning "$not_ansi_text"
expect_files 0 "$dest/?.txt"
reliability_log

hostile control_bytes_in_block "$generated/control_bytes.inf" "${to_install[@]}" 'msgbox OK'
stopped_after_first_file "Corrupted setup.inf file" "Fatal Erro"
reliability_log

# 64 KB of lines of every byte but zero, line feed and end-of-file (0x1A), before
# and between the sets: the scanner passes over them and the installer finds
# its block behind them. Control bytes stand in the names.
garbage() {
    LC_ALL=C awk -v seed="$1" 'BEGIN { srand(seed); for (i = 0; i < 300; i++) {
        line = "#"; n = int(rand() * 200)
        for (j = 0; j < n; j++) { b = int(rand() * 256); if (b == 0 || b == 10 || b == 26) b = 32; line = line sprintf("%c", b) }
        print line } }'
}
{ garbage 1; printf 'COMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
  garbage 2; printf 'FILESET [Base \x07tools]\nSOFTWARE [Quorvane32 \x01\x1b\xff]\nEXPRESS\nBEGIN\nF a.txt a.txt\nF b.txt b.txt\nEND 64\n'
  garbage 3; } > "$generated/garbage.inf"
hostile garbage_between_sets "$generated/garbage.inf" "${to_install[@]}" 'dialog 700 CONTINUE'
finished
expect_intact "$dest/a.txt" "$content_a"
expect_intact "$dest/b.txt" "$content_b"
# Control bytes are escaped in the transcript, 0xFF is not one.
expect_line "$(printf 'group "Quorvane32 \\x01\\x1B\xff"')"
reliability_log

# In a text file the byte 0x1A ends the text: the set behind it is never seen.
{ printf '; an end-of-file byte between two sets\nCOMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
  printf 'FILESET [Base tools]\nSOFTWARE [Quorvane32]\nEXPRESS\nBEGIN\nF a.txt a.txt\nEND 64\n\x1a\n'
  printf 'FILESET [Hidden]\nSOFTWARE [Quorvane32 hidden]\nEXPRESS\nBEGIN\nF c.txt c.txt\nEND 64\n'; } > "$generated/eof_byte.inf"
hostile end_of_file_byte "$generated/eof_byte.inf" "${to_install[@]}" 'dialog 700 CONTINUE'
finished
expect_intact "$dest/a.txt" "$content_a"
expect_no_file "$dest/c.txt"
expect_no_line 'group "Quorvane32 hidden"'
reliability_log

e2e_done
