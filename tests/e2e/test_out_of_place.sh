#!/usr/bin/env bash
# Scripts that ask for something outside its place, or for a change that
# would damage the machine's environment, through the real setup.exe on both
# platforms. A refused line stops the run before anything is copied, with a
# box naming it; names are made safe the same way on both platforms; the
# search path never grows beyond what the system reads.
. "$(dirname "$0")/lib.sh"

env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
drive_r="$SETUP_BUILD/drives/r"
dest="$drive_r/usr"
nt_programs() { printf '%s/ProgramData/Microsoft/Windows/Start Menu/Programs' "$(drive_c)"; }
w95_programs() { printf '%s/windows/Start Menu/Programs' "$(drive_c)"; }
programs() { if [ "$kind" = w95 ]; then w95_programs; else nt_programs; fi; }
SETUP_TIMEOUT=60

save_path() {
    export WINEPREFIX="$SETUP_BUILD/wine/$1"
    reg_value "$env_key" Path | cut -d' ' -f2-
}
saved_path_nt=$(save_path nt)
saved_path_w95=$(save_path w95)
restore_prefix() {
    export WINEPREFIX="$SETUP_BUILD/wine/$1"
    local saved=$2
    wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved" /f >/dev/null 2>&1
    wine reg delete "$env_key" /v QV_HOME /f >/dev/null 2>&1
    wine reg delete "$env_key" /v "QV HOME" /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Quorvane' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane32' /f >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\a.txt' /f >/dev/null 2>&1
    rm -rf "$(nt_programs)"/Quorvane* "$(w95_programs)"/Quorvane* "$(drive_c)/evil.lnk"
    rm -f "$(drive_c)/AUTOEXEC.BAT" "$(drive_c)/AUTOEXEC.BAK"
}
restore_all() {
    restore_prefix nt "$saved_path_nt"
    restore_prefix w95 "$saved_path_w95"
    rm -rf "$dest" "$drive_r/x.txt" "$drive_r/windows" "$drive_r/dir"
}
trap restore_all EXIT

content_a="the first file of the payload"
earlier="kept from an earlier installation"
to_install=('dialog 100 CONTINUE' 'dialog 300 CONTINUE EditTextOut=R:' 'dialog 800 CONTINUE ButtonChecked=1')

# script HEADER BODY: one set, Quorvane32 (or $software), whose header
# line stands at line 10 and whose body line stands at line 13.
script() {
    printf 'COMPANY [Quorvane]\nNOT COMPRESSED\nSINGLE DIR IMAGE\nFILESET [Setup files]\nBEGIN\nEND 0\n'
    printf 'FILESET [Base tools]\nSOFTWARE [%s]\nEXPRESS\n%s\nBEGIN\nF a.txt a.txt\n%s\nEND 64\n' \
        "${software:-Quorvane32}" "$1" "$2"
}

# run_case NAME KIND HEADER BODY [ANSWERS...]: a medium with that script and
# a.txt, R:\usr with a file of an earlier installation, and the run: with
# those answers, or quiet without any.
run_case() {
    kind=$2
    e2e_case "$1" "$kind"
    restore_prefix "$kind" "$([ "$kind" = w95 ] && echo "$saved_path_w95" || echo "$saved_path_nt")"
    script "$3" "$4" | make_medium "$work/medium"
    echo "$content_a" > "$work/medium/a.txt"
    shift 4
    rm -rf "$dest" "$drive_r/x.txt" "$drive_r/windows" "$drive_r/dir"
    mkdir -p "$dest"
    echo "$earlier" > "$dest/earlier.txt"
    run_medium "$@"
}

# refused_at_scan NUMBER REASON LINE: the box naming the line came before
# any dialog; nothing was copied, registered or changed.
refused_at_scan() {
    expect_clean_end 1
    expect_line "msgbox \"$(as_transcript "setup.inf line $1: $2: $3")\" \"Fatal Error\" 0 1"
    expect_no_line 'dialog 100 CONTINUE'
    expect_intact "$dest/earlier.txt" "$earlier"
    expect_files 1 "$dest/*"
    expect_no_file "$drive_r/x.txt"
    expect_no_file "$drive_r/windows"
    expect_no_file "$drive_r/dir"
    [ -z "$(reg_value 'HKLM\Software\Quorvane\Quorvane32\VersionInfo' FileSetName)" ] || fail "the set was registered"
    [ "$(reg_value "$env_key" Path | cut -d' ' -f2-)" = "$([ "$kind" = w95 ] && echo "$saved_path_w95" || echo "$saved_path_nt")" ] ||
        fail "Path changed"
    expect_no_file "$(drive_c)/AUTOEXEC.BAT"
    expect_no_file "$(programs)/Quorvane32"
}

