#!/usr/bin/env bash
# The fatal stops of an installation, with their exact texts; what was
# installed before the stop stays as it was.
. "$(dirname "$0")/lib.sh"

env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
dest="$SETUP_BUILD/drives/r/usr"
saved_path=$(reg_value "$env_key" Path | cut -d' ' -f2-)
trap 'wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1
      wine reg delete "HKLM\Software\Quorvane" /f >/dev/null 2>&1
      rm -rf "$(drive_c)/ProgramData/Microsoft/Windows/Start Menu/Programs/Stops" "$dest"' EXIT

# script BODY...: one file set to install, with these body lines.
script() {
    printf 'COMPANY [Quorvane]\nFILESET [Setup files]\nBEGIN\nEND 0\n'
    printf 'FILESET [Base tools]\nEXPRESS\nSOFTWARE [Stops]\nBEGIN\nF first.txt first.txt\n'
    [ $# -eq 0 ] || printf '%s\n' "$@"
    printf 'END 100\n'
}
answers() {
    printf 'dialog 100 CONTINUE\ndialog 300 CONTINUE EditTextOut=R:\ndialog 800 CONTINUE ButtonChecked=1\n'
    printf 'msgbox OK\n'
}
medium() {
    script "$@" | make_medium "$work/medium"
    echo "installed before the stop" > "$work/medium/first.txt"
    answers > "$work/answers"
    rm -rf "$dest"
}
expect_first_file_kept() { expect_file "$dest/first.txt" "installed before the stop"; }

e2e_case missing_source_file
medium 'F missing.txt missing.txt'
run_setup "$work/medium" "$work/medium"
expect_status 1
expect_line "msgbox \"Error 0x2 Copying File $(winpath "$work/medium" | sed 's/\\/\\\\/g')\\\\missing.txt to R:\\\\usr\\\\missing.txt\\n\" \"Fatal Error\" 0 1"
expect_first_file_kept

e2e_case directory_whose_parent_is_missing
medium 'D sub\dir'
run_setup "$work/medium" "$work/medium"
expect_status 1
expect_line 'msgbox "Unable to create dir R:\\usr\\sub\\dir" "Fatal Error" 0 1'
expect_first_file_kept

e2e_case corrupted_line_inside_a_block
medium 'X this line means nothing'
run_setup "$work/medium" "$work/medium"
expect_status 1
expect_line 'msgbox "Corrupted setup.inf file" "Fatal Erro" 0 1'
expect_first_file_kept

e2e_case empty_line_inside_a_block
medium ''
run_setup "$work/medium" "$work/medium"
expect_status 1
expect_line 'msgbox "Corrupted setup.inf file" "Fatal Erro" 0 1'

e2e_case no_path_value_on_nt
medium
wine reg delete "$env_key" /v Path /f >/dev/null 2>&1
run_setup "$work/medium" "$work/medium"
wine reg add "$env_key" /v Path /t REG_EXPAND_SZ /d "$saved_path" /f >/dev/null 2>&1
expect_status 1
expect_line 'msgbox "The system'"'"'s Path value (HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Session Manager\\Environment) cannot be read: the parts cannot be registered. Nothing was installed." "Fatal Error" 0 1'
expect_no_file "$dest/first.txt"
[ -z "$(reg_value 'HKLM\Software\Quorvane\Stops\VersionInfo' FileSetName)" ] ||
    fail "a key was written although nothing could be registered"

e2e_done