# CASE LINE REASON, three words each.
leaves="the destination leaves the installation directory"
hostile_body=(
    destination_up_one_level 'F a.txt ..\x.txt' "$leaves"
    destination_up_through_a_directory 'F a.txt bin\..\..\windows\x.txt' "$leaves"
    directory_up_one_level 'D ..\dir' "the directory leaves the installation directory"
    source_outside_the_medium 'F ..\..\..\..\..\..\..\etc\hostname host.txt'
    "the source leaves the medium's file directory"
    source_with_a_drive 'F Z:\etc\hostname host.txt' "the source is not a name in the medium's file directory"
    destination_a_device 'F a.txt nul.txt' "the destination names a device"
    program_name_of_dots 'P a.txt a.exe a.txt [..]' "the shortcut name is empty or only dots and blanks"
)
hostile_header=(
    variable_path 'ENVIRONMENT [PATH] [C:\vendor]' "the search path is changed by ADDPATH lines only"
    variable_without_name 'ENVIRONMENT [] [x]' "the variable has no name"
    variable_name_with_equals 'ENVIRONMENT [A=B] [x]' 'the variable name holds a "=", "%" or a control character'
    search_path_entry_of_blanks 'ADDPATH [ ]' "the search path entry is empty"
    search_path_entry_of_two 'ADDPATH [bin;C:\x]'
    'the search path entry holds a ";" or a control character: one directory per ADDPATH line'
    application_name_of_dots 'APPITEM a.txt a.txt [..] []' "the shortcut name is empty or only dots and blanks"
    group_name_of_dots 'SOFTWARE [..]' "the group name is empty or only dots and blanks"
)
for kind in nt w95; do
    for ((i = 0; i < ${#hostile_body[@]}; i += 3)); do
        run_case "${hostile_body[i]}_$kind" "$kind" "; no header line" "${hostile_body[i + 1]}"
        refused_at_scan 13 "${hostile_body[i + 2]}" "${hostile_body[i + 1]}"
        expect_no_file "$dest/host.txt"
        reliability_log
    done
    for ((i = 0; i < ${#hostile_header[@]}; i += 3)); do
        run_case "${hostile_header[i]}_$kind" "$kind" "${hostile_header[i + 1]}" "; no body line"
        refused_at_scan 10 "${hostile_header[i + 2]}" "${hostile_header[i + 1]}"
        reliability_log
    done
done

# The 95 family keeps its environment in AUTOEXEC.BAT, which runs at every
# start: a setting the command interpreter would act on is refused there.
batch_fault='which AUTOEXEC.BAT would act on'
run_case value_with_pipe_w95 w95 'ENVIRONMENT [QV_HOME] [x|format c:]' "; no body line"
refused_at_scan 10 "the value holds a \"|\", \"<\", \">\", \"&\" or control character, $batch_fault" \
    'ENVIRONMENT [QV_HOME] [x|format c:]'
reliability_log
run_case search_path_with_redirection_w95 w95 'ADDPATH [bin>c:\autoexec.bat]' "; no body line"
refused_at_scan 10 "the search path entry holds a \"|\", \"<\", \">\" or \"&\", $batch_fault" \
    'ADDPATH [bin>c:\autoexec.bat]'
reliability_log
# An empty entry would still get a SET line; "SET  PATH=" would set PATH.
run_case search_path_entry_empty_w95 w95 'ADDPATH []' "; no body line"
refused_at_scan 10 "the search path entry is empty" 'ADDPATH []'
reliability_log
run_case variable_name_after_a_blank_w95 w95 'ENVIRONMENT [ PATH] [x]' "; no body line"
refused_at_scan 10 "the variable name begins with a blank, which AUTOEXEC.BAT would drop" 'ENVIRONMENT [ PATH] [x]'
reliability_log

# The registry holds such a value as text: NT takes it. An entry with a
# drive is taken as it stands; an empty one names no directory.
run_case value_with_pipe_and_drive_entry_nt nt $'ENVIRONMENT [QV_HOME] [x|y]\nADDPATH [C:\\qvtools]\nADDPATH []' \
    "; no body line" "${to_install[@]}" 'dialog 700 CONTINUE'
expect_clean_end 0
expect_intact "$dest/a.txt" "$content_a"
[ "$(reg_value "$env_key" QV_HOME)" = "REG_SZ x|y" ] || fail "QV_HOME: $(reg_value "$env_key" QV_HOME)"
[ "$(reg_value "$env_key" Path)" = "REG_EXPAND_SZ C:\\qvtools;$saved_path_nt" ] ||
    fail "Path: $(reg_value "$env_key" Path)"
reliability_log

# Group and item names: one cleaning on both platforms, and every shortcut
# in the group's folder below Programs. A program without a shortcut name
# is installed without a shortcut; a variable's name may hold a blank.
for kind in nt w95; do
    software='Quorvane:32' run_case "names_$kind" "$kind" \
        $'APPITEM a.txt a.txt [..\\..\\..\\..\\..\\..\\evil] []\nENVIRONMENT [QV HOME] [R:\\usr]' \
        $'P a.txt b.txt a.txt [nul]\nP a.txt c.txt a.txt []' "${to_install[@]}" 'dialog 700 CONTINUE'
    expect_clean_end 0
    expect_intact "$dest/b.txt" "$content_a"
    expect_intact "$dest/c.txt" "$content_a"
    expect_line 'noshortcut "R:\\usr\\c.txt"'
    if [ "$kind" = w95 ]; then
        grep -qx 'SET QV HOME=R:\\usr' <(tr -d '\r' < "$(drive_c)/AUTOEXEC.BAT") || fail "AUTOEXEC.BAT lacks QV HOME"
    else
        wine reg query "$env_key" /v "QV HOME" 2>/dev/null | tr -d '\r' | grep -qE '^ +QV HOME +REG_SZ +R:\\usr$' ||
            fail "QV HOME is not set"
    fi
    folder="$(programs)/Quorvane_32"
    ext=lnk
    [ "$kind" = w95 ] && ext=LNK  # the 95 family's program items
    expect_file "$folder/_nul.$ext"
    expect_file "$folder/.._.._.._.._.._.._evil.lnk"
    [ "$(ls -A "$folder" 2>/dev/null | wc -l)" -eq 2 ] || fail "the group holds: $(ls -A "$folder" 2>&1)"
    expect_no_file "$(drive_c)/evil.lnk"
    reliability_log
done

# Path never grows beyond what the system reads, and stays as it was.
# NT keeps a variable of 32,767 characters with its terminator. Wine starts
# no program from Linux while Path is that long, so one batch file sets it,
# runs setup.exe, reads Path back and puts the old value back.
kind=nt
e2e_case path_at_its_limit_nt nt
long_path="C:\\$(printf 'p%.0s' $(seq 1 32753))"
printf 'REGEDIT4\n\n[%s]\n"Path"="%s"\n' "HKEY_LOCAL_MACHINE\\${env_key#HKLM\\}" "${long_path//\\/\\\\}" > "$work/long_path.reg"
script 'ADDPATH [bin]' "; no body line" | make_medium "$work/medium"
echo "$content_a" > "$work/medium/a.txt"
rm -rf "$dest"
mkdir -p "$dest"
printf '%s\n' "${to_install[@]}" 'msgbox OK' > "$work/answers"
{
    printf '@echo off\r\nset TMP=%s\r\n' "$(winpath "$work/tmp")"
    printf 'reg import %s\r\n' "$(winpath "$work/long_path.reg")"
    printf '%s\\setup.exe /a %s /t %s\r\n' "$(winpath "$work/medium")" "$(winpath "$work/answers")" \
        "$(winpath "$work/transcript")"
    printf 'set status=%%ERRORLEVEL%%\r\n'
    printf 'reg query "%s" /v Path > %s\r\n' "$env_key" "$(winpath "$work/path_after.txt")"
    printf 'reg add "%s" /v Path /t REG_EXPAND_SZ /d "%s" /f\r\n' "$env_key" "${saved_path_nt//%/%%}"
    printf 'exit /b %%status%%\r\n'
} > "$work/run.cmd"
(cd "$work/medium" && timeout 120 wine cmd /c "$(winpath "$work/run.cmd")" </dev/null >"$work/stdout" 2>&1)
status=$?
expect_clean_end 1
expect_line "msgbox \"$(as_transcript 'The search path cannot take R:\usr\bin: Path would be longer than 32766 characters. Path is left unchanged.')\" \"Fatal Error\" 0 1"
tr -d '\r' < "$work/path_after.txt" 2>/dev/null | grep -qxE "[[:space:]]+Path[[:space:]]+REG_SZ[[:space:]]+${long_path//\\/\\\\}" ||
    fail "Path changed"
[ "$(reg_value "$env_key" Path | cut -d' ' -f2-)" = "$saved_path_nt" ] || fail "Path was not put back"
reliability_log

# The 95 family's command interpreter reads a line of 1,023 characters.
kind=w95
e2e_case autoexec_line_at_its_limit_w95 w95
restore_prefix w95 "$saved_path_w95"
long_line="SET PATH=C:\\WINDOWS;C:\\$(printf 'p%.0s' $(seq 1 1000))"
printf '@ECHO OFF\r\n%s\r\n' "$long_line" > "$(drive_c)/AUTOEXEC.BAT"
cp "$(drive_c)/AUTOEXEC.BAT" "$work/autoexec.before"
script 'ADDPATH [bin]' "; no body line" | make_medium "$work/medium"
echo "$content_a" > "$work/medium/a.txt"
rm -rf "$dest"
mkdir -p "$dest"
printf '%s\n' "${to_install[@]}" 'msgbox OK' > "$work/answers"
run_setup "$work/medium" "$work/medium"
expect_clean_end 1
expect_line "msgbox \"Error adding bin to the search path: its line in AUTOEXEC.BAT would be longer than the 1023 characters that the command interpreter reads. AUTOEXEC.BAT and the environment are left as they were.\" \"Fatal Error\" 0 1"
cmp -s "$work/autoexec.before" "$(drive_c)/AUTOEXEC.BAT" || fail "AUTOEXEC.BAT changed"
expect_no_file "$(drive_c)/AUTOEXEC.BAK"
expect_no_line 'envvar "PATH" "R:\\usr\\bin" 4096'
reliability_log

e2e_done
